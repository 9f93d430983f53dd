#pragma once
// The working file of coded results (.zda) and its backup (.~zd).

namespace tarnwick {

class Session;
struct CaseModel;

// Copies the working file to the backup; false when there is no working file.
bool BackupWorkingFile(Session& session);

// Backs up and merges the working file into the case model; true when there was none or it
// merged; false after a fatal fault, already shown. Sets WorkingFileRead.
bool ReadWorkingFile(Session& session);
// The same, merging into `cases` (a model still being built) instead of the session's.
bool ReadWorkingFile(Session& session, CaseModel& cases);

// Writes the working file atomically and notes it in the report. Throws IoError; the earlier
// file is then untouched and the flags unchanged.
void SaveWorkingFile(Session& session);

// The Save results command.
void SaveResults(Session& session);

}  // namespace tarnwick
