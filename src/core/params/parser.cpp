#include "core/params/parser.h"

#include <algorithm>

#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

constexpr int kCodeWidth = 4;

// Columns beyond this are taken for a typing slip: normalising a code to a width of millions
// of columns would only exhaust memory, and no survey record comes near it.
constexpr int kMaxColumn = 99999;

constexpr const char* kBadCommand = "Command identifier cannot be accepted";
constexpr const char* kNeedsJ = "Declaration requires a preceding #J line";

std::string_view SkipSpaces(std::string_view s) {
    size_t i = 0;
    while (i < s.size() && s[i] == ' ') ++i;
    return s.substr(i);
}

// Drops one apostrophe from the start and then one from the end, when present.
std::string_view StripApostrophes(std::string_view s) {
    if (!s.empty() && s.front() == '\'') s.remove_prefix(1);
    if (!s.empty() && s.back() == '\'') s.remove_suffix(1);
    return s;
}

// The next run of non-space characters of `rest`; `after` receives what follows it.
std::string_view ReadRun(std::string_view rest, std::string_view& after) {
    const std::string_view s = SkipSpaces(rest);
    const size_t end = s.find(' ');
    if (end == std::string_view::npos) {
        after = {};
        return s;
    }
    after = s.substr(end);
    return s.substr(0, end);
}

// The first parameter: a quoted text (up to the next apostrophe or the end of the line) or a
// run of non-space characters, without its enclosing apostrophes.
std::string_view ReadFirst(std::string_view rest, std::string_view& after) {
    const std::string_view s = SkipSpaces(rest);
    if (!s.empty() && s.front() == '\'') {
        const size_t close = s.find('\'', 1);
        if (close == std::string_view::npos) {
            after = {};
            return StripApostrophes(s);
        }
        after = s.substr(close + 1);
        return StripApostrophes(s.substr(0, close + 1));
    }
    return StripApostrophes(ReadRun(s, after));
}

// The second parameter: the rest of the line, trimmed, one apostrophe off each end, trimmed.
std::string ReadSecond(std::string_view after) {
    return std::string(Trim(StripApostrophes(Trim(after))));
}

// A location "first-last" or "column". Both numbers must be integers, the first at least 1 and
// the last not before the first.
bool ParseLocation(std::string_view run, int& pos, int& width) {
    int first = 0;
    int last = 0;
    const size_t hyphen = run.find('-');
    if (hyphen == std::string_view::npos) {
        if (!ParseInt(run, first)) return false;
        last = first;
    } else if (!ParseInt(run.substr(0, hyphen), first) || !ParseInt(run.substr(hyphen + 1), last)) {
        return false;
    }
    if (first < 1 || last < first || last > kMaxColumn) return false;
    pos = first;
    width = last - first + 1;
    return true;
}

bool IsMnemoChar(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '_'; }

bool IsDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s) {
        if (c < '0' || c > '9') return false;
    }
    return true;
}

class Parser {
  public:
    Parser(CodingParams& model, std::vector<std::string>& errorPage)
        : m_(model), errors_(errorPage) {}

    void Line(std::string_view line, int number) {
        line_ = line;
        number_ = number;
        const size_t space = line.find(' ', 1);
        const std::string word = UpperCase1250(
            line.substr(1, space == std::string_view::npos ? std::string_view::npos : space - 1));
        rest_ = space == std::string_view::npos ? std::string_view{} : line.substr(space);
        if (word.empty()) return Fault(kBadCommand);
        switch (word[0]) {
            case 'F':
                return Filter();
            case 'I':
                return Info(std::string_view(word).substr(1));
            case 'J':
                return Occupation();
            case 'R':
                return Respondent();
            case 'T':
                return Label();
            default:
                break;
        }
        if (word.size() == 2 && word[0] == 'S' && word[1] >= '1' && word[1] <= '6') {
            return Scale(word[1] - '0');
        }
        if (word == "X14") return X14();
        if (word == "V") return Derived();
        Fault(kBadCommand);
    }

    void Finish() {
        if (m_.RespIdPos == 0) FileFault("No respondent ID declaration");
        if (!error_ && m_.X14Declared) MergeX14();
    }

    bool Failed() const { return error_; }

  private:
    enum class Context { None, Info, X14 };

    void Fault(std::string_view message) {
        errors_.emplace_back(" ");
        errors_.push_back("*** Error in line " + std::to_string(number_) + " \"" +
                          std::string(line_) + "\":");
        errors_.emplace_back(message);
        error_ = true;
    }

    void FileFault(std::string message) {
        errors_.emplace_back(" ");
        errors_.emplace_back("*** Error in coding parameters file");
        errors_.push_back(std::move(message));
        error_ = true;
    }

    // Declarations that belong to an occupation field need one. After an earlier fault nothing
    // is stored anyway, so such lines are then only checked.
    bool LacksOccupation() {
        if (current_ != nullptr || error_) return false;
        Fault(kNeedsJ);
        return true;
    }

    void Respondent() {
        std::string_view after;
        int pos = 0;
        int width = 0;
        if (!ParseLocation(ReadRun(rest_, after), pos, width)) {
            Fault("Respondent ID location not properly specified");
        }
        std::string label = ReadSecond(after);
        if (label.empty()) Fault("Respondent ID var label not specified");
        if (!m_.RespIdMnemo.empty()) Fault("Repeated declaration of respondent ID");
        if (error_) return;
        m_.RespIdPos = pos;
        m_.RespIdWidth = width;
        m_.RespIdMnemo = kRespIdMnemo;
        m_.RespIdLabel = std::move(label);
    }

    void Occupation() {
        context_ = Context::None;
        std::string_view after;
        const std::string_view raw = Trim(ReadFirst(rest_, after));
        if (raw.empty()) Fault("First parameter (var mnemo) is missing");
        if (raw.size() > 5) Fault("Length of var mnemo exceeds 5 chars");
        const std::string mnemo = UpperCaseAscii(raw);
        if (!mnemo.empty()) {
            bool bad = mnemo[0] >= '0' && mnemo[0] <= '9';
            for (char c : mnemo) bad = bad || !IsMnemoChar(c);
            if (bad) {
                Fault("Var mnemo=\"" + mnemo +
                      "\" contains unaccepted characters or starts with a digit");
            }
        }
        std::string name = ReadSecond(after);
        if (name.empty()) Fault("2nd parameter (var name) is missing");
        if (error_) return;
        m_.DokumList.emplace_back(mnemo, std::move(name));
        current_ = &m_.DokumList.back();
    }

    void Info(std::string_view numberText) {
        int n = 0;
        if (!ParseInt(numberText, n)) return Fault(kBadCommand);
        if (n < 1 || n > kInfoFields)
            return Fault("Number of information field out of range <1-13>");
        if (LacksOccupation()) return;
        context_ = Context::Info;
        contextInfo_ = n;
        std::string_view after;
        int pos = 0;
        int width = 0;
        if (!ParseLocation(ReadRun(rest_, after), pos, width)) {
            Fault("Data field location not properly declared");
        }
        if (!error_) {
            current_->InfoPos[n] = pos;
            current_->InfoWidth[n] = width;
        }
        std::string descr = ReadSecond(after);
        if (descr.empty()) {
            Fault("Information field description not specified");
        } else if (!error_) {
            current_->InfoDescr[n] = std::move(descr);
        }
    }

    void Filter() {
        if (LacksOccupation()) return;
        context_ = Context::None;
        std::string_view after;
        int pos = 0;
        int width = 0;
        if (!ParseLocation(ReadRun(rest_, after), pos, width)) {
            Fault("Filter location unproperly specified");
        }
        if (error_) return;
        current_->FilterPos = pos;
        current_->FilterWidth = width;
        const std::string range = ReadSecond(after);
        std::string_view low = range;
        std::string_view high = range;
        const size_t hyphen = range.find('-');
        if (hyphen != std::string::npos) {
            low = std::string_view(range).substr(0, hyphen);
            high = std::string_view(range).substr(hyphen + 1);
            // "1-" would let nothing but zeros pass and "-3" nothing at all: a slip, not a range.
            if (low.empty() || high.empty()) Fault("Filter range not properly specified");
        }
        if (low.size() > static_cast<size_t>(width) || high.size() > static_cast<size_t>(width)) {
            Fault("Filter range contains numbers out of filter field width");
        }
        if (!error_ && !low.empty()) {
            current_->FilterLow = NormaliseCode(low, width);
            current_->FilterHigh = NormaliseCode(high, width);
        } else if (!error_ && !current_->FilterLow.empty()) {
            // A range kept from an earlier #F line of another width would be compared byte by byte
            // with values of this width, and pass the wrong ones: it is brought to the new width.
            if (!Refit(current_->FilterLow, width) || !Refit(current_->FilterHigh, width)) {
                Fault("Filter range contains numbers out of filter field width");
            }
        }
    }

    // A normalised value brought to another width: padding zeros are added or dropped. False when
    // a digit other than a padding zero would have to go.
    static bool Refit(std::string& value, int width) {
        const size_t w = static_cast<size_t>(width);
        if (value.size() < w) value.insert(0, w - value.size(), '0');
        size_t drop = 0;
        while (value.size() - drop > w && value[drop] == '0') ++drop;
        value.erase(0, drop);
        return value.size() == w;
    }

    void Label() {
        std::string_view after;
        const std::string code(ReadFirst(rest_, after));
        if (code.empty()) Fault("No answer code");
        std::string text = ReadSecond(after);
        if (text.empty()) Fault("No answer description");
        if (error_ || current_ == nullptr) return;
        if (context_ == Context::Info) {
            const int width = current_->InfoWidth[contextInfo_];
            if (code.size() > static_cast<size_t>(width)) {
                Fault("Length of answer code exceeds data field width");
                return;
            }
            std::string key = NormaliseCode(code, width);
            current_->InfoLabels[contextInfo_].Add(key, TTekstOdp{key, std::move(text)});
        } else if (context_ == Context::X14) {
            if (code.size() > 2) Fault("Length of answer code exceeds 2 chars");
            std::string key = NormaliseCode(code, 2);
            // Only plain two-digit forms are accepted, so that the merged list holds no other
            // spelling of a category ("+5", " 5 ").
            int value = 0;
            const bool inRange = IsDigits(key) && ParseInt(key, value) &&
                                 ((value >= 1 && value <= 14) || value == 98 || value == 99);
            if (!inRange) Fault("Code out of range");
            if (error_) return;
            current_->X14Labels.Add(key, TTekstOdp{key, std::move(text)});
        }
    }

    void Scale(int n) {
        if (LacksOccupation()) return;
        context_ = Context::None;
        m_.ScalesDeclared = true;
        std::string_view after;
        std::string mnemo(ReadFirst(rest_, after));
        if (mnemo.empty()) Fault("1st parameter (var mnemo) missing");
        if (mnemo.size() > 3) Fault("Length of var mnemo exceeds 3 chars");
        std::string name = ReadSecond(after);
        if (name.empty()) Fault("2nd parameter (var name) missing");
        if (error_) return;
        if (!current_->ScaleMnemo[n].empty()) {
            return Fault("Repeated declaration of scale no " + std::to_string(n));
        }
        current_->HasScales = true;
        current_->ScaleMnemo[n] = std::move(mnemo);
        current_->ScaleName[n] = std::move(name);
        m_.BuiltInDerivedLines.emplace_back(number_, std::string(line_));
    }

    void X14() {
        if (LacksOccupation()) return;
        context_ = Context::X14;
        std::string_view after;
        std::string mnemo(ReadFirst(rest_, after));
        if (mnemo.empty()) Fault("1st parameter (var mnemo) not specified");
        if (mnemo.size() > 3) Fault("Length of var mnemo exceeds 3 chars");
        std::string name = ReadSecond(after);
        if (name.empty()) Fault("2nd parameter (var name) not specified");
        if (error_) return;
        if (!current_->X14Mnemo.empty()) return Fault("Repeated declaration of X14");
        m_.X14Declared = true;
        current_->X14Mnemo = std::move(mnemo);
        current_->X14Name = std::move(name);
        m_.BuiltInDerivedLines.emplace_back(number_, std::string(line_));
    }

    // A derived variable of the classification's profile; whether the profile has it is known
    // only once the classification is loaded.
    void Derived() {
        if (LacksOccupation()) return;
        context_ = Context::None;
        std::string_view after;
        const std::string mnemo = UpperCaseAscii(ReadFirst(rest_, after));
        if (mnemo.empty()) Fault("1st parameter (var mnemo) missing");
        if (mnemo.size() > 3) Fault("Length of var mnemo exceeds 3 chars");
        if (!mnemo.empty() && (!std::all_of(mnemo.begin(), mnemo.end(), IsMnemoChar) ||
                               IsDigits(mnemo.substr(0, 1)))) {
            Fault("Var mnemo=\"" + mnemo +
                  "\" contains unaccepted characters or starts with a digit");
        }
        std::string name = ReadSecond(after);
        if (error_) return;
        for (const DerivedRequest& r : current_->Derived) {
            if (r.Mnemo == mnemo) return Fault("Repeated declaration of derived variable " + mnemo);
        }
        current_->Derived.push_back({mnemo, std::move(name), number_, std::string(line_)});
    }

    // A later occupation field's label of a category overrides an earlier one's; every class
    // 01..14 must be labelled somewhere, 98 and 99 fall back to fixed texts.
    void MergeX14() {
        LabelList& merged = m_.X14LabelList;
        for (const TDokumZaw& d : m_.DokumList) {
            if (d.X14Mnemo.empty()) continue;
            for (const auto& e : d.X14Labels) {
                const int i = merged.Find(e.key);
                if (i < 0) {
                    merged.Add(e.key, TTekstOdp{e.value.Code, e.value.Text});
                } else {
                    merged[i].Text = e.value.Text;
                }
            }
        }
        for (int k = 1; k <= 14; ++k) {
            // '0' as a char: GCC 12 at -O3 warns falsely (-Wrestrict) on "0" + std::string.
            const std::string key = k < 10 ? '0' + std::to_string(k) : std::to_string(k);
            if (!merged.Contains(key)) FileFault("Label for category " + key + " not defined");
        }
        if (!merged.Contains(kX14Missing)) {
            merged.Add(kX14Missing, TTekstOdp{kX14Missing, "Missing data"});
        }
        if (!merged.Contains(kX14NotApplicable)) {
            merged.Add(kX14NotApplicable, TTekstOdp{kX14NotApplicable, "Not applicable"});
        }
    }

    CodingParams& m_;
    std::vector<std::string>& errors_;
    std::string_view line_;
    std::string_view rest_;
    int number_ = 0;
    bool error_ = false;
    // Points into m_.DokumList; valid because nothing is added after a fault and every addition
    // moves the pointer to the new last element.
    TDokumZaw* current_ = nullptr;
    Context context_ = Context::None;
    int contextInfo_ = 0;
};

}  // namespace

CodingParams EmptyCodingParams() {
    CodingParams m;
    m.CodeWidth = kCodeWidth;
    return m;
}

bool ParseCodingParamsText(std::string_view text, const std::string& path, CodingParams& out,
                           std::vector<std::string>& errorPage, std::string& reportLine) {
    reportLine.clear();
    CodingParams model = EmptyCodingParams();
    Parser parser(model, errorPage);
    int number = 0;
    for (std::string_view line : SplitLines(text)) {
        ++number;
        if (line.size() < 2 || line[0] != '#') continue;
        parser.Line(line, number);
    }
    parser.Finish();
    if (parser.Failed()) {
        out = EmptyCodingParams();
        return false;
    }
    out = std::move(model);
    reportLine = std::string(UiText(Ui::ParamsReadFrom)) + " " + path;
    return true;
}

}  // namespace tarnwick
