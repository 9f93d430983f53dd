#pragma once
// The start of a coding session, once the three files of a project are loaded.

namespace tarnwick {

class Session;

// Reads the notepad, shows the coding page and the progress, switches the menus and shows the
// first case to code.
void StartCodingSession(Session& session);

}  // namespace tarnwick
