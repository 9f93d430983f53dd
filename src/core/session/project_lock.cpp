#include "core/session/project_lock.h"

#include <fcntl.h>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <ctime>

#include "core/io/atomic_file.h"
#include "core/io/files.h"

namespace tarnwick {

namespace {

std::string ReadSmallFile(const std::string& path, bool& found) {
    found = false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return {};
    found = true;
    std::string text;
    char buffer[1024];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0 && text.size() < 8192;) {
        text.append(buffer, static_cast<size_t>(n));
    }
    ::close(fd);
    return text;
}

std::string HostName() {
    char host[256] = {};
    if (::gethostname(host, sizeof host - 1) != 0) return "unknown";
    return host;
}

}  // namespace

std::string FormatLockText(const LockHolder& h) {
    return "user=" + h.User + "\nhost=" + h.Host + "\npid=" + std::to_string(h.Pid) +
           "\nsince=" + h.Since + "\n";
}

std::optional<LockHolder> ParseLockText(std::string_view text) {
    LockHolder h;
    bool seen[4] = {};
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, eq);
        const std::string_view value = line.substr(eq + 1);
        if (key == "user") h.User = value, seen[0] = true;
        if (key == "host") h.Host = value, seen[1] = true;
        if (key == "since") h.Since = value, seen[3] = true;
        if (key == "pid") {
            const auto [p, ec] = std::from_chars(value.data(), value.data() + value.size(), h.Pid);
            seen[2] = ec == std::errc() && p == value.data() + value.size() && h.Pid > 0;
        }
    }
    if (!(seen[0] && seen[1] && seen[2] && seen[3])) return std::nullopt;
    return h;
}

LockHolder ThisProcess() {
    LockHolder h;
    if (const passwd* pw = ::getpwuid(::geteuid()); pw != nullptr && pw->pw_name != nullptr) {
        h.User = pw->pw_name;
    } else if (const char* user = std::getenv("USER"); user != nullptr) {
        h.User = user;
    } else {
        h.User = std::to_string(::geteuid());
    }
    h.Host = HostName();
    h.Pid = ::getpid();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char since[32];
    std::strftime(since, sizeof since, "%Y-%m-%d %H:%M:%S", &local);
    h.Since = since;
    return h;
}

ProjectLock::ProjectLock(std::string path, LockHolder holder, std::string text, int fd)
    : path_(std::move(path)), holder_(std::move(holder)), text_(std::move(text)), fd_(fd) {}

std::unique_ptr<ProjectLock> ProjectLock::TryTake(const std::string& path) {
    LockHolder me = ThisProcess();
    const std::string text = FormatLockText(me);
    // Written whole under a name of this process first: a reader never sees half a lock.
    // Its name fits the folder's longest name, however long the data file's stem: room is left
    // for the process number and ".tmp" after the stem's cut.
    const size_t slash = path.rfind('/');
    const long nameMax = ::pathconf(
        slash == std::string::npos ? "." : path.substr(0, slash + 1).c_str(), _PC_NAME_MAX);
    const size_t room = nameMax > 32 ? static_cast<size_t>(nameMax) - 14 : 18;
    // A new file only: whatever stands at the name (a pipe that would hold the opening for
    // ever, another user's file) is passed by for the next name.
    std::string own;
    int fd = -1;
    for (int n = 0; fd < 0 && n < 100; ++n) {
        own = TemporaryNameStem(path, room) + std::to_string(me.Pid) +
              (n == 0 ? std::string() : "." + std::to_string(n)) + ".tmp";
        fd = ::open(own.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK,
                    0644);
        if (fd < 0 && errno != EEXIST) throw IoError(IoErrorText(path, errno));
    }
    if (fd < 0) throw IoError(IoErrorText(path, EEXIST));
    // The OS lock is held before the name appears: no other program can find the lock without
    // it, and take it for stale, between the link and the flock. The file is new and ours alone.
    errno = 0;
    const bool written =
        ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
        ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) &&
        ::fsync(fd) == 0;
    const int writeError = errno != 0 ? errno : ENOSPC;  // a short write sets no errno
    if (!written) {
        ::close(fd);
        ::unlink(own.c_str());
        throw IoError(IoErrorText(path, writeError));
    }
    const int linked = ::link(own.c_str(), path.c_str());
    const int linkError = errno;
    ::unlink(own.c_str());
    if (linked != 0) {
        ::close(fd);
        if (linkError == EEXIST) return nullptr;
        throw IoError(IoErrorText(path, linkError));
    }
    return std::unique_ptr<ProjectLock>(new ProjectLock(path, std::move(me), text, fd));
}

std::optional<LockFound> ProjectLock::Probe(const std::string& path) {
    bool found = false;
    const std::string text = ReadSmallFile(path, found);
    if (!found) return std::nullopt;
    LockFound f;
    f.Holder = ParseLockText(text).value_or(LockHolder{"?", "?", 0, "?"});
    struct stat st {};
    const long long age = ::stat(path.c_str(), &st) == 0
                              ? static_cast<long long>(std::time(nullptr) - st.st_mtime)
                              : 0;
    f.SameHost = f.Holder.Host == HostName();
    f.OwnProcess = f.SameHost && f.Holder.Pid == ::getpid();
    if (f.SameHost && f.Holder.Pid > 0) {
        bool gone = ::kill(static_cast<pid_t>(f.Holder.Pid), 0) != 0 && errno == ESRCH;
        // A pid used again by another program: no process holds the OS lock any more.
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd >= 0) {
            if (::flock(fd, LOCK_SH | LOCK_NB) == 0) gone = true;
            ::close(fd);
        }
        f.Stale = gone;
    } else {
        f.Stale = age > kLockStaleSeconds;
    }
    return f;
}

void ProjectLock::RemoveStale(const std::string& path, const LockFound& found) {
    const std::optional<LockFound> now = Probe(path);
    if (!now || !now->Stale) return;
    if (now->Holder.Pid != found.Holder.Pid || now->Holder.Host != found.Holder.Host ||
        now->Holder.Since != found.Holder.Since) {
        return;
    }
    ::unlink(path.c_str());
}

ProjectLock::~ProjectLock() {
    if (beat_ && beat_->Pid != static_cast<long long>(::getpid())) {
        (void)beat_.release();  // a forked copy: its condition variable waits for no one here
    } else if (beat_) {
        {
            const std::lock_guard<std::mutex> hold(beat_->Hold);
            beat_->Ending = true;
        }
        beat_->Wake.notify_all();
        beat_->Thread.join();
    }
    // Only our own lock goes: one taken over by another program (after we were thought gone)
    // stays theirs.
    bool found = false;
    if (ReadSmallFile(path_, found) == text_ && found) ::unlink(path_.c_str());
    if (fd_ >= 0) ::close(fd_);
}

void ProjectLock::Heartbeat() {
    if (fd_ >= 0) ::futimens(fd_, nullptr);
}

void ProjectLock::BeatOnItsOwn() {
    // A console left waiting for input, or a window behind a modal dialog, touches nothing for
    // hours: another computer would take the lock for stale after a day.
    long seconds = kHeartbeatSeconds;
    if (const char* given = std::getenv("TARNWICK_LOCK_HEARTBEAT_SECONDS")) {
        seconds = std::max(1L, std::strtol(given, nullptr, 10));
    }
    if (beat_) return;
    beat_ = std::make_unique<Beat>();
    beat_->Pid = static_cast<long long>(::getpid());
    Beat* beat = beat_.get();
    beat_->Thread = std::thread([this, beat, seconds] {
        std::unique_lock<std::mutex> hold(beat->Hold);
        while (!beat->Wake.wait_for(hold, std::chrono::seconds(seconds),
                                    [beat] { return beat->Ending; })) {
            Heartbeat();
        }
    });
}

}  // namespace tarnwick
