// Reading survey data into the case model: record length, filters, information fields, counts,
// report lines and the respondent selector.

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/data/cases.h"
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

class DataReaderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("tarnwick_data_" + std::to_string(::getpid()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        session_.ProjectFolder = dir_.string() + "/";
        session_.ParamStem = "proj";
        session_.DataStem = "wave1";
        session_.DataExt = ".final.dat";
        Classification& clf = session_.Clf;
        clf.MissingDataCode = "9998";
        clf.MissingDataName = "Missing data";
        clf.NotApplicableCode = "9999";
        clf.NotApplicableName = "Not applicable";
        for (const char* code : {"2310", "9998", "9999"}) {
            TKat k(code, 4);
            k.Name = std::string("Name of ") + code;
            clf.Categories.Add(code, std::move(k));
        }
    }
    void TearDown() override { fs::remove_all(dir_); }

    void Params(const std::string& text) {
        std::vector<std::string> errors;
        std::string report;
        ASSERT_TRUE(ParseCodingParamsText(text, "proj.zpa", session_.Params, errors, report))
            << (errors.empty() ? "" : errors.back());
    }
    void WriteData(const std::string& bytes) { WriteFileAtomic(session_.DataPath(), bytes); }
    // A record of kParams: identifier, ZAWR's filter (2), ZAWO's filter (1), title (6),
    // status (2), father's title (5).
    static std::string Rec(const std::string& id, const std::string& f1, const std::string& f2,
                           const std::string& title, const std::string& status,
                           const std::string& father) {
        EXPECT_TRUE(id.size() == 4 && f1.size() == 2 && f2.size() == 1 && title.size() == 6 &&
                    status.size() == 2 && father.size() == 5);
        return id + f1 + f2 + title + status + father;
    }
    static std::string Crlf(const std::vector<std::string>& lines) {
        std::string s;
        for (const auto& l : lines) s += l + "\r\n";
        return s;
    }

    fs::path dir_;
    ScriptedPlatform platform_;
    Session session_{platform_};
};

// The simplest project: identifier 1-4, one field with a title at 5-8 and no filter.
constexpr const char* kOneField =
    "#R 1-4 'Respondent'\n"
    "#J ZAWR 'Current job'\n"
    "#I1 5-8 'Job title'\n";

TEST_F(DataReaderTest, MinimumLengthCountsIdentifierAndInformationFieldsButNotFilters) {
    Params("#R 2-7 'Respondent'\n#J A 'A'\n#I1 3-4 'x'\n#F 40\n#J B 'B'\n#I13 5-6 'y'\n");
    EXPECT_EQ(MinimumRecordLength(session_.Params), 7);
    Params("#R 1-2 'Respondent'\n#J A 'A'\n#I1 3-4 'x'\n#J B 'B'\n#I13 9-12 'y'\n#F 90-91 1\n");
    EXPECT_EQ(MinimumRecordLength(session_.Params), 12);
    Params("#R 1-6 'Respondent'\n");
    EXPECT_EQ(MinimumRecordLength(session_.Params), 0);
}

TEST_F(DataReaderTest, RecordOfMinimumLengthIsAcceptedAndShorterOneStopsReading) {
    Params(kOneField);
    WriteData(Crlf({"0001ABCD", "0002ABCDEXTRA"}));
    ASSERT_TRUE(ReadInputData(session_));
    ASSERT_EQ(session_.Cases.Respondents.size(), 2u);
    EXPECT_EQ(session_.Cases.Respondents[1].Record, "0002ABCDEXTRA");

    session_.Report.clear();
    WriteData(Crlf({"0001ABCD", "0002ABC", "0003ABCD"}));
    EXPECT_FALSE(ReadInputData(session_));
    const std::string path = session_.DataPath();
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_EQ(platform_.messages[0],
              "*** ERROR IN DATA FILE proj *** When reading input data from file: " + path +
                  " a data record has been found with a length shorter than expected maximum "
                  "location of a data field=8 (length of current data record=7).");
    EXPECT_TRUE(session_.Cases.Respondents.empty());
    EXPECT_TRUE(session_.Report.empty());
}

TEST_F(DataReaderTest, EmptyLineIsAShortRecordButAnEmptyFileHasNothingToCode) {
    Params(kOneField);
    WriteData("0001ABCD\n\n0002ABCD\n");
    EXPECT_FALSE(ReadInputData(session_));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_NE(platform_.messages[0].find("=8 (length of current data record=0)."),
              std::string::npos);

    WriteData("");
    EXPECT_FALSE(ReadInputData(session_));
    ASSERT_EQ(platform_.messages.size(), 2u);
    EXPECT_EQ(platform_.messages[1],
              "**** ERROR IN INPUT DATA FILE **** There is nothing to be coded in input data "
              "file: " +
                  session_.DataPath() + kBreaks);
}

TEST_F(DataReaderTest, FilterRangeIsInclusiveAfterNormalising) {
    Params(kParams);
    // Filter of ZAWR at 5-6 with range 01-05; ZAWO's filter (column 7, no range) set to "1".
    const std::vector<std::pair<std::string, bool>> cases = {
        {" 3", true},  {"01", true},  {"05", true}, {"06", false},
        {"00", false}, {"  ", false}, {" 5", true}, {"5 ", false}};
    std::vector<std::string> lines;
    for (size_t i = 0; i < cases.size(); ++i) {
        lines.push_back(
            Rec("000" + std::to_string(i), cases[i].first, "1", "TITLE ", "01", "FATHE"));
    }
    WriteData(Crlf(lines));
    ASSERT_TRUE(ReadInputData(session_));
    const auto& rs = session_.Cases.Respondents;
    ASSERT_EQ(rs.size(), cases.size());
    for (size_t i = 0; i < cases.size(); ++i) {
        const TZawod& z = rs[i].Occupations[0];
        EXPECT_EQ(z.ToCode, cases[i].second) << "filter value \"" << cases[i].first << '"';
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
    Params("#R 1-4 'R'\n#J A 'A'\n#I1 5-6 'x'\n#F 7\n#J B 'B'\n#I1 5-6 'x'\n#F 8 2-4\n");
    // Column 7: blank, "0", "X"; the record ends before column 8 in the last line, so B's
    // filter value is empty and normalises to "0", below the range.
    WriteData(Crlf({"0001ab 3", "0002ab00", "0003abX", "0004ab"}));
    ASSERT_TRUE(ReadInputData(session_));
    const auto& rs = session_.Cases.Respondents;
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
    EXPECT_EQ(session_.Cases.SelectorRecords, (std::vector<int>{0, 1, 2}));
}

TEST_F(DataReaderTest, InformationFieldsShowLabelsOrTheNormalisedCode) {
    Params(kParams);
    WriteData(Crlf({Rec("0001", "01", " ", "Teach ", " 1", "Smith"),
                    Rec("0002", "01", " ", "Teach ", "12", "Smith"),
                    Rec("0003", "01", " ", "Teach ", "1 ", "Smith"),
                    Rec("0004", "01", " ", "Teach ", " 7", "Smith")}));
    ASSERT_TRUE(ReadInputData(session_));
    const auto& rs = session_.Cases.Respondents;
    const TDokumZaw& zawr = session_.Params.DokumList[0];
    const TDokumZaw& zawo = session_.Params.DokumList[1];
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

TEST_F(DataReaderTest, CountsReportLinesAndSelectorWithoutWorkingFile) {
    Params(kParams);
    // Record 2: ZAWR filtered out, ZAWO blank filter: nothing to code. Records 1 and 3 share
    // an identifier and are both kept. LF and CR LF endings mixed, last line without an end.
    WriteData(Rec("0001", "01", " ", "TITLE ", " 1", "FATHE") + "\r\n" +
              Rec("0002", "09", " ", "TITLE ", " 1", "FATHE") + "\n" +
              Rec("0001", "02", " ", "TITLE ", " 1", "FATHE"));
    ASSERT_TRUE(ReadInputData(session_));
    const CaseModel& m = session_.Cases;
    ASSERT_EQ(m.Respondents.size(), 3u);
    EXPECT_EQ(m.Respondents[0].RespondentId, "0001");
    EXPECT_EQ(m.Respondents[2].RespondentId, "0001");
    EXPECT_EQ(m.Respondents[2].Record, "000102 TITLE  1FATHE");
    EXPECT_EQ(m.SelectorRecords, (std::vector<int>{0, 2}));
    EXPECT_EQ(m.ToCodeCount, 2);
    EXPECT_EQ(m.CodedAtStart, 0);
    EXPECT_EQ(m.CodedCount, 0);
    const std::string path = session_.ProjectFolder + "wave1.final.dat";
    EXPECT_EQ(session_.ProgressText, "Reading input data from file " + path);
    EXPECT_EQ(session_.Report,
              (std::vector<std::string>{
                  "Coding data successfully read-in from file: " + path,
                  "Data set contains 3 data records.",
                  "The total of 2 respondents have occupations for coding. ",
                  "Data set contains 2 occupations for coding, of which 2 occupations are not yet "
                  "coded."}));
    EXPECT_FALSE(session_.WorkingFileRead);
    EXPECT_FALSE(fs::exists(session_.DataFilePath(kExtBackup)));
}

TEST_F(DataReaderTest, WorkingFileCodesReachCountsAndReport) {
    Params(kParams);
    WriteData(Crlf({Rec("0001", "01", " ", "TITLE ", " 1", "FATHE"),
                    Rec("0002", "02", " ", "TITLE ", " 1", "FATHE"),
                    Rec("0003", "03", " ", "TITLE ", "  ", "FATHE")}));
    // ZAWO of record 3 has a blank filter but the stored blank code makes it one to code.
    WriteFileAtomic(session_.DataFilePath(kExtWorking),
                    Crlf({"00012310    ", "00029998    ", "00032310    "}));
    ASSERT_TRUE(ReadInputData(session_));
    const CaseModel& m = session_.Cases;
    EXPECT_EQ(m.ToCodeCount, 6);
    EXPECT_EQ(m.CodedAtStart, 3);
    EXPECT_EQ(m.CodedCount, 3);
    EXPECT_TRUE(m.Respondents[2].Occupations[1].ToCode);
    ASSERT_EQ(session_.Report.size(), 5u);
    EXPECT_EQ(session_.Report[2], "Occupations coded so far read-in from file: " +
                                      session_.ProjectFolder + "wave1.zda");
    EXPECT_EQ(session_.Report[4],
              "Data set contains 6 occupations for coding, of which 3 occupations are not yet "
              "coded.");
}

TEST_F(DataReaderTest, AllCodedGivesTheOtherEndingAndEveryFilteredOutIsNothingToCode) {
    Params(kParams);
    WriteData(Crlf({Rec("0001", "01", " ", "TITLE ", " 1", "FATHE")}));
    WriteFileAtomic(session_.DataFilePath(kExtWorking), "000123109999\r\n");
    ASSERT_TRUE(ReadInputData(session_));
    EXPECT_EQ(session_.Report.back(),
              "Data set contains 1 occupations for coding. All occupations have been coded.");

    fs::remove(session_.DataFilePath(kExtWorking));
    WriteData(Crlf({Rec("0001", "09", " ", "TITLE ", "  ", "FATHE"),
                    Rec("0002", "00", " ", "TITLE ", "  ", "FATHE")}));
    EXPECT_FALSE(ReadInputData(session_));
    ASSERT_EQ(platform_.messages.size(), 1u);
    EXPECT_NE(platform_.messages[0].find("There is nothing to be coded"), std::string::npos);
    // The failed attempt leaves no model behind.
    EXPECT_TRUE(session_.Cases.Respondents.empty());
}

TEST_F(DataReaderTest, MissingDataFileThrowsAndBinaryBytesAreKept) {
    Params(kOneField);
    EXPECT_THROW(ReadInputData(session_), IoError);
    std::string binary = "00";
    binary += '\0';
    binary += "\xff\x1a\r\xe9xyz";
    WriteData(binary + "\r\n");
    ASSERT_TRUE(ReadInputData(session_));
    EXPECT_EQ(session_.Cases.Respondents[0].RespondentId, binary.substr(0, 4));
    EXPECT_EQ(InfoText(session_.Params.DokumList[0], session_.Cases.Respondents[0].Record, 1),
              binary.substr(4, 4));
}

TEST_F(DataReaderTest, RecordsFollowTheirBufferWhenTheModelIsCopiedOrMoved) {
    Params(kOneField);
    WriteData("0001ABCD");
    ASSERT_TRUE(ReadInputData(session_));
    CaseModel moved = std::move(session_.Cases);
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

}  // namespace
}  // namespace tarnwick
