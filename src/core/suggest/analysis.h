#pragma once
// How the suggestion engine and the coding memory read a text: words folded to unaccented lower
// case, the commonest small words dropped, each word stemmed.

#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::suggest {

// What a word of the fields after the job title weighs against one of the title: those fields
// describe the job less directly. Chosen on the ISCO-08 evaluation sets (README, "Suggestions").
inline constexpr float kOtherFieldWeight = 0.35f;

struct Word {
    std::string folded;  // as written, lower case without accents
    std::string term;    // its stem
};

// Each Windows-1250 byte as an unaccented lower-case letter or digit, or 0 for a separator.
const std::array<char, 256>& FoldTable();
inline char FoldByte(unsigned char c) { return FoldTable()[c]; }

// The commonest small words, which say nothing of a job.
bool IsStopWord(std::string_view folded);

// Calls f(folded word) for every word of a Windows-1250 text but the stop words; the word lives
// in `scratch`, so no word costs an allocation.
template <class F>
void ForEachFoldedWord(std::string_view text, std::string& scratch, F f) {
    scratch.clear();
    const auto& fold = FoldTable();
    for (char ch : text) {
        const char c = fold[static_cast<unsigned char>(ch)];
        if (c != 0) {
            scratch += c;
        } else if (!scratch.empty()) {
            if (!IsStopWord(scratch)) f(std::string_view(scratch));
            scratch.clear();
        }
    }
    if (!scratch.empty() && !IsStopWord(scratch)) f(std::string_view(scratch));
}

// The words of a Windows-1250 text in order (a word repeated stays repeated).
std::vector<Word> Words(std::string_view text);

// The stem of a folded word.
std::string Stem(std::string_view folded);

// A job title written with what it says around it, as one field: "primary school teacher -
// teaches year 3 pupils", "nurse in a hospital", "engineer designing bridges". The title ends
// after a word that `headWord` knows as the last word of a job's name ("teacher", "nurse"), where
// " - ", a comma or a semicolon follows, or one of the words in, on, at, for and with, or a word
// ending in "ing" that `knownWord` does not know. Both are given folded words. Anywhere else a
// comma belongs to the title ("hardware, plumbing and heating equipment distribution manager").
// No cut: the whole text is the title.
struct TitleParts {
    std::string_view title;
    std::string_view context;
};
TitleParts SplitTitle(std::string_view text, const std::function<bool(std::string_view)>& knownWord,
                      const std::function<bool(std::string_view)>& headWord);

// Damerau-Levenshtein distance (adjacent transpositions count one), or `limit` + 1 when larger.
int EditDistance(std::string_view a, std::string_view b, int limit);

}  // namespace tarnwick::suggest
