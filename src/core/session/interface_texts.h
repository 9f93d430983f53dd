#pragma once
// The table of user-interface texts: 160 slots in pairs, slot 2k Polish and 2k+1 English, as
// Windows-1250 bytes. The window always shows the English slot of each pair.

#include <string>

namespace tarnwick {

inline constexpr int kUiTextSlots = 160;

// The text of a slot; empty for an unused slot or a number outside 0..159.
const char* UiText(int slot);

// The classification's display name: English "VKT-2009", Polish "VKP-2009".
inline constexpr const char* kClassificationDisplayPolish = "VKP-2009";
inline constexpr const char* kClassificationDisplayEnglish = "VKT-2009";

}  // namespace tarnwick
