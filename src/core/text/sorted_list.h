#pragma once
// A list kept sorted by a text key, found by binary search. Keys compare without regard to
// letter case (Windows-1250); adding a key that is already there keeps the first entry and
// discards the new one.

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "core/text/strings.h"

namespace tarnwick {

template <class T>
class SortedStringList {
  public:
    struct Entry {
        std::string key;
        T value;
    };

    // Index of `key`, or -1.
    int Find(std::string_view key) const {
        auto it = LowerBound(key);
        if (it != entries_.end() && CompareNoCase(it->key, key) == 0) {
            return static_cast<int>(it - entries_.begin());
        }
        return -1;
    }

    bool Contains(std::string_view key) const { return Find(key) >= 0; }

    // Inserts in key order; returns the entry's index and whether it was added (false when the
    // key was already present, whose first entry then stays).
    std::pair<int, bool> Add(std::string key, T value) {
        auto it = LowerBound(key);
        if (it != entries_.end() && CompareNoCase(it->key, key) == 0) {
            return {static_cast<int>(it - entries_.begin()), false};
        }
        it = entries_.insert(it, Entry{std::move(key), std::move(value)});
        return {static_cast<int>(it - entries_.begin()), true};
    }

    // Builds the list from unsorted entries at once (first of equal keys wins, in input order).
    void Assign(std::vector<Entry> entries) {
        const auto less = [](const Entry& a, const Entry& b) {
            return CompareNoCase(a.key, b.key) < 0;
        };
        // The classification's key words come sorted already: a merge sort would still compare
        // n log n times.
        if (!std::is_sorted(entries.begin(), entries.end(), less)) {
            std::stable_sort(entries.begin(), entries.end(), less);
        }
        auto last = std::unique(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
            return CompareNoCase(a.key, b.key) == 0;
        });
        entries.erase(last, entries.end());
        entries_ = std::move(entries);
    }

    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    void Clear() { entries_.clear(); }
    const std::string& Key(int i) const { return entries_[static_cast<size_t>(i)].key; }
    const T& operator[](int i) const { return entries_[static_cast<size_t>(i)].value; }
    T& operator[](int i) { return entries_[static_cast<size_t>(i)].value; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }
    auto begin() { return entries_.begin(); }
    auto end() { return entries_.end(); }

  private:
    typename std::vector<Entry>::const_iterator LowerBound(std::string_view key) const {
        return std::lower_bound(
            entries_.begin(), entries_.end(), key,
            [](const Entry& e, std::string_view k) { return CompareNoCase(e.key, k) < 0; });
    }
    typename std::vector<Entry>::iterator LowerBound(std::string_view key) {
        return std::lower_bound(
            entries_.begin(), entries_.end(), key,
            [](const Entry& e, std::string_view k) { return CompareNoCase(e.key, k) < 0; });
    }

    std::vector<Entry> entries_;
};

}  // namespace tarnwick
