#include "core/project/safekeeping.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/io/mapped_file.h"
#include "core/project/exit.h"
#include "core/project/notepad.h"
#include "core/project/paths.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"

namespace tarnwick {

namespace {

std::string Describe(const LockHolder& h) {
    return msg::ProjectLockedBy(h.User, h.Host, h.Pid, h.Since);
}

}  // namespace

bool TakeProjectLock(Session& s) {
    s.ReadOnly = false;
    s.ReadOnlyReason.clear();
    const std::string path = s.DataFilePath(kExtLock);
    if (s.Lock && s.Lock->Path() == path) return true;
    // A folder on read-only media, or one of another user's: nothing of the project's own can be
    // written there, but it can be read and exported.
    const std::string folder = s.ProjectFolder.empty() ? "." : s.ProjectFolder;
    if (::access(folder.c_str(), W_OK) != 0 && (errno == EROFS || errno == EACCES)) {
        const std::string told = msg::FolderNotWritable(folder, std::strerror(errno));
        s.ReadOnly = true;
        s.ReadOnlyReason = msg::kReadOnlyFolder;
        s.AppendReportLine(told);
        s.platform.ShowMessage(told, Severity::Information);
        return true;
    }
    // A few times at most: again after a stale lock was removed, or vanished while read.
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (std::unique_ptr<ProjectLock> lock = ProjectLock::TryTake(path)) {
            lock->BeatOnItsOwn();
            s.Lock = std::move(lock);
            return true;
        }
        const std::optional<LockFound> found = ProjectLock::Probe(path);
        if (!found) continue;
        // This program holds the lock already (an earlier opening): it covers this one too.
        if (found->OwnProcess) return true;
        const std::string holder = Describe(found->Holder);
        if (found->Stale && attempt <= 1) {
            if ((s.TakeOverOwnStaleLock && found->SameHost) ||
                s.platform.Ask(holder + msg::kAskTakeOverLock, false) == Answer::Yes) {
                ProjectLock::RemoveStale(path, *found);
                s.AppendReportLine(msg::kLockTakenOver + holder);
                continue;
            }
        }
        if (s.platform.Ask(holder + msg::kAskOpenReadOnly, true) != Answer::Yes) return false;
        s.ReadOnly = true;
        s.AppendReportLine(msg::kOpenedReadOnly + holder);
        return true;
    }
    return false;
}

void ReleaseProject(Session& s) {
    s.Journal.reset();
    s.Lock.reset();
}

namespace {

// A dated side file beside the working file: <stem><infix><YYYYMMDDHHMM><ext>, the stem cut where
// the whole name would pass the folder's longest name.
std::string DatedSidePath(Session& s, std::string_view infix, std::string_view ext) {
    const std::string ending =
        std::string(infix) + ReportFileStamp(s.platform.Now()) + std::string(ext);
    const long nameMax =
        ::pathconf(s.ProjectFolder.empty() ? "." : s.ProjectFolder.c_str(), _PC_NAME_MAX);
    const size_t room = nameMax > 0 ? static_cast<size_t>(nameMax) : 255;
    std::string stem = s.DataStem;
    if (stem.size() + ending.size() > room)
        stem.resize(room > ending.size() ? room - ending.size() : 1);
    return s.ProjectFolder + stem + ending;
}

}  // namespace

std::string KeepSetAsideLines(Session& s, const SetAsideLines& aside) {
    // A read-only session writes nothing, and loses nothing: it never saves the working file.
    if (aside.Lines.empty() || s.ReadOnly) return {};
    const std::string path = DatedSidePath(s, kSetAsideInfix, kExtWorking);
    // A second opening within the same minute adds to the file rather than replacing it.
    std::string content = FileExists(path) ? ReadWholeFile(path) : std::string();
    for (const std::string& line : aside.Lines) AppendCrLf(content, line);
    WriteFileAtomic(path, content);
    // A damaged file's message tells all at once (KeepBackupOfDamagedFile).
    if (aside.Damaged()) return path;
    const std::string text = aside.Codes > 0
                                 ? msg::CodesSetAside(aside.Codes, path)
                                 : msg::LinesSetAside(static_cast<int>(aside.Lines.size()), path);
    s.AppendReportLine(text);
    s.platform.ShowMessage(text, Severity::Information);
    return path;
}

void KeepBackupOfDamagedFile(Session& s, const SetAsideLines& aside, const std::string& asidePath) {
    if (!aside.Damaged()) return;
    std::string copy;
    const std::string backup = s.DataFilePath(kExtBackup);
    // Only the program's own backup is copied: a link or another user's file there is not.
    if (!s.ReadOnly && FileExists(backup)) {
        try {
            const FileBytes found(backup, true);
            copy = DatedSidePath(s, kBackupCopyInfix, kExtBackup);
            WriteFileAtomic(copy, found.View());
        } catch (const IoError& e) {
            copy.clear();
            s.AppendReportLine(e.what());
        }
    }
    const std::string text = msg::WorkingFileDamaged(aside.Unlined, aside.Unreadable,
                                                     s.DataStem + kExtWorking, copy, asidePath);
    s.AppendReportLine(text);
    s.platform.ShowMessage(text, Severity::Information);
}

void ReadProvenanceOf(Session& s, const CaseModel& cases, ProvenanceBook& book) {
    const std::string path = s.DataFilePath(kExtProvenance);
    // Anything at the name counts, so that a link or a folder there is reported, not passed over.
    if (!PathTaken(path)) return;
    const FileBytes file(path, true);
    ProvenanceReading reading = ReadProvenanceText(file.View());
    TakeProvenance(reading.Entries, cases, book, reading.Faults);
    if (reading.Faults.empty()) return;
    for (std::string& line : reading.Faults) s.AppendReportLine(std::move(line));
    // The next save writes only what was taken: what was left out stays in the backup.
    if (s.ReadOnly) return;
    const std::string backup = s.DataFilePath(kExtProvenanceBackup);
    WriteFileAtomic(backup, file.View());
    s.AppendReportLine(msg::kProvenanceKeptAs + backup);
}

void ReplayJournalOf(Session& s, CaseModel& cases, ProvenanceBook& book) {
    s.RecoveredActions = 0;
    if (s.ReadOnly) return;
    const std::string path = s.DataFilePath(kExtJournal);
    // Anything at the name counts: a link, a pipe or another user's file is refused with the
    // reason, never read (its lines would become the coder's codes) nor copied beside the data.
    if (!PathTaken(path)) return;
    const std::string text = ReadOwnFile(path);
    if (text.empty()) return;
    // The copy grows by each journal recovered: entries an earlier recovery could not replay
    // (their respondents not in those data) are never written over.
    const std::string backup = s.DataFilePath(kExtJournalBackup);
    std::string kept = PathTaken(backup) ? ReadOwnFile(backup) : std::string();
    if (!kept.empty() && kept.back() != '\n') kept += '\n';
    WriteFileAtomic(backup, kept + text);
    JournalReading reading = ReadJournalText(text);
    int recovered = 0;
    // A line torn by the crash is only reported: its action was never acknowledged. An entry
    // whose respondent the data lack is a code the coder gave: that is said on screen.
    const size_t torn = reading.Faults.size();
    s.RecoveredActions = ReplayJournal(reading, s.Clf, cases, book, reading.Faults, &recovered);
    s.CodesGiven[static_cast<size_t>(CodeSource::Recovered)] += recovered;
    if (reading.Faults.empty()) return;
    const size_t skipped = reading.Faults.size() - torn;
    for (std::string& line : reading.Faults) s.AppendReportLine(std::move(line));
    s.AppendReportLine(msg::kJournalKeptAs + backup);
    if (skipped > 0) {
        s.platform.ShowMessage(msg::JournalEntriesNotReplayed(skipped, backup),
                               Severity::Information);
    }
}

void StartJournal(Session& s) {
    if (s.ReadOnly) return;
    s.Journal = std::make_unique<JournalFile>(s.DataFilePath(kExtJournal));
}

void FinishRecovery(Session& s) {
    if (!s.Journal) return;
    if (s.RecoveredActions == 0) {
        // Nothing newer than the working file: the entries were saved before the crash.
        s.Journal->Clear();
        return;
    }
    const std::string text = msg::ActionsRecovered(s.RecoveredActions);
    s.AppendReportLine(text);
    s.ResultsModified = true;
    // Saved at once, so that the working file holds them; the journal is then empty.
    SaveWorkingFile(s);
    s.platform.ShowMessage(text, Severity::Information);
}

bool SaveOnSignal(Session& s) {
    try {
        if (s.SessionStarted && !s.ReadOnly && s.NotepadModified) SaveNotepad(s);
        if (!s.SessionStarted || s.ReadOnly || !s.ResultsModified) return true;
        return SaveWorkingFile(s, false);
    } catch (const std::exception&) {
        return false;  // the journal still holds every action
    }
}

}  // namespace tarnwick
