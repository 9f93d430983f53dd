#pragma once
// The lock of a project (.zlk beside the working file): who codes it, where and since when, so
// that a second program opening the same project, on this machine or on another one sharing the
// folder, is told and cannot overwrite the first one's codes.
//
// The file is made whole under a name of its own and then linked to the lock's name, which
// fails when the lock exists (atomic also on network file systems). The holder keeps it open
// with an exclusive flock where the file system has one, and touches it every minute, so that
// other machines can tell a living lock from one left behind by a crash.

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace tarnwick {

struct LockHolder {
    std::string User;
    std::string Host;
    long long Pid = 0;
    std::string Since;  // local time, "2026-12-08 18:55:02"
};

// The lock file's text ("user=...\nhost=...\npid=...\nsince=...\n") and back; nullopt when a
// line is missing or the pid is not a number.
std::string FormatLockText(const LockHolder& holder);
std::optional<LockHolder> ParseLockText(std::string_view text);

// A lock found in place of ours.
struct LockFound {
    LockHolder Holder;
    // Its process is gone (same machine), or it has not been touched for a day (another one).
    bool Stale = false;
    bool SameHost = false;
    // It names this very process: one program codes one project at a time, so an earlier
    // opening of this program holds it, and it covers a later one.
    bool OwnProcess = false;
};

// A lock older than this without a touch counts as left behind by another machine.
inline constexpr long long kLockStaleSeconds = 24 * 60 * 60;

class ProjectLock {
  public:
    // Takes the lock at `path` for this process; nullptr when one is already there. Throws
    // IoError when the lock cannot be written (a folder without write access, ...).
    static std::unique_ptr<ProjectLock> TryTake(const std::string& path);
    // Reads the lock at `path`: nullopt when there is none (any more). A lock whose text cannot
    // be read counts as held by an unknown coder, stale when it has not been touched for a day.
    static std::optional<LockFound> Probe(const std::string& path);
    // Removes a stale lock, if it is still the one that `found` describes.
    static void RemoveStale(const std::string& path, const LockFound& found);

    ~ProjectLock();  // releases it
    ProjectLock(const ProjectLock&) = delete;
    ProjectLock& operator=(const ProjectLock&) = delete;

    // Touches the lock file, so that it stays young for other machines.
    void Heartbeat();
    // Touches it every few minutes from a thread of its own until the lock is let go, however
    // long the program waits for its coder (TARNWICK_LOCK_HEARTBEAT_SECONDS sets the interval).
    void BeatOnItsOwn();
    static constexpr long kHeartbeatSeconds = 300;
    const std::string& Path() const { return path_; }
    const LockHolder& Holder() const { return holder_; }

  private:
    ProjectLock(std::string path, LockHolder holder, std::string text, int fd);
    std::string path_;
    LockHolder holder_;
    std::string text_;
    int fd_ = -1;
    // The thread's state on the heap: a process forked from ours holds a copy of it but not the
    // thread, and must leave it alone rather than wait for a thread that is not there.
    struct Beat {
        std::thread Thread;
        std::mutex Hold;
        std::condition_variable Wake;
        bool Ending = false;
        long long Pid = 0;  // the process the thread runs in
    };
    std::unique_ptr<Beat> beat_;
};

// This process as a lock holder, since now.
LockHolder ThisProcess();

}  // namespace tarnwick
