#pragma once
// Where a code came from: which source gave it, when, and for a coder's code how long the case
// was on screen and which line of the coding page gave it. The working file holds the codes only;
// this is what a survey office asks when a code is questioned.
//
// The provenance file (<data stem>.zpv) keeps it beside the working file, one line per case with
// a known source, after a first line "Tarnwick provenance 1":
//
//   <record> <identifier> <field> <code> <source> <when> <coder> <line> <seconds> <confidence>
//   <threshold>
//
// on one line, blank-separated. Record and field count from 0; identifier, code and coder are
// escaped as the journal escapes them (AppendEscapedWord); source is unknown, coder, automatic,
// identical, recovered or supervisor; when is the local time "2026-12-07T00:37:40"; line is
// suggestion-N, preselected, full-list, repeat, missing or not-applicable; "-" stands for a
// value not known (a time, a line, seconds on screen, an automatic code's confidence and
// threshold). The coding journal's provenance lines carry the same words from source on.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "core/data/model.h"
#include "core/io/atomic_file.h"

namespace tarnwick {

enum class CodeSource : uint8_t {
    Unknown = 0,  // read from a working file without a record of its source
    Coder = 1,
    Automatic = 2,
    Identical = 3,   // Code all identical
    Recovered = 4,   // replayed from the journal of an interrupted session
    Supervisor = 5,  // a team's supervisor settled it
};
inline constexpr int kCodeSources = 6;

// The line of the coding page a coder's code came from.
enum class CodeLine : uint8_t {
    None = 0,
    Suggestion = 1,   // suggestion N (CodeOrigin::suggestion)
    Preselected = 2,  // the pre-selected list
    FullList = 3,
    Repeat = 4,
    MissingData = 5,
    NotApplicable = 6,
};

// What an action says about the code it gives; the session adds who and when.
struct CodeOrigin {
    CodeSource source = CodeSource::Coder;
    CodeLine line = CodeLine::None;
    int suggestion = 0;      // 1 for the first suggestion, with CodeLine::Suggestion
    double confidence = -1;  // Automatic: the first suggestion's confidence, 0..1
    double threshold = -1;   // Automatic: the threshold it reached
    friend bool operator==(const CodeOrigin&, const CodeOrigin&) = default;
};

// A case's code with its origin, who gave it and when.
struct Provenance {
    CodeOrigin origin;
    std::string coder;  // the coder's name (who asked, for Code all identical); empty otherwise
    // The platform clock's local time, in SecondsSinceEpoch's count; 0 when not known.
    long long when = 0;
    int secondsOnScreen = -1;  // a coder's code: how long the case was shown; -1 unknown
    friend bool operator==(const Provenance&, const Provenance&) = default;
};

// The provenance of the cases that have one, by record and field. A case without an entry has a
// code of unknown source, or none.
class ProvenanceBook {
  public:
    const Provenance* Find(int record, int field) const {
        const auto it = cases_.find(Key(record, field));
        return it == cases_.end() ? nullptr : &it->second;
    }
    void Set(int record, int field, Provenance p) { cases_[Key(record, field)] = std::move(p); }
    void Erase(int record, int field) { cases_.erase(Key(record, field)); }
    // Set, or Erase for none or a source not known: a case never holds an Unknown entry.
    void Put(int record, int field, const std::optional<Provenance>& p) {
        if (p && p->origin.source != CodeSource::Unknown) {
            Set(record, field, *p);
        } else {
            Erase(record, field);
        }
    }
    void Clear() { cases_.clear(); }
    size_t Size() const { return cases_.size(); }
    template <class F>
    void ForEach(F&& f) const {
        for (const auto& [key, p] : cases_) {
            f(static_cast<int>(key >> 32), static_cast<int>(key & 0xFFFFFFFFu), p);
        }
    }

  private:
    static uint64_t Key(int record, int field) {
        return static_cast<uint64_t>(static_cast<uint32_t>(record)) << 32 |
               static_cast<uint32_t>(field);
    }
    std::unordered_map<uint64_t, Provenance> cases_;
};

// The words of a provenance from source to threshold (seven), appended after a blank each.
void AppendProvenanceWords(std::string& out, const Provenance& p);
inline constexpr size_t kProvenanceWords = 7;
// Reads the seven words from words[first]; false when one is not as AppendProvenanceWords writes.
bool ParseProvenanceWords(const std::vector<std::string_view>& words, size_t first, Provenance& p);

inline constexpr std::string_view kProvenanceHeader = "Tarnwick provenance 1";

// The provenance file of `cases`: the header, then a line for each case the book holds, in
// record and field order.
void WriteProvenanceFile(ByteSink& out, const CaseModel& cases, const ProvenanceBook& book);

// One line of a provenance file.
struct ProvenanceEntry {
    size_t Line = 0;  // its line number in the file
    int Record = 0;
    std::string RespondentId;
    int Field = 0;
    std::string Code;
    Provenance Origin;
};

// The entries of a provenance file's text. A damaged line is left out with a line for the report
// in `Faults` (the first few by number, then how many more); a file of another version is not
// read at all.
struct ProvenanceReading {
    std::vector<ProvenanceEntry> Entries;
    std::vector<std::string> Faults;
};
ProvenanceReading ReadProvenanceText(std::string_view text);

// Gives the cases' provenance to `book`. An entry finds its record by number while the
// identifiers agree, otherwise the first record with its identifier, as the working file's
// lines do. An entry whose record is gone, whose field these parameters lack, or whose code is
// not the case's code (the codes changed without it) is dropped; `faults` then says how many.
void TakeProvenance(const std::vector<ProvenanceEntry>& entries, const CaseModel& cases,
                    ProvenanceBook& book, std::vector<std::string>& faults);

}  // namespace tarnwick
