#pragma once
// Windows-1250 <-> Unicode, for the front ends that show the core's bytes.

#include <string>
#include <string_view>

namespace tarnwick {

// The Unicode code point of a Windows-1250 byte (U+FFFD for the five unassigned bytes).
char32_t Cp1250ToUnicode(unsigned char c);

// The Windows-1250 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1250(char32_t u);

// The UTF-8 form of Windows-1250 bytes, for files read by other programs. The five unassigned
// bytes become U+FFFD.
std::string Cp1250ToUtf8(std::string_view text);

// Windows-1250 bytes of UTF-8 text, for files written by other programs. A character the code
// page lacks becomes its letter without the accent when it has one ("\u00e5" -> "a"), else '?';
// a byte that is not valid UTF-8 becomes '?'.
std::string Utf8ToCp1250(std::string_view text);

}  // namespace tarnwick
