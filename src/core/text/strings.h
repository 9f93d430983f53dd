#pragma once
// Byte-string helpers shared by every subsystem. All texts are Windows-1250 bytes; nothing here
// converts between code pages.

#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Makes a code read from data comparable with a declared one: leading blanks become "0", then
// "0" is prepended up to `width`. A longer text is returned unchanged (never cut).
std::string NormaliseCode(std::string_view text, int width);

// True when the text is empty or holds only space characters.
bool IsBlank(std::string_view text);

// Windows-1250 upper case of one byte / of every byte (Polish letters included).
unsigned char UpperCase1250(unsigned char c);
std::string UpperCase1250(std::string_view text);

// Upper-cases ASCII letters only.
std::string UpperCaseAscii(std::string_view text);

// Removes blanks and control characters (every byte up to 0x20) from both ends.
std::string_view Trim(std::string_view text);
std::string_view TrimLeft(std::string_view text);
std::string_view TrimRight(std::string_view text);

// Case-insensitive byte comparison after Windows-1250 upper-casing: <0, 0, >0.
int CompareNoCase(std::string_view a, std::string_view b);

// Plain byte-wise comparison (a proper prefix counts as smaller): <0, 0, >0.
int CompareBytes(std::string_view a, std::string_view b);

// True when the text is an optional sign followed by one or more decimal digits, fitting in an
// int; the value goes to `out`.
bool ParseInt(std::string_view text, int& out);

// The text of column `pos` (1-based), at most `width` bytes; fewer when the record ends first.
std::string_view CutField(std::string_view record, int pos, int width);

// A value as one blank-free word of the program's own line files (the journal, the provenance
// file): a byte at or below a blank, '%', and bytes from 0x7F on become %XX; an empty value is
// a lone %. UnescapeWord is false for a word that no value gives.
void AppendEscapedWord(std::string& out, std::string_view value);
bool UnescapeWord(std::string_view word, std::string& out);

// The blank-separated words of such a line; false when two blanks meet or the line starts or
// ends with one, which no writer makes.
bool SplitWords(std::string_view line, std::vector<std::string_view>& words);

}  // namespace tarnwick
