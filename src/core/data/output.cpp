#include "core/data/output.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/classification/profile.h"
#include "core/classification/scales.h"
#include "core/data/x14.h"

namespace tarnwick {

namespace {

// The profile's variables that each occupation field carries, by their index in the profile.
std::vector<std::vector<int>> ProfileVariablesOf(const CodingParams& params,
                                                 const Classification& clf) {
    std::vector<std::vector<int>> out(params.DokumList.size());
    if (!clf.Profile) return out;
    for (size_t f = 0; f < params.DokumList.size(); ++f) {
        for (const DerivedRequest& r : params.DokumList[f].Derived) {
            if (const int i = clf.Profile->Find(r.Mnemo); i >= 0) out[f].push_back(i);
        }
    }
    return out;
}

}  // namespace

// The derived values of a code, looked up once per distinct code: a million lines carry only a
// few thousand different codes.
class OutputLines::Derived {
  public:
    Derived(const CodingParams& params, const Classification& clf)
        : clf_(clf), variables_(ProfileVariablesOf(params, clf)) {}

    struct Values {
        std::string x14;
        std::array<std::string, kScales + 1> scales;
        std::vector<std::string> profile;  // by the profile's variable
    };

    // The profile's variables that occupation field `field` carries, in the order of its lines.
    const std::vector<int>& VariablesOf(size_t field) const { return variables_[field]; }
    size_t Width(int k) const { return clf_.Profile->Variables[static_cast<size_t>(k)].Width; }

    const Values& Of(const std::string& code) {
        // A code of up to seven bytes is first looked up as one number in a small table, which
        // spares the hashing and comparing of a string for nearly every line.
        if (code.size() < sizeof(uint64_t)) {
            uint64_t key = code.size();
            std::memcpy(reinterpret_cast<char*>(&key) + 1, code.data(), code.size());
            Recent& slot = recent_[(key * 0x9E3779B97F4A7C15ULL) >> (64 - kRecentBits)];
            if (slot.values != nullptr && slot.key == key) return *slot.values;
            const Values& v = Find(code);
            slot = {key, &v};
            return v;
        }
        return Find(code);
    }

  private:
    const Values& Find(const std::string& code) {
        auto it = cache_.find(code);
        if (it != cache_.end()) return it->second;
        Values v;
        v.x14 = MapToX14(clf_, code);
        for (int n = 1; n <= kScales; ++n) v.scales[n] = LookupScale(clf_, code, n);
        if (clf_.Profile) {
            for (const DerivedVariable& d : clf_.Profile->Variables) {
                v.profile.push_back(DerivedValue(clf_, d, code));
            }
        }
        return cache_.emplace(code, std::move(v)).first->second;
    }

    struct Recent {
        uint64_t key = 0;  // the length, then the code's bytes
        const Values* values = nullptr;
    };

    const Classification& clf_;
    std::vector<std::vector<int>> variables_;
    std::unordered_map<std::string, Values> cache_;  // its elements never move
    // Room for several times the codes of a large classification, so that few of them share
    // a slot.
    static constexpr int kRecentBits = 16;
    std::vector<Recent> recent_ = std::vector<Recent>(size_t{1} << kRecentBits);
};

namespace {

using DerivedValues = OutputLines::Derived;

// Appends one respondent's line of the output data file (without its line end).
void AppendOutputLine(std::string& out, const CodingParams& params, DerivedValues& derived,
                      const TOsoba& r) {
    out.append(r.RespondentId);
    const size_t fields = std::min(params.DokumList.size(), r.Occupations.size());
    for (size_t i = 0; i < fields; ++i) {
        const TDokumZaw& d = params.DokumList[i];
        const std::string& c = r.Occupations[i].Code;
        if (c.empty()) {
            out.append(static_cast<size_t>(std::max(params.CodeWidth, 0)), ' ');
        } else {
            out.append(c);
        }
        const std::vector<int>& profile = derived.VariablesOf(i);
        const DerivedValues::Values* v = nullptr;
        if (!c.empty() && (!d.X14Mnemo.empty() || d.HasScales || !profile.empty())) {
            v = &derived.Of(c);
        }
        if (!d.X14Mnemo.empty()) {
            if (v == nullptr) {
                out.append(2, ' ');
            } else {
                out.append(v->x14);
            }
        }
        if (d.HasScales) {
            for (int n = 1; n <= kScales; ++n) {
                if (d.ScaleMnemo[n].empty()) continue;
                if (v == nullptr) {
                    out.append(3, ' ');
                } else {
                    out.append(v->scales[n]);
                }
            }
        }
        for (const int k : profile) {
            if (v == nullptr) {
                out.append(derived.Width(k), ' ');
            } else {
                out.append(v->profile[static_cast<size_t>(k)]);
            }
        }
    }
}

// The profile's variables that an occupation field asks for, in the order of its lines; one the
// profile lacks (refused when the project opens) is left out.
std::vector<const DerivedVariable*> Requested(const Classification& clf, const TDokumZaw& d) {
    std::vector<const DerivedVariable*> out;
    if (!clf.Profile) return out;
    for (const DerivedRequest& r : d.Derived) {
        if (const int i = clf.Profile->Find(r.Mnemo); i >= 0) {
            out.push_back(&clf.Profile->Variables[static_cast<size_t>(i)]);
        }
    }
    return out;
}

// The name in a label of what a field's #V line asks for.
std::string RequestedName(const TDokumZaw& d, const DerivedVariable& v) {
    for (const DerivedRequest& r : d.Derived) {
        if (r.Mnemo == v.Mnemo) return r.Name.empty() ? v.Label : r.Name;
    }
    return v.Label;
}

size_t OutputLineLength(const CodingParams& params, const Classification& clf) {
    size_t length = static_cast<size_t>(std::max(params.RespIdWidth, 0));
    for (const TDokumZaw& d : params.DokumList) {
        length += static_cast<size_t>(std::max(params.CodeWidth, 0));
        if (!d.X14Mnemo.empty()) length += 2;
        if (d.HasScales) {
            for (int n = 1; n <= kScales; ++n) {
                if (!d.ScaleMnemo[n].empty()) length += 3;
            }
        }
        for (const DerivedVariable* v : Requested(clf, d)) length += v->Width;
    }
    return length;
}

// Text between double quotes in the script: an inner double quote is doubled, which is how the
// script's reader takes a literal one.
std::string Quoted(std::string_view text) {
    std::string out = "\"";
    for (char ch : text) {
        out += ch;
        if (ch == '"') out += '"';
    }
    out += '"';
    return out;
}

// The same for the apostrophes around the file name.
std::string Apostrophed(std::string_view text) {
    std::string out = "'";
    for (char ch : text) {
        out += ch;
        if (ch == '\'') out += '\'';
    }
    out += '\'';
    return out;
}

// "998" is written 99.8: the scales carry one implied decimal.
std::string ScaleValueText(std::string_view v) {
    return std::string(v.substr(0, 2)) + "." + std::string(v.substr(2));
}

std::string Columns(int first, int last) {
    return std::to_string(first) + "-" + std::to_string(last);
}

// The variable lines of every occupation field's X14 variable / scale variables.
std::vector<std::string> X14Variables(const CodingParams& params) {
    std::vector<std::string> names;
    for (const TDokumZaw& d : params.DokumList) {
        if (!d.X14Mnemo.empty()) names.push_back(" " + d.VarMnemo + d.X14Mnemo);
    }
    return names;
}

std::vector<std::string> ScaleVariables(const CodingParams& params) {
    std::vector<std::string> names;
    for (const TDokumZaw& d : params.DokumList) {
        if (!d.HasScales) continue;
        for (int n = 1; n <= kScales; ++n) {
            if (!d.ScaleMnemo[n].empty()) names.push_back(" " + d.VarMnemo + d.ScaleMnemo[n]);
        }
    }
    return names;
}

// The script's lines are written into this, step after step. A one-character prefix to a
// temporary string is a char here (' ' + f(), not " " + f()): GCC 12 at -O3 warns falsely of
// overlapping copies (-Wrestrict) on the string-literal form.
class Script {
  public:
    Script(const CodingParams& params, const Classification& clf)
        : params_(params),
          clf_(clf),
          mnemo_(ClassificationMnemo(clf)),
          x14_(X14Variables(params)),
          scales_(ScaleVariables(params)) {
        for (const TDokumZaw& d : params.DokumList) codes_.push_back(" " + d.VarMnemo + mnemo_);
        // One block per variable of the profile that some field carries, in the profile's order.
        if (!clf.Profile) return;
        for (const DerivedVariable& v : clf.Profile->Variables) {
            std::vector<std::string> names;
            for (const TDokumZaw& d : params.DokumList) {
                for (const DerivedVariable* r : Requested(clf, d)) {
                    if (r == &v) names.push_back(" " + d.VarMnemo + v.Mnemo);
                }
            }
            if (!names.empty()) profile_.push_back({&v, std::move(names)});
        }
    }

    std::vector<std::string> Lines(const std::string& ascPath) && {
        DataList(ascPath);
        VariableLabels();
        ValueLabels();
        MissingValues();
        Recodes();
        return std::move(s_);
    }

  private:
    void Add(std::string line) { s_.push_back(std::move(line)); }
    void AddAll(const std::vector<std::string>& lines) {
        s_.insert(s_.end(), lines.begin(), lines.end());
    }

    // The columns of every variable in the output data file.
    void DataList(const std::string& ascPath) {
        Add("DATA LIST");
        Add(" FILE=" + Apostrophed(ascPath));
        Add(" RECORD=1/");
        int k = params_.RespIdWidth;
        Add(std::string(" REC_ID 1") + (k > 1 ? '-' + std::to_string(k) : std::string()) + " (A)");
        for (const TDokumZaw& d : params_.DokumList) {
            Add(" " + d.VarMnemo + mnemo_ + " " + Columns(k + 1, k + params_.CodeWidth));
            k += params_.CodeWidth;
            if (!d.X14Mnemo.empty()) {
                Add(" " + d.VarMnemo + d.X14Mnemo + " " + Columns(k + 1, k + 2));
                k += 2;
            }
            if (d.HasScales) {
                for (int n = 1; n <= kScales; ++n) {
                    if (d.ScaleMnemo[n].empty()) continue;
                    Add(" " + d.VarMnemo + d.ScaleMnemo[n] + " " + Columns(k + 1, k + 3) + " (1)");
                    k += 3;
                }
            }
            for (const DerivedVariable* v : Requested(clf_, d)) {
                const int w = static_cast<int>(v->Width);
                Add(" " + d.VarMnemo + v->Mnemo + " " +
                    (w > 1 ? Columns(k + 1, k + w) : std::to_string(k + 1)));
                k += w;
            }
        }
        Add(".");
    }

    void VariableLabels() {
        Add("VARIABLE LABELS");
        Add(std::string(" ") + kRespIdMnemo);
        Add(' ' + Quoted(params_.RespIdLabel));
        for (const TDokumZaw& d : params_.DokumList) {
            Add(" " + d.VarMnemo + mnemo_);
            Add(' ' + Quoted(d.VarName + " (" + ClassificationDisplayName(clf_) + ")"));
            if (!d.X14Mnemo.empty()) {
                Add(" " + d.VarMnemo + d.X14Mnemo);
                Add(' ' + Quoted(d.VarName + " " + d.X14Name));
            }
            if (d.HasScales) {
                for (int n = 1; n <= kScales; ++n) {
                    if (d.ScaleMnemo[n].empty()) continue;
                    Add(" " + d.VarMnemo + d.ScaleMnemo[n]);
                    Add(' ' + Quoted(d.VarName + " " + d.ScaleName[n]));
                }
            }
            for (const DerivedVariable* v : Requested(clf_, d)) {
                Add(" " + d.VarMnemo + v->Mnemo);
                Add(' ' + Quoted(d.VarName + " " + RequestedName(d, *v)));
            }
        }
        Add(".");
    }

    void ValueLabels() {
        Add("VALUE LABELS");
        AddAll(codes_);
        for (const auto& entry : clf_.Categories) {
            const TKat& cat = entry.value;
            const std::string* label = nullptr;
            if (cat.Code == clf_.MissingDataCode) {
                label = &clf_.MissingDataName;
            } else if (cat.Code == clf_.NotApplicableCode) {
                label = &clf_.NotApplicableName;
            } else {
                label = cat.ShortLabel.empty() ? &cat.Name : &cat.ShortLabel;
            }
            if (label->empty()) continue;
            Add(" " + cat.Code + " " + Quoted(*label));
        }
        Add(".");
        if (params_.X14Declared) {
            Add("VALUE LABELS");
            AddAll(x14_);
            for (const auto& entry : params_.X14LabelList) {
                Add(" " + entry.key + " " + Quoted(entry.value.Text));
            }
            Add(".");
        }
        if (params_.ScalesDeclared) {
            Add("VALUE LABELS");
            AddAll(scales_);
            Add(' ' + ScaleValueText(kScaleMissing) + " " + Quoted(kScaleMissingLabel));
            Add(' ' + ScaleValueText(kScaleNotApplicable) + " " + Quoted(kScaleNotApplicableLabel));
            Add(".");
        }
        for (const auto& [v, names] : profile_) {
            Add("VALUE LABELS");
            AddAll(names);
            for (const auto& [value, label] : v->Labels) Add(" " + value + " " + Quoted(label));
            Add(" " + v->Missing + " " + Quoted(kScaleMissingLabel));
            Add(" " + v->NotApplicable + " " + Quoted(kScaleNotApplicableLabel));
            Add(".");
        }
    }

    // One block per kind of variable: its variables, then the closing line.
    void Block(const char* command, const std::vector<std::string>& variables,
               const std::string& closing) {
        Add(command);
        AddAll(variables);
        Add(closing);
    }

    void MissingValues() {
        Block("MIS VAL", codes_, " (" + clf_.MissingDataCode + ").");
        if (params_.X14Declared) Block("MIS VAL", x14_, std::string(" (") + kX14Missing + ").");
        if (params_.ScalesDeclared) {
            Block("MIS VAL", scales_, " (" + ScaleValueText(kScaleMissing) + ").");
        }
        for (const auto& [v, names] : profile_) Block("MIS VAL", names, " (" + v->Missing + ").");
    }

    // The not-applicable codes become system-missing.
    void Recodes() {
        Block("RECODE", codes_, " (" + clf_.NotApplicableCode + "=SYSMIS).");
        if (params_.X14Declared) {
            Block("RECODE", x14_, std::string(" (") + kX14NotApplicable + "=SYSMIS).");
        }
        if (params_.ScalesDeclared) {
            Block("RECODE", scales_, " (" + ScaleValueText(kScaleNotApplicable) + "=SYSMIS).");
        }
        for (const auto& [v, names] : profile_) {
            Block("RECODE", names, " (" + v->NotApplicable + "=SYSMIS).");
        }
    }

    const CodingParams& params_;
    const Classification& clf_;
    const std::string& mnemo_;
    std::vector<std::string> codes_;
    std::vector<std::string> x14_;
    std::vector<std::string> scales_;
    // The profile's variables and the variable lines of each.
    std::vector<std::pair<const DerivedVariable*, std::vector<std::string>>> profile_;
    std::vector<std::string> s_;
};

}  // namespace

std::string FormatOutputData(const CodingParams& params, const Classification& clf,
                             const CaseModel& cases, const WorkProgress& progress) {
    StringSink out;
    WriteOutputData(out, params, clf, cases, progress);
    return std::move(out.text);
}

void WriteOutputData(ByteSink& out, const CodingParams& params, const Classification& clf,
                     const CaseModel& cases, const WorkProgress& progress) {
    // Made a megabyte at a time: a million lines need neither a million strings nor one string
    // of the file's size.
    ChunkedText chunks(out);
    DerivedValues derived(params, clf);
    ProgressMeter meter(progress, cases.Respondents.size());
    for (size_t i = 0; i < cases.Respondents.size(); ++i) {
        meter.Advance(i);
        AppendOutputLine(chunks.text, params, derived, cases.Respondents[i]);
        chunks.text.append("\r\n");
        chunks.Pass();
    }
    chunks.Flush();
    meter.Finish();
}

OutputLines::OutputLines(const CodingParams& params, const Classification& clf)
    : params_(params), derived_(std::make_unique<Derived>(params, clf)) {
    line_.reserve(OutputLineLength(params, clf));
}

OutputLines::~OutputLines() = default;

std::string_view OutputLines::Line(const TOsoba& respondent) {
    line_.clear();
    AppendOutputLine(line_, params_, *derived_, respondent);
    return line_;
}

std::vector<OutputColumn> OutputColumns(const CodingParams& params, const Classification& clf) {
    using Kind = OutputColumn::Kind;
    std::vector<OutputColumn> columns;
    size_t at = 0;
    const auto add = [&](std::string name, std::string label, Kind kind, int width,
                         std::string missing, std::string notApplicable) -> OutputColumn& {
        const auto w = static_cast<size_t>(std::max(width, 0));
        OutputColumn& c = columns.emplace_back();
        c.Name = std::move(name);
        c.Label = std::move(label);
        c.Type = kind;
        c.First = at;
        c.Width = w;
        c.Missing = std::move(missing);
        c.NotApplicable = std::move(notApplicable);
        at += w;
        return c;
    };
    add(kRespIdMnemo, params.RespIdLabel, Kind::Id, params.RespIdWidth, {}, {});
    for (const TDokumZaw& d : params.DokumList) {
        add(d.VarMnemo + ClassificationMnemo(clf),
            d.VarName + " (" + ClassificationDisplayName(clf) + ")", Kind::Code, params.CodeWidth,
            clf.MissingDataCode, clf.NotApplicableCode);
        if (!d.X14Mnemo.empty()) {
            add(d.VarMnemo + d.X14Mnemo, d.VarName + " " + d.X14Name, Kind::X14, 2, kX14Missing,
                kX14NotApplicable);
        }
        if (d.HasScales) {
            for (int n = 1; n <= kScales; ++n) {
                if (d.ScaleMnemo[n].empty()) continue;
                add(d.VarMnemo + d.ScaleMnemo[n], d.VarName + " " + d.ScaleName[n], Kind::Scale, 3,
                    kScaleMissing, kScaleNotApplicable)
                    .Decimals = 1;
            }
        }
        for (const DerivedVariable* v : Requested(clf, d)) {
            add(d.VarMnemo + v->Mnemo, d.VarName + " " + RequestedName(d, *v), Kind::Derived,
                static_cast<int>(v->Width), v->Missing, v->NotApplicable)
                .Variable = v;
        }
    }
    return columns;
}

std::vector<std::string> SpssScriptLines(const CodingParams& params, const Classification& clf,
                                         const std::string& ascPath) {
    return Script(params, clf).Lines(ascPath);
}

bool CheckOutputFits(const CodingParams& params, const Classification& clf,
                     const std::string& paramsPath, const std::string& classificationPath,
                     std::vector<std::string>& errorPage) {
    // In the order of the file's lines, as the parser reports.
    std::vector<std::pair<int, std::vector<std::string>>> faults;
    const auto fault = [&faults](int line, const std::string& text, std::string message) {
        faults.push_back({line,
                          {" ", "*** Error in line " + std::to_string(line) + " \"" + text + "\":",
                           std::move(message)}});
    };
    const ClassificationProfile* profile = clf.Profile.get();
    if (profile) {
        for (const auto& [line, text] : params.BuiltInDerivedLines) {
            fault(line, text,
                  std::string("The scales S1..S6 and X14 belong to the built-in ") +
                      kClassificationName + "; the classification " + profile->Name +
                      " gives its own derived variables to #V lines");
        }
    }
    for (const TDokumZaw& d : params.DokumList) {
        for (const DerivedRequest& r : d.Derived) {
            if (!profile) {
                fault(r.Line, r.LineText,
                      "The classification " + classificationPath +
                          " has no profile, so no derived variable " + r.Mnemo + ": its profile " +
                          ProfilePathFor(classificationPath) + " would define it");
            } else if (profile->Find(r.Mnemo) < 0) {
                std::string known;
                for (const DerivedVariable& v : profile->Variables) {
                    known += known.empty() ? "" : ", ";
                    known += v.Mnemo;
                }
                fault(r.Line, r.LineText,
                      "The classification profile " + profile->Path + " has no variable " +
                          r.Mnemo +
                          (known.empty() ? std::string(" (it has none)")
                                         : " (it has " + known + ")"));
            }
        }
    }
    if (faults.empty()) return true;
    std::stable_sort(faults.begin(), faults.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    errorPage.push_back("Errors detected in the coding parameters file '" + paramsPath +
                        "' against the classification '" + classificationPath + "'");
    for (const auto& [line, lines] : faults)
        errorPage.insert(errorPage.end(), lines.begin(), lines.end());
    return false;
}

}  // namespace tarnwick
