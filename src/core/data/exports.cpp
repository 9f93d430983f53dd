#include "core/data/exports.h"

#include <readstat.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <exception>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/profile.h"
#include "core/data/output.h"
#include "core/text/cp1250.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

using Kind = OutputColumn::Kind;

// The values of every kind are cut from the output data file's own line of each respondent, so
// that no export can differ from it. The lines are made one at a time: an export then needs no
// more memory than its own bytes.
class Output {
  public:
    const std::vector<OutputColumn> columns;
    const size_t rows;
    size_t stride = 0;  // one line and its CR LF

    Output(const CodingParams& params, const Classification& clf, const CaseModel& cases)
        : columns(OutputColumns(params, clf)),
          rows(cases.Respondents.size()),
          cases_(cases),
          lines_(params, clf) {
        for (const OutputColumn& c : columns) stride += c.Width;
        stride += 2;
    }

    // Makes the line of respondent `row` the one that Field cuts.
    void Row(size_t row) { line_ = lines_.Line(cases_.Respondents[row]); }

    std::string_view Field(const OutputColumn& c) const {
        return c.First < line_.size() ? line_.substr(c.First, c.Width) : std::string_view();
    }

    // The identifier of a respondent as its line starts.
    std::string_view Id(size_t row) const {
        return std::string_view(cases_.Respondents[row].RespondentId).substr(0, columns[0].Width);
    }

  private:
    const CaseModel& cases_;
    OutputLines lines_;
    std::string_view line_;
};

// What a field of a numeric variable holds.
struct Cell {
    enum State { Blank, NotApplicable, Missing, Value } state = Blank;
    double value = 0;
};

bool AllDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

double DigitsValue(std::string_view s) {
    double v = 0;
    for (char c : s) v = v * 10 + (c - '0');
    return v;
}

// What a column's digits are worth: scales carry one implied decimal.
double ColumnValue(const OutputColumn& c, std::string_view digits) {
    return DigitsValue(digits) / (c.Decimals == 1 ? 10.0 : 1.0);
}

// The script reads codes and classes as whole numbers and scales with one implied decimal; its
// RECODE turns the not-applicable values into system-missing, and blanks read as system-missing.
Cell ReadCell(const OutputColumn& c, std::string_view field) {
    Cell cell;
    if (field == c.NotApplicable) {
        cell.state = Cell::NotApplicable;
    } else if (AllDigits(field)) {
        cell.state = field == c.Missing ? Cell::Missing : Cell::Value;
        cell.value = ColumnValue(c, field);
    }
    return cell;
}

// The label of a category, as the script's VALUE LABELS gives it.
const std::string& CategoryLabel(const Classification& clf, const TKat& cat) {
    if (cat.Code == clf.MissingDataCode) return clf.MissingDataName;
    if (cat.Code == clf.NotApplicableCode) return clf.NotApplicableName;
    return cat.ShortLabel.empty() ? cat.Name : cat.ShortLabel;
}

// Every value label of one kind of variable: the value's text as in the output data file.
struct ValueLabel {
    std::string value;
    std::string label;  // UTF-8
};

std::vector<ValueLabel> ValueLabels(const CodingParams& params, const Classification& clf,
                                    const OutputColumn& c) {
    std::vector<ValueLabel> labels;
    const Kind kind = c.Type;
    if (kind == Kind::Code) {
        for (const auto& entry : clf.Categories) {
            const std::string& label = CategoryLabel(clf, entry.value);
            if (!label.empty()) labels.push_back({entry.value.Code, Cp1250ToUtf8(label)});
        }
    } else if (kind == Kind::X14) {
        for (const auto& entry : params.X14LabelList) {
            labels.push_back({entry.key, Cp1250ToUtf8(entry.value.Text)});
        }
    } else if (kind == Kind::Scale) {
        labels.push_back({kScaleMissing, kScaleMissingLabel});
        labels.push_back({kScaleNotApplicable, kScaleNotApplicableLabel});
    } else if (kind == Kind::Derived && c.Variable != nullptr) {
        for (const auto& [value, label] : c.Variable->Labels) {
            labels.push_back({value, Cp1250ToUtf8(label)});
        }
        labels.push_back({c.Missing, kScaleMissingLabel});
        labels.push_back({c.NotApplicable, kScaleNotApplicableLabel});
    }
    return labels;
}

// The first column of each kind, whose labels stand for every column of that kind; each
// variable of the profile is a kind of its own.
std::vector<const OutputColumn*> LabelKinds(const std::vector<OutputColumn>& columns) {
    std::vector<const OutputColumn*> kinds;
    for (const OutputColumn& c : columns) {
        if (c.Type == Kind::Id) continue;
        const bool known = std::any_of(kinds.begin(), kinds.end(), [&](const OutputColumn* k) {
            return k->Type == c.Type && k->Variable == c.Variable;
        });
        if (!known) kinds.push_back(&c);
    }
    return kinds;
}

// A profile variable's label set is named after its mnemonic, which no fixed set name is.
std::string LabelSetName(const OutputColumn& c) {
    std::string name;
    for (char ch : c.Variable->Mnemo)
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return name;
}

// The columns of the fixed kinds, standing for their label sets even when no column of a kind
// is there, so that a project without a profile gives the files it always gave.
OutputColumn KindColumn(const Classification& clf, Kind kind) {
    OutputColumn c;
    c.Type = kind;
    if (kind == Kind::Code) {
        c.Missing = clf.MissingDataCode;
        c.NotApplicable = clf.NotApplicableCode;
    } else if (kind == Kind::X14) {
        c.Missing = kX14Missing;
        c.NotApplicable = kX14NotApplicable;
    } else {
        c.Missing = kScaleMissing;
        c.NotApplicable = kScaleNotApplicable;
        c.Decimals = 1;
    }
    return c;
}

// The longest UTF-8 form of the respondent identifiers: a string variable must hold them all.
size_t IdWidth(const Output& out) {
    size_t width = std::max<size_t>(out.columns.front().Width, 1);
    for (size_t r = 0; r < out.rows; ++r) {
        const std::string_view id = out.Id(r);
        if (std::any_of(id.begin(), id.end(), [](char c) { return (c & 0x80) != 0; })) {
            width = std::max(width, Cp1250ToUtf8(id).size());
        }
    }
    return width;
}

// One ReadStat writer whose bytes go to a sink as ReadStat makes them, so that an export holds
// no more than a buffer's worth of its file; the first fault stops the work.
class Writer {
  public:
    explicit Writer(ByteSink& sink) : w_(readstat_writer_init()), sink_(sink) {
        readstat_set_data_writer(w_.get(), Pass);
    }

    readstat_writer_t* get() { return w_.get(); }
    // What begin_writing takes as the writer's own pointer.
    void* context() { return this; }

    // Records the first fault; false once there is one.
    bool Ok(readstat_error_t e) {
        if (e != READSTAT_OK && fault_.empty()) fault_ = readstat_error_message(e);
        return fault_.empty();
    }

    // Empty when the file was made; a fault of the sink (a full disk) comes back as it was
    // thrown, anything else as its message.
    std::string Result() {
        if (sinkFault_) std::rethrow_exception(sinkFault_);
        if (!fault_.empty()) return std::string(msg::kExportFailed) + fault_;
        return {};
    }

  private:
    // An exception must not cross ReadStat's C frames: it is kept and thrown again after.
    static ssize_t Pass(const void* data, size_t len, void* context) {
        auto* self = static_cast<Writer*>(context);
        try {
            self->sink_.Write(std::string_view(static_cast<const char*>(data), len));
        } catch (...) {
            if (!self->sinkFault_) self->sinkFault_ = std::current_exception();
            return -1;
        }
        return static_cast<ssize_t>(len);
    }

    struct Free {
        void operator()(readstat_writer_t* w) const { readstat_writer_free(w); }
    };
    std::unique_ptr<readstat_writer_t, Free> w_;
    ByteSink& sink_;
    std::string fault_;
    std::exception_ptr sinkFault_;
};

// Codes and groupings are categories; a scale is a measure; a table's values have an order.
readstat_measure_t Measure(const OutputColumn& c) {
    if (c.Type == Kind::Scale) return READSTAT_MEASURE_SCALE;
    if (c.Type == Kind::Derived && c.Variable != nullptr &&
        c.Variable->Type == DerivedVariable::Kind::Table) {
        return READSTAT_MEASURE_ORDINAL;
    }
    return READSTAT_MEASURE_NOMINAL;
}

// A label cut to at most `chars` UTF-8 characters.
std::string CutUtf8(const std::string& text, size_t chars) {
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((text[i] & 0xC0) == 0x80) continue;
        if (count++ == chars) return text.substr(0, i);
    }
    return text;
}

std::string CodeFormat(const char* letter, size_t width, int decimals) {
    return letter + std::to_string(width) + "." + std::to_string(decimals);
}

// The value labels of a code's source variable, by CodeSource.
constexpr const char* kSourceLabels[kCodeSources] = {
    "Unknown",   "Coder", "Automatic", "Identical answer", "Recovered from the journal",
    "Supervisor"};

// Where each code came from, as the provenance variables that follow each code's variable give
// it: only when the export is asked to carry them.
class CodeProvenance {
  public:
    CodeProvenance(const ProvenanceBook* book, const CodingParams& params, const CaseModel& cases,
                   const std::vector<OutputColumn>& columns)
        : book_(book), params_(params), cases_(cases) {
        int field = 0;
        for (const OutputColumn& c : columns)
            fieldOf_.push_back(c.Type == Kind::Code ? field++ : -1);
    }

    // Does column `i` (a code) carry the two variables after it?
    bool After(size_t i) const { return book_ && fieldOf_[i] >= 0; }

    static std::string SourceName(const OutputColumn& c) { return c.Name + "_src"; }
    static std::string ConfidenceName(const OutputColumn& c) { return c.Name + "_conf"; }
    // The labels, in the code page of the parameters, as the code's own.
    std::string SourceLabel(size_t i) const { return Name(i) + ": source of the code"; }
    std::string ConfidenceLabel(size_t i) const {
        return Name(i) + ": confidence of the automatic code";
    }

    // The source of a case's code (CodeSource, 0 for one not known); none for a case without
    // code.
    std::optional<double> Source(size_t row, size_t i) const {
        const TZawod* z = Case(row, i);
        if (!z || z->Code.empty()) return std::nullopt;
        const Provenance* p = book_->Find(static_cast<int>(row), fieldOf_[i]);
        return p ? static_cast<double>(p->origin.source) : 0.0;
    }
    // The confidence of an automatic code; none for any other.
    std::optional<double> Confidence(size_t row, size_t i) const {
        const TZawod* z = Case(row, i);
        if (!z || z->Code.empty()) return std::nullopt;
        const Provenance* p = book_->Find(static_cast<int>(row), fieldOf_[i]);
        if (!p || p->origin.source != CodeSource::Automatic || p->origin.confidence < 0) {
            return std::nullopt;
        }
        return p->origin.confidence;
    }

  private:
    const TZawod* Case(size_t row, size_t i) const {
        const auto& zs = cases_.Respondents[row].Occupations;
        const auto f = static_cast<size_t>(fieldOf_[i]);
        return f < zs.size() ? &zs[f] : nullptr;
    }
    std::string Name(size_t i) const {
        const auto f = static_cast<size_t>(fieldOf_[i]);
        return f < params_.DokumList.size() ? params_.DokumList[f].VarName : std::string();
    }

    const ProvenanceBook* book_;
    const CodingParams& params_;
    const CaseModel& cases_;
    std::vector<int> fieldOf_;  // the occupation field of each code column, -1 for the others
};

// A number as the CSV gives it: the shortest text that reads back as the same value.
std::string NumberText(double value) {
    char buffer[32];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, ec == std::errc() ? end : buffer);
}

}  // namespace

std::string FormatSav(ByteSink& file, const CodingParams& params, const Classification& clf,
                      const CaseModel& cases, const WorkProgress& progress,
                      const ProvenanceBook* provenance, bool zlib) {
    Output out(params, clf, cases);
    const CodeProvenance origins(provenance, params, cases, out.columns);
    Writer w(file);
    readstat_writer_set_compression(w.get(),
                                    zlib ? READSTAT_COMPRESS_BINARY : READSTAT_COMPRESS_ROWS);

    // One label set per kind of variable, as in the script.
    readstat_label_set_t* sets[4] = {nullptr, nullptr, nullptr, nullptr};
    const char* setNames[4] = {"", "codes", "classes", "scales"};
    const auto fill = [&](readstat_label_set_t* set, const OutputColumn& kc) {
        for (const ValueLabel& v : ValueLabels(params, clf, kc)) {
            const Cell c = ReadCell(kc, v.value);
            // A value the script could not read as a number has no label there either.
            if (c.state == Cell::Blank) continue;
            readstat_label_double_value(set, ColumnValue(kc, v.value), v.label.c_str());
        }
    };
    for (Kind kind : {Kind::Code, Kind::X14, Kind::Scale}) {
        const auto k = static_cast<size_t>(kind);
        sets[k] = readstat_add_label_set(w.get(), READSTAT_TYPE_DOUBLE, setNames[k]);
        fill(sets[k], KindColumn(clf, kind));
    }
    std::map<const DerivedVariable*, readstat_label_set_t*> derivedSets;
    for (const OutputColumn* kc : LabelKinds(out.columns)) {
        if (kc->Type != Kind::Derived) continue;
        derivedSets[kc->Variable] =
            readstat_add_label_set(w.get(), READSTAT_TYPE_DOUBLE, LabelSetName(*kc).c_str());
        fill(derivedSets[kc->Variable], *kc);
    }

    readstat_label_set_t* sourceSet = nullptr;
    if (provenance) {
        sourceSet = readstat_add_label_set(w.get(), READSTAT_TYPE_DOUBLE, "sources");
        for (int i = 0; i < kCodeSources; ++i) {
            readstat_label_double_value(sourceSet, i, kSourceLabels[i]);
        }
    }

    std::vector<readstat_variable_t*> vars;
    // The source and confidence variables after each code's, when the export carries them.
    std::vector<std::pair<readstat_variable_t*, readstat_variable_t*>> originVars(
        out.columns.size());
    const auto insert = [&w](readstat_variable_t* v, std::optional<double> value) {
        w.Ok(value ? readstat_insert_double_value(w.get(), v, *value)
                   : readstat_insert_missing_value(w.get(), v));
    };
    for (const OutputColumn& c : out.columns) {
        readstat_variable_t* v = nullptr;
        if (c.Type == Kind::Id) {
            const size_t width = IdWidth(out);
            v = readstat_add_variable(w.get(), c.Name.c_str(), READSTAT_TYPE_STRING, width);
            readstat_variable_set_format(v, ("A" + std::to_string(width)).c_str());
            readstat_variable_set_display_width(v, static_cast<int>(width));
            readstat_variable_set_measure(v, READSTAT_MEASURE_NOMINAL);
        } else {
            v = readstat_add_variable(w.get(), c.Name.c_str(), READSTAT_TYPE_DOUBLE, 0);
            // A scale's format has room for its decimal point, as the script's RECODE leaves it.
            const int decimals = c.Decimals;
            readstat_variable_set_format(v, CodeFormat("F", c.Width + decimals, decimals).c_str());
            readstat_variable_set_measure(v, Measure(c));
            readstat_variable_set_label_set(v, c.Type == Kind::Derived
                                                   ? derivedSets[c.Variable]
                                                   : sets[static_cast<size_t>(c.Type)]);
            const Cell m = ReadCell(c, c.Missing);
            if (m.state == Cell::Missing) readstat_variable_add_missing_double_value(v, m.value);
        }
        readstat_variable_set_label(v, Cp1250ToUtf8(c.Label).c_str());
        vars.push_back(v);
        if (!origins.After(vars.size() - 1)) continue;
        const size_t i = vars.size() - 1;
        readstat_variable_t* source = readstat_add_variable(
            w.get(), CodeProvenance::SourceName(c).c_str(), READSTAT_TYPE_DOUBLE, 0);
        readstat_variable_set_format(source, "F1.0");
        readstat_variable_set_measure(source, READSTAT_MEASURE_NOMINAL);
        readstat_variable_set_label_set(source, sourceSet);
        readstat_variable_set_label(source, Cp1250ToUtf8(origins.SourceLabel(i)).c_str());
        readstat_variable_t* confidence = readstat_add_variable(
            w.get(), CodeProvenance::ConfidenceName(c).c_str(), READSTAT_TYPE_DOUBLE, 0);
        readstat_variable_set_format(confidence, "F5.3");
        readstat_variable_set_measure(confidence, READSTAT_MEASURE_SCALE);
        readstat_variable_set_label(confidence, Cp1250ToUtf8(origins.ConfidenceLabel(i)).c_str());
        originVars[i] = {source, confidence};
    }

    if (!w.Ok(readstat_begin_writing_sav(w.get(), w.context(), static_cast<long>(out.rows)))) {
        return w.Result();
    }
    std::string text;
    ProgressMeter meter(progress, out.rows);
    for (size_t r = 0; r < out.rows && w.Ok(readstat_begin_row(w.get())); ++r) {
        meter.Advance(r);
        out.Row(r);
        for (size_t i = 0; i < out.columns.size(); ++i) {
            const OutputColumn& c = out.columns[i];
            const std::string_view field = out.Field(c);
            if (c.Type == Kind::Id) {
                text = Cp1250ToUtf8(field);
                w.Ok(readstat_insert_string_value(w.get(), vars[i], text.c_str()));
                continue;
            }
            const Cell cell = ReadCell(c, field);
            if (cell.state == Cell::Blank || cell.state == Cell::NotApplicable) {
                w.Ok(readstat_insert_missing_value(w.get(), vars[i]));
            } else {
                w.Ok(readstat_insert_double_value(w.get(), vars[i], cell.value));
            }
            if (origins.After(i)) {
                insert(originVars[i].first, origins.Source(r, i));
                insert(originVars[i].second, origins.Confidence(r, i));
            }
        }
        if (!w.Ok(readstat_end_row(w.get()))) break;
    }
    w.Ok(readstat_end_writing(w.get()));
    meter.Finish();
    return w.Result();
}

namespace {

// The numeric twin of a code: Stata's smallest integer type that holds every code of the width.
readstat_type_t CodeNumberType(size_t width) {
    if (width <= 4) return READSTAT_TYPE_INT16;
    if (width <= 9) return READSTAT_TYPE_INT32;
    return READSTAT_TYPE_DOUBLE;
}

// ReadStat takes a number only in the variable's own type.
readstat_error_t InsertNumber(readstat_writer_t* w, const readstat_variable_t* v, double value) {
    switch (readstat_variable_get_type(v)) {
        case READSTAT_TYPE_INT8:
            return readstat_insert_int8_value(w, v, static_cast<int8_t>(value));
        case READSTAT_TYPE_INT16:
            return readstat_insert_int16_value(w, v, static_cast<int16_t>(value));
        case READSTAT_TYPE_INT32:
            return readstat_insert_int32_value(w, v, static_cast<int32_t>(value));
        default:
            return readstat_insert_double_value(w, v, value);
    }
}

// Stata shows at most 80 characters of a variable label.
constexpr size_t kStataLabelChars = 80;

}  // namespace

std::string FormatDta(ByteSink& file, const CodingParams& params, const Classification& clf,
                      const CaseModel& cases, const WorkProgress& progress,
                      const ProvenanceBook* provenance) {
    Output out(params, clf, cases);
    const CodeProvenance origins(provenance, params, cases, out.columns);
    Writer w(file);
    readstat_writer_set_file_format_version(w.get(), 118);

    // Stata labels integers and its extended missing values; the missing-data value becomes .a,
    // which keeps the label of the missing-data value.
    readstat_label_set_t* sets[4] = {nullptr, nullptr, nullptr, nullptr};
    const char* setNames[4] = {"", "codes", "classes", "scales"};
    const auto fill = [&](readstat_label_set_t* set, const OutputColumn& kc) {
        for (const ValueLabel& v : ValueLabels(params, clf, kc)) {
            const Cell c = ReadCell(kc, v.value);
            if (c.state == Cell::Missing) {
                readstat_label_tagged_value(set, 'a', v.label.c_str());
            } else if (c.state == Cell::Value && kc.Decimals == 0 && c.value < 2147483620.0) {
                readstat_label_int32_value(set, static_cast<int32_t>(c.value), v.label.c_str());
            }
        }
    };
    for (Kind kind : {Kind::Code, Kind::X14, Kind::Scale}) {
        const auto k = static_cast<size_t>(kind);
        sets[k] = readstat_add_label_set(w.get(), READSTAT_TYPE_INT32, setNames[k]);
        fill(sets[k], KindColumn(clf, kind));
    }
    std::map<const DerivedVariable*, readstat_label_set_t*> derivedSets;
    for (const OutputColumn* kc : LabelKinds(out.columns)) {
        if (kc->Type != Kind::Derived) continue;
        derivedSets[kc->Variable] =
            readstat_add_label_set(w.get(), READSTAT_TYPE_INT32, LabelSetName(*kc).c_str());
        fill(derivedSets[kc->Variable], *kc);
    }

    readstat_label_set_t* sourceSet = nullptr;
    if (provenance) {
        sourceSet = readstat_add_label_set(w.get(), READSTAT_TYPE_INT32, "sources");
        for (int i = 0; i < kCodeSources; ++i) {
            readstat_label_int32_value(sourceSet, i, kSourceLabels[i]);
        }
    }

    // Each column of the output data file, and the variable of the file for it; a code has two,
    // and two more when the export carries provenance.
    enum class Value { Number, Text, Source, Confidence };
    struct Target {
        size_t column;
        readstat_variable_t* var;
        Value value;
    };
    std::vector<Target> targets;
    const auto label = [&](readstat_variable_t* v, const std::string& cp1250) {
        const std::string full = Cp1250ToUtf8(cp1250);
        const std::string cut = CutUtf8(full, kStataLabelChars);
        readstat_variable_set_label(v, cut.c_str());
        if (cut.size() != full.size()) {
            readstat_add_note(w.get(),
                              (std::string(readstat_variable_get_name(v)) + ": " + full).c_str());
        }
    };
    for (size_t i = 0; i < out.columns.size(); ++i) {
        const OutputColumn& c = out.columns[i];
        if (c.Type == Kind::Id || c.Type == Kind::Code) {
            const size_t width = c.Type == Kind::Id ? IdWidth(out) : std::max<size_t>(c.Width, 1);
            readstat_variable_t* v =
                readstat_add_variable(w.get(), c.Name.c_str(), READSTAT_TYPE_STRING, width);
            label(v, c.Label);
            targets.push_back({i, v, Value::Text});
        }
        if (c.Type == Kind::Id) continue;
        const std::string name = c.Type == Kind::Code ? c.Name + "_num" : c.Name;
        const readstat_type_t type = c.Type == Kind::Code    ? CodeNumberType(c.Width)
                                     : c.Type == Kind::Scale ? READSTAT_TYPE_DOUBLE
                                     : c.Type == Kind::Derived && c.Width > 2
                                         ? CodeNumberType(c.Width)
                                         : READSTAT_TYPE_INT8;
        readstat_variable_t* v = readstat_add_variable(w.get(), name.c_str(), type, 0);
        if (c.Type == Kind::Scale) readstat_variable_set_format(v, "%4.1f");
        readstat_variable_set_label_set(v, c.Type == Kind::Derived
                                               ? derivedSets[c.Variable]
                                               : sets[static_cast<size_t>(c.Type)]);
        label(v, c.Label);
        targets.push_back({i, v, Value::Number});
        if (!origins.After(i)) continue;
        readstat_variable_t* source = readstat_add_variable(
            w.get(), CodeProvenance::SourceName(c).c_str(), READSTAT_TYPE_INT8, 0);
        readstat_variable_set_label_set(source, sourceSet);
        label(source, origins.SourceLabel(i));
        targets.push_back({i, source, Value::Source});
        readstat_variable_t* confidence = readstat_add_variable(
            w.get(), CodeProvenance::ConfidenceName(c).c_str(), READSTAT_TYPE_DOUBLE, 0);
        readstat_variable_set_format(confidence, "%5.3f");
        label(confidence, origins.ConfidenceLabel(i));
        targets.push_back({i, confidence, Value::Confidence});
    }

    if (!w.Ok(readstat_begin_writing_dta(w.get(), w.context(), static_cast<long>(out.rows)))) {
        return w.Result();
    }
    std::string text;
    ProgressMeter meter(progress, out.rows);
    for (size_t r = 0; r < out.rows && w.Ok(readstat_begin_row(w.get())); ++r) {
        meter.Advance(r);
        out.Row(r);
        for (const Target& t : targets) {
            const OutputColumn& c = out.columns[t.column];
            std::string_view field = out.Field(c);
            if (t.value == Value::Source || t.value == Value::Confidence) {
                const std::optional<double> value = t.value == Value::Source
                                                        ? origins.Source(r, t.column)
                                                        : origins.Confidence(r, t.column);
                w.Ok(value ? InsertNumber(w.get(), t.var, *value)
                           : readstat_insert_missing_value(w.get(), t.var));
                continue;
            }
            if (t.value == Value::Text) {
                // Blanks of an not coded case are Stata's empty string.
                if (c.Type == Kind::Code && field.find_first_not_of(' ') == std::string_view::npos)
                    field = {};
                text = Cp1250ToUtf8(field);
                w.Ok(readstat_insert_string_value(w.get(), t.var, text.c_str()));
                continue;
            }
            const Cell cell = ReadCell(c, field);
            if (cell.state == Cell::Missing) {
                w.Ok(readstat_insert_tagged_missing_value(w.get(), t.var, 'a'));
            } else if (cell.state == Cell::Value) {
                w.Ok(InsertNumber(w.get(), t.var, cell.value));
            } else {
                w.Ok(readstat_insert_missing_value(w.get(), t.var));
            }
        }
        if (!w.Ok(readstat_end_row(w.get()))) break;
    }
    w.Ok(readstat_end_writing(w.get()));
    meter.Finish();
    return w.Result();
}

namespace {

// A CSV field: quoted when asked, or when it holds a separator, a quote or a line end.
void AppendCsvField(std::string& out, std::string_view field, bool quote) {
    quote = quote || field.find_first_of(",\"\r\n") != std::string_view::npos;
    if (!quote) {
        out.append(field);
        return;
    }
    out += '"';
    for (char ch : field) {
        out += ch;
        if (ch == '"') out += '"';
    }
    out += '"';
}

// Spreadsheets take a file for UTF-8 only when it starts with the byte-order mark.
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

}  // namespace

void FormatCsv(ByteSink& file, const CodingParams& params, const Classification& clf,
               const CaseModel& cases, const WorkProgress& progress,
               const ProvenanceBook* provenance) {
    Output out(params, clf, cases);
    const CodeProvenance origins(provenance, params, cases, out.columns);
    ChunkedText chunks(file);
    std::string& csv = chunks.text;
    csv.append(kUtf8Bom);
    for (size_t i = 0; i < out.columns.size(); ++i) {
        if (i > 0) csv += ',';
        AppendCsvField(csv, Cp1250ToUtf8(out.columns[i].Name), false);
        if (!origins.After(i)) continue;
        csv += ',';
        AppendCsvField(csv, Cp1250ToUtf8(CodeProvenance::SourceName(out.columns[i])), false);
        csv += ',';
        AppendCsvField(csv, Cp1250ToUtf8(CodeProvenance::ConfidenceName(out.columns[i])), false);
    }
    csv += "\r\n";
    ProgressMeter meter(progress, out.rows);
    for (size_t r = 0; r < out.rows; ++r) {
        meter.Advance(r);
        out.Row(r);
        for (size_t i = 0; i < out.columns.size(); ++i) {
            const OutputColumn& c = out.columns[i];
            const std::string_view field = out.Field(c);
            if (i > 0) csv += ',';
            if (c.Type == Kind::Id) {
                AppendCsvField(csv, Cp1250ToUtf8(field), true);
            } else if (field.find_first_not_of(' ') == std::string_view::npos) {
                // Not coded: an empty field.
            } else if (c.Decimals == 1 && field.size() == 3) {
                csv.append(field.substr(0, 2));
                csv += '.';
                csv += field[2];
            } else {
                AppendCsvField(csv, field, true);
            }
            if (!origins.After(i)) continue;
            for (const std::optional<double>& value :
                 {origins.Source(r, i), origins.Confidence(r, i)}) {
                csv += ',';
                if (value) csv += NumberText(*value);
            }
        }
        csv += "\r\n";
        chunks.Pass();
    }
    chunks.Flush();
    meter.Finish();
}

std::string FormatCsvLabels(const CodingParams& params, const Classification& clf,
                            bool withProvenance) {
    std::string csv(kUtf8Bom);
    csv += "variable,value,label\r\n";
    const auto row = [&csv](const std::string& variable, std::string_view value,
                            const std::string& label) {
        AppendCsvField(csv, variable, false);
        csv += ',';
        AppendCsvField(csv, value, true);
        csv += ',';
        AppendCsvField(csv, label, true);
        csv += "\r\n";
    };
    const std::vector<OutputColumn> columns = OutputColumns(params, clf);
    // Only the labels are wanted: no book and no cases are read.
    static const ProvenanceBook kNoBook;
    static const CaseModel kNoCases;
    const CodeProvenance origins(withProvenance ? &kNoBook : nullptr, params, kNoCases, columns);
    for (size_t i = 0; i < columns.size(); ++i) {
        const OutputColumn& c = columns[i];
        const std::string name = Cp1250ToUtf8(c.Name);
        row(name, "", Cp1250ToUtf8(c.Label));
        if (c.Type == Kind::Id) continue;
        for (const ValueLabel& v : ValueLabels(params, clf, c)) {
            // Scales are written with their decimal point.
            if (c.Decimals == 1 && v.value.size() == 3) {
                row(name, v.value.substr(0, 2) + "." + v.value.substr(2), v.label);
            } else {
                row(name, v.value, v.label);
            }
        }
        if (!origins.After(i)) continue;
        const std::string source = Cp1250ToUtf8(CodeProvenance::SourceName(c));
        row(source, "", Cp1250ToUtf8(origins.SourceLabel(i)));
        for (int n = 0; n < kCodeSources; ++n) row(source, std::to_string(n), kSourceLabels[n]);
        row(Cp1250ToUtf8(CodeProvenance::ConfidenceName(c)), "",
            Cp1250ToUtf8(origins.ConfidenceLabel(i)));
    }
    return csv;
}

}  // namespace tarnwick
