#pragma once
// What keeps a coder's work when something else goes wrong: the project's lock against a second
// program, the coding journal against a crash, the side file of codes that the data no longer
// take, and the save that a signal asks for.

#include "core/data/model.h"
#include "core/data/provenance.h"
#include "core/data/working_file.h"

namespace tarnwick {

class Session;

// Takes the lock of the project whose data stems the session holds. When another program holds
// it the coder is told who and since when, and may open the project read-only (true, with
// Session::ReadOnly) or cancel (false); a lock left behind by an ended program may be taken
// over after a confirmation. Throws IoError when no lock can be written there.
bool TakeProjectLock(Session& session);

// Lets go of the lock and the journal (a failed opening, the end of the session).
void ReleaseProject(Session& session);

// Writes the lines that the merge set aside to a dated side file beside the working file, and
// tells the coder and the report how many codes it holds and where (for a damaged working file,
// KeepBackupOfDamagedFile does). Returns the side file's path, empty when none was written.
// Throws IoError.
std::string KeepSetAsideLines(Session& session, const SetAsideLines& aside);

// After a working file merged as far as it could be read (cut short, damaged codes): copies the
// last backup, which still holds what the damage took, to a dated side file (the next opening
// replaces the backup), and tells the coder and the report what is to be coded again.
// `asidePath`: where KeepSetAsideLines put the lines, told too.
void KeepBackupOfDamagedFile(Session& session, const SetAsideLines& aside,
                             const std::string& asidePath);

// Reads the provenance file beside the working file into `book` for the merged `cases`. Damaged
// lines and entries that no longer fit the cases are left out with report lines, and the file
// as found is then kept in its backup (not in a read-only opening). Throws IoError.
void ReadProvenanceOf(Session& session, const CaseModel& cases, ProvenanceBook& book);

// Replays the journal of an interrupted session over the merged `cases` and their provenance
// `book` (not in a read-only opening), keeping the journal as found in its backup and reporting
// damaged entries; sets Session::RecoveredActions and counts the codes recovered among
// Session::CodesGiven. Throws IoError.
void ReplayJournalOf(Session& session, CaseModel& cases, ProvenanceBook& book);

// Opens the journal for the coding session and, once the session has started, saves what a
// replay recovered (or empties a journal that held nothing new), with the message and the
// report line. Throws IoError.
void StartJournal(Session& session);
void FinishRecovery(Session& session);

// A signal ends the program: the working file is written when it has unsaved codes and the
// data file did not change (no question can be asked now), else the journal keeps them. True
// when nothing is left unsaved. Never throws.
bool SaveOnSignal(Session& session);

}  // namespace tarnwick
