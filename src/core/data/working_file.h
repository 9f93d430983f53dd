#pragma once
// The working file of coded results (.zda) and its backup (.~zd).

namespace tarnwick {

class Session;

// Copies the working file to the backup; false when there is no working file.
bool BackupWorkingFile(Session& session);

// Backs up and merges the working file into the case model; true when there was none or it
// merged; false after a fatal fault, already shown. Sets WorkingFileRead.
bool ReadWorkingFile(Session& session);

// Writes the working file atomically and notes it in the report. Throws IoError; the earlier
// file is then untouched and the flags unchanged.
void SaveWorkingFile(Session& session);

}  // namespace tarnwick
