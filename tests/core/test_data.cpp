// Reading survey data into the case model: record length, filters, information fields, counts
// and the respondent selector from text in memory; the report lines and the faults of the data
// step over a project on disk.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "core/data/cases.h"
#include "core/io/files.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

using testing::ParsedParams;

// Two occupation fields. Record layout:
//   1-4 id, 5-6 filter of ZAWR (range 01-05), 7 filter of ZAWO (no range),
//   8-13 ZAWR job title, 14-15 ZAWR status (labels), 16-20 ZAWO title.
constexpr const char* kParams =
    "#R 1-4 'Respondent'\n"
    "#J ZAWR 'Current job'\n"
    "#I1 8-13 'Job title'\n"
    "#I3 14-15 'Status'\n"
    "#T 1 'Employee'\n"
    "#T 12 'Farmer'\n"
    "#F 5-6 01-05\n"
    "#J ZAWO 'Father job'\n"
    "#I2 16-20 'Job title'\n"
    "#F 7\n";

// The simplest project: identifier 1-4, one field with a title at 5-8 and no filter.
constexpr const char* kOneField =
    "#R 1-4 'Respondent'\n"
    "#J ZAWR 'Current job'\n"
    "#I1 5-8 'Job title'\n";

// A record of kParams: identifier, ZAWR's filter (2), ZAWO's filter (1), title (6), status (2),
// father's title (5).
std::string Rec(const std::string& id, const std::string& f1, const std::string& f2,
                const std::string& title, const std::string& status, const std::string& father) {
    EXPECT_TRUE(id.size() == 4 && f1.size() == 2 && f2.size() == 1 && title.size() == 6 &&
                status.size() == 2 && father.size() == 5);
    return id + f1 + f2 + title + status + father;
}

std::string Crlf(const std::vector<std::string>& lines) {
    std::string s;
    for (const auto& l : lines) s += l + "\r\n";
    return s;
}

class DataReaderTest : public ::testing::Test {
  protected:
    // Reads `data` under the parameters `paramsText`; the fault's message, if any.
    std::optional<std::string> Read(const std::string& paramsText, std::string data) {
        params = ParsedParams(paramsText);
        cases = CaseModel{};
        return ReadCases(std::move(data), params, clf, "/d/wave1.final.dat", "proj", cases);
    }

    Classification clf = testing::FewCategories({"2310"});
    CodingParams params;
    CaseModel cases;
};

TEST_F(DataReaderTest, MinimumLengthCountsIdentifierAndInformationFieldsButNotFilters) {
    EXPECT_EQ(MinimumRecordLength(ParsedParams(
                  "#R 2-7 'R'\n#J A 'A'\n#I1 3-4 'x'\n#F 40\n#J B 'B'\n#I13 5-6 'y'\n")),
              7);
    EXPECT_EQ(MinimumRecordLength(ParsedParams(
                  "#R 1-2 'R'\n#J A 'A'\n#I1 3-4 'x'\n#J B 'B'\n#I13 9-12 'y'\n#F 90-91 1\n")),
              12);
    EXPECT_EQ(MinimumRecordLength(ParsedParams("#R 1-6 'Respondent'\n")), 0);
}

TEST_F(DataReaderTest, ShortRecordStopsReadingButAnEmptyFileIsNoFault) {
    EXPECT_EQ(Read(kOneField, Crlf({"0001ABCD", "0002ABCDEXTRA"})), std::nullopt);
    ASSERT_EQ(cases.Respondents.size(), 2u);
    EXPECT_EQ(cases.Respondents[1].Record, "0002ABCDEXTRA");

    EXPECT_EQ(Read(kOneField, Crlf({"0001ABCD", "0002ABC", "0003ABCD"})),
              "*** ERROR IN DATA FILE proj *** When reading input data from file: "
              "/d/wave1.final.dat a data record has been found with a length shorter than "
              "expected maximum location of a data field=8 (length of current data record=7).");
    // An empty line is a record like any other.
    const auto empty = Read(kOneField, "0001ABCD\n\n0002ABCD\n");
    ASSERT_TRUE(empty);
    EXPECT_NE(empty->find("=8 (length of current data record=0)."), std::string::npos);

    // An empty file reads, with nobody to code: the data step refuses it.
    EXPECT_EQ(Read(kOneField, ""), std::nullopt);
    EXPECT_TRUE(cases.Respondents.empty());
    EXPECT_EQ(CountAndListCases(cases).respondents, 0);
}

TEST_F(DataReaderTest, FilterRangeIsInclusiveAfterNormalising) {
    // Filter of ZAWR at 5-6 with range 01-05; ZAWO's filter (column 7, no range) set to "1".
    const std::vector<std::pair<std::string, bool>> values = {
        {" 3", true},  {"01", true},  {"05", true}, {"06", false},
        {"00", false}, {"  ", false}, {" 5", true}, {"5 ", false}};
    std::vector<std::string> lines;
    for (size_t i = 0; i < values.size(); ++i) {
        lines.push_back(
            Rec("000" + std::to_string(i), values[i].first, "1", "TITLE ", "01", "FATHE"));
    }
    ASSERT_EQ(Read(kParams, Crlf(lines)), std::nullopt);
    ASSERT_EQ(cases.Respondents.size(), values.size());
    for (size_t i = 0; i < values.size(); ++i) {
        const TZawod& z = cases.Respondents[i].Occupations[0];
        EXPECT_EQ(z.ToCode, values[i].second) << "filter value \"" << values[i].first << '"';
        if (z.ToCode) {
            EXPECT_TRUE(z.Code.empty());
            EXPECT_TRUE(z.CodeName.empty());
        } else {
            EXPECT_EQ(z.Code, "9999");
            EXPECT_EQ(z.CodeName, "Not applicable");
        }
    }
}

TEST_F(DataReaderTest, FilterWithoutRangeNeedsANonBlankValue) {
    // Column 7: blank, "0", "X"; the record ends before column 8 in the last line, so B's
    // filter value is empty and normalises to "0", below the range.
    ASSERT_EQ(Read("#R 1-4 'R'\n#J A 'A'\n#I1 5-6 'x'\n#F 7\n#J B 'B'\n#I1 5-6 'x'\n#F 8 2-4\n",
                   Crlf({"0001ab 3", "0002ab00", "0003abX", "0004ab"})),
              std::nullopt);
    CountAndListCases(cases);
    const auto& rs = cases.Respondents;
    ASSERT_EQ(rs.size(), 4u);
    EXPECT_FALSE(rs[0].Occupations[0].ToCode);
    EXPECT_TRUE(rs[1].Occupations[0].ToCode);
    EXPECT_TRUE(rs[2].Occupations[0].ToCode);
    EXPECT_FALSE(rs[3].Occupations[0].ToCode);
    EXPECT_TRUE(rs[0].Occupations[1].ToCode);   // "3" in 2-4
    EXPECT_FALSE(rs[1].Occupations[1].ToCode);  // "0"
    EXPECT_FALSE(rs[2].Occupations[1].ToCode);  // beyond the record
    EXPECT_FALSE(rs[3].Occupations[1].ToCode);
    // Nobody in record 4 has anything to code: kept, but not listed in the selector.
    EXPECT_FALSE(rs[3].HasToCode);
    EXPECT_EQ(cases.SelectorRecords, (std::vector<int>{0, 1, 2}));
}

TEST_F(DataReaderTest, InformationFieldsShowLabelsOrTheNormalisedCode) {
    ASSERT_EQ(Read(kParams, Crlf({Rec("0001", "01", " ", "Teach ", " 1", "Smith"),
                                  Rec("0002", "01", " ", "Teach ", "12", "Smith"),
                                  Rec("0003", "01", " ", "Teach ", "1 ", "Smith"),
                                  Rec("0004", "01", " ", "Teach ", " 7", "Smith")})),
              std::nullopt);
    const auto& rs = cases.Respondents;
    const TDokumZaw& zawr = params.DokumList[0];
    const TDokumZaw& zawo = params.DokumList[1];
    EXPECT_EQ(InfoText(zawr, rs[0].Record, 1), "Teach ");    // cut as it stands
    EXPECT_EQ(InfoText(zawr, rs[0].Record, 3), "Employee");  // " 1" found as "01"
    EXPECT_EQ(InfoText(zawr, rs[1].Record, 3), "Farmer");
    EXPECT_EQ(InfoText(zawr, rs[2].Record, 3), "1 ");  // trailing blank: not found, unchanged
    EXPECT_EQ(InfoText(zawr, rs[3].Record, 3), "07");  // not found: normalised
    EXPECT_EQ(InfoText(zawr, rs[0].Record, 2), "");    // not declared, record has text there
    EXPECT_EQ(InfoText(zawo, rs[0].Record, 2), "Smith");
    EXPECT_EQ(InfoText(zawo, rs[0].Record, 1), "");
    EXPECT_EQ(InfoText(zawo, rs[0].Record, 0), "");
    EXPECT_EQ(InfoText(zawo, rs[0].Record, 14), "");
}

TEST_F(DataReaderTest, CountsAndSelector) {
    // Record 2: ZAWR filtered out, ZAWO blank filter: nothing to code. Records 1 and 3 share
    // an identifier and are both kept. LF and CR LF endings mixed, last line without an end.
    ASSERT_EQ(Read(kParams, Rec("0001", "01", " ", "TITLE ", " 1", "FATHE") + "\r\n" +
                                Rec("0002", "09", " ", "TITLE ", " 1", "FATHE") + "\n" +
                                Rec("0001", "02", " ", "TITLE ", " 1", "FATHE")),
              std::nullopt);
    const OccupationCounts counts = CountAndListCases(cases);
    ASSERT_EQ(cases.Respondents.size(), 3u);
    EXPECT_EQ(cases.Respondents[0].RespondentId, "0001");
    EXPECT_EQ(cases.Respondents[2].RespondentId, "0001");
    EXPECT_EQ(cases.Respondents[2].Record, "000102 TITLE  1FATHE");
    EXPECT_EQ(cases.SelectorRecords, (std::vector<int>{0, 2}));
    EXPECT_EQ(cases.ToCodeCount, 2);
    EXPECT_EQ(cases.CodedAtStart, 0);
    EXPECT_EQ(cases.CodedCount, 0);
    EXPECT_EQ(counts.respondents, 2);
    EXPECT_EQ(counts.toCode, 2);
    EXPECT_EQ(counts.notCoded, 2);

    // Every occupation filtered out: nobody to code.
    ASSERT_EQ(Read(kParams, Crlf({Rec("0001", "09", " ", "TITLE ", "  ", "FATHE"),
                                  Rec("0002", "00", " ", "TITLE ", "  ", "FATHE")})),
              std::nullopt);
    EXPECT_EQ(CountAndListCases(cases).respondents, 0);
    EXPECT_TRUE(cases.SelectorRecords.empty());
}

TEST_F(DataReaderTest, BinaryBytesAreKept) {
    std::string binary = "00";
    binary += '\x01';
    binary += "\xff\x1a\r\xe9xyz";
    ASSERT_EQ(Read(kOneField, binary + "\r\n"), std::nullopt);
    EXPECT_EQ(cases.Respondents[0].RespondentId, binary.substr(0, 4));
    EXPECT_EQ(InfoText(params.DokumList[0], cases.Respondents[0].Record, 1), binary.substr(4, 4));
}

TEST_F(DataReaderTest, RecordsFollowTheirBufferWhenTheModelIsCopiedOrMoved) {
    ASSERT_EQ(Read(kOneField, "0001ABCD"), std::nullopt);
    CaseModel moved = std::move(cases);
    CaseModel copied = moved;
    moved.DataBuffer.assign(moved.DataBuffer.size(), 'z');
    EXPECT_EQ(copied.Respondents[0].Record, "0001ABCD");
    EXPECT_EQ(moved.Respondents[0].Record, "zzzzzzzz");

    // A buffer short enough to live inside the string object moves with the object.
    CaseModel small;
    small.DataBuffer = "ab";
    small.Respondents.emplace_back().Record = std::string_view(small.DataBuffer);
    CaseModel target;
    target = std::move(small);
    EXPECT_EQ(target.Respondents[0].Record.data(), target.DataBuffer.data());
    EXPECT_EQ(target.Respondents[0].Record, "ab");
}

// The data step over files: what it adds to the readers is the progress text, the report, the
// working file's flag and backup, the message box and the refusal of nobody to code.
class DataStepTest : public ::testing::Test {
  protected:
    void SetUp() override {
        session.ProjectFolder = folder.Path();
        session.ParamStem = "proj";
        session.DataStem = "wave1";
        session.DataExt = ".final.dat";
        session.Params = ParsedParams(kParams);
        session.Clf = testing::FewCategories({"2310"});
    }
    void WriteData(const std::vector<std::string>& lines) {
        testing::WriteFile(session.DataPath(), Crlf(lines));
    }

    testing::TempFolder folder;
    ScriptedPlatform platform;
    Session session{platform};
};

TEST_F(DataStepTest, ProgressAndReportLinesWithAndWithoutAWorkingFile) {
    // Record 2 has nothing to code: ZAWR filtered out, ZAWO's filter blank.
    WriteData({"000101 TITLE  1FATHE", "000209 TITLE  1FATHE", "000302 TITLE  1FATHE"});
    ASSERT_TRUE(ReadInputData(session));
    const std::string path = folder.Path("wave1.final.dat");
    EXPECT_EQ(session.ProgressText, "Reading input data from file " + path);
    EXPECT_EQ(session.Report,
              (std::vector<std::string>{
                  "Coding data successfully read-in from file: " + path,
                  "Data set contains 3 data records.",
                  "The total of 2 respondents have occupations for coding. ",
                  "Data set contains 2 occupations for coding, of which 2 occupations are not yet "
                  "coded."}));
    EXPECT_FALSE(session.WorkingFileRead);
    EXPECT_FALSE(std::filesystem::exists(folder.Path("wave1.~zd")));

    // ZAWO of record 3 has a blank filter but the stored blank code makes it one to code.
    session.Report.clear();
    testing::WriteFile(folder.Path("wave1.zda"),
                       Crlf({"00012310    ", "00029998    ", "00032310    "}));
    ASSERT_TRUE(ReadInputData(session));
    EXPECT_TRUE(session.WorkingFileRead);
    ASSERT_EQ(session.Report.size(), 5u);
    EXPECT_EQ(session.Report[2],
              "Occupations coded so far read-in from file: " + folder.Path("wave1.zda"));
    EXPECT_EQ(session.Report[4],
              "Data set contains 6 occupations for coding, of which 3 occupations are not yet "
              "coded.");

    session.Report.clear();
    testing::WriteFile(folder.Path("wave1.zda"),
                       Crlf({"000123109999", "000299989999", "000323109999"}));
    ASSERT_TRUE(ReadInputData(session));
    EXPECT_EQ(session.Report.back(),
              "Data set contains 3 occupations for coding. All occupations have been coded.");
}

TEST_F(DataStepTest, FaultsShowTheirMessageAndLeaveNoModel) {
    EXPECT_THROW(ReadInputData(session), IoError);

    WriteData({"000101 TITLE  1FATHE"});
    ASSERT_TRUE(ReadInputData(session));
    session.Report.clear();
    WriteData({"000101 TITLE  1FATHE", "0002"});
    EXPECT_FALSE(ReadInputData(session));
    ASSERT_EQ(platform.messages.size(), 1u);
    EXPECT_EQ(platform.messages[0].rfind("*** ERROR IN DATA FILE proj *** When reading input "
                                         "data from file: " +
                                             session.DataPath() + " ",
                                         0),
              0u);
    EXPECT_TRUE(session.Cases.Respondents.empty());
    EXPECT_TRUE(session.Report.empty());

    WriteData({"000109 TITLE   FATHE", "000200 TITLE   FATHE"});
    EXPECT_FALSE(ReadInputData(session));
    ASSERT_EQ(platform.messages.size(), 2u);
    EXPECT_EQ(platform.messages[1],
              "**** ERROR IN INPUT DATA FILE **** There is nothing to be coded in input data "
              "file: " +
                  session.DataPath() + msg::kBreaksExecution);
    EXPECT_TRUE(session.Cases.Respondents.empty());
    EXPECT_TRUE(session.Report.empty());
}

TEST(DataStepProgress, CancelledMergeLeavesTheSessionAsBeforeTheDataStep) {
    testing::SmallProject project;
    testing::WriteFile(project.folder.Path("wave.zda"),
                       "0000019997\r\n000002    \r\n000003    \r\n000004    \r\n");
    ScriptedPlatform platform;
    Session session(platform);
    platform.fileAnswers = {project.params, project.classification, project.data};
    // The merge of the working file has the last percents.
    platform.cancelAtPercent = 80;
    OpenProject(session);
    EXPECT_FALSE(platform.cancelAtPercent.has_value());
    EXPECT_TRUE(session.ClassificationLoaded);
    EXPECT_FALSE(session.DataLoaded);
    EXPECT_FALSE(session.WorkingFileRead);
    EXPECT_TRUE(session.Cases.Respondents.empty());
    EXPECT_TRUE(session.DataStem.empty());
    EXPECT_TRUE(platform.messages.empty());

    platform.progress.clear();
    platform.fileAnswers = {project.data};
    OpenProject(session);
    ASSERT_TRUE(session.SessionStarted);
    EXPECT_EQ(session.Cases.Respondents[0].Occupations[0].Code, "9997");
    std::vector<int> percents;
    for (const auto& p : platform.progress) percents.push_back(p.second);
    EXPECT_TRUE(std::is_sorted(percents.begin(), percents.end()));
    EXPECT_EQ(percents.back(), 100);
}

}  // namespace
}  // namespace tarnwick
