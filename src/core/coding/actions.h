#pragma once
// The five coding actions on the current case, each followed by the move or the redraw that
// AfterCodingMode asks for.

namespace tarnwick {

class Session;

void BitBtn5Click(Session& session);  // CODE the selected category
void Button2Click(Session& session);  // MISSING
void Button1Click(Session& session);  // NOT APPLICABLE
void Button3Click(Session& session);  // REPEAT the last code given with CODE
void Button4Click(Session& session);  // CANCEL the code

// A double click on a line of either list selects that line's category and codes it.
void ListBox1DblClick(Session& session, int line);
void ListBox2DblClick(Session& session, int line);

}  // namespace tarnwick
