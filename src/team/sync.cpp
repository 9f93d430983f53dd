#include "team/sync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <string_view>

#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "team/team_texts.h"

namespace tarnwick::team {

namespace {

// The outbox: one line per action, "<action id> <ms since the epoch> " and then the action's
// journal entry, whose checksum catches a line torn by a crash.
constexpr const char* kOutboxName = "outbox.txt";
// The names of the copy's three files and the last change it holds, one per line: what a start
// while the database is down opens.
constexpr const char* kCopyName = "copy.txt";
// The actions the server refused for what they hold, in the outbox's lines.
constexpr const char* kRefusedName = "refused.txt";
// A server that sends nothing for this long is given up; the coder works on offline.
constexpr int kAnswerTimeoutSeconds = 10;
// How long an offline link waits before it tries the server again.
constexpr std::chrono::seconds kRetryAfterSilence{30};
constexpr std::chrono::seconds kRetryAfterFailure{5};

long long NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count();
}

std::string OutboxLine(const CodingAction& a) {
    return a.ActionId + ' ' + std::to_string(a.AtMs) + ' ' + FormatJournalEntry(a.State);
}

std::string_view Word(std::string_view& rest) {
    const size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return word;
}

unsigned long long Fnv1a(std::string_view text) {
    unsigned long long h = 1469598103934665603ULL;
    for (const unsigned char c : text) {
        h ^= c;
        h *= 1099511628211ULL;
    }
    return h;
}

}  // namespace

TeamLink::TeamLink(std::string conninfo, const std::string& password, std::string coder,
                   std::string folder)
    : conninfo_(std::move(conninfo)),
      password_(password),
      coder_(std::move(coder)),
      folder_(std::move(folder)) {
    // The name is a line of every table and file that names coders.
    if (coder_.empty() || std::any_of(coder_.begin(), coder_.end(), [](char c) {
            return static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
        })) {
        throw TeamError(msg::kTeamCoderNameRefused);
    }
    if (folder_.empty() || folder_.back() != '/') folder_ += '/';
    std::error_code error;
    std::filesystem::create_directories(folder_, error);
    if (error) throw IoError(IoErrorText(folder_, error.value()));
    // Action identifiers only need to differ between every action ever sent: a random tag per
    // session and a counter.
    std::random_device random;
    char tag[40];
    std::snprintf(tag, sizeof tag, "%08x%08x", random(), random());
    sessionTag_ = tag;
    ReadOutbox();
    try {
        Connect();
    } catch (const TeamError&) {
        // A server that is down (not one that refuses the coder): the coder codes on from the
        // copy an earlier session left on this computer.
        offlineCopy_ = CopyOfLastSession();
        if (!offlineCopy_ || !Connection::ServerUnreachable(conninfo_)) throw;
        online_ = false;
    }
}

std::string TeamLink::CopyOwner() const {
    char hash[20];
    std::snprintf(hash, sizeof hash, "%016llx", Fnv1a(conninfo_ + '\n' + coder_));
    return hash;
}

void TeamLink::Connect() {
    db_ = std::make_unique<Connection>(conninfo_, password_);
    db_->SetAnswerTimeout(kAnswerTimeoutSeconds);
}

TeamLink::~TeamLink() {
    Detach();
    if (outbox_ >= 0) ::close(outbox_);
}

std::string TeamLink::FolderFor(const std::string& conninfo, const std::string& coder) {
    std::string base;
    if (const char* data = std::getenv("XDG_DATA_HOME"); data && *data) {
        base = data;
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        base = std::string(home) + "/.local/share";
    } else {
        base = "/tmp";
    }
    char hash[20];
    std::snprintf(hash, sizeof hash, "%016llx", Fnv1a(conninfo + '\n' + coder));
    // The coder's name only as far as it is safe in a file name.
    std::string name;
    for (const char c : coder) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-';
        if (plain && name.size() < 40) name += c;
    }
    return base + "/tarnwick/team/" + (name.empty() ? "coder" : name) + '-' + hash + '/';
}

void TeamLink::ReadOutbox() {
    const std::string path = folder_ + kOutboxName;
    if (PathTaken(path)) {
        const std::string text = ReadOwnFile(path);
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            if (end == std::string::npos) end = text.size();
            std::string_view rest(text.data() + start, end - start);
            start = end + 1;
            const std::string id(Word(rest));
            const std::string at(Word(rest));
            const JournalReading entry = ReadJournalText(rest);
            // A line torn by a crash was never acknowledged to the coder's window either: the
            // action had not yet shown.
            if (id.empty() || entry.Entries.size() != 1) continue;
            pending_.push_back({id, coder_, entry.Entries.front(), std::atoll(at.c_str())});
        }
    }
    outbox_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (outbox_ < 0) throw IoError(IoErrorText(path, errno));
}

void TeamLink::AppendOutbox(const CodingAction& action) {
    const std::string line = OutboxLine(action);
    const std::string path = folder_ + kOutboxName;
    size_t done = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(outbox_, line.data() + done, line.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw IoError(IoErrorText(path, n < 0 ? errno : ENOSPC));
        done += static_cast<size_t>(n);
    }
    if (::fdatasync(outbox_) != 0) throw IoError(IoErrorText(path, errno));
}

void TeamLink::SetAside(const CodingAction& action, const std::string& why) {
    const std::string path = folder_ + kRefusedName;
    std::string text = PathTaken(path) ? ReadOwnFile(path) : std::string();
    text += OutboxLine(action);
    WriteFileAtomic(path, text);
    // Before a session is attached (an earlier session's outbox sent at the opening), the
    // opening tells the coder.
    if (session_)
        session_->platform.ShowMessage(msg::TeamActionRefused(why, path), Severity::Fault);
    else
        refusedAtPrepare_.push_back(msg::TeamActionRefused(why, path));
}

void TeamLink::ClearOutbox() {
    if (::ftruncate(outbox_, 0) == 0) ::fdatasync(outbox_);
}

void TeamLink::GoOffline() {
    if (!online_) return;
    online_ = false;
    // A server that went silent is likely still so: trying again at once would hold the coder
    // for the connection timeout between every two actions.
    retryAt_ = std::chrono::steady_clock::now() +
               (db_ && db_->TimedOut() ? kRetryAfterSilence : std::chrono::seconds(0));
    if (session_) {
        session_->platform.ShowMessage(msg::kTeamWorkingOffline, Severity::Information);
        session_->SetStatusNotice(msg::TeamOffline(pending_.size()));
    }
}

void TeamLink::LostConnection() { GoOffline(); }

size_t TeamLink::Flush() {
    size_t sent = 0;
    while (online_ && !pending_.empty()) {
        try {
            RecordAction(*db_, pending_.front());
        } catch (const ConnectionLost&) {
            GoOffline();
            break;
        } catch (const Refused& e) {
            // Never taken, so never to block the actions after it: kept aside on this computer,
            // and the coder is told.
            SetAside(pending_.front(), e.what());
            pending_.pop_front();
            continue;
        }
        pending_.pop_front();
        ++sent;
    }
    if (pending_.empty() && sent > 0) ClearOutbox();
    if (session_) session_->ResultsModified = !pending_.empty();
    return sent;
}

std::optional<LocalCopy> TeamLink::Prepare(std::vector<std::string>& faults) {
    if (!db_) return offlineCopy_;
    if (SchemaVersion(*db_) == 0) throw TeamError(msg::kTeamNoProject);
    sentAtPrepare_ = Flush();
    if (!online_) throw ConnectionLost(msg::kTeamWorkingOffline);
    const ProjectFiles files = ReadProjectFiles(*db_);
    const std::vector<CaseState> states = CoderStates(*db_, coder_, lastChange_);
    // The local journal and working file are a copy of the database's state, made anew here;
    // what this coder did in an earlier session is in the database or the outbox.
    const std::string stem = folder_ + StemOf(files.DataName);
    std::remove((stem + kExtJournal).c_str());
    // The database keeps who coded what; `team export` writes it out.
    std::remove((stem + kExtProvenance).c_str());
    std::optional<LocalCopy> copy = WriteLocalCopy(files, states, folder_, faults);
    if (copy) {
        WriteFileAtomic(folder_ + kCopyName,
                        files.ParamsName + '\n' + files.ClassificationName + '\n' + files.DataName +
                            '\n' + std::to_string(lastChange_) + '\n' + CopyOwner() + '\n');
    }
    return copy;
}

std::optional<LocalCopy> TeamLink::CopyOfLastSession() {
    const std::string path = folder_ + kCopyName;
    if (!PathTaken(path)) return std::nullopt;
    std::string text;
    try {
        text = ReadOwnFile(path);
    } catch (const IoError&) {
        return std::nullopt;  // a link or another user's file there is no copy of this coder's
    }
    std::vector<std::string> lines;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find('\n', at), text.size());
        lines.emplace_back(text, at, end - at);
        at = end + 1;
    }
    // Names only: a name that would reach out of the folder is no copy of this program's. The
    // copy must be this coder's of this database, whatever folder it was given.
    const auto plainName = [](const std::string& n) {
        return !n.empty() && n != ".." && n.find('/') == std::string::npos;
    };
    if (lines.size() < 5 || lines[4] != CopyOwner() ||
        !std::all_of(lines.begin(), lines.begin() + 3, plainName)) {
        return std::nullopt;
    }
    lastChange_ = std::atoll(lines[3].c_str());
    return LocalCopy{folder_ + lines[0], folder_ + lines[1], folder_ + lines[2]};
}

void TeamLink::Attach(Session& session) {
    session_ = &session;
    session.Sync = this;
    session.CoderName = coder_;
    session.ResultsModified = !pending_.empty();
}

void TeamLink::Detach() {
    if (!session_) return;
    session_->Sync = nullptr;
    session_ = nullptr;
    if (online_) {
        try {
            Flush();
            ReleaseClaims(*db_, coder_);
        } catch (const TeamError&) {
            // The lease ends by itself; what was not sent stays in the outbox.
        }
    }
}

void TeamLink::CaseChanged(const JournalEntry& entry) {
    CodingAction action{sessionTag_ + '-' + std::to_string(++counter_), coder_, entry, NowMs()};
    // On this computer's disk before anything else: a lost connection or a crash loses nothing.
    AppendOutbox(action);
    pending_.push_back(std::move(action));
    try {
        Flush();
    } catch (const TeamError& e) {
        // Refused by the server for another reason than the connection: it stays waiting, and
        // the coder is told why.
        if (session_) session_->platform.ShowMessage(e.what(), Severity::Fault);
    }
    if (!online_ && session_) session_->SetStatusNotice(msg::TeamOffline(pending_.size()));
}

std::optional<std::pair<int, int>> TeamLink::NextOnThisComputer() {
    if (!session_) return std::nullopt;
    const auto& rs = session_->Cases.Respondents;
    const size_t n = rs.size();
    if (n == 0) return std::nullopt;
    // Coders cut off together hold neighbouring claims: going on from there, each would code
    // the cases the others code too. The first case offline is one of the open ones picked by
    // the coder's name, so that each starts in a part of the work of their own.
    if (!spreadOffline_) {
        spreadOffline_ = true;
        std::vector<std::pair<int, int>> open;
        for (size_t r = 0; r < n; ++r) {
            const auto& zs = rs[r].Occupations;
            for (size_t f = 0; f < zs.size(); ++f)
                if (zs[f].ToCode && zs[f].Code.empty())
                    open.emplace_back(static_cast<int>(r), static_cast<int>(f));
        }
        if (open.empty()) return std::nullopt;
        return open[std::hash<std::string>{}(coder_) % open.size()];
    }
    for (size_t step = 0; step <= n; ++step) {
        const size_t r = (static_cast<size_t>(std::max(session_->CurrentRecord, 0)) + step) % n;
        const auto& zs = rs[r].Occupations;
        for (size_t f = 0; f < zs.size(); ++f) {
            if (step == 0 && static_cast<int>(f) <= session_->CurrentField) continue;
            if (zs[f].ToCode && zs[f].Code.empty()) {
                return std::pair{static_cast<int>(r), static_cast<int>(f)};
            }
        }
    }
    return std::nullopt;
}

std::optional<std::pair<int, int>> TeamLink::TakeNext() {
    if (online_) {
        try {
            const auto claim = ClaimNext(*db_, coder_);
            if (!claim) return std::nullopt;
            return std::pair{claim->Record, claim->Field};
        } catch (const ConnectionLost&) {
            GoOffline();
        } catch (const TeamError& e) {
            if (session_) session_->platform.ShowMessage(e.what(), Severity::Fault);
            return std::nullopt;
        }
    }
    if (session_) session_->SetStatusNotice(msg::kTeamOfflineNext);
    return NextOnThisComputer();
}

int TeamLink::Poll() {
    if (!online_) {
        const auto now = std::chrono::steady_clock::now();
        if (now < retryAt_) return 0;
        bool back = false;
        if (!db_) {
            try {
                Connect();
                back = true;
            } catch (const TeamError&) {
            }
        } else {
            back = db_->Reset();
        }
        if (!back) {
            retryAt_ = now + kRetryAfterFailure;
            return 0;
        }
        online_ = true;
        spreadOffline_ = false;
    }
    if (!session_) return 0;
    int taken = 0;
    try {
        const bool wasWaiting = !pending_.empty();
        const size_t sent = Flush();
        if (wasWaiting && online_) session_->SetStatusNotice(msg::TeamBack(sent));
        if (!online_) return 0;
        bool current = false;
        for (const RemoteChange& c : ChangesSince(*db_, coder_, lastChange_)) {
            lastChange_ = std::max(lastChange_, c.Number);
            if (TakeChangeFromElsewhere(*session_, c.State.Record, c.State.Field, c.State.Code,
                                        c.State.ToCode, {CodeSource::Coder}, c.Coder)) {
                ++taken;
                current |= c.State.Record == session_->CurrentRecord &&
                           c.State.Field == session_->CurrentField;
            }
        }
        if (current) ShowCurrentCase(*session_);
    } catch (const ConnectionLost&) {
        GoOffline();
    } catch (const TeamError&) {
        // Tried again at the next poll.
    }
    session_->ResultsModified = !pending_.empty();
    return taken;
}

}  // namespace tarnwick::team
