#pragma once
// The notepad of a project: DataStem + ".zno" beside the data file, read at the start of a
// coding session and written at its end when the coder asks.

namespace tarnwick {

class Session;

// Reads the notepad file into the session when it exists. Throws IoError.
void LoadNotepad(Session& session);

// Writes the notepad, replacing the file; it then counts as unmodified. Throws IoError.
void SaveNotepad(Session& session);

}  // namespace tarnwick
