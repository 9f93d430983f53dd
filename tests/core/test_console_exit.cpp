// The console's quit and notepad commands.

#include <gtest/gtest.h>

#include <sstream>

#include "cli/commands.h"
#include "core/text/files.h"
#include "project_fixture.h"

using namespace tarnwick;
using tarnwick::testing::ReadFileText;
using tarnwick::testing::SmallProject;

namespace {

std::string RunConsole(const std::string& script, int* code = nullptr) {
    std::istringstream in(script);
    std::ostringstream out, err;
    const int rc = cli::SessionConsole(in, out, err);
    if (code) *code = rc;
    return out.str();
}

}  // namespace

TEST(ConsoleQuit, PrintsEachQuestionWithItsAnswerAndSavesWhatWasAsked) {
    SmallProject p;
    const std::string out = RunConsole("open " + p.params + " " + p.classification + " " + p.data +
                                "\nmissing\nnotepad ask the supervisor\nquit y y n y n\n"
                                "show\n");
    EXPECT_NE(out.find("question: Exit coding session? -> y\n"
                       "question: Save cases already coded into a working file? -> y\n"
                       "question: Save data and documentation into a final output file? -> n\n"
                       "question: Save the notepad content? -> y\n"
                       "question: Save the session report? -> n\n"),
              std::string::npos)
        << out;
    // The console ended with the program: the command after quit never ran.
    EXPECT_EQ(out.find("case: "), std::string::npos);
    EXPECT_EQ(ReadFileText(p.folder.Path("wave.zno")), "ask the supervisor\r\n");
    EXPECT_TRUE(FileExists(p.folder.Path("wave.zda")));
    EXPECT_FALSE(FileExists(p.folder.Path("wave.asc")));
}

TEST(ConsoleQuit, NoToTheFirstQuestionGoesOn) {
    SmallProject p;
    const std::string out = RunConsole("open " + p.params + " " + p.classification + " " + p.data +
                                "\nquit n\nshow\n");
    EXPECT_NE(out.find("question: Exit coding session? -> n\n"), std::string::npos);
    EXPECT_NE(out.find("case: 0 0\n"), std::string::npos) << out;
}

TEST(ConsoleQuit, WithoutAProjectEndsWithoutQuestions) {
    int code = -1;
    const std::string out = RunConsole("quit\nshow\n", &code);
    EXPECT_EQ(out.find("question:"), std::string::npos);
    EXPECT_EQ(out.find("no project"), std::string::npos);
    EXPECT_EQ(code, cli::kOk);
}
