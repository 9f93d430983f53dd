#pragma once
// The coding memory's normalised answers: their texts in large blocks of characters and a flat
// table from a text to its slot. A large project's memory holds millions of answers; one
// allocation and one node of a hash map each cost more than the text itself, and finding an
// answer among them walked a chain of nodes scattered over memory.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <vector>

namespace tarnwick::suggest {

class AnswerIndex {
  public:
    static constexpr uint32_t kNone = UINT32_MAX;

    // The slot of `text`, or kNone. `hash` is the text's well-mixed hash (the caller has it
    // already), `slotText` gives a slot's text.
    template <class SlotText>
    uint32_t Find(std::string_view text, uint64_t hash, const SlotText& slotText) const {
        if (live_ == 0) return kNone;
        const uint32_t tag = Tag(hash);
        const size_t mask = cells_.size() - 1;
        for (size_t at = tag & mask;; at = (at + 1) & mask) {
            const Cell& cell = cells_[at];
            if (cell.slotPlusOne == 0) return kNone;
            if (cell.slotPlusOne != kGone && cell.tag == tag &&
                slotText(cell.slotPlusOne - 1) == text) {
                return cell.slotPlusOne - 1;
            }
        }
    }

    // The slot of `text`; a text not held yet gets `slot` (and added is set).
    template <class SlotText>
    uint32_t Insert(std::string_view text, uint64_t hash, uint32_t slot, const SlotText& slotText,
                    bool& added) {
        if ((live_ + gone_ + 1) * 10 > cells_.size() * 7) Rehash((live_ + 1) * 2);
        const uint32_t tag = Tag(hash);
        const size_t mask = cells_.size() - 1;
        size_t free = SIZE_MAX;
        for (size_t at = tag & mask;; at = (at + 1) & mask) {
            const Cell& cell = cells_[at];
            if (cell.slotPlusOne == 0) {
                if (free == SIZE_MAX) {
                    free = at;
                } else {
                    --gone_;
                }
                cells_[free] = Cell{tag, slot + 1};
                ++live_;
                added = true;
                return slot;
            }
            if (cell.slotPlusOne == kGone) {
                if (free == SIZE_MAX) free = at;
            } else if (cell.tag == tag && slotText(cell.slotPlusOne - 1) == text) {
                added = false;
                return cell.slotPlusOne - 1;
            }
        }
    }

    // Forgets the text of this hash, which the index holds at `slot`.
    void Erase(uint64_t hash, uint32_t slot) {
        const uint32_t tag = Tag(hash);
        const size_t mask = cells_.size() - 1;
        for (size_t at = tag & mask; cells_[at].slotPlusOne != 0; at = (at + 1) & mask) {
            if (cells_[at].slotPlusOne == slot + 1) {
                cells_[at].slotPlusOne = kGone;
                --live_;
                ++gone_;
                return;
            }
        }
    }

    // Room for `count` texts in all without growing.
    void Reserve(size_t count) {
        if ((count + gone_) * 10 > cells_.size() * 7) Rehash(count);
    }

    size_t Size() const { return live_; }

    // A copy of `text` that stays where it is for the index's life (moves included).
    std::string_view Keep(std::string_view text) {
        if (text.size() > blockLeft_) {
            const size_t size = std::max(kBlock, text.size());
            blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
            blockAt_ = blocks_.back().get();
            blockLeft_ = size;
        }
        std::memcpy(blockAt_, text.data(), text.size());
        const std::string_view kept(blockAt_, text.size());
        blockAt_ += text.size();
        blockLeft_ -= text.size();
        return kept;
    }

  private:
    struct Cell {
        uint32_t tag = 0;
        uint32_t slotPlusOne = 0;  // 0: empty; kGone: an answer forgotten
    };
    static constexpr uint32_t kGone = UINT32_MAX;
    // Texts of forgotten answers stay in their block: an undo is rare next to learning.
    static constexpr size_t kBlock = size_t{8} << 20;

    static uint32_t Tag(uint64_t hash) { return static_cast<uint32_t>(hash >> 32); }

    // Room for `count` at most seven tenths full, rebuilt from the tags alone without reading a
    // text.
    void Rehash(size_t count) {
        size_t size = 1024;
        while (size * 7 < (count + 1) * 10) size *= 2;
        std::vector<Cell> old(size);
        old.swap(cells_);
        const size_t mask = cells_.size() - 1;
        for (const Cell& cell : old) {
            if (cell.slotPlusOne == 0 || cell.slotPlusOne == kGone) continue;
            size_t at = cell.tag & mask;
            while (cells_[at].slotPlusOne != 0) at = (at + 1) & mask;
            cells_[at] = cell;
        }
        gone_ = 0;
    }

    std::vector<Cell> cells_ = std::vector<Cell>(1024);
    size_t live_ = 0;
    size_t gone_ = 0;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* blockAt_ = nullptr;
    size_t blockLeft_ = 0;
};

}  // namespace tarnwick::suggest
