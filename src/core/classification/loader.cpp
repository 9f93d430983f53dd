#include "core/classification/loader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "core/classification/key_index.h"
#include "core/classification/profile.h"
#include "core/classification/scales.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// How a character of a key word is indexed: punctuation as a blank (as BlankPunctuation does),
// everything else upper-cased.
const std::array<char, 256>& KeyCharTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        const std::string all = [] {
            std::string a(256, ' ');
            for (int c = 0; c < 256; ++c) a[static_cast<size_t>(c)] = static_cast<char>(c);
            return a;
        }();
        const std::string blanked = UpperCase1250(BlankPunctuation(all));
        for (size_t c = 0; c < 256; ++c) t[c] = blanked[c];
        return t;
    }();
    return table;
}

// Finds the key words of one trimmed description: the text between the first "[" and the first
// "]", both then removed, as long as a "[" is left. Works on the bracket positions instead of
// editing the text, so a long description costs linear time; blanking the punctuation does not
// move a bracket, so it is done on the words alone. Returns false when the brackets break the
// pattern (the search then stops). `opens` and `closes` are scratch space.
template <class Enter>
bool CollectKeyWords(std::string_view t, std::vector<size_t>& opens, std::vector<size_t>& closes,
                     Enter enter) {
    opens.clear();
    closes.clear();
    for (size_t i = t.find('['); i != std::string_view::npos; i = t.find('[', i + 1)) {
        opens.push_back(i);
    }
    if (opens.empty()) return true;
    for (size_t i = t.find(']'); i != std::string_view::npos; i = t.find(']', i + 1)) {
        closes.push_back(i);
    }
    const std::array<char, 256>& keyChar = KeyCharTable();
    // Pair k is the k-th "[" with the k-th "]": all earlier ones were removed. Earlier "]" that
    // lie after this "[" were removed from between the two and do not count.
    size_t before = 0;  // earlier "]" that lie before the current "["
    char word[kMaxKeyLength];
    for (size_t k = 0; k < opens.size(); ++k) {
        const size_t p = opens[k];
        if (k >= closes.size()) return false;
        const size_t q = closes[k];
        if (q < p) return false;
        while (before < k && closes[before] < p) ++before;
        const size_t removedInside = k - before;
        if (q - p - 1 - removedInside == 0) return false;
        size_t length = 0;
        size_t next = before;
        for (size_t i = p + 1; i < q && length < kMaxKeyLength; ++i) {
            if (next < k && closes[next] == i) {
                ++next;
                continue;
            }
            word[length++] = keyChar[static_cast<unsigned char>(t[i])];
        }
        enter(std::string_view(word, length));
    }
    return true;
}

// The description as the coder sees it, from the trimmed text: every braced part (from the first
// "{" to the first "}", while a "{" is left) removed, then no square bracket and no run of
// blanks. Sets `ok` false when the braces break the pattern; what was removed until then stays
// removed.
std::string DisplayText(std::string_view t, bool& ok) {
    ok = true;
    std::string out(t.size(), ' ');
    char* const begin = out.data();
    char* w = begin;
    auto emit = [&](std::string_view piece) {
        for (char c : piece) {
            if (c == '[' || c == ']') continue;
            if (c == ' ' && w != begin && w[-1] == ' ') continue;
            *w++ = c;
        }
    };
    size_t from = 0;
    for (;;) {
        const size_t p = t.find('{', from);
        if (p == std::string_view::npos) break;
        // Nothing before `from` holds a brace any more, so the first "}" of the text as it stands
        // is the first one from `from` on.
        const size_t q = t.find('}', from);
        if (q == std::string_view::npos || q < p + 2) {
            ok = false;
            break;
        }
        emit(t.substr(from, p - from));
        from = q + 1;
    }
    emit(t.substr(from));
    out.resize(static_cast<size_t>(w - begin));
    return out;
}

enum class Field { None, Name, ShortLabel, Description };

class ClassificationLoader {
  public:
    ClassificationLoader(int codeWidth, bool requireBasic, const ClassificationProfile* profile)
        : width_(profile ? profile->Width : codeWidth),
          requireBasic_(requireBasic && profile == nullptr),
          profile_(profile) {}

    void ReadLine(std::string_view raw) {
        ++lineNo_;
        line_ = Trim(raw);
        if (preamble_) {
            if (line_.size() > 2 && line_[0] == '#') {
                preamble_ = false;
            } else {
                return;
            }
        }
        if (line_.empty()) return;
        if (line_.size() >= 2 && line_[0] == '#') {
            switch (UpperCase1250(static_cast<unsigned char>(line_[1]))) {
                case 'C':
                    ReadCodeLine();
                    return;
                case 'N':
                    ReadFieldLine(Field::Name);
                    return;
                case 'S':
                    ReadFieldLine(Field::ShortLabel);
                    return;
                case 'D':
                    ReadFieldLine(Field::Description);
                    return;
                default:
                    break;
            }
        }
        if (open_ != Field::None) {
            std::string& field = FieldOf(clf_.Categories[current_], open_);
            field += ' ';
            field += line_;
        }
    }

    // The checks and derived data after the last line.
    void Finish() {
        if (profile_) {
            TakeStandardCode(profile_->MissingCode, profile_->MissingName, &TKat::IsMissingData,
                             "missing data");
            TakeStandardCode(profile_->NotApplicableCode, profile_->NotApplicableName,
                             &TKat::IsNotApplicable, "not applicable");
        }
        MarkLowestAndStandardCategories();
        CheckDescriptions();
        CheckBasicCategories();
        KeyIndexBuilder keys(CountBrackets());
        EnterDescriptionKeyWords(keys);
        MakeDisplayDescriptions();
        if (failed_) return;
        EnterCodeKeys(keys);
        keys.BuildInto(clf_.KeyWords);
        BuildFullList();
    }

    bool Failed() const { return failed_; }
    int Width() const { return width_; }
    Classification& Result() { return clf_; }

  private:
    // A standard code that the profile gives and the file does not mark: the category is
    // marked, or added with the profile's label as its name and description.
    void TakeStandardCode(const std::string& code, const std::string& label, bool TKat::*flag,
                          const char* what) {
        if (code.empty()) return;
        auto& cats = clf_.Categories;
        for (int i = 0; i < cats.Count(); ++i) {
            if (!(cats[i].*flag) || cats[i].Code == code) continue;
            FileFault(std::string("*** Error in classification file: its standard '") + what +
                      "' code is " + cats[i].Code + ", its profile's " + code);
            return;
        }
        if (code.size() != static_cast<size_t>(width_)) return;  // the profile reported it
        auto [index, added] = cats.Add(code, TKat(code, width_));
        TKat& kat = cats[index];
        if (!(kat.*flag) && (kat.IsMissingData || kat.IsNotApplicable)) {
            FileFault(std::string("*** Error in classification file: its profile's standard '") +
                      what + "' code " + code + " is the file's other standard code");
            return;
        }
        kat.*flag = true;
        if (added) {
            kat.Name = label;
            kat.Description = label;
        }
    }

    void MarkLowestAndStandardCategories() {
        auto& cats = clf_.Categories;
        const int count = cats.Count();
        bool haveMissing = false;
        bool haveNotApplicable = false;
        for (int i = 0; i < count; ++i) {
            TKat& kat = cats[i];
            if (i + 1 < count && IsSubordinate(kat.Code, cats[i + 1].Code)) kat.IsLowest = false;
            if (kat.IsMissingData) {
                if (haveMissing) {
                    CategoryFault(kat.Code,
                                  ": repeated declaration of standard 'missing data' code");
                } else {
                    haveMissing = true;
                    clf_.MissingDataCode = kat.Code;
                    clf_.MissingDataName = kat.Name;
                }
            }
            if (kat.IsNotApplicable) {
                if (haveNotApplicable) {
                    CategoryFault(kat.Code,
                                  ": repeated declaration of standard 'not applicable' code");
                } else {
                    haveNotApplicable = true;
                    clf_.NotApplicableCode = kat.Code;
                    clf_.NotApplicableName = kat.Name;
                }
            }
        }
        if (!haveMissing) {
            FileFault(
                "*** Error in classification file: no category declared as a standard 'missing "
                "data' code");
        }
        if (!haveNotApplicable) {
            FileFault(
                "*** Error in classification file: no category declared as a standard 'not "
                "applicable' code");
        }
    }

    // Only the lowest level categories have descriptions, and each of them has one.
    void CheckDescriptions() {
        for (const auto& entry : clf_.Categories) {
            const TKat& kat = entry.value;
            if (kat.IsLowest && kat.Description.empty()) {
                CategoryFault(kat.Code, ": a description is missing for the lowest level category");
            } else if (!kat.IsLowest && !kat.Description.empty()) {
                CategoryFault(
                    kat.Code,
                    ": a description available for category which is not the lowest level one");
            }
        }
    }

    // Every category of the built-in scales table must be defined.
    void CheckBasicCategories() {
        BuildScaleTable(clf_);
        if (!requireBasic_) return;
        for (const auto& entry : clf_.Categories) {
            const int row = clf_.ScaleTable.Find(entry.value.Code);
            if (row >= 0) clf_.ScaleTable[row].Defined = true;
        }
        for (const auto& row : clf_.ScaleTable) {
            if (!row.value.Defined) {
                FileFault("*** Definition of a basic VKT-2009 category " + row.value.Code +
                          " is missing");
            }
        }
    }

    size_t CountBrackets() const {
        size_t brackets = 0;
        for (const auto& entry : clf_.Categories) {
            const std::string& d = entry.value.Description;
            brackets += static_cast<size_t>(std::count(d.begin(), d.end(), '['));
        }
        return brackets;
    }

    void EnterDescriptionKeyWords(KeyIndexBuilder& keys) {
        auto& cats = clf_.Categories;
        std::vector<size_t> opens;
        std::vector<size_t> closes;
        for (int i = 0; i < cats.Count(); ++i) {
            TKat& kat = cats[i];
            if (kat.Description.empty()) continue;
            const bool ok =
                CollectKeyWords(Trim(kat.Description), opens, closes, [&](std::string_view w) {
                    keys.EnterWord(w, i);
                    kat.KeyTexts.emplace_back(w);
                });
            if (!ok) {
                CategoryFault(kat.Code,
                              ": square brackets [ ] in category description do not follow the "
                              "required patterns");
            }
        }
    }

    void MakeDisplayDescriptions() {
        for (auto& entry : clf_.Categories) {
            TKat& kat = entry.value;
            if (kat.Description.empty()) continue;
            bool ok = true;
            std::string shown = DisplayText(Trim(kat.Description), ok);
            if (!ok) {
                CategoryFault(kat.Code,
                              ": parentheses { } in category description do not follow the "
                              "required patterns");
            }
            kat.Description = std::move(shown);
        }
    }

    // Every beginning of a code of at least three digits is a key too.
    void EnterCodeKeys(KeyIndexBuilder& keys) {
        if (width_ <= 2) return;
        auto& cats = clf_.Categories;
        const size_t longest = std::min(static_cast<size_t>(width_), kMaxKeyLength);
        for (int i = 0; i < cats.Count(); ++i) {
            const std::string& code = cats[i].Code;
            for (size_t n = kMinKeyLength; n <= longest && n <= code.size(); ++n) {
                keys.EnterKey(std::string_view(code).substr(0, n), i);
            }
        }
    }

    void BuildFullList() {
        clf_.FullListLines.reserve(static_cast<size_t>(clf_.Categories.Count()));
        for (auto& entry : clf_.Categories) {
            TKat& kat = entry.value;
            kat.ListText += ": ";
            kat.ListText += kat.Name;
            clf_.FullListLines.push_back(kat.ListText);
        }
    }

    static std::string& FieldOf(TKat& kat, Field field) {
        switch (field) {
            case Field::Name:
                return kat.Name;
            case Field::ShortLabel:
                return kat.ShortLabel;
            default:
                return kat.Description;
        }
    }

    void ReadCodeLine() {
        open_ = Field::None;
        bool missing = false;
        bool notApplicable = false;
        size_t pos = 2;
        if (line_.size() >= 4) {
            const char c = line_[2];
            if (c == 'M' || c == 'm') missing = true;
            if (c == 'N' || c == 'n') notApplicable = true;
            if (missing || notApplicable) pos = 3;
        }
        while (pos < line_.size() && !IsDigit(line_[pos])) ++pos;
        if (pos >= line_.size()) {
            LineFault(": a category code missing.");
            return;
        }
        const std::string code(Trim(line_.substr(pos)));
        if (width_ == 0) {
            width_ = static_cast<int>(std::min<size_t>(
                code.size(), static_cast<size_t>(std::numeric_limits<int>::max())));
        }
        if (code.size() != static_cast<size_t>(width_)) {
            LineFault(": length of a code differs from " + std::to_string(width_) + ".");
            return;
        }
        if (!std::all_of(code.begin(), code.end(), IsDigit)) {
            LineFault(": a code contains characters other than digits.");
            return;
        }
        auto [index, added] = clf_.Categories.Add(code, TKat(code, width_));
        current_ = index;
        if (!added) {
            LineFault(": repeated initialization of " + code + " category.");
            return;
        }
        TKat& kat = clf_.Categories[index];
        kat.IsMissingData = missing;
        kat.IsNotApplicable = notApplicable;
        if (index != clf_.Categories.Count() - 1) {
            LineFault(": a category code not in proper ordering of all categories codes.");
        }
    }

    void ReadFieldLine(Field field) {
        open_ = Field::None;
        size_t pos = 2;
        while (pos < line_.size() && (line_[pos] == ' ' || line_[pos] == '=')) ++pos;
        const std::string_view value = Trim(line_.substr(pos));
        if (value.empty()) {
            switch (field) {
                case Field::Name:
                    LineFault(": an empty name of category.");
                    break;
                case Field::ShortLabel:
                    LineFault(": an empty short label of category.");
                    break;
                default:
                    LineFault(": an empty description of category.");
                    break;
            }
            return;
        }
        if (current_ < 0) {
            switch (field) {
                case Field::Name:
                    LineFault(
                        ": a name definition requires an initialization of the category "
                        "before.");
                    break;
                case Field::ShortLabel:
                    LineFault(": a short label requires an initialization of the category before.");
                    break;
                default:
                    LineFault(
                        ": a category description requires an initialization of the "
                        "category before.");
                    break;
            }
            return;
        }
        TKat& kat = clf_.Categories[current_];
        std::string& target = FieldOf(kat, field);
        if (!target.empty()) {
            switch (field) {
                case Field::Name:
                    LineFault(": repeated name definition in " + kat.Code + " category");
                    break;
                case Field::ShortLabel:
                    LineFault(": repeated short label definition in " + kat.Code + " category");
                    break;
                default:
                    LineFault(": repeated starting line of the category description in " +
                              kat.Code + " category");
                    break;
            }
            return;
        }
        target = value;
        open_ = field;
    }

    void LineFault(std::string_view text) {
        failed_ = true;
        const std::string n = std::to_string(lineNo_);
        auto& errors = clf_.ClassificationErrors;
        errors.emplace_back(" ");
        errors.push_back("*** Error in line " + n + std::string(text));
        errors.push_back("     Line(" + n + ")='" + std::string(line_) + "'");
    }

    void CategoryFault(const std::string& code, std::string_view text) {
        failed_ = true;
        clf_.ClassificationErrors.emplace_back(" ");
        clf_.ClassificationErrors.push_back("*** Error in category " + code + std::string(text));
    }

    void FileFault(std::string message) {
        failed_ = true;
        clf_.ClassificationErrors.emplace_back(" ");
        clf_.ClassificationErrors.push_back(std::move(message));
    }

    Classification clf_;
    int width_;
    long long lineNo_ = 0;
    std::string_view line_;
    bool preamble_ = true;
    int current_ = -1;
    Field open_ = Field::None;
    bool failed_ = false;
    bool requireBasic_ = true;
    const ClassificationProfile* profile_ = nullptr;
};

}  // namespace

bool LoadClassificationText(std::string_view text, const std::string& path, int& codeWidth,
                            Classification& out, std::vector<std::string>& errorPage,
                            bool requireBasicCategories,
                            std::shared_ptr<const ClassificationProfile> profile) {
    ClassificationLoader loader(codeWidth, requireBasicCategories, profile.get());
    LineCursor lines(text);
    for (std::string_view line; lines.Next(line);) loader.ReadLine(line);
    loader.Finish();
    Classification& clf = loader.Result();
    if (loader.Failed()) {
        errorPage.push_back("Errors detected during opening the classification file '" + path +
                            "'");
        errorPage.insert(errorPage.end(), clf.ClassificationErrors.begin(),
                         clf.ClassificationErrors.end());
        out = Classification{};
        return false;
    }
    if (profile && !CheckProfileAgainst(*profile, clf, errorPage)) {
        out = Classification{};
        return false;
    }
    // A width learnt from the first code is kept only with a classification that loaded, so a
    // retry with another file is not judged by a rejected one.
    codeWidth = loader.Width();
    clf.Profile = std::move(profile);
    out = std::move(clf);
    return true;
}

bool IsSubordinate(std::string_view a, std::string_view b) {
    size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    for (; i < a.size(); ++i) {
        if (a[i] != '0') return false;
    }
    return true;
}

std::string BlankPunctuation(std::string_view text) {
    static constexpr auto kIsPunctuation = [] {
        std::array<bool, 256> table{};
        for (unsigned char c : std::string_view(".,:;?\\()\"!@#$%*+=")) table[c] = true;
        return table;
    }();
    std::string out(text);
    for (char& c : out) {
        if (kIsPunctuation[static_cast<unsigned char>(c)]) c = ' ';
    }
    return out;
}

}  // namespace tarnwick
