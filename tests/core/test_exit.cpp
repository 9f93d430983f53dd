// The end of a session: the exit questions, the report file and the notepad.

#include <gtest/gtest.h>

#include <filesystem>

#include "core/coding/progress.h"
#include "core/data/working_file.h"
#include "core/io/files.h"
#include "core/project/coding_session.h"
#include "core/project/exit.h"
#include "core/project/notepad.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

using namespace tarnwick;
using tarnwick::testing::ReadFileText;
using tarnwick::testing::SmallProject;
using tarnwick::testing::WriteFile;

namespace {

class ExitSequence : public ::testing::Test {
  protected:
    void SetUp() override {
        platform.fileAnswers = {project.params, project.classification, project.data};
        OpenProject(session);
        ASSERT_TRUE(session.SessionStarted)
            << (platform.messages.empty() ? "" : platform.messages[0]);
        platform.messages.clear();
    }

    // Codes the first case as if the coder had pressed CODE.
    void CodeFirstCase() {
        TZawod& z = session.Cases.Respondents[0].Occupations[0];
        const int i = session.Clf.IndexOf("1112");
        z.Code = "1112";
        z.CodeName = session.Clf.Category(i).Name;
        session.ResultsModified = true;
    }

    void Answers(std::initializer_list<Answer> answers) { platform.questionAnswers = answers; }

    SmallProject project;
    ScriptedPlatform platform;
    Session session{platform};
};

}  // namespace

TEST_F(ExitSequence, AnythingButYesToTheFirstQuestionKeepsTheSession) {
    for (Answer a : {Answer::No, Answer::Cancel}) {
        platform.questions.clear();
        CodeFirstCase();
        Answers({a, Answer::Yes, Answer::Yes});
        EXPECT_FALSE(RunExitSequence(session));
        EXPECT_EQ(platform.questions, std::vector<std::string>{msg::kAskExit});
        EXPECT_FALSE(FileExists(project.folder.Path("wave.zda")));
    }
}

TEST_F(ExitSequence, CancelOnAnyLaterQuestionReturnsToTheSessionWithNothingLost) {
    const std::vector<std::string> all = {msg::kAskExit, msg::kAskSaveWorking, msg::kAskSaveOutput,
                                          msg::kAskSaveNotepad, msg::kAskSaveReport};
    // Cancel on question k after Yes to all before it; a box without Cancel would say No and go on.
    for (size_t k = 1; k < all.size(); ++k) {
        SCOPED_TRACE(all[k]);
        SmallProject fresh;
        Session again(platform);
        platform.fileAnswers = {fresh.params, fresh.classification, fresh.data};
        OpenProject(again);
        ASSERT_TRUE(again.SessionStarted);
        TZawod& z = again.Cases.Respondents[0].Occupations[0];
        z.Code = "1112";
        again.ResultsModified = true;
        again.Notepad = {"note"};
        again.NotepadModified = true;
        platform.questions.clear();
        platform.questionAnswers.assign(k, Answer::Yes);
        platform.questionAnswers.push_back(Answer::Cancel);
        platform.questionAnswers.push_back(Answer::Yes);

        EXPECT_FALSE(RunExitSequence(again));
        EXPECT_EQ(platform.questions, std::vector<std::string>(all.begin(), all.begin() + k + 1));
        EXPECT_EQ(z.Code, "1112");
        // What was written before the Cancel stays written, and its flags say so.
        EXPECT_EQ(FileExists(fresh.folder.Path("wave.zda")), k > 1);
        EXPECT_EQ(again.ResultsModified, k == 1);
        EXPECT_EQ(FileExists(fresh.folder.Path("wave.asc")), k > 2);
        EXPECT_EQ(FileExists(fresh.folder.Path("wave.zno")), k > 3);
        EXPECT_FALSE(FileExists(fresh.folder.Path("202612070037.zre")));
        EXPECT_EQ(again.Report.back().find("was coded during the session"), std::string::npos);
    }
}

TEST_F(ExitSequence, NothingCodedOrSavedAsksOnlyAboutTheReport) {
    Answers({Answer::Yes, Answer::No});
    EXPECT_TRUE(RunExitSequence(session));
    EXPECT_EQ(platform.questions, (std::vector<std::string>{msg::kAskExit, msg::kAskSaveReport}));
}

TEST_F(ExitSequence, SavingEverythingWritesEveryFile) {
    CodeFirstCase();
    session.Notepad = {"check respondent 4"};
    session.NotepadModified = true;
    platform.now = DateTime{2026, 12, 7, 1, 43, 9};  // session began at 00:37:40
    Answers({Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes, Answer::Yes});
    EXPECT_TRUE(RunExitSequence(session));
    EXPECT_EQ(platform.questions,
              (std::vector<std::string>{msg::kAskExit, msg::kAskSaveWorking, msg::kAskSaveOutput,
                                        msg::kAskSaveNotepad, msg::kAskSaveReport}));
    EXPECT_TRUE(FileExists(project.folder.Path("wave.zda")));
    EXPECT_TRUE(FileExists(project.folder.Path("wave.asc")));
    EXPECT_TRUE(FileExists(project.folder.Path("wave.sps")));
    EXPECT_EQ(ReadFileText(project.folder.Path("wave.zno")), "check respondent 4\r\n");

    const std::string report = ReadFileText(project.folder.Path("202612070143.zre"));
    const std::string closing =
        " \r\n*** December 7, 2026 at 01:43:09\r\n"
        "Session of coding occupations was terminated.\r\n"
        "Session lasted 1 hrs 5 minutes\r\n"
        "1 occupation was coded during the session.\r\n"
        "Codes given in this session: none.\r\n";
    ASSERT_GE(report.size(), closing.size());
    EXPECT_EQ(report.substr(report.size() - closing.size()), closing);
    EXPECT_EQ(report.rfind(">>> REPORT FROM A SESSION OF CODING OCCUPATIONS <<<\r\n", 0), 0u);
}

TEST_F(ExitSequence, DecliningUnsavedCodesSkipsTheFinalOutput) {
    CodeFirstCase();
    Answers({Answer::Yes, Answer::No, Answer::No});
    EXPECT_TRUE(RunExitSequence(session));
    EXPECT_EQ(platform.questions,
              (std::vector<std::string>{msg::kAskExit, msg::kAskSaveWorking, msg::kAskSaveReport}));
    EXPECT_FALSE(FileExists(project.folder.Path("wave.zda")));
}

TEST_F(ExitSequence, AWorkingFileSavedEarlierBringsTheFinalOutputQuestion) {
    CodeFirstCase();
    SaveWorkingFile(session);
    ASSERT_FALSE(session.ResultsModified);
    Answers({Answer::Yes, Answer::No, Answer::No});
    EXPECT_TRUE(RunExitSequence(session));
    EXPECT_EQ(platform.questions,
              (std::vector<std::string>{msg::kAskExit, msg::kAskSaveOutput, msg::kAskSaveReport}));
}

TEST_F(ExitSequence, AFailedWriteStopsTheSequenceAndTheRetryGoesOn) {
    CodeFirstCase();
    // A folder in place of the output file: the output cannot replace it.
    std::filesystem::create_directory(project.folder.Path("wave.asc"));
    Answers({Answer::Yes, Answer::Yes, Answer::Yes});
    EXPECT_THROW(RunExitSequence(session), IoError);
    // The working file was saved before the failure, and stays saved.
    EXPECT_TRUE(session.WorkingFileSaved);
    EXPECT_FALSE(session.ResultsModified);
    EXPECT_TRUE(FileExists(project.folder.Path("wave.zda")));

    std::filesystem::remove(project.folder.Path("wave.asc"));
    platform.questions.clear();
    Answers({Answer::Yes, Answer::Yes, Answer::No});
    EXPECT_TRUE(RunExitSequence(session));
    EXPECT_EQ(platform.questions,
              (std::vector<std::string>{msg::kAskExit, msg::kAskSaveOutput, msg::kAskSaveReport}));
    EXPECT_TRUE(FileExists(project.folder.Path("wave.asc")));
}

TEST_F(ExitSequence, AReportThatCannotBeWrittenIsTakenBackWhole) {
    std::filesystem::create_directory(project.folder.Path("202612070037.zre"));
    Answers({Answer::Yes, Answer::Yes});
    const std::vector<std::string> before = session.Report;
    EXPECT_THROW(RunExitSequence(session), IoError);
    // No closing lines stay behind, so a later save writes one set, not two.
    EXPECT_EQ(session.Report, before);

    std::filesystem::remove(project.folder.Path("202612070037.zre"));
    Answers({Answer::Yes, Answer::Yes});
    EXPECT_TRUE(RunExitSequence(session));
    const std::string report = ReadFileText(project.folder.Path("202612070037.zre"));
    size_t count = 0;
    for (size_t at = report.find("was terminated."); at != std::string::npos;
         at = report.find("was terminated.", at + 1)) {
        ++count;
    }
    EXPECT_EQ(count, 1u);
}

TEST(SessionTexts, DurationIsWholeHoursAndRemainingMinutes) {
    EXPECT_EQ(DurationText(25 * 3600 + 10 * 60 + 59), " 25 hrs 10 minutes");
    EXPECT_EQ(DurationText(59), " 0 minutes");
    EXPECT_EQ(DurationText(2 * 3600), " 2 hrs 0 minutes");
    EXPECT_EQ(DurationText(3599), " 59 minutes");
}

TEST(SessionTexts, ReportStampHasTwelveDigits) {
    EXPECT_EQ(ReportFileStamp(DateTime{2026, 3, 4, 5, 6, 7}), "202603040506");
    EXPECT_EQ(ReportFileStamp(DateTime{2026, 12, 31, 23, 59, 59}), "202612312359");
}

TEST(SessionTexts, ProgressText) {
    EXPECT_EQ(CodingProgressText(1, 10), "1 occupation has been coded. 9 are yet to be coded.");
    EXPECT_EQ(CodingProgressText(0, 10), "0 occupations have been coded. 10 are yet to be coded.");
    EXPECT_EQ(CodingProgressText(10, 10), "All occupations have been coded (10)");
}

TEST(SessionTexts, SaveConfirmationAndPace) {
    EXPECT_EQ(msg::SavedCodes(1234, "demo.zda", 10, 42), "Saved 1,234 codes to demo.zda at 10:42");
    EXPECT_EQ(msg::SavedCodes(1, "a.zda", 9, 5), "Saved 1 code to a.zda at 09:05");
    EXPECT_EQ(msg::SavedCodes(1234567, "a.zda", 0, 0), "Saved 1,234,567 codes to a.zda at 00:00");
    EXPECT_EQ(msg::SavedCodes(999, "a.zda", 23, 59), "Saved 999 codes to a.zda at 23:59");
    EXPECT_EQ(msg::CodingPace(34, 120), "34 % coded \xB7 120 codes/hour");
    EXPECT_EQ(msg::CodingPace(100, -1), "100 % coded");
}

TEST_F(ExitSequence, SaveResultsWritesTheWorkingFileAndConfirmsIt) {
    CodeFirstCase();
    session.Cases.CodedCount = 1;  // as CODE would have counted it
    platform.now = DateTime{2026, 12, 7, 9, 4, 0};
    SaveResults(session);
    EXPECT_TRUE(FileExists(project.folder.Path("wave.zda")));
    EXPECT_FALSE(session.ResultsModified);
    EXPECT_EQ(session.StatusNotice, "Saved 1 code to wave.zda at 09:04");
}

TEST_F(ExitSequence, NotepadRoundTripAndItsReportLine) {
    session.Notepad = {"first line", "", "third \xB3\xF3\xBF"};
    session.NotepadModified = true;
    SaveNotepad(session);
    EXPECT_FALSE(session.NotepadModified);
    Session again(platform);
    again.ProjectFolder = session.ProjectFolder;
    again.DataStem = session.DataStem;
    again.NotepadModified = true;
    LoadNotepad(again);
    EXPECT_EQ(again.Notepad, session.Notepad);
    EXPECT_FALSE(again.NotepadModified);
    EXPECT_EQ(again.Report.back(),
              "Notepad content read-in from file: " + project.folder.Path("wave.zno"));

    // An empty notepad file empties the notepad and still says so.
    WriteFile(project.folder.Path("wave.zno"), "");
    again.Report.clear();
    LoadNotepad(again);
    EXPECT_TRUE(again.Notepad.empty());
    EXPECT_EQ(again.Report.size(), 1u);
}
