// The final output data file and its SPSS script.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/classification/scales.h"
#include "core/data/output.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;

std::string X14Labels() {
    std::string s;
    for (int i = 1; i <= 14; ++i)
        s += "#T " + std::to_string(i) + " 'class " + std::to_string(i) + "'\n";
    return s;
}

// Scales declared S5 before S2; the second field asks for nothing derived.
const std::string kTwoFields =
    "#R 1-6 'Respondent number'\n"
    "#J ZAWR 'Occupation of respondent'\n"
    "#S5 CPX 'complexity'\n"
    "#S2 SEI 'socio-economic index'\n"
    "#X14 K14 'occupational class'\n" +
    X14Labels() + "#J ZAWO 'Occupation of \"father\"'\n";

class OutputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session_.ProjectFolder = folder_.Path();
        session_.DataStem = "wave";
        session_.DataExt = ".dat";
        Classification& clf = session_.Clf;
        BuildScaleTable(clf);
        clf.MissingDataCode = "9998";
        clf.MissingDataName = "Missing data";
        clf.NotApplicableCode = "9999";
        clf.NotApplicableName = "Not applicable";
        Category("0100", "Commissioned armed forces officers", "Armed forces officers");
        Category("1000", "Managers", "");
        Category("1100", "", "");  // no label at all: no line
        Category("2310", "Teachers \"general\"", "");
        Category("9998", "Missing data", "MD");
        Category("9999", "Not applicable", "NA");
    }
    void Category(const char* code, const char* name, const char* shortLabel) {
        TKat k(code, 4);
        k.Name = name;
        k.ShortLabel = shortLabel;
        session_.Clf.Categories.Add(code, std::move(k));
    }
    void Params(const std::string& text) { session_.Params = testing::ParsedParams(text); }
    // A respondent with the given codes ("" = not coded, the not-applicable code = not to code).
    void Respondent(const std::string& id, const std::vector<std::string>& codes) {
        TOsoba& r = session_.Cases.Respondents.emplace_back();
        r.RespondentId = id;
        for (const std::string& c : codes) {
            TZawod& z = r.Occupations.emplace_back(c != session_.Clf.NotApplicableCode);
            z.Code = c;
        }
    }
    static std::vector<std::string> Between(const std::vector<std::string>& lines, size_t from,
                                            size_t to) {
        return std::vector<std::string>(
            lines.begin() + static_cast<long>(from),
            lines.begin() + static_cast<long>(std::min(to, lines.size())));
    }

    testing::TempFolder folder_;
    ScriptedPlatform platform_;
    Session session_{platform_};
};

TEST_F(OutputTest, ScriptBeginsAsTheExampleProject) {
    Params(
        "#R 1-6 'Respondent number'\n#J ZAWR 'Occupation of respondent'\n"
        "#S1 PRS 'prestige'\n#X14 K14 'occupational class'\n" +
        X14Labels());
    const auto lines = SpssScriptLines(session_.Params, session_.Clf, "C:\\survey\\wave1.asc");
    EXPECT_EQ(Between(lines, 0, 17),
              (std::vector<std::string>{"DATA LIST", " FILE='C:\\survey\\wave1.asc'", " RECORD=1/",
                                        " REC_ID 1-6 (A)", " ZAWRVKT 7-10", " ZAWRK14 11-12",
                                        " ZAWRPRS 13-15 (1)", ".", "VARIABLE LABELS", " REC_ID",
                                        " \"Respondent number\"", " ZAWRVKT",
                                        " \"Occupation of respondent (VKT-2009)\"", " ZAWRK14",
                                        " \"Occupation of respondent occupational class\"",
                                        " ZAWRPRS", " \"Occupation of respondent prestige\""}));
}

// The whole script of two fields is the golden export two_fields, whose folder has no quote.
TEST_F(OutputTest, ApostropheInTheDataPathIsDoubled) {
    Params(kTwoFields);
    EXPECT_EQ(SpssScriptLines(session_.Params, session_.Clf, "/data/it's/wave.asc")[1],
              " FILE='/data/it''s/wave.asc'");
}

TEST_F(OutputTest, WithoutDerivedVariablesOneBlockEach) {
    Params("#R 1 'Respondent'\n#J ZAWR 'Job'\n#J ZAWO 'Father'\n");
    const auto lines = SpssScriptLines(session_.Params, session_.Clf, "/x/wave.asc");
    EXPECT_EQ(Between(lines, 3, 6),
              (std::vector<std::string>{" REC_ID 1 (A)", " ZAWRVKT 2-5", " ZAWOVKT 6-9"}));
    for (const char* keyword : {"VALUE LABELS", "MIS VAL", "RECODE"}) {
        EXPECT_EQ(std::count(lines.begin(), lines.end(), keyword), 1) << keyword;
    }
    EXPECT_EQ(lines.back(), " (9999=SYSMIS).");
}

TEST_F(OutputTest, NoOccupationFieldsLeavesTheVariableListsEmpty) {
    Params("#R 3-8 'Respondent'\n");
    Respondent("000017", {});
    Respondent("000018", {});
    EXPECT_EQ(testing::OutputLines(session_), (std::vector<std::string>{"000017", "000018"}));
    const auto lines = SpssScriptLines(session_.Params, session_.Clf, "/x/wave.asc");
    const auto at = [&](const char* keyword) {
        return static_cast<size_t>(std::find(lines.begin(), lines.end(), keyword) - lines.begin());
    };
    EXPECT_EQ(lines[at("VALUE LABELS") + 1], " 0100 \"Armed forces officers\"");
    EXPECT_EQ(Between(lines, at("MIS VAL"), at("MIS VAL") + 2),
              (std::vector<std::string>{"MIS VAL", " (9998)."}));
    EXPECT_EQ(Between(lines, at("RECODE"), lines.size()),
              (std::vector<std::string>{"RECODE", " (9999=SYSMIS)."}));
}

TEST_F(OutputTest, OutputLinesCarryCodesClassesAndScalesInColumnOrder) {
    Params(kTwoFields);
    Respondent("000017", {"0100", "1000"});
    Respondent("000018", {"", ""});
    Respondent("000019", {"9998", "9999"});
    Respondent("000020", {"9999", "2310"});
    // 0100: class 01, S2 838, S5 690 (the built-in table's row).
    EXPECT_EQ(testing::OutputLines(session_),
              (std::vector<std::string>{"0000170100018386901000", "000018                ",
                                        "0000199998989989989999", "0000209999999999992310"}));
}

TEST_F(OutputTest, WritingReplacesBothFilesAndReports) {
    Params(kTwoFields);
    Respondent("000017", {"0100", "9999"});
    Respondent("000018", {"", "1000"});
    platform_.now = DateTime{2026, 12, 7, 0, 37, 40};
    WriteFinalOutput(session_);
    const std::string asc = session_.ProjectFolder + "wave.asc";
    const std::string sps = session_.ProjectFolder + "wave.sps";
    EXPECT_EQ(ReadWholeFile(asc), "0000170100018386909999\r\n000018            1000\r\n");
    std::string script;
    for (const auto& l : SpssScriptLines(session_.Params, session_.Clf, asc)) script += l + "\r\n";
    EXPECT_EQ(ReadWholeFile(sps), script);
    EXPECT_EQ(session_.Report,
              (std::vector<std::string>{" ", "*** December 7, 2026 at 00:37:40",
                                        "Final output data file was written as: " + asc,
                                        "SPSS script was written into file: " + sps,
                                        "File contains 3 occupations. 1 occupations are yet to "
                                        "be coded."}));

    session_.Cases.Respondents[1].Occupations[0].Code = "1000";
    WriteFinalOutput(session_);
    EXPECT_EQ(ReadWholeFile(asc), "0000170100018386909999\r\n0000181000987406451000\r\n");
    EXPECT_EQ(session_.Report.back(),
              "File contains 3 occupations. All occupations have been coded.");
}

TEST_F(OutputTest, FailedWriteKeepsTheEarlierFilesAndAddsNoReportLines) {
    Params(kTwoFields);
    Respondent("000017", {"0100", "9999"});
    WriteFileAtomic(session_.ProjectFolder + "wave.sps", "old script\r\n");
    fs::create_directory(session_.ProjectFolder + "wave.asc");  // cannot be replaced by a file
    EXPECT_THROW(WriteFinalOutput(session_), IoError);
    EXPECT_TRUE(session_.Report.empty());
    EXPECT_EQ(ReadWholeFile(session_.ProjectFolder + "wave.sps"), "old script\r\n");

    session_.ProjectFolder += "gone/";
    EXPECT_THROW(WriteFinalOutput(session_), IoError);
    EXPECT_TRUE(session_.Report.empty());
}

TEST_F(OutputTest, CancelledExportLeavesTheEarlierFileAndNothingElse) {
    Params(kTwoFields);
    Respondent("000017", {"0100", "9999"});
    WriteFileAtomic(session_.ProjectFolder + "wave.sav", "earlier");
    const testing::Snapshot before = testing::Take(session_.ProjectFolder);
    // Past the making of the bytes: the cancel comes while the file is being written.
    platform_.cancelAtPercent = 90;
    EXPECT_TRUE(ExportFinalOutput(session_, ExportFormat::Sav).empty());
    EXPECT_FALSE(platform_.cancelAtPercent.has_value());
    EXPECT_EQ(testing::Take(session_.ProjectFolder), before);
    EXPECT_TRUE(session_.Report.empty());

    ASSERT_EQ(ExportFinalOutput(session_, ExportFormat::Sav).size(), 1u);
    EXPECT_NE(ReadWholeFile(session_.ProjectFolder + "wave.sav"), "earlier");
    EXPECT_EQ(platform_.progress.back().second, 100);
}

}  // namespace
}  // namespace tarnwick
