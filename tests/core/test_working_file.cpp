// The working file: backup at opening, merge with its fatal faults, save and reopen.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/data/cases.h"
#include "core/data/working_file.h"
#include "core/params/parser.h"
#include "core/project/notepad.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/saving.h"
#include "core/project/scripted_platform.h"
#include "core/session/session.h"
#include "core/text/files.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

constexpr const char* kBreaks = " **** THIS ERROR BREAKS THE EXECUTION OF THE PROGRAM ****";

// Identifier 1-5; ZAWR always to code, ZAWO only when column 6 is "1".
constexpr const char* kParams =
    "#R 1-5 'Respondent'\n"
    "#J ZAWR 'Current job'\n"
    "#I1 7-10 'Title'\n"
    "#J ZAWO 'Father job'\n"
    "#I1 7-10 'Title'\n"
    "#F 6 1\n";

class WorkingFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnwick_zda_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        WriteFileAtomic(Path(".dat"), "A0001111aa\r\nB0002211bb\r\nC0003122cc\r\nd0004133dd\r\n");
    }
    void TearDown() override {
        ::chmod(dir_.c_str(), 0755);
        fs::remove_all(dir_);
    }

    std::string Path(const char* ext) const { return dir_.string() + "/wave" + ext; }

    // A fresh session as a new run of the program would have it, its data not yet read.
    std::unique_ptr<Session> NewSession(ScriptedPlatform& platform) {
        auto s = std::make_unique<Session>(platform);
        s->ProjectFolder = dir_.string() + "/";
        s->ParamStem = "proj";
        s->DataStem = "wave";
        s->DataExt = ".dat";
        std::vector<std::string> errors;
        std::string report;
        EXPECT_TRUE(ParseCodingParamsText(kParams, "proj.zpa", s->Params, errors, report));
        Classification& clf = s->Clf;
        clf.MissingDataCode = "9998";
        clf.MissingDataName = "Missing data";
        clf.NotApplicableCode = "9999";
        clf.NotApplicableName = "Not applicable";
        for (const char* code : {"1000", "2310", "9998", "9999"}) {
            TKat k(code, 4);
            k.Name = std::string("Name of ") + code;
            clf.Categories.Add(code, std::move(k));
        }
        return s;
    }

    // Opens with the given working file (none when `zda` is null) and returns the message
    // shown, or "" when the data were read.
    std::string OpenWith(const char* zda) {
        if (zda != nullptr) WriteFileAtomic(Path(".zda"), zda);
        session_ = NewSession(platform_);
        platform_.messages.clear();
        const bool ok = ReadInputData(*session_);
        EXPECT_EQ(ok, platform_.messages.empty());
        return platform_.messages.empty() ? std::string() : platform_.messages.front();
    }

    fs::path dir_;
    ScriptedPlatform platform_;
    std::unique_ptr<Session> session_;
};

struct CaseState {
    bool toCode;
    std::string code;
    std::string name;
    bool operator==(const CaseState&) const = default;
};

std::vector<CaseState> States(const Session& s) {
    std::vector<CaseState> out;
    for (const TOsoba& r : s.Cases.Respondents) {
        for (const TZawod& z : r.Occupations) {
            out.push_back({z.ToCode, z.Code, std::string(z.CodeName)});
        }
    }
    return out;
}

TEST_F(WorkingFileTest, SaveAndReopenKeepsEveryKindOfCase) {
    ASSERT_EQ(OpenWith(nullptr), "");
    Session& s = *session_;
    auto& rs = s.Cases.Respondents;
    // Record 1: coded, uncoded. Record 2: missing, not applicable by its filter.
    // Record 3: not applicable by the coder, coded. Record 4: uncoded, coded.
    const Classification& clf = s.Clf;
    auto code = [&](int r, int f, const char* c) {
        TZawod& z = rs[r].Occupations[f];
        z.Code = c;
        const int i = clf.IndexOf(c);
        z.CodeName = clf.Category(i).Name;
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
    s.ResultsModified = true;
    const std::vector<CaseState> before = States(s);
    SaveWorkingFile(s);
    EXPECT_FALSE(s.ResultsModified);
    EXPECT_TRUE(s.WorkingFileSaved);
    EXPECT_EQ(ReadWholeFile(Path(".zda")),
              "A00012310    \r\nB000299989999\r\nC000399991000\r\nd0004    2310\r\n");

    ASSERT_EQ(OpenWith(nullptr), "");
    EXPECT_TRUE(session_->WorkingFileRead);
    EXPECT_EQ(States(*session_), before);
    // Names are the classification's own strings, not copies.
    const Session& again = *session_;
    EXPECT_EQ(again.Cases.Respondents[0].Occupations[0].CodeName.data(),
              again.Clf.Category(again.Clf.IndexOf("2310")).Name.data());
    EXPECT_EQ(again.Cases.Respondents[1].Occupations[0].CodeName.data(),
              again.Clf.MissingDataName.data());
    EXPECT_EQ(again.Cases.Respondents[1].Occupations[1].CodeName.data(),
              again.Clf.NotApplicableName.data());
    EXPECT_EQ(again.Cases.ToCodeCount, 6);
    EXPECT_EQ(again.Cases.CodedAtStart, 4);
}

TEST_F(WorkingFileTest, SaveNotesTheReportAndEveryLineEndsCrLf) {
    ASSERT_EQ(OpenWith(nullptr), "");
    platform_.now = DateTime{2026, 3, 9, 8, 5, 1};
    const size_t before = session_->Report.size();
    SaveWorkingFile(*session_);
    const std::vector<std::string> tail(session_->Report.begin() + before, session_->Report.end());
    EXPECT_EQ(tail, (std::vector<std::string>{
                        " ", "*** March 9, 2026 at 08:05:01",
                        "Working file of occupations coded was saved as: " + Path(".zda")}));
    EXPECT_EQ(ReadWholeFile(Path(".zda")),
              "A0001        \r\nB0002    9999\r\nC0003        \r\nd0004        \r\n");
}

TEST_F(WorkingFileTest, BackupIsTheWorkingFileAsFoundWithCrLfEnds) {
    EXPECT_EQ(OpenWith(nullptr), "");
    EXPECT_FALSE(session_->WorkingFileRead);
    EXPECT_FALSE(fs::exists(Path(".~zd")));

    // LF ends, a CR LF, a last line without an end, and lines beyond the last record.
    const char* found = "A00012310\nB0002\r\nC0003    1000\nd0004\nextra line\nlast";
    ASSERT_EQ(OpenWith(found), "");
    EXPECT_EQ(ReadWholeFile(Path(".~zd")),
              "A00012310\r\nB0002\r\nC0003    1000\r\nd0004\r\nextra line\r\nlast\r\n");
    // A later save does not touch the backup.
    SaveWorkingFile(*session_);
    EXPECT_EQ(ReadWholeFile(Path(".~zd")),
              "A00012310\r\nB0002\r\nC0003    1000\r\nd0004\r\nextra line\r\nlast\r\n");
    // Short lines leave codes out: record 2's ZAWR is then to be coded again.
    const auto& rs = session_->Cases.Respondents;
    EXPECT_TRUE(rs[1].Occupations[0].ToCode);
    EXPECT_TRUE(rs[1].Occupations[0].Code.empty());
    EXPECT_TRUE(rs[1].Occupations[1].ToCode);  // filtered out, but the stored code is blank
    EXPECT_EQ(rs[2].Occupations[1].Code, "1000");
}

TEST_F(WorkingFileTest, StoredNotApplicableCodeExcludesAnOccupationThatPassedItsFilter) {
    ASSERT_EQ(OpenWith("A0001    9999\r\nB0002    9999\r\nC000399999999\r\nd0004    \r\n"), "");
    const auto& rs = session_->Cases.Respondents;
    EXPECT_FALSE(rs[2].Occupations[0].ToCode);
    EXPECT_FALSE(rs[2].Occupations[1].ToCode);
    EXPECT_FALSE(rs[2].HasToCode);
    EXPECT_EQ(session_->Cases.SelectorRecords, (std::vector<int>{0, 1, 3}));
}

TEST_F(WorkingFileTest, TooFewLinesIsFatal) {
    EXPECT_EQ(OpenWith("A0001\r\nB0002\r\nC0003\r\n"),
              "**** ERROR IN DATA FILES **** When processing previously coded symbols from file: "
              "wave.zda the number of data records has been detected to be lower than in "
              "original input data file wave.dat" +
                  std::string(kBreaks));
    EXPECT_TRUE(session_->Cases.Respondents.empty());
    EXPECT_TRUE(session_->Report.empty());
    // The backup was written before the fault was found.
    EXPECT_EQ(ReadWholeFile(Path(".~zd")), "A0001\r\nB0002\r\nC0003\r\n");
}

TEST_F(WorkingFileTest, IdentifierMustMatchExactly) {
    const std::string head =
        "**** FATAL ERROR IN DATA FILES **** When processing previously coded symbols from "
        "file: wave.zda it has been detected in data record No ";
    // Letter case differs in record 4.
    EXPECT_EQ(OpenWith("A0001\r\nB0002\r\nC0003\r\nD0004\r\n"),
              head +
                  "4 that the respondent's ID \"D0004\" differs from respondent's ID number "
                  "\"d0004\" read from the data input file:wave.dat" +
                  kBreaks);
    // A blank instead of a digit in record 2.
    EXPECT_EQ(OpenWith("A0001\r\nB 002\r\nC0003\r\nd0004\r\n"),
              head +
                  "2 that the respondent's ID \"B 002\" differs from respondent's ID number "
                  "\"B0002\" read from the data input file:wave.dat" +
                  kBreaks);
    // A line shorter than the identifier in record 1.
    EXPECT_EQ(OpenWith("A00\r\n"),
              head +
                  "1 that the respondent's ID \"A00\" differs from respondent's ID number "
                  "\"A0001\" read from the data input file:wave.dat" +
                  kBreaks);
}

TEST_F(WorkingFileTest, UnknownOrCutCodeIsFatal) {
    const std::string head =
        "**** FATAL ERROR IN DATA FILES **** When processing previously coded symbols from "
        "file: wave.zda a symbol ";
    const std::string tail =
        " has been found, which does not exist in classification VKT-2009" + std::string(kBreaks);
    EXPECT_EQ(OpenWith("A0001\r\nB0002\r\nC000323101234\r\nd0004\r\n"), head + "\"1234\"" + tail);
    EXPECT_EQ(OpenWith("A0001\r\nB0002231\r\nC0003\r\nd0004\r\n"), head + "\"231\"" + tail);
    EXPECT_EQ(OpenWith("A0001 231\r\nB0002\r\nC0003\r\nd0004\r\n"), head + "\" 231\"" + tail);
}

TEST_F(WorkingFileTest, FailedSaveLeavesTheOldFileAndTheFlags) {
    ASSERT_EQ(OpenWith("A00012310\r\nB0002\r\nC0003\r\nd0004\r\n"), "");
    Session& s = *session_;
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
        ASSERT_EQ(::chmod(dir_.c_str(), 0555), 0);
        EXPECT_THROW(SaveWorkingFile(s), IoError);
        ::chmod(dir_.c_str(), 0755);
        unchanged();
    }
    // The folder is gone.
    const std::string folder = s.ProjectFolder;
    s.ProjectFolder = folder + "missing/";
    EXPECT_THROW(SaveWorkingFile(s), IoError);
    s.ProjectFolder = folder;
    unchanged();
    // No temporary file is left behind.
    for (const auto& e : fs::directory_iterator(dir_)) {
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
