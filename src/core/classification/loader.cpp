#include "core/classification/loader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <utility>

#include "core/classification/scales.h"
#include "core/session/session.h"
#include "core/text/files.h"
#include "core/text/text.h"

namespace tarnwick {

namespace {

// Keys longer than this are indexed by their first kMaxKeyLength characters only. Nobody types
// more into a key-word box, and every beginning of a key is an entry of its own, so a damaged file
// with a huge bracketed text must not make the index grow with the square of its length.
constexpr size_t kMaxKeyLength = 255;

// The shortest key the index holds.
constexpr size_t kMinKeyLength = 3;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// FNV-1a, which hashes a text from its first byte on, so the hashes of all beginnings of a word
// come from one pass.
constexpr uint64_t kFnvOffset = 14695981039346656037ULL;
constexpr uint64_t kFnvPrime = 1099511628211ULL;

inline uint64_t FnvStep(uint64_t h, char c) {
    return (h ^ static_cast<unsigned char>(c)) * kFnvPrime;
}

inline uint64_t Fnv(std::string_view s) {
    uint64_t h = kFnvOffset;
    for (char c : s) h = FnvStep(h, c);
    return h;
}

// A text kept in an arena of characters.
struct TextRef {
    uint32_t offset;
    uint32_t length;
};

// Gives each distinct text a number, in the order first seen. Open addressing over a flat array
// of small cells, and the texts themselves stay in the caller's arena: loading touches little
// fresh memory, which is what a large index costs most.
class TextIds {
  public:
    explicit TextIds(const std::string& arena) : arena_(arena), cells_(1024) {}

    // The number of `text`; when it is new, it gets the next number and `ref` says where the
    // arena holds it (the caller puts it there).
    uint32_t Intern(std::string_view text, uint64_t hash, TextRef ref, bool& added) {
        if ((refs_.size() + 1) * 4 > cells_.size() * 3) Grow();
        const auto tag = static_cast<uint32_t>(hash >> 32);
        const size_t mask = cells_.size() - 1;
        for (size_t at = Slot(hash) & mask;; at = (at + 1) & mask) {
            Cell& cell = cells_[at];
            if (cell.idPlusOne == 0) {
                const auto id = static_cast<uint32_t>(refs_.size());
                cell = Cell{tag, id + 1};
                refs_.push_back(ref);
                added = true;
                return id;
            }
            if (cell.tag == tag && Text(cell.idPlusOne - 1) == text) {
                added = false;
                return cell.idPlusOne - 1;
            }
        }
    }

    size_t Size() const { return refs_.size(); }
    std::string_view Text(uint32_t id) const {
        return std::string_view(arena_).substr(refs_[id].offset, refs_[id].length);
    }

  private:
    struct Cell {
        uint32_t tag = 0;
        uint32_t idPlusOne = 0;  // 0: empty
    };

    static size_t Slot(uint64_t hash) { return static_cast<size_t>(hash ^ (hash >> 29)); }

    void Grow() {
        cells_.assign(cells_.size() * 2, Cell{});
        const size_t mask = cells_.size() - 1;
        for (uint32_t id = 0; id < refs_.size(); ++id) {
            const uint64_t hash = Fnv(Text(id));
            size_t at = Slot(hash) & mask;
            while (cells_[at].idPlusOne != 0) at = (at + 1) & mask;
            cells_[at] = Cell{static_cast<uint32_t>(hash >> 32), id + 1};
        }
    }

    const std::string& arena_;
    std::vector<Cell> cells_;
    std::vector<TextRef> refs_;
};

// Builds the key-word index in bulk. A word's keys (the word and each of its beginnings) are
// looked up once per distinct word, entries are counted before they are stored, and the keys are
// sorted once at the end: entering every key one by one into a sorted list would cost a shift of
// the list per new key and a lookup per key and occurrence.
//
// Each key gets at most one entry per occurrence of a word, and the words are entered in
// category order, so filling the entries occurrence by occurrence keeps the order in which the
// keys were entered, with the code keys after all the text keys.
class KeyIndexBuilder {
  public:
    explicit KeyIndexBuilder(size_t expectedWords) { wordEntries_.reserve(expectedWords); }

    // Enters `word` and each of its beginnings down to kMinKeyLength characters for category
    // `index`.
    void EnterWord(std::string_view word, int index) {
        if (word.size() > kMaxKeyLength) word = word.substr(0, kMaxKeyLength);
        if (word.size() < kMinKeyLength) return;
        const TextRef ref{static_cast<uint32_t>(arena_.size()), static_cast<uint32_t>(word.size())};
        bool added = false;
        const uint32_t id = words_.Intern(word, Fnv(word), ref, added);
        if (added) {
            arena_.append(word);
            // The keys of a new word, longest first; each lies in the arena as the word's
            // beginning.
            uint64_t hashes[kMaxKeyLength + 1];
            uint64_t h = kFnvOffset;
            for (size_t n = 1; n <= word.size(); ++n) hashes[n] = h = FnvStep(h, word[n - 1]);
            wordFirstKey_.push_back(static_cast<uint32_t>(wordKeys_.size()));
            for (size_t n = word.size(); n >= kMinKeyLength; --n) {
                const TextRef keyRef{ref.offset, static_cast<uint32_t>(n)};
                wordKeys_.push_back(keys_.Intern(word.substr(0, n), hashes[n], keyRef, added));
            }
        }
        wordEntries_.push_back({id, index});
    }

    // Enters one key as it stands (a code key) for category `index`, after every word.
    void EnterKey(std::string_view key, int index) {
        const TextRef ref{static_cast<uint32_t>(arena_.size()), static_cast<uint32_t>(key.size())};
        bool added = false;
        const uint32_t id = keys_.Intern(key, Fnv(key), ref, added);
        if (added) arena_.append(key);
        keyEntries_.push_back({id, index});
    }

    void BuildInto(SortedStringList<TKatKlucz>& list) {
        const size_t count = keys_.Size();
        wordFirstKey_.push_back(static_cast<uint32_t>(wordKeys_.size()));

        // Sort the keys by their bytes: every key is upper case already, so this is the list's
        // case-insensitive order and the list's own sort then meets sorted input. The first
        // eight bytes, as a number, decide most comparisons.
        std::vector<std::pair<uint64_t, uint32_t>> order(count);
        for (uint32_t k = 0; k < count; ++k) {
            const std::string_view key = keys_.Text(k);
            uint64_t head = 0;
            for (size_t i = 0; i < 8; ++i) {
                head = (head << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0U);
            }
            order[k] = {head, k};
        }
        std::sort(order.begin(), order.end(), [&](const auto& a, const auto& b) {
            if (a.first != b.first) return a.first < b.first;
            return keys_.Text(a.second) < keys_.Text(b.second);
        });

        std::vector<uint32_t> rank(count);
        std::vector<SortedStringList<TKatKlucz>::Entry> sorted;
        sorted.reserve(count);
        for (uint32_t r = 0; r < count; ++r) {
            const uint32_t k = order[r].second;
            rank[k] = r;
            const std::string_view key = keys_.Text(k);
            sorted.push_back({std::string(key), TKatKlucz{std::string(key), {}}});
        }
        order = {};

        std::vector<uint32_t> counts(count, 0);
        ForEachEntry([&](uint32_t k, int) { ++counts[rank[k]]; });
        for (uint32_t r = 0; r < count; ++r) sorted[r].value.Entries.reserve(counts[r]);
        ForEachEntry([&](uint32_t k, int index) {
            sorted[rank[k]].value.Entries.push_back(TIndeks{index});
        });
        list.Assign(std::move(sorted));
    }

  private:
    struct Occurrence {
        uint32_t id;  // word id, or key id for a code key
        int index;
    };

    // Calls f(key id, category index) for every entry, in the order entered.
    template <class F>
    void ForEachEntry(F f) const {
        for (const Occurrence& o : wordEntries_) {
            for (uint32_t s = wordFirstKey_[o.id]; s < wordFirstKey_[o.id + 1]; ++s) {
                f(wordKeys_[s], o.index);
            }
        }
        for (const Occurrence& o : keyEntries_) f(o.id, o.index);
    }

    std::string arena_;  // the text of every word and code key
    TextIds keys_{arena_};
    TextIds words_{arena_};
    std::vector<uint32_t> wordFirstKey_;   // word id -> its first key in wordKeys_
    std::vector<uint32_t> wordKeys_;       // the key ids of each word's keys, longest first
    std::vector<Occurrence> wordEntries_;  // every word entered, in order
    std::vector<Occurrence> keyEntries_;   // every code key entered, in order
};

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
    explicit ClassificationLoader(int codeWidth) : width_(codeWidth) {}

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

        for (const auto& entry : cats) {
            const TKat& kat = entry.value;
            if (kat.IsLowest && kat.Description.empty()) {
                CategoryFault(kat.Code, ": a description is missing for the lowest level category");
            } else if (!kat.IsLowest && !kat.Description.empty()) {
                CategoryFault(
                    kat.Code,
                    ": a description available for category which is not the lowest level one");
            }
        }

        BuildScaleTable(clf_);
        for (const auto& entry : cats) {
            const TKat& kat = entry.value;
            const int row = clf_.ScaleTable.Find(kat.Code);
            if (row >= 0) clf_.ScaleTable[row].Defined = true;
        }
        for (const auto& row : clf_.ScaleTable) {
            if (!row.value.Defined) {
                FileFault("*** Definition of a basic VKT-2009 category " + row.value.Code +
                          " is missing");
            }
        }

        size_t brackets = 0;
        for (const auto& entry : cats) {
            const std::string& d = entry.value.Description;
            brackets += static_cast<size_t>(std::count(d.begin(), d.end(), '['));
        }
        KeyIndexBuilder keys(brackets);
        std::vector<size_t> opens;
        std::vector<size_t> closes;
        for (int i = 0; i < count; ++i) {
            const TKat& kat = cats[i];
            if (kat.Description.empty()) continue;
            const bool ok = CollectKeyWords(Trim(kat.Description), opens, closes,
                                            [&](std::string_view w) { keys.EnterWord(w, i); });
            if (!ok) {
                CategoryFault(kat.Code,
                              ": square brackets [ ] in category description do not follow the "
                              "required patterns");
            }
        }

        for (auto& entry : cats) {
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

        if (failed_) return;

        const size_t longestCodeKey = std::min(static_cast<size_t>(width_), kMaxKeyLength);
        if (width_ > 2) {
            for (int i = 0; i < count; ++i) {
                const std::string& code = cats[i].Code;
                for (size_t n = kMinKeyLength; n <= longestCodeKey && n <= code.size(); ++n) {
                    keys.EnterKey(std::string_view(code).substr(0, n), i);
                }
            }
        }
        keys.BuildInto(clf_.KeyWords);

        clf_.FullListLines.reserve(static_cast<size_t>(count));
        for (auto& entry : cats) {
            TKat& kat = entry.value;
            kat.ListText += ": ";
            kat.ListText += kat.Name;
            clf_.FullListLines.push_back(kat.ListText);
        }
    }

    bool Failed() const { return failed_; }
    int Width() const { return width_; }
    Classification& Result() { return clf_; }

  private:
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
};

}  // namespace

bool LoadClassificationText(std::string_view text, const std::string& path, int& codeWidth,
                            Classification& out, std::vector<std::string>& errorPage) {
    ClassificationLoader loader(codeWidth);
    // Lines end with LF or CR LF; the CR goes with the trimming. A last line without its end
    // counts.
    for (size_t pos = 0; pos < text.size();) {
        const size_t end = std::min(text.find('\n', pos), text.size());
        loader.ReadLine(text.substr(pos, end - pos));
        pos = end + 1;
    }
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
    // A width learnt from the first code is kept only with a classification that loaded, so a
    // retry with another file is not judged by a rejected one.
    codeWidth = loader.Width();
    out = std::move(clf);
    return true;
}

bool LoadClassification(Session& session, const std::string& path) {
    const std::string text = ReadWholeFile(path);
    // Entries of the pre-selected list point into the old categories.
    session.PreselectedEntries.clear();
    Classification clf;
    std::vector<std::string> errors;
    if (!LoadClassificationText(text, path, session.Params.CodeWidth, clf, errors)) {
        session.Clf = Classification{};
        for (std::string& line : errors) session.AppendErrorLine(std::move(line));
        return false;
    }
    session.Clf = std::move(clf);
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
