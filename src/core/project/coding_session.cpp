#include "core/project/coding_session.h"

#include "core/coding/navigation.h"
#include "core/coding/progress.h"
#include "core/project/notepad.h"
#include "core/session/session.h"

namespace tarnwick {

void StartCodingSession(Session& s) {
    LoadNotepad(s);
    s.ShowPage(Page::Coding);
    ShowCodingProgress(s);
    s.SessionStarted = true;
    s.ReturnToCodingVisible = false;
    GoToFirstNotCoded(s);
}

}  // namespace tarnwick
