#pragma once
// The names of a project's files: the folder and stems chosen at opening, and the fixed
// extensions of the files the program reads and writes beside the data file.

#include <string>
#include <string_view>

namespace tarnwick {

class Session;

inline constexpr const char* kExtParams = ".zpa";
inline constexpr const char* kExtClassification = ".clf";
inline constexpr const char* kExtWorking = ".zda";
inline constexpr const char* kExtBackup = ".~zd";
inline constexpr const char* kExtOutput = ".asc";
inline constexpr const char* kExtScript = ".sps";
inline constexpr const char* kExtReport = ".zre";
inline constexpr const char* kExtNotepad = ".zno";
inline constexpr const char* kExtMemory = ".mem";
inline constexpr const char* kExtLock = ".zlk";
inline constexpr const char* kExtJournal = ".zjn";
inline constexpr const char* kExtJournalBackup = ".~zj";
// Where each code came from (data/provenance.h), written with the working file; a damaged one
// is kept as found in its backup.
inline constexpr const char* kExtProvenance = ".zpv";
inline constexpr const char* kExtProvenanceBackup = ".~zp";
// Which data file the working file's codes were saved for: its name, records and respondents.
inline constexpr const char* kExtDataOf = ".zdo";
// The side file of codes set aside at opening: <data stem>-set-aside-<YYYYMMDDHHMM>.zda.
inline constexpr const char* kSetAsideInfix = "-set-aside-";
// The last backup kept when a damaged working file was merged: <stem>-backup-<YYYYMMDDHHMM>.~zd.
inline constexpr const char* kBackupCopyInfix = "-backup-";

// The folder part of a path, up to and including its last '/', and the name after it.
std::string FolderOf(std::string_view path);
std::string NameOf(std::string_view path);

// A file name up to (not including) its first dot, and the rest from that dot on.
std::string StemOf(std::string_view name);
std::string ExtensionOf(std::string_view name);

// Is `ext` the extension of a file that the program writes beside the data file? Letter case
// does not count, as on the file systems of memory sticks.
bool IsWrittenExtension(std::string_view ext);

// The coding memory the window uses: "<classification stem>.mem" beside the classification.
std::string MemoryFileOf(std::string_view classificationPath);

// ProjectFolder + ParamStem + ".zpa".
std::string ParamsPath(const Session& session);

}  // namespace tarnwick
