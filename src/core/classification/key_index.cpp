#include "core/classification/key_index.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

using key_index_detail::Fnv;
using key_index_detail::FnvStep;
using key_index_detail::kFnvOffset;
using key_index_detail::TextRef;

template <class F>
void KeyIndexBuilder::ForEachEntry(F f) const {
    for (const Occurrence& o : wordEntries_) {
        for (uint32_t s = wordFirstKey_[o.id]; s < wordFirstKey_[o.id + 1]; ++s) {
            f(wordKeys_[s], o.index);
        }
    }
    for (const Occurrence& o : keyEntries_) f(o.id, o.index);
}

void KeyIndexBuilder::EnterWord(std::string_view word, int index) {
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

void KeyIndexBuilder::EnterKey(std::string_view key, int index) {
    const TextRef ref{static_cast<uint32_t>(arena_.size()), static_cast<uint32_t>(key.size())};
    bool added = false;
    const uint32_t id = keys_.Intern(key, Fnv(key), ref, added);
    if (added) arena_.append(key);
    keyEntries_.push_back({id, index});
}

void KeyIndexBuilder::BuildInto(SortedStringList<TKatKlucz>& list) {
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
    ForEachEntry(
        [&](uint32_t k, int index) { sorted[rank[k]].value.Entries.push_back(TIndeks{index}); });
    list.Assign(std::move(sorted));
}

}  // namespace tarnwick
