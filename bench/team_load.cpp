// The team load: coder processes (20 by default) on one team project of 100,000 cases in
// PostgreSQL, each claiming the next case and coding it as fast as it can, until nothing is left.
// Run 1 measures the throughput and the round trips of claiming and coding while all coders
// work; run 2 does the same on a fresh database while coders are killed at random (and started
// again under the same name) and the server is restarted once. After each run the database is
// checked: every case coded, no case coded twice outside double coding, every acknowledged action
// stored. The exit status is 1 when a check fails, 2 when the run could not be made.
//
// bench/team_load.sh starts a throwaway cluster and runs this program on it.

#include <fcntl.h>
#include <libpq-fe.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "team/pg.h"
#include "team/store.h"

namespace tarnwick::team {
namespace {

using namespace std::chrono_literals;

// The database the runs make afresh in the cluster.
constexpr const char* kDatabase = "tarnwick_load";
// How long a coder waits for the server to come back before it gives up.
constexpr auto kPatience = 120s;
constexpr int kMaxCoders = 256;

struct Options {
    std::string Conninfo;  // of the cluster, for CREATE DATABASE and the checks
    std::string Work;      // the coders' files of acknowledged actions
    std::string RestartCommand;
    std::vector<int> Runs{1, 2};
    int Cases = 100000;
    int Coders = 20;
    double DoubleShare = 0.1;
    int Kills = 20;
    // Seconds, in run 2: long enough that a claim outlives the restart's recovery, short enough
    // that a killed coder's case comes back within the run.
    int Lease = 20;
    int TimeoutSeconds = 1800;
    std::uint64_t Seed = 2026;
};

long long NowNs() {
    // The monotonic clock is one clock for all processes of the machine, so the parent compares
    // the children's times.
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

long long EpochMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

std::string CoderName(int slot) {
    const std::string n = std::to_string(slot + 1);
    return "coder" + std::string(n.size() < 2 ? 2 - n.size() : 0, '0') + n;
}
// One process of a coder: a coder killed is started again under its name with the next spawn.
std::string ProcessName(int slot, int spawn) {
    return CoderName(slot) + '-' + std::to_string(spawn);
}
std::string ActionId(int slot, int spawn, long long n) {
    return ProcessName(slot, spawn) + '-' + std::to_string(n);
}
std::string RespondentId(int record) {
    const std::string n = std::to_string(record + 1);
    return std::string(n.size() < 8 ? 8 - n.size() : 0, '0') + n;
}
// Both coders of a double-coded case give the same code, so the final code is known.
std::string CodeOf(int record) { return std::to_string(1000 + record % 9000); }

// ---- What the coders tell the parent: counters and timed calls in memory shared across fork.

struct Sample {
    long long StartNs = 0;
    long long Ns = 0;
};

struct Shared {
    std::atomic<long long> Acked{0};
    std::atomic<long long> Resends{0};
    std::atomic<long long> Reconnects{0};
    std::atomic<long long> Claims{0};
    std::atomic<long long> Actions{0};
    std::atomic<long long> FirstCallNs[kMaxCoders];  // of the coder's first process
    std::atomic<long long> DoneNs[kMaxCoders];       // when nothing was left for the coder
    long long Capacity = 0;

    Sample* ClaimSamples() { return reinterpret_cast<Sample*>(this + 1); }
    Sample* ActionSamples() { return ClaimSamples() + Capacity; }
    void Add(std::atomic<long long>& count, Sample* to, long long start, long long end) {
        const long long i = count.fetch_add(1);
        if (i < Capacity) to[i] = {start, end - start};
    }
};
static_assert(std::atomic<long long>::is_always_lock_free, "counters shared across processes");

class SharedArea {
  public:
    explicit SharedArea(long long capacity)
        : bytes_(sizeof(Shared) + 2 * capacity * sizeof(Sample)) {
        void* p =
            ::mmap(nullptr, bytes_, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) throw std::system_error(errno, std::generic_category(), "mmap");
        shared_ = new (p) Shared;
        for (int i = 0; i < kMaxCoders; ++i) {
            shared_->FirstCallNs[i] = 0;
            shared_->DoneNs[i] = 0;
        }
        shared_->Capacity = capacity;
    }
    ~SharedArea() { ::munmap(shared_, bytes_); }
    SharedArea(const SharedArea&) = delete;
    SharedArea& operator=(const SharedArea&) = delete;
    Shared& operator*() { return *shared_; }

  private:
    std::size_t bytes_;
    Shared* shared_ = nullptr;
};

double MedianMs(const Sample* samples, long long from, long long to) {
    std::vector<long long> ns;
    for (long long i = from; i < to; ++i) ns.push_back(samples[i].Ns);
    if (ns.empty()) return NAN;
    std::nth_element(ns.begin(), ns.begin() + ns.size() / 2, ns.end());
    return ns[ns.size() / 2] / 1e6;
}

// ---- A coder process.

struct CoderJob {
    std::string Conninfo;
    std::string AckPath;
    Shared* Area = nullptr;
    int Slot = 0;
    int Spawn = 0;
    int Lease = 600;
};

std::unique_ptr<Connection> Connect(const std::string& conninfo) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    for (;;) {
        try {
            return std::make_unique<Connection>(conninfo);
        } catch (const TeamError&) {
            // A coder started while the server restarts waits for it like a coder that lost it.
            if (std::chrono::steady_clock::now() > deadline) throw;
        }
        std::this_thread::sleep_for(100ms);
    }
}

// Calls `call` until it goes through, connecting again after each lost connection.
template <class Call>
void Persist(Connection& db, Shared& area, std::atomic<long long>* resends, Call&& call) {
    for (;;) {
        try {
            call();
            return;
        } catch (const ConnectionLost&) {
            const auto deadline = std::chrono::steady_clock::now() + kPatience;
            while (!db.Reset()) {
                if (std::chrono::steady_clock::now() > deadline)
                    throw TeamError("the server did not come back");
                std::this_thread::sleep_for(100ms);
            }
            ++area.Reconnects;
            if (resends != nullptr) ++*resends;
        }
    }
}

void WriteAll(int fd, const std::string& text, const std::string& path) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) throw std::system_error(errno, std::generic_category(), path);
        done += static_cast<std::size_t>(n);
    }
}

int Code(const CoderJob& job) {
    Shared& area = *job.Area;
    const std::string coder = CoderName(job.Slot);
    // Each acknowledged action goes straight to the kernel, so a kill right after loses none.
    const int ack = ::open(job.AckPath.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (ack < 0) throw std::system_error(errno, std::generic_category(), job.AckPath);
    std::unique_ptr<Connection> db = Connect(job.Conninfo);
    for (long long n = 0;; ++n) {
        std::optional<ClaimedCase> claim;
        Persist(*db, area, nullptr, [&] {
            const long long start = NowNs();
            long long none = 0;
            area.FirstCallNs[job.Slot].compare_exchange_strong(none, start);
            claim = ClaimNext(*db, coder, job.Lease);
            area.Add(area.Claims, area.ClaimSamples(), start, NowNs());
        });
        if (!claim) {
            area.DoneNs[job.Slot] = NowNs();
            ::close(ack);
            return 0;
        }
        const CodingAction action{
            ActionId(job.Slot, job.Spawn, n),
            coder,
            {claim->Record, claim->Field, true, RespondentId(claim->Record), CodeOf(claim->Record)},
            EpochMs()};
        // A lost action is sent again with its id: the store keeps it once.
        Persist(*db, area, &area.Resends, [&] {
            const long long start = NowNs();
            RecordAction(*db, action);
            area.Add(area.Actions, area.ActionSamples(), start, NowNs());
        });
        WriteAll(ack, action.ActionId + '\n', job.AckPath);
        ++area.Acked;
    }
}

pid_t Spawn(const CoderJob& job) {
    // Flushed first, or the child would print the parent's pending output again.
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (pid > 0) return pid;
    // A coder outlives no stopped benchmark.
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (::getppid() != parent) ::_exit(3);
    int status = 3;
    try {
        status = Code(job);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s: %s\n", ProcessName(job.Slot, job.Spawn).c_str(), e.what());
    }
    std::fflush(stderr);
    // No destructors of the parent's objects in the child.
    ::_exit(status);
}

pid_t StartCommand(const std::string& command) {
    std::fflush(stdout);
    std::fflush(stderr);
    const pid_t pid = ::fork();
    if (pid < 0) throw std::system_error(errno, std::generic_category(), "fork");
    if (pid == 0) {
        ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

bool ExitedWell(int status) { return WIFEXITED(status) && WEXITSTATUS(status) == 0; }

// ---- The parent's side of a run.

struct Figures {
    double Seconds = 0;
    long long Acked = 0;
    long long Resends = 0;
    long long Reconnects = 0;
    std::vector<long long> ClaimNs;   // the calls made while all coders worked
    std::vector<long long> ActionNs;  // the same
    double AllWorkingSeconds = 0;
    long long AllWorkingActions = 0;
    long long Dropped = 0;  // timed calls beyond the shared area's room
    int Kills = 0;
    int Restarts = 0;
    bool RestartFailed = false;
    int BadExits = 0;
    bool TimedOut = false;
    std::set<std::string> Killed;  // process names
};

Figures RunCoders(const Options& o, const std::string& conninfo, const std::string& folder,
                  bool chaos, long long expected, std::uint64_t seed) {
    SharedArea shared(4 * expected + 64 * o.Coders);
    Shared& area = *shared;
    std::mt19937_64 rng(seed);
    std::vector<double> killAt;
    if (chaos) {
        std::uniform_real_distribution<double> at(0.05, 0.95);
        for (int i = 0; i < o.Kills; ++i) killAt.push_back(at(rng));
        std::sort(killAt.begin(), killAt.end());
    }
    const double restartAt = chaos ? std::uniform_real_distribution<double>(0.4, 0.6)(rng) : 2.0;
    std::uniform_int_distribution<int> pause(2, 25);

    auto job = [&](int slot, int spawn) {
        return CoderJob{.Conninfo = conninfo,
                        .AckPath = folder + '/' + ProcessName(slot, spawn) + ".ack",
                        .Area = &area,
                        .Slot = slot,
                        .Spawn = spawn,
                        .Lease = chaos ? o.Lease : 600};
    };
    struct Child {
        pid_t Pid = 0;
        int Spawn = 0;
    };
    std::vector<Child> children(o.Coders);
    Figures f;
    const long long start = NowNs();
    for (int slot = 0; slot < o.Coders; ++slot) children[slot].Pid = Spawn(job(slot, 0));
    int live = o.Coders;
    pid_t restart = 0;
    std::size_t nextKill = 0;
    // Each tenth's pace shows a claim or an action that slows as the project fills.
    int tenth = 1;
    long long tenthStart = start;
    long long claimsFrom = 0;
    long long actionsFrom = 0;
    while (live > 0 || restart > 0) {
        int status = 0;
        pid_t pid;
        while ((pid = ::waitpid(-1, &status, WNOHANG)) > 0) {
            if (pid == restart) {
                restart = 0;
                f.RestartFailed = !ExitedWell(status);
                continue;
            }
            for (Child& c : children) {
                if (c.Pid != pid) continue;
                c.Pid = 0;
                --live;
                if (!ExitedWell(status)) ++f.BadExits;
            }
        }
        const double progress = static_cast<double>(area.Acked.load()) / expected;
        if (tenth <= 10 && progress >= tenth / 10.0) {
            const long long now = NowNs();
            // The last calls counted may not be written yet.
            const long long claims = std::min(area.Claims.load() - o.Coders, area.Capacity);
            const long long actions = std::min(area.Actions.load() - o.Coders, area.Capacity);
            std::printf(
                "  %3d %% after %6.1f s: %5.0f codes per second, medians claim %.2f ms, action "
                "%.2f ms\n",
                tenth * 10, (now - start) / 1e9,
                expected / 10.0 / std::max(1LL, now - tenthStart) * 1e9,
                MedianMs(area.ClaimSamples(), claimsFrom, claims),
                MedianMs(area.ActionSamples(), actionsFrom, actions));
            claimsFrom = std::max(claimsFrom, claims);
            actionsFrom = std::max(actionsFrom, actions);
            ++tenth;
            tenthStart = now;
        }
        if (nextKill < killAt.size() && progress >= killAt[nextKill]) {
            ++nextKill;
            std::vector<int> running;
            for (int slot = 0; slot < o.Coders; ++slot)
                if (children[slot].Pid > 0) running.push_back(slot);
            if (!running.empty()) {
                const int slot =
                    running[std::uniform_int_distribution<std::size_t>(0, running.size() - 1)(rng)];
                Child& c = children[slot];
                ::kill(c.Pid, SIGKILL);
                ::waitpid(c.Pid, &status, 0);
                f.Killed.insert(ProcessName(slot, c.Spawn));
                ++f.Kills;
                ++c.Spawn;
                c.Pid = Spawn(job(slot, c.Spawn));
            }
        }
        if (f.Restarts == 0 && progress >= restartAt) {
            restart = StartCommand(o.RestartCommand);
            ++f.Restarts;
        }
        if (NowNs() - start > o.TimeoutSeconds * 1'000'000'000LL) {
            f.TimedOut = true;
            for (const Child& c : children)
                if (c.Pid > 0) ::kill(c.Pid, SIGKILL);
            while (::waitpid(-1, &status, 0) > 0) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(pause(rng)));
    }
    f.Seconds = (NowNs() - start) / 1e9;
    f.Acked = area.Acked;
    f.Resends = area.Resends;
    f.Reconnects = area.Reconnects;

    // The span in which every coder had started and none had yet found the work done.
    long long from = 0;
    long long to = NowNs();
    for (int slot = 0; slot < o.Coders; ++slot) {
        from = std::max(from, area.FirstCallNs[slot].load());
        if (area.DoneNs[slot] > 0) to = std::min(to, area.DoneNs[slot].load());
    }
    auto within = [&](Sample* samples, long long count, std::vector<long long>& out) {
        f.Dropped += std::max(0LL, count - area.Capacity);
        for (long long i = 0; i < std::min(count, area.Capacity); ++i)
            if (samples[i].StartNs >= from && samples[i].StartNs + samples[i].Ns <= to)
                out.push_back(samples[i].Ns);
        std::sort(out.begin(), out.end());
    };
    within(area.ClaimSamples(), area.Claims, f.ClaimNs);
    within(area.ActionSamples(), area.Actions, f.ActionNs);
    f.AllWorkingSeconds = std::max(0LL, to - from) / 1e9;
    f.AllWorkingActions = static_cast<long long>(f.ActionNs.size());
    return f;
}

// ---- The store's own libpq layer for what the store does not do: making the database, reading
// the checks.

long long Number(Connection& db, const char* sql, std::initializer_list<Arg> args = {}) {
    return db.impl().Exec(sql, args).Int(0, 0);
}

// The cluster's connection string with another database.
std::string WithDatabase(const std::string& conninfo, const std::string& database) {
    char* error = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &error);
    if (options == nullptr) {
        const std::string message = error != nullptr ? error : "out of memory";
        PQfreemem(error);
        throw TeamError("connection string: " + message);
    }
    std::string out;
    for (PQconninfoOption* o = options; o->keyword != nullptr; ++o) {
        const bool db = std::string(o->keyword) == "dbname";
        if (o->val == nullptr && !db) continue;
        std::string value = db ? database : o->val;
        std::string quoted = "'";
        for (char ch : value) {
            if (ch == '\'' || ch == '\\') quoted += '\\';
            quoted += ch;
        }
        out += std::string(o->keyword) + '=' + quoted + "' ";
    }
    PQconninfoFree(options);
    return out;
}

void MakeDatabase(const Options& o) {
    Connection admin(o.Conninfo);
    admin.impl().Exec("DROP DATABASE IF EXISTS tarnwick_load WITH (FORCE)");
    admin.impl().Exec("CREATE DATABASE tarnwick_load");
}

ProjectFiles SyntheticFiles(int cases) {
    ProjectFiles f;
    f.ParamsName = "load.zpa";
    f.ParamsBytes = "#R 1-8\r\n#O1 10-13\r\n#I1 15-40\r\n";
    f.ClassificationName = "load.clf";
    for (int code = 1000; code < 10000; code += 500)
        f.ClassificationBytes +=
            std::to_string(code) + " Occupation " + std::to_string(code) + "\r\n";
    f.DataName = "load.dat";
    f.DataBytes.reserve(static_cast<std::size_t>(cases) * 28);
    for (int r = 0; r < cases; ++r) f.DataBytes += RespondentId(r) + "      Job title\r\n";
    return f;
}

// Makes the project; returns the number of actions that code it whole (cases + double cases).
long long MakeProject(const Options& o, const std::string& conninfo) {
    MakeDatabase(o);
    Connection db(conninfo);
    Migrate(db);
    std::vector<CaseState> cases(static_cast<std::size_t>(o.Cases));
    for (int r = 0; r < o.Cases; ++r) cases[r] = {r, 0, true, RespondentId(r), ""};
    InitProject(db, SyntheticFiles(o.Cases), cases, o.DoubleShare, o.Seed);
    const TeamStatus status = ReadStatus(db);
    return status.Cases + status.DoubleCases;
}

// ---- The checks.

struct Check {
    std::string What;
    bool Passed = false;
    std::string Detail;
};

std::vector<std::string> AcknowledgedIds(const std::string& folder) {
    std::vector<std::string> ids;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().extension() != ".ack") continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // A line cut short by a kill was never complete, so never acknowledged.
        std::size_t from = 0;
        for (std::size_t nl; (nl = text.find('\n', from)) != std::string::npos; from = nl + 1)
            ids.push_back(text.substr(from, nl - from));
    }
    return ids;
}

std::string TextArray(const std::vector<std::string>& ids) {
    // The ids are letters, digits and '-', so they need no quotes in an array literal.
    std::string out = "{";
    for (const std::string& id : ids) out += (out.size() > 1 ? "," : "") + id;
    return out + '}';
}

std::vector<Check> CheckRun(const std::string& conninfo, const std::string& folder,
                            const Figures& f, long long expected, bool chaos) {
    std::vector<Check> checks;
    auto check = [&](std::string what, bool passed, std::string detail = "") {
        checks.push_back({std::move(what), passed, std::move(detail)});
    };
    check("coders ended by themselves", f.BadExits == 0 && !f.TimedOut,
          f.TimedOut ? "timed out" : std::to_string(f.BadExits) + " ended with a fault");
    if (chaos) check("server restarted", f.Restarts == 1 && !f.RestartFailed);

    Connection db(conninfo);
    long long wrong = 0;
    long long states = 0;
    for (const CaseState& s : FinalStates(db)) {
        if (!s.ToCode) continue;
        ++states;
        if (s.Code != CodeOf(s.Record)) ++wrong;
    }
    const TeamStatus status = ReadStatus(db);
    check("every case coded, with its code",
          wrong == 0 && status.Coded == status.Cases && status.DoubleDone == status.DoubleCases,
          std::to_string(wrong) + " of " + std::to_string(states) + " without their code; " +
              std::to_string(status.DoubleDone) + " of " + std::to_string(status.DoubleCases) +
              " double cases done");

    Connection c(conninfo);
    // The cases coded otherwise than they should be, with the ids of their actions (which name
    // the coder's process) in the order they were stored.
    auto badCases = [&](const char* what, const char* sql) {
        const Result r = c.impl().Exec(sql);
        std::string detail = std::to_string(r.Rows()) + " cases";
        for (int i = 0; i < std::min(r.Rows(), 4); ++i)
            detail += std::string(i == 0 ? ": " : "; ") + r.Text(i, 0);
        check(what, r.Rows() == 0, detail);
    };
    badCases("no single case coded twice or by two coders", R"(
SELECT record || ' by ' || string_agg(a.action_id, ', ' ORDER BY a.number)
FROM tarnwick.actions a JOIN tarnwick.cases k USING (record, field)
WHERE NOT k.double_coded GROUP BY record, field
HAVING count(*) <> 1 OR count(DISTINCT a.coder) <> 1 ORDER BY record)");
    badCases("each double case coded once by each of two coders", R"(
SELECT record || ' by ' || coalesce(string_agg(a.action_id, ', ' ORDER BY a.number), 'nobody')
FROM tarnwick.cases k LEFT JOIN tarnwick.actions a USING (record, field)
WHERE k.double_coded GROUP BY record, field
HAVING count(a.action_id) <> 2 OR count(DISTINCT a.coder) <> 2 ORDER BY record)");

    std::vector<std::string> acked = AcknowledgedIds(folder);
    std::sort(acked.begin(), acked.end());
    const bool repeated = std::adjacent_find(acked.begin(), acked.end()) != acked.end();
    const std::string array = TextArray(acked);
    const long long missing = Number(c, R"(
SELECT count(*) FROM unnest($1::text[]) AS k(id)
WHERE NOT EXISTS (SELECT 1 FROM tarnwick.actions a WHERE a.action_id = k.id))",
                                     {array});
    check("every acknowledged action stored, once", missing == 0 && !repeated,
          std::to_string(missing) + " of " + std::to_string(acked.size()) + " missing" +
              (repeated ? ", an id acknowledged twice" : ""));
    const long long actions = Number(c, "SELECT count(*) FROM tarnwick.actions");
    if (!chaos) {
        check(
            "as many actions as acknowledged", actions == (long long)acked.size(),
            std::to_string(actions) + " stored, " + std::to_string(acked.size()) + " acknowledged");
    } else {
        // A coder killed between the commit and its note may leave one action unacknowledged.
        const Result r = c.impl().Exec(R"(
SELECT a.action_id FROM tarnwick.actions a
WHERE NOT EXISTS (SELECT 1 FROM unnest($1::text[]) AS k(id) WHERE k.id = a.action_id))",
                                       {array});
        std::map<std::string, int> byProcess;
        bool strange = false;
        for (int i = 0; i < r.Rows(); ++i) {
            const std::string id = r.Text(i, 0);
            const std::string process = id.substr(0, id.rfind('-'));
            if (!f.Killed.contains(process) || ++byProcess[process] > 1) strange = true;
        }
        check("unacknowledged actions only the last of killed coders", !strange,
              std::to_string(r.Rows()) + " unacknowledged");
    }
    check("actions code the project once", actions == expected,
          std::to_string(actions) + " stored for " + std::to_string(expected));
    return checks;
}

// ---- Figures.

double Percentile(const std::vector<long long>& sorted, double p) {
    if (sorted.empty()) return NAN;
    const auto rank = static_cast<std::size_t>(std::ceil(p * sorted.size()));
    return sorted[std::max<std::size_t>(rank, 1) - 1] / 1e6;
}

std::string Millis(const std::vector<long long>& ns) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f / %.2f / %.2f", Percentile(ns, 0.5), Percentile(ns, 0.95),
                  Percentile(ns, 0.99));
    return buf;
}

// The round trips the coders' window needs, with 20 coders on loopback.
std::string Bars(const Figures& f, double p) {
    const bool met = Percentile(f.ClaimNs, p) <= 10 && Percentile(f.ActionNs, p) <= 5;
    return met ? "met" : "missed";
}

std::string Fixed(double v, int digits = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", digits, v);
    return buf;
}

std::string LoadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + ' ' + five + ' ' + fifteen;
}

struct RunReport {
    int Number = 0;
    Figures F;
    std::vector<Check> Checks;
};

void PrintTable(const std::vector<RunReport>& runs) {
    std::vector<std::pair<std::string, std::vector<std::string>>> rows = {
        {"", {}},
        {"actions acknowledged", {}},
        {"seconds", {}},
        {"codes per second", {}},
        {"  while all coders work", {}},
        {"claim ms median / p95 / p99", {}},
        {"action ms median / p95 / p99", {}},
        {"calls timed (claims, actions)", {}},
        {"coders killed", {}},
        {"server restarts", {}},
        {"actions resent / reconnections", {}},
        {"checks passed", {}},
        {"claim <= 10 ms, action <= 5 ms", {}},
    };
    for (const RunReport& r : runs) {
        const Figures& f = r.F;
        const long long passed = std::count_if(r.Checks.begin(), r.Checks.end(),
                                               [](const Check& c) { return c.Passed; });
        const std::vector<std::string> column = {
            "run " + std::to_string(r.Number),
            std::to_string(f.Acked),
            Fixed(f.Seconds, 1),
            Fixed(f.Acked / f.Seconds),
            f.AllWorkingSeconds > 0 ? Fixed(f.AllWorkingActions / f.AllWorkingSeconds) : "-",
            Millis(f.ClaimNs),
            Millis(f.ActionNs),
            std::to_string(f.ClaimNs.size()) + ", " + std::to_string(f.ActionNs.size()),
            std::to_string(f.Kills),
            std::to_string(f.Restarts),
            std::to_string(f.Resends) + " / " + std::to_string(f.Reconnects),
            std::to_string(passed) + " of " + std::to_string(r.Checks.size()),
            "median " + Bars(f, 0.5) + ", p95 " + Bars(f, 0.95),
        };
        for (std::size_t i = 0; i < rows.size(); ++i) rows[i].second.push_back(column[i]);
    }
    for (const auto& [label, cells] : rows) {
        std::printf("%-31s", label.c_str());
        for (const std::string& cell : cells) std::printf("  %-27s", cell.c_str());
        std::printf("\n");
    }
}

int Main(const Options& o) {
    const std::string conninfo = WithDatabase(o.Conninfo, kDatabase);
    {
        Connection admin(o.Conninfo);
        auto setting = [&](const char* sql) { return admin.impl().Exec(sql).Text(0, 0); };
        std::printf("PostgreSQL %s, fsync %s, synchronous_commit %s; %u cores, load %s\n",
                    setting("SHOW server_version").c_str(), setting("SHOW fsync").c_str(),
                    setting("SHOW synchronous_commit").c_str(), std::thread::hardware_concurrency(),
                    LoadAverage().c_str());
    }
    std::vector<RunReport> reports;
    bool allPassed = true;
    for (int run : o.Runs) {
        const bool chaos = run == 2;
        const long long madeAt = NowNs();
        const long long expected = MakeProject(o, conninfo);
        std::printf("\nrun %d: %d cases, %lld actions to code them (made in %.1f s); %d coders%s\n",
                    run, o.Cases, expected, (NowNs() - madeAt) / 1e9, o.Coders,
                    chaos ? (", " + std::to_string(o.Kills) + " kills, one server restart, lease " +
                             std::to_string(o.Lease) + " s")
                                .c_str()
                          : "");
        const std::string folder = o.Work + "/run" + std::to_string(run);
        std::filesystem::remove_all(folder);
        std::filesystem::create_directories(folder);
        RunReport r{run, RunCoders(o, conninfo, folder, chaos, expected, o.Seed + run), {}};
        r.Checks = CheckRun(conninfo, folder, r.F, expected, chaos);
        for (const Check& c : r.Checks) {
            std::printf("  %s  %s%s%s\n", c.Passed ? "pass" : "FAIL", c.What.c_str(),
                        c.Detail.empty() ? "" : ": ", c.Detail.c_str());
            allPassed = allPassed && c.Passed;
        }
        if (r.F.Dropped > 0) std::printf("  (%lld calls not timed: no room)\n", r.F.Dropped);
        reports.push_back(std::move(r));
    }
    std::printf("\nload %s\n\n", LoadAverage().c_str());
    PrintTable(reports);
    return allPassed ? 0 : 1;
}

}  // namespace
}  // namespace tarnwick::team

int main(int argc, char** argv) {
    tarnwick::team::Options o;
    CLI::App app{"Coders claiming and coding a team project in PostgreSQL, as fast as they can"};
    app.add_option("--conninfo", o.Conninfo, "connection string of the cluster (as libpq takes it)")
        ->required();
    app.add_option("--work", o.Work, "folder for the coders' files of acknowledged actions")
        ->required();
    app.add_option("--restart", o.RestartCommand,
                   "shell command that restarts the server (run 2), e.g. pg_ctl restart -m "
                   "immediate");
    app.add_option("--runs", o.Runs, "which runs: 1 (coding), 2 (kills and a restart)")
        ->check(CLI::IsMember({1, 2}))
        ->delimiter(',');
    app.add_option("--cases", o.Cases, "cases of the project")->check(CLI::Range(1, 10'000'000));
    app.add_option("--coders", o.Coders, "coder processes")
        ->check(CLI::Range(1, tarnwick::team::kMaxCoders));
    app.add_option("--double", o.DoubleShare, "share of the cases coded twice")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--kills", o.Kills, "coders killed in run 2")->check(CLI::Range(0, 100000));
    app.add_option("--lease", o.Lease, "seconds a claim is held in run 2")
        ->check(CLI::Range(1, 3600));
    app.add_option("--timeout", o.TimeoutSeconds, "seconds after which a run is stopped")
        ->check(CLI::Range(1, 86400));
    app.add_option("--seed", o.Seed, "seed of the double-coding sample and the kills");
    CLI11_PARSE(app, argc, argv);
    if (std::find(o.Runs.begin(), o.Runs.end(), 2) != o.Runs.end() && o.RestartCommand.empty()) {
        std::fprintf(stderr, "run 2 needs --restart\n");
        return 2;
    }
    try {
        return tarnwick::team::Main(o);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_team_load: %s\n", e.what());
        return 2;
    }
}
