#pragma once
// The five coding actions on the current case, each followed by the move or the redraw that
// the after-coding option asks for.

namespace tarnwick {

class Session;

// CODE: the selected category becomes the case's code and the last code. (BitBtn5)
void CodeSelected(Session& session);
// MISSING: the missing-data code. (Button2)
void MarkMissing(Session& session);
// NOT APPLICABLE: the not-applicable code; the case no longer counts as one to code. (Button1)
void MarkNotApplicable(Session& session);
// REPEAT: the last code given with CODE. (Button3)
void RepeatLastCode(Session& session);
// CANCEL: the case is without code again. (Button4)
void ClearCode(Session& session);

// A double click on a line of either list selects that line's category and codes it.
// (ListBox1DblClick, ListBox2DblClick)
void CodePreselectedLine(Session& session, int line);
void CodeFullListLine(Session& session, int line);

}  // namespace tarnwick
