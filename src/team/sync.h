#pragma once
// A coder's side of a team project: every change of a case goes to an outbox on this computer
// (flushed to disk) and from there to the database, one transaction each; the next case is one
// the database hands this coder alone; the other coders' codes come in between actions. A lost
// connection only fills the outbox, which is sent when the connection returns, or at the next
// opening.

#include <chrono>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "core/session/case_sync.h"
#include "team/project.h"
#include "team/store.h"

namespace tarnwick {
class Session;
}

namespace tarnwick::team {

class TeamLink final : public CaseSync {
  public:
    // Connects (throws TeamError) and reads the outbox that an earlier session in `folder` may
    // have left (throws IoError). When no server answers and an earlier session left its copy
    // in `folder`, starts offline instead (StartedOffline).
    TeamLink(std::string conninfo, const std::string& password, std::string coder,
             std::string folder);
    ~TeamLink() override;
    TeamLink(const TeamLink&) = delete;
    TeamLink& operator=(const TeamLink&) = delete;

    // The folder on this computer for a coder of the project behind `conninfo`:
    // $XDG_DATA_HOME (or ~/.local/share)/tarnwick/team/<coder>-<hash of conninfo>.
    static std::string FolderFor(const std::string& conninfo, const std::string& coder);

    // Sends what an earlier session left unsent, then writes the project into the folder as this
    // coder is to see it (a double-coded case with this coder's own code only). None, with the
    // lines in `faults`, when the stored files do not parse. Started offline: the copy of the
    // last session as it stands. Throws TeamError and IoError.
    std::optional<LocalCopy> Prepare(std::vector<std::string>& faults);
    // The database could not be reached at the start: the session works on the last copy.
    bool StartedOffline() const { return db_ == nullptr; }
    // Codes of an earlier session that Prepare sent.
    size_t SentAtPrepare() const { return sentAtPrepare_; }
    // What the server refused of them, one message each.
    const std::vector<std::string>& RefusedAtPrepare() const { return refusedAtPrepare_; }

    // The session opened from the local copy takes its changes through this link.
    void Attach(Session& session);
    // Lets go of the case held and of the session. Never throws.
    void Detach();

    void CaseChanged(const JournalEntry& entry) override;
    std::optional<std::pair<int, int>> TakeNext() override;

    // Between actions: connects again after a loss and sends what waits, then takes the other
    // coders' changes into the session. Returns how many it took. Never throws.
    int Poll();

    bool Online() const { return online_; }
    size_t Waiting() const { return pending_.size(); }
    const std::string& Coder() const { return coder_; }
    const std::string& Folder() const { return folder_; }
    // The connection, for the supervisor's figures; only while Online().
    Connection& Db() { return *db_; }
    // Marks the connection lost after a ConnectionLost from a call made through Db().
    void LostConnection();

  private:
    void Connect();
    // The copy an earlier session of this coder left in the folder, when it is one.
    std::optional<LocalCopy> CopyOfLastSession();
    // What the copy's record names as its owner: a hash of the database and the coder.
    std::string CopyOwner() const;
    void ReadOutbox();
    void AppendOutbox(const CodingAction& action);
    void ClearOutbox();
    void SetAside(const CodingAction& action, const std::string& why);
    // Sends the waiting actions in order; stops at a lost connection. Returns how many it sent.
    size_t Flush();
    void GoOffline();
    std::optional<std::pair<int, int>> NextOnThisComputer();

    std::string conninfo_;
    std::string password_;
    std::string coder_;
    std::string folder_;
    std::unique_ptr<Connection> db_;
    bool online_ = true;
    Session* session_ = nullptr;
    std::deque<CodingAction> pending_;
    int outbox_ = -1;
    std::string sessionTag_;
    unsigned long long counter_ = 0;
    long long lastChange_ = 0;
    std::chrono::steady_clock::time_point retryAt_{};
    std::optional<LocalCopy> offlineCopy_;
    size_t sentAtPrepare_ = 0;
    std::vector<std::string> refusedAtPrepare_;
    bool spreadOffline_ = false;  // the first case offline was picked
};

}  // namespace tarnwick::team
