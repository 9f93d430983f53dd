#include "core/suggest/analysis.h"

#include <libstemmer.h>

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace tarnwick::suggest {

bool IsStopWord(std::string_view w) {
    static const std::unordered_set<std::string_view> words = {
        "a",          "an", "and", "or", "of",  "the", "in",   "on",    "at",  "to",  "for",
        "with",       "by", "as",  "is", "are", "be",  "from", "other", "nec", "not", "elsewhere",
        "classified", "i",  "w",   "z",  "na",  "do",  "oraz", "lub",   "etc", "s"};
    return words.count(w) != 0;
}

namespace {

struct StemmerDeleter {
    void operator()(sb_stemmer* s) const { sb_stemmer_delete(s); }
};

}  // namespace

const std::array<char, 256>& FoldTable() {
    static const std::array<char, 256> table = [] {
        std::array<char, 256> t{};
        for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<char>(c);
        for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<char>(c);
        for (int c = 'A'; c <= 'Z'; ++c) t[c] = static_cast<char>(c - 'A' + 'a');
        // 0x8A..0x9F: S S T Z Z at 8A 8C 8D 8E 8F, s s t z z at 9A 9C 9D 9E 9F.
        const std::pair<int, char> high[] = {{0x8A, 's'}, {0x8C, 's'}, {0x8D, 't'}, {0x8E, 'z'},
                                             {0x8F, 'z'}, {0x9A, 's'}, {0x9C, 's'}, {0x9D, 't'},
                                             {0x9E, 'z'}, {0x9F, 'z'}, {0xA3, 'l'}, {0xA5, 'a'},
                                             {0xAA, 's'}, {0xAF, 'z'}, {0xB3, 'l'}, {0xB9, 'a'},
                                             {0xBA, 's'}, {0xBC, 'l'}, {0xBE, 'l'}, {0xBF, 'z'}};
        for (const auto& [c, l] : high) t[static_cast<size_t>(c)] = l;
        // 0xC0..0xFF: the same letters in upper and lower case; 0xD7 and 0xF7 are signs.
        const char* letters = "raaaalccceeeeiiddnnooooxruuuuyts";
        for (int i = 0; i < 32; ++i) {
            if (letters[i] == 'x') continue;
            t[static_cast<size_t>(0xC0 + i)] = letters[i];
            t[static_cast<size_t>(0xE0 + i)] = letters[i];
        }
        t[0xFF] = 0;  // the dot above, a sign
        return t;
    }();
    return table;
}

std::string StemUncached(std::string_view folded);

// Stemming costs more than a look-up, and the words of a survey repeat.
std::string Stem(std::string_view folded) {
    thread_local std::unordered_map<std::string, std::string> cache;
    if (auto it = cache.find(std::string(folded)); it != cache.end()) return it->second;
    if (cache.size() > 500000) cache.clear();
    std::string stem = StemUncached(folded);
    cache.emplace(std::string(folded), stem);
    return stem;
}

std::string StemUncached(std::string_view folded) {
    // A stemmer keeps state between calls, so each thread has its own.
    thread_local std::unique_ptr<sb_stemmer, StemmerDeleter> stemmer(
        sb_stemmer_new("english", nullptr));
    if (!stemmer || folded.size() < 3) return std::string(folded);
    const sb_symbol* out =
        sb_stemmer_stem(stemmer.get(), reinterpret_cast<const sb_symbol*>(folded.data()),
                        static_cast<int>(folded.size()));
    if (out == nullptr) return std::string(folded);
    return std::string(reinterpret_cast<const char*>(out),
                       static_cast<size_t>(sb_stemmer_length(stemmer.get())));
}

std::vector<Word> Words(std::string_view text) {
    std::vector<Word> words;
    std::string scratch;
    ForEachFoldedWord(text, scratch, [&](std::string_view w) {
        words.push_back({std::string(w), Stem(w)});
    });
    return words;
}

TitleParts SplitTitle(std::string_view text, const std::function<bool(std::string_view)>& knownWord,
                      const std::function<bool(std::string_view)>& headWord) {
    const auto& fold = FoldTable();
    bool afterHead = false;  // the last word met ends a job's name
    std::string word;
    for (size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (fold[c] == 0) {
            // 0x96 and 0x97 are the en and em dashes of Windows-1250.
            const bool dash = (c == '-' || c == 0x96 || c == 0x97) && i > 0 && text[i - 1] == ' ' &&
                              i + 1 < text.size() && text[i + 1] == ' ';
            if (afterHead && (c == ',' || c == ';' || dash)) {
                return {text.substr(0, i), text.substr(i + 1)};
            }
            ++i;
            continue;
        }
        const size_t start = i;
        word.clear();
        while (i < text.size() && fold[static_cast<unsigned char>(text[i])] != 0) {
            word += fold[static_cast<unsigned char>(text[i])];
            ++i;
        }
        if (afterHead) {
            if (word == "in" || word == "on" || word == "at" || word == "for" || word == "with") {
                return {text.substr(0, start), text.substr(i)};
            }
            if (word.size() >= 5 && word.compare(word.size() - 3, 3, "ing") == 0 &&
                !knownWord(word)) {
                return {text.substr(0, start), text.substr(start)};
            }
        }
        afterHead = headWord(word);
    }
    return {text, {}};
}

int EditDistance(std::string_view a, std::string_view b, int limit) {
    const size_t n = a.size();
    const size_t m = b.size();
    if (static_cast<int>(n > m ? n - m : m - n) > limit) return limit + 1;
    std::vector<int> prev2(m + 1), prev(m + 1), cur(m + 1);
    for (size_t j = 0; j <= m; ++j) prev[j] = static_cast<int>(j);
    for (size_t i = 1; i <= n; ++i) {
        cur[0] = static_cast<int>(i);
        int best = cur[0];
        for (size_t j = 1; j <= m; ++j) {
            const int cost = a[i - 1] == b[j - 1] ? 0 : 1;
            int v = std::min({prev[j] + 1, cur[j - 1] + 1, prev[j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                v = std::min(v, prev2[j - 2] + 1);
            }
            cur[j] = v;
            best = std::min(best, v);
        }
        if (best > limit) return limit + 1;
        std::swap(prev2, prev);
        std::swap(prev, cur);
    }
    return std::min(prev[m], limit + 1);
}

}  // namespace tarnwick::suggest
