#pragma once
// Windows-1250 <-> Unicode, for the front ends that show the core's bytes.

#include <string>
#include <string_view>

namespace tarnwick {

// The Unicode code point of a Windows-1250 byte (U+FFFD for the five unassigned bytes).
char32_t Cp1250ToUnicode(unsigned char c);

// The Windows-1250 byte of a code point, or -1 when the code page has none.
int UnicodeToCp1250(char32_t u);

}  // namespace tarnwick
