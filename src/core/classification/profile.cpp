#include "core/classification/profile.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "core/classification/model.h"
#include "core/io/files.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

bool IsDigits(std::string_view s) {
    return !s.empty() &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A mnemonic as the output's variable names need it: 1 to 3 characters of A-Z, 0-9 and _, the
// first not a digit.
bool IsMnemo(std::string_view s) {
    if (s.empty() || s.size() > 3 || (s[0] >= '0' && s[0] <= '9')) return false;
    return std::all_of(s.begin(), s.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_';
    });
}

std::string PadLeft(std::string_view value, size_t width) {
    std::string out(width > value.size() ? width - value.size() : 0, '0');
    out += value;
    return out;
}

class ProfileReader {
  public:
    ProfileReader(const std::string& path, ClassificationProfile& out) : p_(out) { p_.Path = path; }

    void Line(std::string_view raw, int number) {
        line_ = Trim(raw);
        number_ = number;
        if (line_.size() < 2 || line_[0] != '#') return;  // a comment
        std::vector<std::string> words;
        if (!Words(line_.substr(1), words)) return;
        const std::string command = UpperCaseAscii(words[0]);
        words.erase(words.begin());
        if (command == "NAME") return Name(words);
        if (command == "WIDTH") return Width(words);
        if (command == "MISSING") return Standard(words, p_.MissingCode, p_.MissingName);
        if (command == "NOTAPPLICABLE") {
            return Standard(words, p_.NotApplicableCode, p_.NotApplicableName);
        }
        if (command == "TABLE") return Variable(words, DerivedVariable::Kind::Table);
        if (command == "GROUPING") return Variable(words, DerivedVariable::Kind::Grouping);
        if (command == "V") return TableRow(words);
        if (command == "G") return GroupRow(words);
        if (command == "L") return ValueLabel(words);
        Fault("unknown command #" + command +
              "; a profile knows #NAME, #WIDTH, #MISSING, #NOTAPPLICABLE, #TABLE, #V, #L, "
              "#GROUPING and #G");
    }

    void Finish() {
        if (nameLine_ == 0) FileFault("the line #NAME mnemonic 'name' is missing");
        if (p_.Width == 0) FileFault("the line #WIDTH n is missing");
        for (DerivedVariable& v : p_.Variables) {
            const bool table = v.Type == DerivedVariable::Kind::Table;
            if (table ? v.Values.empty() : v.Ranges.empty()) {
                number_ = v.Line;
                line_ = {};
                Fault(std::string(table ? "the table " : "the grouping ") + v.Mnemo +
                      (table ? " has no #V line" : " has no #G line"));
                continue;
            }
            if (!table) CheckRanges(v);
            SetWidth(v);
        }
    }

    bool Failed() const { return !faults_.empty(); }

    // The faults in the order of the lines, whenever they were found.
    std::vector<std::string> Errors() {
        std::stable_sort(faults_.begin(), faults_.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::string> out;
        for (auto& [line, lines] : faults_) {
            for (std::string& l : lines) out.push_back(std::move(l));
        }
        return out;
    }

  private:
    // The words of a command line: blank-separated, a word that starts with an apostrophe runs
    // to the next one (and loses both).
    bool Words(std::string_view s, std::vector<std::string>& words) {
        size_t i = 0;
        while (i < s.size()) {
            if (s[i] == ' ' || s[i] == '\t') {
                ++i;
                continue;
            }
            if (s[i] == '\'') {
                const size_t close = s.find('\'', i + 1);
                if (close == std::string_view::npos) {
                    Fault("a text in apostrophes has no closing apostrophe");
                    return false;
                }
                words.emplace_back(s.substr(i + 1, close - i - 1));
                i = close + 1;
                continue;
            }
            size_t end = i;
            while (end < s.size() && s[end] != ' ' && s[end] != '\t') ++end;
            words.emplace_back(s.substr(i, end - i));
            i = end;
        }
        if (words.empty()) {
            Fault("a command word must follow the #");
            return false;
        }
        return true;
    }

    bool Count(const std::vector<std::string>& w, size_t least, size_t most, const char* form) {
        if (w.size() >= least && w.size() <= most) return true;
        Fault(std::string("the line must read ") + form);
        return false;
    }

    void Name(const std::vector<std::string>& w) {
        if (!Count(w, 2, 2, "#NAME mnemonic 'name'")) return;
        if (nameLine_ != 0) return Fault("repeated #NAME (line " + std::to_string(nameLine_) + ")");
        const std::string mnemo = UpperCaseAscii(w[0]);
        if (!IsMnemo(mnemo)) return MnemoFault(mnemo);
        if (Trim(w[1]).empty()) return Fault("the classification's name is empty");
        nameLine_ = number_;
        p_.Mnemo = mnemo;
        p_.Name = std::string(Trim(w[1]));
    }

    void Width(const std::vector<std::string>& w) {
        if (!Count(w, 1, 1, "#WIDTH n")) return;
        if (p_.Width != 0) return Fault("repeated #WIDTH");
        int width = 0;
        if (!ParseInt(w[0], width) || width < 1 || width > kMaxProfileWidth) {
            return Fault("the code width must be a whole number from 1 to " +
                         std::to_string(kMaxProfileWidth));
        }
        p_.Width = width;
    }

    // A code of the classification: exactly Width digits, the width known before.
    bool Code(const std::string& code) {
        if (p_.Width == 0) {
            Fault("#WIDTH must come before the first code");
            return false;
        }
        if (!IsDigits(code) || code.size() != static_cast<size_t>(p_.Width)) {
            Fault("the code " + code + " is not " + std::to_string(p_.Width) + " digits");
            return false;
        }
        return true;
    }

    bool Value(const std::string& value, const char* what) {
        if (IsDigits(value) && value.size() <= kMaxDerivedDigits) return true;
        Fault(std::string("the ") + what + " " + value + " is not a number of 1 to " +
              std::to_string(kMaxDerivedDigits) + " digits");
        return false;
    }

    void Standard(const std::vector<std::string>& w, std::string& code, std::string& name) {
        if (!Count(w, 2, 2, "#MISSING code 'label' (or #NOTAPPLICABLE code 'label')")) return;
        if (!Code(w[0])) return;
        if (!code.empty()) return Fault("this code is declared already");
        if (Trim(w[1]).empty()) return Fault("the label is empty");
        if (w[0] == p_.MissingCode || w[0] == p_.NotApplicableCode) {
            return Fault("the missing-data and the not-applicable code must differ");
        }
        code = w[0];
        name = std::string(Trim(w[1]));
    }

    void Variable(const std::vector<std::string>& w, DerivedVariable::Kind kind) {
        const bool table = kind == DerivedVariable::Kind::Table;
        current_ = -1;
        if (!Count(w, table ? 3 : 2, table ? 3 : 2,
                   table ? "#TABLE mnemonic 'label' NEAREST (or NONE)"
                         : "#GROUPING mnemonic 'label'")) {
            return;
        }
        const std::string mnemo = UpperCaseAscii(w[0]);
        if (!IsMnemo(mnemo)) return MnemoFault(mnemo);
        if (const int i = p_.Find(mnemo); i >= 0) {
            return Fault("the variable " + mnemo + " is declared already (line " +
                         std::to_string(p_.Variables[static_cast<size_t>(i)].Line) + ")");
        }
        if (Trim(w[1]).empty()) return Fault("the label is empty");
        DerivedVariable v;
        v.Type = kind;
        v.Mnemo = mnemo;
        v.Label = std::string(Trim(w[1]));
        v.Line = number_;
        if (table) {
            const std::string rule = UpperCaseAscii(w[2]);
            if (rule != "NEAREST" && rule != "NONE") {
                return Fault("the rule for codes the table lacks must be NEAREST or NONE");
            }
            v.Nearest = rule == "NEAREST";
        }
        p_.Variables.push_back(std::move(v));
        current_ = static_cast<int>(p_.Variables.size()) - 1;
    }

    DerivedVariable* Current(DerivedVariable::Kind kind, const char* command, const char* under) {
        if (current_ < 0 || p_.Variables[static_cast<size_t>(current_)].Type != kind) {
            Fault(std::string(command) + " belongs under a " + under + " line");
            return nullptr;
        }
        return &p_.Variables[static_cast<size_t>(current_)];
    }

    void TableRow(const std::vector<std::string>& w) {
        DerivedVariable* v = Current(DerivedVariable::Kind::Table, "#V", "#TABLE");
        if (v == nullptr || !Count(w, 2, 2, "#V code value")) return;
        if (!Code(w[0]) || !Value(w[1], "value")) return;
        if (const auto it = v->ValueLines.find(w[0]); it != v->ValueLines.end()) {
            return Fault("the code " + w[0] + " has a value already (line " +
                         std::to_string(it->second) + ")");
        }
        v->Values.emplace(w[0], w[1]);
        v->ValueLines.emplace(w[0], number_);
    }

    void ValueLabel(const std::vector<std::string>& w) {
        DerivedVariable* v = Current(DerivedVariable::Kind::Table, "#L", "#TABLE");
        if (v == nullptr || !Count(w, 2, 2, "#L value 'label'")) return;
        if (!Value(w[0], "value")) return;
        if (Trim(w[1]).empty()) return Fault("the label is empty");
        if (!pendingLabels_[current_].emplace(w[0], std::string(Trim(w[1]))).second) {
            Fault("the value " + w[0] + " has a label already");
        }
    }

    void GroupRow(const std::vector<std::string>& w) {
        DerivedVariable* v = Current(DerivedVariable::Kind::Grouping, "#G", "#GROUPING");
        if (v == nullptr || !Count(w, 2, 3, "#G low-high class 'label'")) return;
        const size_t hyphen = w[0].find('-');
        const std::string low = w[0].substr(0, hyphen);
        const std::string high = hyphen == std::string::npos ? low : w[0].substr(hyphen + 1);
        if (!Code(low) || !Code(high) || !Value(w[1], "class")) return;
        if (high < low) return Fault("the range " + w[0] + " ends before it begins");
        auto& labels = pendingLabels_[current_];
        const auto known = labels.find(w[1]);
        if (w.size() == 3) {
            const std::string label(Trim(w[2]));
            if (label.empty()) return Fault("the label is empty");
            if (known != labels.end() && known->second != label) {
                return Fault("the class " + w[1] + " has another label already");
            }
            labels.emplace(w[1], label);
        } else if (known == labels.end()) {
            return Fault("the class " + w[1] + " needs a label on its first #G line");
        }
        v->Ranges.push_back({low, high, w[1]});
        rangeLines_[current_].push_back(number_);
    }

    // Ranges are taken in code order; one that reaches into another is a fault of the later
    // line, so that no code has two classes.
    void CheckRanges(DerivedVariable& v) {
        const auto i = static_cast<int>(&v - p_.Variables.data());
        std::vector<size_t> order(v.Ranges.size());
        for (size_t k = 0; k < order.size(); ++k) order[k] = k;
        std::sort(order.begin(), order.end(),
                  [&](size_t a, size_t b) { return v.Ranges[a].Low < v.Ranges[b].Low; });
        std::vector<DerivedVariable::Range> sorted;
        const std::vector<int>& lines = rangeLines_[i];
        for (size_t k = 0; k < order.size(); ++k) {
            const DerivedVariable::Range& r = v.Ranges[order[k]];
            if (!sorted.empty() && r.Low <= sorted.back().High) {
                const size_t before = order[k - 1];
                number_ = std::max(lines[order[k]], lines[before]);
                line_ = {};
                Fault("the ranges of lines " +
                      std::to_string(std::min(lines[order[k]], lines[before])) + " and " +
                      std::to_string(number_) + " of " + v.Mnemo + " overlap");
                continue;
            }
            sorted.push_back(r);
        }
        v.Ranges = std::move(sorted);
    }

    // Values are written at one width; the special values are the nines of that width, one
    // digit wider when a value takes them.
    void SetWidth(DerivedVariable& v) {
        const auto i = static_cast<int>(&v - p_.Variables.data());
        std::vector<std::string> values;
        if (v.Type == DerivedVariable::Kind::Table) {
            for (const auto& [code, value] : v.Values) values.push_back(value);
        } else {
            for (const auto& r : v.Ranges) values.push_back(r.Class);
        }
        for (const auto& [value, label] : pendingLabels_[i]) values.push_back(value);
        size_t width = 1;
        for (const std::string& s : values) width = std::max(width, s.size());
        const auto taken = [&](size_t w) {
            const std::string missing = std::string(w - 1, '9') + '8';
            const std::string na(w, '9');
            return std::any_of(values.begin(), values.end(), [&](const std::string& s) {
                const std::string p = PadLeft(s, w);
                return p == missing || p == na;
            });
        };
        while (taken(width)) ++width;
        v.Width = width;
        v.Missing = std::string(width - 1, '9') + '8';
        v.NotApplicable = std::string(width, '9');
        for (auto& [code, value] : v.Values) value = PadLeft(value, width);
        for (auto& r : v.Ranges) r.Class = PadLeft(r.Class, width);
        for (const auto& [value, label] : pendingLabels_[i])
            v.Labels.emplace(PadLeft(value, width), label);
    }

    void MnemoFault(const std::string& mnemo) {
        Fault("the mnemonic " + mnemo +
              " must be 1 to 3 characters (digits, letters A to Z, _), the first not a digit");
    }

    void Fault(const std::string& message) {
        const std::string n = std::to_string(number_);
        std::vector<std::string> lines = {" ", "*** Error in line " + n + ": " + message + "."};
        if (!line_.empty()) lines.push_back("     Line(" + n + ")='" + std::string(line_) + "'");
        faults_.push_back({number_, std::move(lines)});
    }

    // After every fault of a line.
    void FileFault(const std::string& message) {
        faults_.push_back(
            {INT32_MAX, {" ", "*** Error in classification profile: " + message + "."}});
    }

    ClassificationProfile& p_;
    std::string_view line_;
    int number_ = 0;
    int nameLine_ = 0;
    int current_ = -1;
    std::map<int, std::map<std::string, std::string>> pendingLabels_;
    std::map<int, std::vector<int>> rangeLines_;
    std::vector<std::pair<int, std::vector<std::string>>> faults_;
};

}  // namespace

int ClassificationProfile::Find(std::string_view mnemo) const {
    const std::string upper = UpperCaseAscii(mnemo);
    for (size_t i = 0; i < Variables.size(); ++i) {
        if (Variables[i].Mnemo == upper) return static_cast<int>(i);
    }
    return -1;
}

std::string ProfilePathFor(std::string_view classificationPath) {
    const size_t slash = classificationPath.rfind('/');
    const size_t dot = classificationPath.rfind('.');
    const bool hasExtension =
        dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash + 1);
    std::string path(hasExtension ? classificationPath.substr(0, dot) : classificationPath);
    return path + kExtProfile;
}

bool ParseProfileText(std::string_view text, const std::string& path, ClassificationProfile& out,
                      std::vector<std::string>& errorPage) {
    out = ClassificationProfile{};
    ProfileReader reader(path, out);
    LineCursor lines(text);
    int number = 0;
    for (std::string_view line; lines.Next(line);) {
        if (number < INT32_MAX) ++number;
        reader.Line(line, number);
    }
    reader.Finish();
    if (!reader.Failed()) return true;
    errorPage.push_back("Errors detected in the classification profile '" + path + "'");
    for (std::string& line : reader.Errors()) errorPage.push_back(std::move(line));
    out = ClassificationProfile{};
    return false;
}

bool ReadProfileBeside(const std::string& classificationPath,
                       std::shared_ptr<const ClassificationProfile>& out,
                       std::vector<std::string>& errorPage) {
    out.reset();
    const std::string path = ProfilePathFor(classificationPath);
    if (!PathTaken(path)) return true;
    auto profile = std::make_shared<ClassificationProfile>();
    if (!ParseProfileText(ReadWholeFile(path), path, *profile, errorPage)) return false;
    out = std::move(profile);
    return true;
}

bool CheckProfileAgainst(const ClassificationProfile& profile, const Classification& clf,
                         std::vector<std::string>& errorPage) {
    std::vector<std::string> faults;
    for (const DerivedVariable& v : profile.Variables) {
        for (const auto& [code, line] : v.ValueLines) {
            if (clf.IndexOf(code) >= 0) continue;
            faults.emplace_back(" ");
            faults.push_back("*** Error in line " + std::to_string(line) + ": the table " +
                             v.Mnemo + " gives a value to " + code +
                             ", which is not a category of the classification.");
        }
    }
    if (faults.empty()) return true;
    errorPage.push_back("Errors detected in the classification profile '" + profile.Path + "'");
    errorPage.insert(errorPage.end(), faults.begin(), faults.end());
    return false;
}

std::string DerivedValue(const Classification& clf, const DerivedVariable& v,
                         std::string_view code) {
    if (IsBlank(code)) return std::string(v.Width, ' ');
    if (code == clf.NotApplicableCode) return v.NotApplicable;
    if (code == clf.MissingDataCode) return v.Missing;
    if (v.Type == DerivedVariable::Kind::Table) {
        if (const auto it = v.Values.find(code); it != v.Values.end()) return it->second;
        if (!v.Nearest) return v.Missing;
        // The codes above it: its beginnings, filled up with zeros (1411, 1410, 1400, 1000).
        std::string above(code);
        for (size_t n = code.size(); n-- > 1;) {
            above[n] = '0';
            if (const auto it = v.Values.find(above); it != v.Values.end()) return it->second;
        }
        return v.Missing;
    }
    const auto it = std::upper_bound(
        v.Ranges.begin(), v.Ranges.end(), code,
        [](std::string_view c, const DerivedVariable::Range& r) { return c < r.Low; });
    if (it == v.Ranges.begin()) return v.Missing;
    const DerivedVariable::Range& r = *std::prev(it);
    return code <= r.High ? r.Class : v.Missing;
}

const std::string& ClassificationDisplayName(const Classification& clf) {
    static const std::string kBuiltIn = kClassificationName;
    return clf.Profile ? clf.Profile->Name : kBuiltIn;
}

const std::string& ClassificationMnemo(const Classification& clf) {
    static const std::string kBuiltIn = kClassificationMnemo;
    return clf.Profile ? clf.Profile->Mnemo : kBuiltIn;
}

}  // namespace tarnwick
