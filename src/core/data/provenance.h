#pragma once
// Where a code came from: which source gave it, when, and for a coder's code how long the case
// was on screen and which line of the coding page gave it. The working file holds the codes only;
// this is what a survey office asks when a code is questioned.

#include <cstdint>
#include <optional>
#include <string>
#include <unordered_map>

namespace tarnwick {

enum class CodeSource : uint8_t {
    Unknown = 0,  // read from a working file without a record of its source
    Coder = 1,
    Automatic = 2,
    Identical = 3,   // Code all identical
    Recovered = 4,   // replayed from the journal of an interrupted session
    Supervisor = 5,  // a team's supervisor settled it
};

// The line of the coding page a coder's code came from.
enum class CodeLine : uint8_t {
    None = 0,
    Suggestion = 1,   // suggestion N (CodeOrigin::suggestion)
    Preselected = 2,  // the pre-selected list
    FullList = 3,
    Repeat = 4,
    MissingData = 5,
    NotApplicable = 6,
    Cleared = 7,
};

// What an action says about the code it gives; the session adds who and when.
struct CodeOrigin {
    CodeSource source = CodeSource::Coder;
    CodeLine line = CodeLine::None;
    int suggestion = 0;      // 1 for the first suggestion, with CodeLine::Suggestion
    double confidence = -1;  // Automatic: the first suggestion's confidence, 0..1
    double threshold = -1;   // Automatic: the threshold it reached
};

// A case's code with its origin, who gave it and when.
struct Provenance {
    CodeOrigin origin;
    std::string coder;         // the coder's name; empty for a source without one
    long long when = 0;        // seconds since 1970, UTC
    int secondsOnScreen = -1;  // a coder's code: how long the case was shown; -1 unknown
    friend bool operator==(const Provenance&, const Provenance&) = default;
};

// The provenance of the cases that have one, by record and field.
class ProvenanceBook {
  public:
    const Provenance* Find(int record, int field) const {
        const auto it = cases_.find(Key(record, field));
        return it == cases_.end() ? nullptr : &it->second;
    }
    void Set(int record, int field, Provenance p) { cases_[Key(record, field)] = std::move(p); }
    void Erase(int record, int field) { cases_.erase(Key(record, field)); }
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

}  // namespace tarnwick
