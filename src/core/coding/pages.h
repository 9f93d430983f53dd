#pragma once
// The side pages (notepad, report, options, Team) and what the coder writes on them.

#include <string>
#include <string_view>
#include <vector>

#include "core/session/session.h"

namespace tarnwick {

// Puts a side page in front of the coding page and offers Return to coding session.
// (mainMenuNotatnik, mainMenuRaport, mainMenuOpcje)
void ShowSidePage(Session& session, Page page);

// Return to coding session: the coding page in front again, the menu item gone.
// (mainMenuKodowanie)
void ReturnToCoding(Session& session);

// The coder changed the notepad (now these lines, or one more line at its end): it is to be
// saved at the end of the session.
void SetNotepad(Session& session, std::vector<std::string> lines);
void AddNotepadLine(Session& session, std::string_view line);

// The coder changed the session report on its page.
void SetReport(Session& session, std::vector<std::string> lines);

}  // namespace tarnwick
