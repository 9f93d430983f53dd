#pragma once
// The category panel: the pre-selected list (ListBox1 with PreselectedEntries) and the full
// classification list (ListBox2), the selected category and the carry-over between the pages.

#include <string>
#include <string_view>

#include "core/session/coding_view.h"

namespace tarnwick {

class Session;
struct TKat;

// Visible lines of ListBox2 at its designed height (440 pixels, 13 per line).
inline constexpr int kFullListVisibleLines = 440 / 13;

// "Code Name": a line of the pre-selected list.
std::string PreselectedLine(const TKat& category);

// The reset done whenever a case is shown: the Suggestions page in front (the pre-selected one
// without an engine), both lists without
// selection, the pre-selected list and both descriptions empty, no category selected.
void ResetCategoryPanel(Session& session);

// Empties ListBox1 together with PreselectedEntries.
void ClearPreselected(Session& session);

// A click on line `line` of the pre-selected list (ListBox1) or the full list (ListBox2); a
// line that does not exist changes nothing. True when a category was selected.
bool SelectPreselectedLine(Session& session, int line);
bool SelectFullListLine(Session& session, int line);

// The full list's line of a typed code or name: digits find the category of that code, else the
// deepest category whose code begins with them (the first of those); other text finds the first
// category whose name contains it, letter case aside. -1 when none does.
int FindFullListLine(const Session& session, std::string_view text);
// Selects that line as a click would, brings the full list to the front and centres the line
// among the `visibleLines` lines that fit in the list. When nothing matches, no category stays
// selected and the full list's description says "No category matches ...". True when a line was
// selected.
bool SelectFullListByText(Session& session, std::string_view text, int visibleLines);

// The coder switched the category panel (PageControl2) to `tab`, carrying the selected category
// over; `visibleLines` is the full list's height divided by its line height.
void ShowCategoryTab(Session& session, CategoryTab tab, int visibleLines);

}  // namespace tarnwick
