#pragma once
// A team project in PostgreSQL: one project per database, in the schema "tarnwick" that the
// program makes and migrates. Every statement is a constant text with its values passed as
// parameters; the coders' work goes through server functions that the coder role may call.

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/data/journal.h"
#include "core/data/provenance.h"

namespace tarnwick::team {

// A fault of the database or of the connection to it, with the server's message.
class TeamError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
// The connection went away (server down, network): the caller keeps the work and retries.
class ConnectionLost : public TeamError {
  public:
    using TeamError::TeamError;
};
// The server refuses the statement for what it holds (a code the classification lacks, another
// coder's name): sending it again would be refused again.
class Refused : public TeamError {
  public:
    using TeamError::TeamError;
};

// One connection (RAII over libpq's PGconn).
class Connection {
  public:
    // `conninfo` as libpq takes it ("host=... dbname=... user=..." or a postgresql:// URI);
    // `password`, when not empty, is passed beside it (never stored). Throws TeamError.
    explicit Connection(const std::string& conninfo, const std::string& password = "");
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;
    // The server asked for a password that none of libpq's means (.pgpass, PGPASSWORD) gave.
    static bool NeedsPassword(const std::string& conninfo);
    bool Alive() const;
    // Tries once to connect again after a loss; true when the connection is back.
    bool Reset();
    // A statement whose server sends nothing for `seconds` (a server paused or frozen, which
    // neither TCP's timeouts nor a Unix socket notice) counts as a lost connection; 0: waits.
    void SetAnswerTimeout(int seconds);
    // The connection was lost to that timeout.
    bool TimedOut() const;
    // No server answers at `conninfo` at all (down, or not reachable), as against one that
    // answers and refuses the login. Waits at most the connection timeout.
    static bool ServerUnreachable(const std::string& conninfo);
    struct Impl;
    Impl& impl() { return *impl_; }

  private:
    std::unique_ptr<Impl> impl_;
};

// The schema's version that this program makes; Migrate brings an older one up to it.
inline constexpr int kSchemaVersion = 5;
// 0 when the database holds no team project.
int SchemaVersion(Connection& db);
// Makes or migrates the schema, in one transaction under an advisory lock, and the two group
// roles tarnwick_coder and tarnwick_supervisor with only the rights their work needs.
void Migrate(Connection& db);

// The project files, byte for byte as they were read.
struct ProjectFiles {
    std::string ParamsName;  // file names without folder: "demo.zpa"
    std::string ParamsBytes;
    std::string ClassificationName;
    std::string ClassificationBytes;
    std::string DataName;
    std::string DataBytes;
    // The classification's profile, when it has one (empty name: none).
    std::string ProfileName;
    std::string ProfileBytes;
    // Every code of the classification: the only ones a coder may give. Read from the files
    // when the project is loaded; not stored with them.
    std::vector<std::string> Codes;
};

// One case (an occupation field of a record) as the coding model holds it.
// The journal's entry holds exactly a case's whole state, so the database, the outbox and the
// local copy pass the one type between them.
using CaseState = JournalEntry;

// Loads a project into an empty database: the files, one row per case with its code from the
// working file, and the double-coding sample (`doubleShare` of the cases to code, drawn with
// `seed`). Throws TeamError when the database already holds a project.
void InitProject(Connection& db, const ProjectFiles& files, const std::vector<CaseState>& cases,
                 double doubleShare, std::uint64_t seed);

ProjectFiles ReadProjectFiles(Connection& db);

// The code of every case as the export takes it: the supervisor's final code, else the code two
// coders agreed on, else the first code given (an unsettled disagreement counts in
// `unsettled`). `origins`, when given, gets one element per state: the supervisor who settled
// it, else the coder who gave its code, each with the time; none for a case without code or a
// code of the working file the project was loaded with.
std::vector<CaseState> FinalStates(Connection& db, long long* unsettled = nullptr,
                                   std::vector<std::optional<Provenance>>* origins = nullptr);

// What one coder sees: like FinalStates, except that a double-coded case shows only this
// coder's own code (blind coding). `lastChange` is set to the newest change's number.
std::vector<CaseState> CoderStates(Connection& db, const std::string& coder, long long& lastChange);

// A case another coder (or the supervisor) changed, as this coder is to see it.
struct RemoteChange {
    long long Number = 0;
    CaseState State;
    std::string Coder;
};
// The changes after `after`, not made by `coder`, without double-coded cases.
std::vector<RemoteChange> ChangesSince(Connection& db, const std::string& coder, long long after);

struct ClaimedCase {
    int Record = 0;
    int Field = 0;
    bool DoubleCoded = false;
};
// Takes the first case, in record and field order, that still needs a code from this coder and
// that nobody else holds (rows locked by others are skipped), and holds it for `leaseSeconds`.
// The coder's earlier claim is let go. Empty when nothing is left for this coder.
std::optional<ClaimedCase> ClaimNext(Connection& db, const std::string& coder,
                                     int leaseSeconds = 600);
void ReleaseClaims(Connection& db, const std::string& coder);

// One coding action: the case's new state, by whom and when (ms since the epoch, the client's
// clock). One transaction; an action whose `actionId` is already stored changes nothing, so a
// resend after a lost connection is harmless. Throws ConnectionLost or TeamError.
struct CodingAction {
    std::string ActionId;  // unique per action, made by the client
    std::string Coder;
    CaseState State;
    long long AtMs = 0;
};
void RecordAction(Connection& db, const CodingAction& action);

// Progress for the supervisor.
struct CoderProgress {
    std::string Coder;
    long long Codes = 0;     // cases this coder has given a code
    long long LastHour = 0;  // coding actions in the last 60 minutes
    double PerHour = 0;      // actions per hour between the coder's first and last
    long long Claimed = 0;   // cases held now
};
struct LevelAgreement {
    long long Pairs = 0;          // double-coded cases with both codes
    double Share = 0;             // share of those that agree at this level
    std::optional<double> Kappa;  // none when undefined (one category only)
};
struct TeamStatus {
    long long Cases = 0;  // cases to code
    long long Coded = 0;  // with a final code (see FinalStates)
    long long Claimed = 0;
    long long DoubleCases = 0;
    long long DoubleDone = 0;  // both codes given
    long long Disagreements = 0;
    long long Settled = 0;
    // Single-coded cases with codes their coders gave without seeing each other's (offline).
    long long Conflicts = 0;
    long long ConflictsSettled = 0;
    std::vector<CoderProgress> Coders;
    std::array<LevelAgreement, 4> Levels;  // the first 1, 2, 3 and 4 characters of the code
};
TeamStatus ReadStatus(Connection& db);

// Cohen's kappa and the share of agreement of code pairs compared on their first `level`
// characters. Pure; used by ReadStatus.
LevelAgreement Agreement(const std::vector<std::pair<std::string, std::string>>& pairs, int level);

struct Disagreement {
    int Record = 0;
    int Field = 0;
    std::string RespondentId;
    std::string Coder1, Code1, Coder2, Code2;
    std::string Final;  // empty until settled
    // A conflict: Coder1's code stands, Coder2's was given without seeing it (one element for
    // each code so kept).
    bool Conflict = false;
};
// The double-coded cases whose codes differ, and the conflicts, in record and field order.
std::vector<Disagreement> Disagreements(Connection& db);
// The supervisor's final code of a double-coded case or a case in conflict. Throws TeamError
// for any other case.
void Settle(Connection& db, int record, int field, const std::string& code,
            const std::string& supervisor);

}  // namespace tarnwick::team
