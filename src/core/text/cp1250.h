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

}  // namespace tarnwick
