#pragma once

#include <string>

namespace tarnwick {

class Session;

// Reads ProjectFolder + DataStem + ".zno" into the notepad when it exists. Throws IoError.
void LoadNotepad(Session& session);

// Writes the notepad, replacing the file. Throws IoError.
void SaveNotepad(Session& session);

// "5 occupations have been coded. 5 are yet to be coded." or "All occupations have been coded (10)".
std::string CodingProgressText(int coded, int toCode);
void ShowCodingProgress(Session& session, int coded, int toCode);

// The last stage of Open project, once the three files are loaded: notepad, coding page,
// progress text, menus, first case to code.
void StartCodingSession(Session& session);

}  // namespace tarnwick
