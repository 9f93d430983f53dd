// The working file: its backup text, the merge with its fatal faults and the content written,
// from text in memory; the backup file, the save and its failures over a project on disk.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/data/cases.h"
#include "core/data/working_file.h"
#include "core/io/files.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
#include "core/text/interface_texts.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

// Identifier 1-5; ZAWR always to code, ZAWO only when column 6 is "1".
constexpr const char* kParams =
    "#R 1-5 'Respondent'\n"
    "#J ZAWR 'Current job'\n"
    "#I1 7-10 'Title'\n"
    "#J ZAWO 'Father job'\n"
    "#I1 7-10 'Title'\n"
    "#F 6 1\n";
constexpr const char* kData = "A0001111aa\r\nB0002211bb\r\nC0003122cc\r\nd0004133dd\r\n";

struct CaseState {
    bool toCode;
    std::string code;
    std::string name;
    bool operator==(const CaseState&) const = default;
};

std::vector<CaseState> States(const CaseModel& cases) {
    std::vector<CaseState> out;
    for (const TOsoba& r : cases.Respondents) {
        for (const TZawod& z : r.Occupations) {
            out.push_back({z.ToCode, z.Code, std::string(z.CodeName)});
        }
    }
    return out;
}

class WorkingFileTest : public ::testing::Test {
  protected:
    // The cases of kData as read, before any working file.
    CaseModel Read() {
        CaseModel cases;
        EXPECT_EQ(ReadCases(kData, params, clf, "wave.dat", "proj", cases), std::nullopt);
        return cases;
    }
    // Merges `zda` into freshly read cases and counts them; the fault's message, or "".
    std::string Merge(std::string_view zda) {
        cases = Read();
        const auto fault = MergeWorkingFile(zda, params, clf, "wave.zda", cases);
        if (fault) return *fault;
        CountAndListCases(cases);
        return "";
    }

    CodingParams params = testing::ParsedParams(kParams);
    Classification clf = testing::FewCategories({"1000", "2310"});
    CaseModel cases;
};

TEST_F(WorkingFileTest, WrittenContentMergesBackToEveryKindOfCase) {
    cases = Read();
    // As read: blanks for every code, the not-applicable code where the filter leaves one out.
    EXPECT_EQ(FormatWorkingFile(cases, params.CodeWidth),
              "A0001        \r\nB0002    9999\r\nC0003        \r\nd0004        \r\n");

    // Record 1: coded, not coded. Record 2: missing, not applicable by its filter.
    // Record 3: not applicable by the coder, coded. Record 4: not coded, coded.
    auto code = [&](int r, int f, const char* c) {
        TZawod& z = cases.Respondents[r].Occupations[f];
        z.Code = c;
        z.CodeName = clf.Category(clf.IndexOf(c)).Name;
        if (z.Code == clf.NotApplicableCode) {
            z.ToCode = false;
            z.CodeName = clf.NotApplicableName;
        } else if (z.Code == clf.MissingDataCode) {
            z.CodeName = clf.MissingDataName;
        }
    };
    code(0, 0, "2310");
    code(1, 0, "9998");
    code(2, 0, "9999");
    code(2, 1, "1000");
    code(3, 1, "2310");
    const std::vector<CaseState> before = States(cases);
    const std::string written = FormatWorkingFile(cases, params.CodeWidth);
    EXPECT_EQ(written, "A00012310    \r\nB000299989999\r\nC000399991000\r\nd0004    2310\r\n");

    ASSERT_EQ(Merge(written), "");
    EXPECT_EQ(States(cases), before);
    // Names are the classification's own strings, not copies.
    EXPECT_EQ(cases.Respondents[0].Occupations[0].CodeName.data(),
              clf.Category(clf.IndexOf("2310")).Name.data());
    EXPECT_EQ(cases.Respondents[1].Occupations[0].CodeName.data(), clf.MissingDataName.data());
    EXPECT_EQ(cases.Respondents[1].Occupations[1].CodeName.data(), clf.NotApplicableName.data());
    EXPECT_EQ(cases.ToCodeCount, 6);
    EXPECT_EQ(cases.CodedAtStart, 4);
    EXPECT_EQ(cases.CodedCount, 4);
}

TEST_F(WorkingFileTest, BackupEndsEveryLineCrLfAndShortLinesLeaveCodesOut) {
    // LF ends, a CR LF, a last line without an end, and lines beyond the last record.
    const char* found = "A00012310\nB0002\r\nC0003    1000\nd0004\nextra line\nlast";
    EXPECT_EQ(BackupText(found),
              "A00012310\r\nB0002\r\nC0003    1000\r\nd0004\r\nextra line\r\nlast\r\n");
    EXPECT_EQ(BackupText(""), "");

    ASSERT_EQ(Merge(found), "");
    const auto& rs = cases.Respondents;
    EXPECT_EQ(rs[0].Occupations[0].Code, "2310");
    // Record 2's ZAWR is to be coded again.
    EXPECT_TRUE(rs[1].Occupations[0].ToCode);
    EXPECT_TRUE(rs[1].Occupations[0].Code.empty());
    EXPECT_TRUE(rs[1].Occupations[0].CodeName.empty());
    EXPECT_TRUE(rs[1].Occupations[1].ToCode);  // filtered out, but the stored code is blank
    EXPECT_EQ(rs[2].Occupations[1].Code, "1000");
    EXPECT_EQ(cases.CodedAtStart, 2);
}

TEST_F(WorkingFileTest, StoredNotApplicableCodeExcludesAnOccupationThatPassedItsFilter) {
    ASSERT_EQ(Merge("A0001    9999\r\nB0002    9999\r\nC000399999999\r\nd0004    \r\n"), "");
    const auto& rs = cases.Respondents;
    EXPECT_FALSE(rs[2].Occupations[0].ToCode);
    EXPECT_FALSE(rs[2].Occupations[1].ToCode);
    EXPECT_FALSE(rs[2].HasToCode);
    EXPECT_EQ(cases.SelectorRecords, (std::vector<int>{0, 1, 3}));
}

TEST_F(WorkingFileTest, ADamagedFileMergesWhatCanBeRead) {
    // A CR alone between lines, NUL bytes for a code, the file cut inside C's second code, no
    // line for d: what can be read is merged, the rest is left to code and its lines set aside.
    using namespace std::string_literals;
    const std::string zda = "A00012310\rB0002\0\0\0\0\r\nC00032310231"s;
    cases = Read();
    SetAsideLines aside;
    ASSERT_EQ(MergeWorkingFile(zda, params, clf, "wave.zda", cases, {}, &aside), std::nullopt);
    std::vector<std::string> codes;
    for (const TOsoba& r : cases.Respondents) {
        for (const TZawod& z : r.Occupations) codes.push_back(z.Code);
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"2310", "", "", "", "2310", "", "", ""}));
    EXPECT_EQ(aside.Lines, (std::vector<std::string>{"B0002\0\0\0\0"s, "C00032310231"}));
    EXPECT_EQ(aside.Unreadable, 2);
    EXPECT_EQ(aside.Unlined, 1u);
}

TEST_F(WorkingFileTest, CodesOfAnotherClassificationStopTheMerge) {
    // More codes unknown than known: the file was coded with another classification.
    const auto unknown = [&](const char* code) {
        return "**** FATAL ERROR IN DATA FILES **** When processing previously coded symbols "
               "from file: wave.zda a symbol \"" +
               std::string(code) +
               "\" has been found, which does not exist in classification VKT-2009" +
               msg::kBreaksExecution;
    };
    EXPECT_EQ(Merge("A0001\r\nB0002231\r\nC0003\r\nd0004\r\n"), unknown("231"));
    EXPECT_EQ(Merge("A00012310\r\nB00021234\r\nC00030111\r\nd0004\r\n"), unknown("1234"));
}

TEST_F(WorkingFileTest, LinesFoundByIdentifierAndCodesNoRecordTakesSetAside) {
    // B and A swapped, C with a code past the two declared fields, a respondent the data lack
    // (X, coded; Z, not), d under an identifier of another letter case (D, coded), and a line of
    // text, kept but not counted as codes.
    const char* found =
        "B00021000    \r\nA00012310\r\nX00092310\r\nC0003    10002310\r\nD00042310\r\n"
        "Z0001    \r\nQ0009extra line ignored\r\n";
    cases = Read();
    SetAsideLines aside;
    ASSERT_EQ(MergeWorkingFile(found, params, clf, "wave.zda", cases, {}, &aside), std::nullopt);
    const auto code = [&](int r, int f) { return cases.Respondents[r].Occupations[f].Code; };
    EXPECT_EQ(code(0, 0), "2310");
    EXPECT_EQ(code(1, 0), "1000");
    EXPECT_EQ(code(2, 1), "1000");
    EXPECT_EQ(code(3, 0), "");
    EXPECT_EQ(aside.Lines, (std::vector<std::string>{"C0003    10002310", "X00092310", "D00042310",
                                                     "Q0009extra line ignored"}));
    EXPECT_EQ(aside.Codes, 3);
}

// The working file over a project on disk: the backup written at opening, the fault shown in a
// message box, the save with its report lines and flags, and a failed save.
class WorkingFileOnDiskTest : public ::testing::Test {
  protected:
    void SetUp() override { testing::WriteFile(Path(".dat"), kData); }

    std::string Path(const char* ext) const { return folder.Path(std::string("wave") + ext); }

    // Opens in a fresh session, as a new run of the program would, with the given working file
    // (none when `zda` is null). Returns the message shown, or "" when the data were read.
    std::string OpenWith(const char* zda, bool readOnly = false) {
        if (zda != nullptr) testing::WriteFile(Path(".zda"), zda);
        session = std::make_unique<Session>(platform);
        session->ReadOnly = readOnly;
        session->ProjectFolder = folder.Path();
        session->ParamStem = "proj";
        session->DataStem = "wave";
        session->DataExt = ".dat";
        session->Params = testing::ParsedParams(kParams);
        session->Clf = testing::FewCategories({"1000", "2310"});
        platform.messages.clear();
        const bool ok = ReadInputData(*session);
        if (!ok) {
            EXPECT_FALSE(platform.messages.empty());
        }
        return platform.messages.empty() ? std::string() : platform.messages.front();
    }

    testing::TempFolder folder;
    ScriptedPlatform platform;
    std::unique_ptr<Session> session;
};

TEST_F(WorkingFileOnDiskTest, BackupAtOpeningSaveAndReopen) {
    const char* found = "A00012310\nB0002\r\nC0003    1000\nd0004\nextra line\nlast";
    // The lines past the last record: "extra line" is kept, but its text counts as no code.
    const std::string aside = Path("-set-aside-202612070037.zda");
    ASSERT_EQ(OpenWith(found), msg::LinesSetAside(1, aside));
    EXPECT_EQ(ReadWholeFile(aside), "extra line\r\n");
    EXPECT_NE(
        std::find(session->Report.begin(), session->Report.end(), msg::LinesSetAside(1, aside)),
        session->Report.end());
    EXPECT_TRUE(session->WorkingFileRead);
    const std::string backup =
        "A00012310\r\nB0002\r\nC0003    1000\r\nd0004\r\nextra line\r\nlast\r\n";
    EXPECT_EQ(ReadWholeFile(Path(".~zd")), backup);

    Session& s = *session;
    s.Cases.Respondents[3].Occupations[0].Code = "2310";
    s.ResultsModified = true;
    platform.now = DateTime{2026, 3, 9, 8, 5, 1};
    const size_t before = s.Report.size();
    SaveWorkingFile(s);
    EXPECT_FALSE(s.ResultsModified);
    EXPECT_TRUE(s.WorkingFileSaved);
    EXPECT_EQ(
        std::vector<std::string>(s.Report.begin() + static_cast<long>(before), s.Report.end()),
        (std::vector<std::string>{
            " ", "*** March 9, 2026 at 08:05:01",
            "Working file of occupations coded was saved as: " + Path(".zda")}));
    EXPECT_EQ(ReadWholeFile(Path(".zda")),
              "A00012310    \r\nB0002        \r\nC0003    1000\r\nd00042310    \r\n");
    // A save does not touch the backup; the next opening makes it afresh.
    EXPECT_EQ(ReadWholeFile(Path(".~zd")), backup);
    ASSERT_EQ(OpenWith(nullptr), "");
    EXPECT_EQ(session->Cases.Respondents[3].Occupations[0].Code, "2310");
    EXPECT_EQ(ReadWholeFile(Path(".~zd")), ReadWholeFile(Path(".zda")));
}

TEST_F(WorkingFileOnDiskTest, FaultIsShownAndLeavesNoModelAndNoBackupOfTheRefusedFile) {
    const std::string message = OpenWith("A0001\nB0002\r\nC00031234\r\nd0004\r\n");
    EXPECT_EQ(message.rfind("**** FATAL ERROR IN DATA FILES **** ", 0), 0u) << message;
    EXPECT_TRUE(session->Cases.Respondents.empty());
    EXPECT_TRUE(session->Report.empty());
    EXPECT_FALSE(session->WorkingFileRead);
    EXPECT_FALSE(fs::exists(Path(".~zd")));
}

// Another coder holds the project: a read-only opening reads it and writes nothing beside it,
// neither the backup nor the lines it sets aside.
TEST_F(WorkingFileOnDiskTest, AReadOnlyOpeningWritesNothing) {
    ASSERT_EQ(OpenWith("A00012310\r\nB0002\r\nC0003\r\nd0004\r\nX00092310\r\n", true), "");
    EXPECT_EQ(session->Cases.Respondents[0].Occupations[0].Code, "2310");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder.Path())) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names.size(), 2u) << ::testing::PrintToString(names);
}

TEST_F(WorkingFileOnDiskTest, FailedSaveLeavesTheOldFileAndTheFlags) {
    ASSERT_EQ(OpenWith("A00012310\r\nB0002\r\nC0003\r\nd0004\r\n"), "");
    Session& s = *session;
    s.Cases.Respondents[1].Occupations[0].Code = "1000";
    s.ResultsModified = true;
    const std::string old = ReadWholeFile(Path(".zda"));
    const size_t reportLines = s.Report.size();
    auto unchanged = [&] {
        EXPECT_EQ(ReadWholeFile(Path(".zda")), old);
        EXPECT_TRUE(s.ResultsModified);
        EXPECT_FALSE(s.WorkingFileSaved);
        EXPECT_EQ(s.Report.size(), reportLines);
    };
    const std::string dir = fs::path(folder.Path()).parent_path().string();

    // The disk fills up in the middle of the write (a file size limit binds root too).
    {
        struct rlimit saved {};
        ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
        auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = saved;
        small.rlim_cur = 20;
        ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
        EXPECT_THROW(SaveWorkingFile(s), IoError);
        ::setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, oldHandler);
        unchanged();
    }
    // A folder that cannot be written (not for root, who may write anywhere).
    if (::geteuid() != 0) {
        ASSERT_EQ(::chmod(dir.c_str(), 0555), 0);
        EXPECT_THROW(SaveWorkingFile(s), IoError);
        ::chmod(dir.c_str(), 0755);
        unchanged();
    }
    // The folder is gone.
    const std::string projectFolder = s.ProjectFolder;
    s.ProjectFolder = projectFolder + "missing/";
    EXPECT_THROW(SaveWorkingFile(s), IoError);
    s.ProjectFolder = projectFolder;
    unchanged();
    // No temporary file is left behind.
    for (const auto& e : fs::directory_iterator(dir)) {
        EXPECT_EQ(e.path().filename().string().rfind(".wave", 0), std::string::npos) << e.path();
    }
    // A directory stands where the file should be: the rename fails, nothing is lost.
    fs::remove(Path(".zda"));
    fs::create_directory(Path(".zda"));
    EXPECT_THROW(SaveWorkingFile(s), IoError);
    EXPECT_TRUE(fs::is_directory(Path(".zda")));
    EXPECT_TRUE(s.ResultsModified);
    EXPECT_FALSE(s.WorkingFileSaved);
}

}  // namespace
}  // namespace tarnwick
