#pragma once
// The coding journal (.zjn): every change a coding action makes to a case, one text line each,
// appended and flushed to disk before the change shows, so that a session that ends without a
// save (a crash, a power cut, kill -9) loses no code. A save of the working file empties it.
//
// An entry is one line: "T1 <record> <field> <tocode> <identifier> <code> <crc>\n". Record and
// field count from 0, tocode is 0 or 1, identifier and code are escaped (a byte at or below a
// blank, '%', and bytes from 0x7F on become %XX; an empty value is a lone %), and crc is the
// CRC-32 of everything before the blank that precedes it, as 8 hex digits. Each entry holds the
// case's whole new state, so replaying an entry twice gives the same result.
//
// Each entry is followed, in the same write, by the provenance of the case's new code:
// "P1 <record> <field> <source> <when> <coder> <line> <seconds> <confidence> <threshold> <crc>",
// the words of the provenance file (data/provenance.h) with a CRC of its own. A journal of an
// earlier version holds T1 lines only; its entries replay as before.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"
#include "core/data/model.h"
#include "core/data/provenance.h"

namespace tarnwick {

struct JournalEntry {
    int Record = 0;
    int Field = 0;
    bool ToCode = true;
    std::string RespondentId;  // checked on replay: the entry must belong to these data
    std::string Code;
    friend bool operator==(const JournalEntry&, const JournalEntry&) = default;
};

// One entry's line, with its line end.
std::string FormatJournalEntry(const JournalEntry& entry);
// The provenance line that follows an entry, with its line end. Source Unknown says that the
// case's new state has no provenance (no code, or one of unknown source).
std::string FormatProvenanceLine(const JournalEntry& entry, const Provenance& provenance);

// The entries of a journal's text. A line that is damaged (torn by a crash, or changed) is left
// out with a line for the report in `faults` naming its number; the entries before and after it
// stay. `Origins` holds one element per entry: the provenance of the line that followed it, or
// none.
struct JournalReading {
    std::vector<JournalEntry> Entries;
    std::vector<std::optional<Provenance>> Origins;
    std::vector<std::string> Faults;
};
JournalReading ReadJournalText(std::string_view text);

// Gives the cases the entries' states, in order, as the coding actions did. Counts the entries
// that changed a case; an entry for a case these data lack, another respondent or a code the
// classification lacks is left out with a line in `faults`. The counters are the caller's to
// recount (CountAndListCases).
int ReplayJournal(const std::vector<JournalEntry>& entries, const Classification& clf,
                  CaseModel& cases, std::vector<std::string>& faults);

// As ReplayJournal, and `book` follows: an entry with a provenance line gives its case that
// provenance; a case coded by an entry without one (a journal of an earlier version, a line
// lost) gets CodeSource::Recovered; a case left without code loses its provenance.
// `recoveredCodes` counts the cases that the replay gave a code.
int ReplayJournal(const JournalReading& reading, const Classification& clf, CaseModel& cases,
                  ProvenanceBook& book, std::vector<std::string>& faults,
                  int* recoveredCodes = nullptr);

// The journal file, open for appending while a project is open for coding.
class JournalFile {
  public:
    // The journal at `path`, opened (made) at the first entry.
    explicit JournalFile(std::string path);
    ~JournalFile();  // removes the file when it is empty
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;

    // Appends one entry, followed by its provenance line when one is given, and flushes them to
    // disk (fdatasync). Throws IoError; the entry is then not to be made.
    void Append(const JournalEntry& entry, const Provenance* provenance = nullptr);
    // Appends the entries, each with its provenance line when `provenances` (one per entry) is
    // given, with one flush: all of them are on disk, or none is. Throws IoError.
    void AppendAll(const std::vector<JournalEntry>& entries,
                   const std::vector<Provenance>* provenances = nullptr);
    // Empties the journal after a save of the working file: it is removed until the next
    // entry. Throws IoError.
    void Clear();
    const std::string& Path() const { return path_; }
    // The journal open here was removed, alone or with its folder: what it held is lost to the
    // next opening.
    bool Removed() const;

  private:
    void Open();
    void Write(std::string_view line);
    std::string path_;
    int fd_ = -1;
    long long size_ = 0;
};

}  // namespace tarnwick
