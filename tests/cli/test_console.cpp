#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/io/files.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "project_fixture.h"

namespace tarnwick::testing {
namespace {

// The console's session reports carry this moment, as the expected files do.
cli::ConsoleHooks FixedClock() {
    cli::ConsoleHooks hooks;
    hooks.clock = [] { return DateTime{2026, 12, 7, 0, 37, 40}; };
    return hooks;
}
const cli::ConsoleHooks kFixedClock = FixedClock();

struct ConsoleRun {
    int code = 0;
    std::vector<std::string> lines;
    std::string err;
};

ConsoleRun RunConsole(const std::string& script) {
    std::istringstream in(script);
    std::ostringstream out, err;
    ConsoleRun run;
    run.code = cli::SessionConsole(in, out, err, false, &kFixedClock);
    std::istringstream lines(out.str());
    for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
    run.err = err.str();
    return run;
}

// The lines of `run` from the n-th (0-based) "case:" line up to the next one.
std::vector<std::string> Shown(const ConsoleRun& run, int n) {
    std::vector<std::string> block;
    int seen = -1;
    for (const std::string& line : run.lines) {
        if (line.rfind("case: ", 0) == 0) ++seen;
        if (seen == n && (line.rfind("case: ", 0) != 0 || block.empty())) block.push_back(line);
        if (seen > n) break;
    }
    return block;
}

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// A journal that cannot be written (here a folder planted at its name after a save) refuses the
// code with a message; the console goes on with its session instead of ending.
TEST(SessionConsole, AJournalThatCannotBeWrittenRefusesTheCodeAndKeepsTheSession) {
    SmallProject p;
    const std::string journal = p.folder.Path("wave.zjn");
    cli::ConsoleHooks hooks = FixedClock();
    hooks.between = [&](Session& s, std::ostream&) {
        if (s.WorkingFileSaved && !std::filesystem::exists(journal)) {
            std::filesystem::create_directory(journal);
        }
    };
    std::istringstream in("open " + p.params + " " + p.classification + " " + p.data +
                          "\nsave\nkey1 category0111\npre 0\ncode\nshow\n");
    std::ostringstream out, err;
    EXPECT_EQ(cli::SessionConsole(in, out, err, false, &hooks), cli::kFaults);
    EXPECT_NE(out.str().find("message: " + std::string(msg::kJournalRefusesAction) + journal +
                             ": Is a directory\n"),
              std::string::npos)
        << out.str();
    // The case stays as it was, and the console still answers.
    EXPECT_NE(out.str().find("case: 0 0\n"), std::string::npos);
    EXPECT_NE(out.str().find("code: \n"), std::string::npos);
}

TEST(SessionConsole, CodingASmallProject) {
    SmallProject p;
    const ConsoleRun run =
        RunConsole("open " + p.params + " " + p.classification + " " + p.data + "\n" +
                   "show\n"
                   "key1 category0111\n"
                   "pre 0\n"
                   "show\n"
                   "code\n"
                   "show\n"
                   "option after 2\n"
                   "missing\n"
                   "repeat\n"
                   "show\n"
                   "pick 000003\n"
                   "option show-na 1\n"
                   "pick 000003\n"
                   "show\n"
                   "cancel\n"
                   "next-record\n"
                   "find\n"
                   "show\n"
                   "option after 0\n"
                   "na\n"
                   "show\n"
                   "pre 7\n"
                   "save\n");
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(Shown(run, 0),
              (std::vector<std::string>{
                  "case: 0 0", "respondent: 000001", "caption: Occupation", "code: ", "label: ",
                  "info 1: teacher             ", "info 2: teaching  ", "selected: -1",
                  "progress: 0 occupations have been coded. 3 are yet to be coded."}));
    EXPECT_TRUE(Has(Shown(run, 1), "pre: 0111 Category 0111"));
    EXPECT_FALSE(Has(Shown(run, 1), "selected: -1"));
    // CODE moved on to the next respondent.
    EXPECT_EQ(Shown(run, 2)[0], "case: 1 0");
    EXPECT_TRUE(
        Has(Shown(run, 2), "progress: 1 occupation has been coded. 2 are yet to be coded."));
    // MISSING then REPEAT in mode 2: the case stays and shows the repeated category.
    EXPECT_TRUE(Has(Shown(run, 3), "case: 1 0"));
    EXPECT_TRUE(Has(Shown(run, 3), "code: 0111"));
    EXPECT_TRUE(Has(Shown(run, 3), "label: Category 0111"));
    EXPECT_TRUE(
        Has(Shown(run, 3), "progress: 2 occupations have been coded. 1 are yet to be coded."));
    // Respondent 3 is listed only once not-applicable cases are shown.
    EXPECT_EQ(Shown(run, 4)[0], "case: 2 0");
    EXPECT_TRUE(Has(Shown(run, 4), "code: 9998"));
    // After CANCEL it is a case to code, and Find non-coded comes back to it.
    EXPECT_EQ(Shown(run, 5)[0], "case: 2 0");
    EXPECT_TRUE(Has(Shown(run, 5), "code: "));
    EXPECT_TRUE(
        Has(Shown(run, 5), "progress: 2 occupations have been coded. 2 are yet to be coded."));
    // NOT APPLICABLE in mode 0 moves on to the last case without code.
    EXPECT_EQ(Shown(run, 6)[0], "case: 3 0");
    EXPECT_TRUE(Has(Shown(run, 6), "info 1: driver              "));
    EXPECT_TRUE(Has(run.lines, "error: no line 7 in the list"));
    EXPECT_EQ(run.code, cli::kFaults);

    // The working file holds the codes given.
    const std::string working = ReadFileText(p.folder.Path("wave.zda"));
    EXPECT_NE(working.find("0111"), std::string::npos);
    EXPECT_NE(working.find("9998"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick::testing
