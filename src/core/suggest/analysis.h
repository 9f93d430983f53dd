#pragma once
// How the suggestion engine and the coding memory read a text: words folded to unaccented lower
// case, the commonest small words dropped, each word stemmed.

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::suggest {

struct Word {
    std::string folded;  // as written, lower case without accents
    std::string term;    // its stem
};

// A Windows-1250 byte as an unaccented lower-case letter or digit, or 0 for a separator.
char FoldByte(unsigned char c);

// The words of a Windows-1250 text in order (a word repeated stays repeated).
std::vector<Word> Words(std::string_view text);

// The stem of a folded word.
std::string Stem(std::string_view folded);

// Damerau-Levenshtein distance (adjacent transpositions count one), or `limit` + 1 when larger.
int EditDistance(std::string_view a, std::string_view b, int limit);

}  // namespace tarnwick::suggest
