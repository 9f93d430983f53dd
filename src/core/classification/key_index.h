#pragma once
// The key-word index of a classification, built in bulk: every beginning of at least three
// characters of every key word (and of every code) leads to the categories that hold it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"
#include "core/text/sorted_list.h"

namespace tarnwick {

// Keys longer than this are indexed by their first kMaxKeyLength characters only. Nobody types
// more into a key-word box, and every beginning of a key is an entry of its own, so a damaged file
// with a huge bracketed text must not make the index grow with the square of its length.
inline constexpr size_t kMaxKeyLength = 255;

// The shortest key the index holds.
inline constexpr size_t kMinKeyLength = 3;

namespace key_index_detail {

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

}  // namespace key_index_detail

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
    void EnterWord(std::string_view word, int index);

    // Enters one key as it stands (a code key) for category `index`, after every word.
    void EnterKey(std::string_view key, int index);

    // Stores the index into `list`, replacing what it held.
    void BuildInto(SortedStringList<TKatKlucz>& list);

  private:
    struct Occurrence {
        uint32_t id;  // word id, or key id for a code key
        int index;
    };

    // Calls f(key id, category index) for every entry, in the order entered.
    template <class F>
    void ForEachEntry(F f) const;

    std::string arena_;  // the text of every word and code key
    key_index_detail::TextIds keys_{arena_};
    key_index_detail::TextIds words_{arena_};
    std::vector<uint32_t> wordFirstKey_;   // word id -> its first key in wordKeys_
    std::vector<uint32_t> wordKeys_;       // the key ids of each word's keys, longest first
    std::vector<Occurrence> wordEntries_;  // every word entered, in order
    std::vector<Occurrence> keyEntries_;   // every code key entered, in order
};

}  // namespace tarnwick
