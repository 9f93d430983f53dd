// Faults injected into every file the program writes: the working file, its backup, the final
// output and its script, the notepad and the session report. A write that fails part-way (a
// child process whose files may not grow past a few bytes) and a process killed in the middle of
// its saves both leave the earlier file whole; the codes in memory stay, and a later save works.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "core/data/output.h"
#include "core/data/working_file.h"
#include "core/io/files.h"
#include "core/project/coding_session.h"
#include "core/project/exit.h"
#include "core/project/memory_file.h"
#include "core/project/notepad.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/safekeeping.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;
using testing::SmallProject;
using testing::WriteFile;

using testing::Snapshot;
using testing::Take;

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += l + "\r\n";
    return text;
}

// Runs `body` in a child process and returns the text it reports ("ok" when all went well).
// The child ignores SIGXFSZ, as the program does, so that a write past the file-size limit fails
// with an error instead of ending the process.
std::string InChild(const std::function<std::string()>& body) {
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(fds[0]);
        std::signal(SIGXFSZ, SIG_IGN);
        std::string report;
        try {
            report = body();
        } catch (const std::exception& e) {
            report = std::string("exception: ") + e.what();
        }
        const ssize_t n = ::write(fds[1], report.data(), report.size());
        ::_exit(n == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return "child failed: " + report;
    return report;
}

// Files of this process may not grow past `bytes` / may grow again as far as allowed.
void LimitFileSize(rlim_t bytes) {
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

void LiftFileSizeLimit() {
    struct rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

template <class F>
std::string WriteError(F write) {
    try {
        write();
    } catch (const IoError& e) {
        return e.what();
    }
    return "";
}

class FaultInjectionTest : public ::testing::Test {
  protected:
    SmallProject p;
    ScriptedPlatform platform;
    Session s{platform};

    void SetUp() override {
        platform.fileAnswers = {p.params, p.classification, p.data};
        OpenProject(s);
        ASSERT_TRUE(s.SessionStarted);
    }

    std::string Path(const char* ext) const { return p.folder.Path(std::string("wave") + ext); }
    std::string Folder() const { return p.folder.Path(); }

    void Code(int record, const std::string& code) {
        TZawod& z = s.Cases.Respondents[static_cast<size_t>(record)].Occupations[0];
        z.Code = code;
        z.CodeName = s.Clf.Category(s.Clf.IndexOf(code)).Name;
        s.ResultsModified = true;
    }

    std::vector<std::string> Codes() const {
        std::vector<std::string> codes;
        for (const TOsoba& r : s.Cases.Respondents) {
            for (const TZawod& z : r.Occupations) codes.push_back(z.Code);
        }
        return codes;
    }

    // One file the program writes: how to write it, what it holds after a write that
    // succeeded, how small the file-size limit is, and what else the same command writes first.
    struct Writer {
        Writer(std::string path, std::function<void()> write, std::function<std::string()> expected)
            : path(std::move(path)), write(std::move(write)), expected(std::move(expected)) {}
        std::string path;
        std::function<void()> write;
        std::function<std::string()> expected;
        rlim_t limit = 16;
        std::vector<std::string> alsoWritten;
    };

    // The earlier file is on disk and the state in memory has changed since. A child fails to
    // write the new one part-way, checks that nothing on disk changed and that the codes are
    // all still there, then writes again without the limit.
    std::string FailPartWay(const Writer& w) {
        return InChild([&]() -> std::string {
            std::vector<std::string> except = w.alsoWritten;
            const Snapshot before = Take(Folder(), except);
            const std::vector<std::string> codes = Codes();
            const std::string old = ReadFileText(w.path);
            if (old.empty()) return "no earlier file";
            LimitFileSize(w.limit);
            std::string error = WriteError(w.write);
            LiftFileSizeLimit();
            if (error != w.path + ": File too large") return "failed write gave: " + error;
            if (Take(Folder(), except) != before) return "the failed write changed the folder";
            if (ReadFileText(w.path) != old) return "the earlier file changed";
            if (Codes() != codes) return "the codes in memory changed";
            error = WriteError(w.write);
            if (!error.empty()) return "the later write gave: " + error;
            if (ReadFileText(w.path) != w.expected()) return "the later write is not whole";
            return "ok";
        });
    }
};

TEST_F(FaultInjectionTest, WritesThatFailPartWayLeaveTheEarlierFileWhole) {
    const std::string asc = Path(".asc");

    // The working file.
    Code(0, "0111");
    SaveWorkingFile(s);
    Code(1, "0112");
    Writer working{Path(".zda"), [&] { SaveWorkingFile(s); },
                   [&] {
                       std::string text;
                       for (const TOsoba& r : s.Cases.Respondents) {
                           text += r.RespondentId;
                           for (const TZawod& z : r.Occupations) {
                               text += z.Code.empty() ? std::string("    ") : z.Code;
                           }
                           text += "\r\n";
                       }
                       return text;
                   }};
    EXPECT_EQ(FailPartWay(working), "ok");
    EXPECT_TRUE(s.ResultsModified);  // in this process nothing was saved

    // Its backup, made when the data are opened again.
    {
        ScriptedPlatform again;
        Session t(again);
        again.fileAnswers = {p.params, p.classification, p.data};
        OpenProject(t);
        ASSERT_TRUE(t.SessionStarted);
    }
    Code(3, "0170");
    SaveWorkingFile(s);
    ScriptedPlatform other;
    Session t(other);
    // t holds the lock before the limit binds: the backup is the file under test here.
    ReleaseProject(s);
    t.ProjectFolder = Folder();
    t.DataStem = "wave";
    t.DataExt = ".dat";
    ASSERT_TRUE(TakeProjectLock(t));
    Writer backup{Path(".~zd"),
                  [&] {
                      // A retry asks only for the steps that have not succeeded yet.
                      other.fileAnswers.clear();
                      if (!t.ParamsLoaded) other.fileAnswers.emplace_back(p.params);
                      if (!t.ClassificationLoaded) other.fileAnswers.emplace_back(p.classification);
                      other.fileAnswers.emplace_back(p.data);
                      OpenProject(t);
                      if (!t.SessionStarted) throw std::runtime_error("not opened");
                  },
                  [&] { return ReadFileText(Path(".zda")); }};
    backup.alsoWritten = {"wave.zlk"};  // let go when the opening fails, taken again after
    EXPECT_EQ(FailPartWay(backup), "ok");

    // The final output data file, then its script (written after it by the same command).
    WriteFinalOutput(s);
    Code(0, "0171");
    Writer output{asc, [&] { WriteFinalOutput(s); },
                  [&] { return Lines(testing::OutputLines(s)); }};
    EXPECT_EQ(FailPartWay(output), "ok");
    Writer script{Path(".sps"), [&] { WriteFinalOutput(s); },
                  [&] { return Lines(SpssScriptLines(s.Params, s.Clf, asc)); }};
    script.limit = Lines(testing::OutputLines(s)).size();
    script.alsoWritten = {"wave.asc"};
    EXPECT_EQ(FailPartWay(script), "ok");

    // The notepad.
    s.Notepad = {"first note"};
    SaveNotepad(s);
    s.Notepad.push_back("second note, longer than the limit");
    Writer notepad{Path(".zno"), [&] { SaveNotepad(s); }, [&] { return Lines(s.Notepad); }};
    EXPECT_EQ(FailPartWay(notepad), "ok");

    // The session report, of the same minute.
    WriteSessionReport(s);
    Writer report{Folder() + "202612070037.zre", [&] { WriteSessionReport(s); },
                  [&] { return Lines(s.Report); }};
    EXPECT_EQ(FailPartWay(report), "ok");
}

// A child saves a large working file (and the final output) over and over with other codes each
// time, until it is killed at some moment. Whatever the moment, each file is one of the versions
// written in full; the killed saves leave only their temporary files behind.
TEST(FaultInjection, ProcessKilledWhileSavingLeavesTheEarlierFileWhole) {
    SmallProject p;
    constexpr int kRecords = 100'000;
    std::string data;
    data.reserve(kRecords * 41);
    for (int r = 1; r <= kRecords; ++r) {
        std::string id = std::to_string(r);
        id.insert(0, 6 - id.size(), '0');
        data += id + (r % 10 == 3 ? " 2 " : " 1 ") + "clerk               filing    \r\n";
    }
    WriteFile(p.data, data);
    ScriptedPlatform platform;
    Session s(platform);
    platform.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(s);
    ASSERT_TRUE(s.SessionStarted);
    const Classification& clf = s.Clf;
    const int versions = clf.Count();

    // Version k gives case r the code of category (k + r) mod the number of categories.
    auto setVersion = [&](int k) {
        for (size_t r = 0; r < s.Cases.Respondents.size(); ++r) {
            TZawod& z = s.Cases.Respondents[r].Occupations[0];
            if (!z.ToCode) continue;
            const TKat& c = clf.Category(static_cast<int>((static_cast<size_t>(k) + r) % versions));
            z.Code = c.Code;
            z.CodeName = c.Name;
        }
    };
    auto workingFile = [&](int k) {
        setVersion(k);
        std::string text;
        for (const TOsoba& r : s.Cases.Respondents)
            text += r.RespondentId + r.Occupations[0].Code + "\r\n";
        return text;
    };
    auto outputFile = [&](int k) {
        setVersion(k);
        return Lines(testing::OutputLines(s));
    };
    // The version a file holds, by the code of its first respondent.
    auto versionOf = [&](const std::string& text, size_t codeColumn) {
        if (text.size() < codeColumn + 4) return -1;
        const int i = clf.IndexOf(text.substr(codeColumn, 4));
        return i < 0 ? -1 : i;
    };
    const std::string zda = p.folder.Path("wave.zda");
    const std::string asc = p.folder.Path("wave.asc");
    const std::string sps = p.folder.Path("wave.sps");
    setVersion(0);
    SaveWorkingFile(s);
    WriteFinalOutput(s);
    const std::string script = ReadFileText(sps);

    // Kills at ten moments; on a loaded machine a save may take longer than the plan, so more
    // moments are tried until at least one kill has landed inside a save.
    int interrupted = 0;
    constexpr int kDelays[] = {2, 5, 10, 20, 30, 50, 80, 120, 170, 250};
    for (int attempt = 0; attempt < 60 && (attempt < 10 || interrupted == 0); ++attempt) {
        const int delayMs = kDelays[attempt % 10] + attempt / 10 * 7;
        const pid_t pid = ::fork();
        if (pid == 0) {
            for (int k = 1;; k = k % (versions - 1) + 1) {
                setVersion(k);
                SaveWorkingFile(s);
                WriteFinalOutput(s);
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);

        const std::string savedWorking = ReadFileText(zda);
        const int kw = versionOf(savedWorking, 6);
        ASSERT_GE(kw, 0) << "after " << delayMs << " ms";
        EXPECT_EQ(savedWorking, workingFile(kw)) << "after " << delayMs << " ms";
        const std::string savedOutput = ReadFileText(asc);
        const int ko = versionOf(savedOutput, 6);
        ASSERT_GE(ko, 0) << "after " << delayMs << " ms";
        EXPECT_EQ(savedOutput, outputFile(ko)) << "after " << delayMs << " ms";
        EXPECT_EQ(ReadFileText(sps), script);

        bool leftOver = false;
        for (const auto& e : fs::directory_iterator(p.folder.Path())) {
            if (e.path().filename().string().front() != '.') continue;
            leftOver = true;
            fs::remove(e.path());
        }
        interrupted += leftOver;
    }
    // The kills did land inside saves, so the test saw what it is about.
    EXPECT_GT(interrupted, 0);
    RecordProperty("kills_inside_a_save", interrupted);

    // The codes in this process are all there, and the next save is whole.
    const std::string expected = workingFile(7);
    EXPECT_EQ(WriteError([&] { SaveWorkingFile(s); }), "");
    EXPECT_EQ(ReadFileText(zda), expected);
}

TEST(FaultInjection, AMemoryFileThatFailsPartWayStaysWhole) {
    testing::TempFolder folder;
    const std::string path = folder.Path("isco.mem");
    CodingMemory memory;
    memory.Learn({"teacher"}, "2341");
    SaveMemoryFile(path, memory);
    const std::string old = ReadFileText(path);
    for (int i = 0; i < 50; ++i) memory.Learn({"nurse " + std::to_string(i)}, "2221");
    EXPECT_EQ(InChild([&]() -> std::string {
                  LimitFileSize(old.size() + 8);
                  const std::string error = WriteError([&] { SaveMemoryFile(path, memory); });
                  LiftFileSizeLimit();
                  if (error != path + ": File too large") return "failed write gave: " + error;
                  if (ReadFileText(path) != old) return "the earlier file changed";
                  if (fs::directory_iterator(folder.Path()) != fs::directory_iterator() &&
                      std::distance(fs::directory_iterator(folder.Path()),
                                    fs::directory_iterator()) != 1) {
                      return "a temporary file stayed";
                  }
                  return "ok";
              }),
              "ok");
}

}  // namespace
}  // namespace tarnwick
