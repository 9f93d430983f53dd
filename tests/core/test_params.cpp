#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/params/model.h"
#include "core/params/parser.h"
#include "core/project/notepad.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

using Lines = std::vector<std::string>;

struct Result {
    bool ok = false;
    CodingParams model;
    Lines errors;
    std::string report;
};

Result Parse(const Lines& lines, const std::string& path = "/p/demo.zpa") {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    Result r;
    r.ok = ParseCodingParamsText(text, path, r.model, r.errors, r.report);
    return r;
}

// The messages only (every third line of the error page, after " " and the heading).
Lines Messages(const Result& r) {
    Lines out;
    for (size_t i = 2; i < r.errors.size(); i += 3) out.push_back(r.errors[i]);
    return out;
}

Lines LineFault(int number, const std::string& text, const std::string& message) {
    return {" ", "*** Error in line " + std::to_string(number) + " \"" + text + "\":", message};
}

// Parses `lines` after a respondent declaration and one occupation field.
Result WithField(Lines lines) {
    lines.insert(lines.begin(), {"#R 1-6 'ID'", "#J ZAW 'Job'"});
    return Parse(lines);
}

TEST(ParamsParse, RespondentOnlyIsAValidProject) {
    const Result r = Parse({"#R 1-6 'Respondent number'"});
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.errors.empty());
    EXPECT_TRUE(r.model.DokumList.empty());
    EXPECT_EQ(r.model.RespIdPos, 1);
    EXPECT_EQ(r.model.RespIdWidth, 6);
    EXPECT_EQ(r.model.RespIdMnemo, "REC_ID");
    EXPECT_EQ(r.model.RespIdLabel, "Respondent number");
    EXPECT_EQ(r.model.CodeWidth, 4);
    EXPECT_FALSE(r.model.X14Declared);
    EXPECT_EQ(r.report, "Coding parameters successfully read-in from file: /p/demo.zpa");
}

TEST(ParamsParse, MissingRespondentIsAFileError) {
    const Result r = Parse({"#J ZAW 'Job'", "#I1 7-20 'Title'"});
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.errors,
              (Lines{" ", "*** Error in coding parameters file", "No respondent ID declaration"}));
    EXPECT_TRUE(r.report.empty());
    EXPECT_TRUE(r.model.DokumList.empty());
    EXPECT_EQ(r.model.CodeWidth, 4);
}

TEST(ParamsParse, SixLineExampleByteForByte) {
    const Result r = Parse({"#R 1-6 'ID'", "#J 1ZAW", "#X14 K14 'class'"});
    EXPECT_FALSE(r.ok);
    Lines expected = LineFault(
        2, "#J 1ZAW", "Var mnemo=\"1ZAW\" contains unaccepted characters or starts with a digit");
    const Lines second = LineFault(2, "#J 1ZAW", "2nd parameter (var name) is missing");
    expected.insert(expected.end(), second.begin(), second.end());
    EXPECT_EQ(r.errors, expected);
}

TEST(ParamsParse, LinesThatAreNotCommandsAreIgnored) {
    const Result r = Parse({"Comment", " #J X 'y'", "#", "", "\t#Q", "#R 1-6 'ID'"});
    EXPECT_TRUE(r.ok);
    EXPECT_TRUE(r.model.DokumList.empty());

    const Result blank = Parse({"#R 1-6 'ID'", "# Comment"});
    EXPECT_EQ(blank.errors, LineFault(2, "# Comment", "Command identifier cannot be accepted"));
}

TEST(ParamsParse, CommandWords) {
    // Case-insensitive; the first letter of F/I/J/R/T decides whatever follows.
    Result r = Parse(
        {"#r 5 'ID'", "#JOB abc_1 'Job'", "#i01 7-8 'Status'", "#Text 1 'one'", "#s2 SEI 'index'"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.model.RespIdPos, 5);
    EXPECT_EQ(r.model.RespIdWidth, 1);
    ASSERT_EQ(r.model.DokumList.size(), 1u);
    const TDokumZaw& d = r.model.DokumList[0];
    EXPECT_EQ(d.VarMnemo, "ABC_1");
    EXPECT_EQ(d.InfoPos[1], 7);
    EXPECT_EQ(d.InfoWidth[1], 2);
    ASSERT_EQ(d.InfoLabels[1].Count(), 1);
    EXPECT_EQ(d.InfoLabels[1].Key(0), "01");
    EXPECT_EQ(d.ScaleMnemo[2], "SEI");

    // Whole words for the others; a tab does not end a command word.
    r = Parse({"#R 1-6 'ID'", "#S7 A 'b'", "#S 1 'b'", "#X15 A 'b'", "#X14A A 'b'", "#Q"});
    EXPECT_EQ(Messages(r), Lines(5, "Command identifier cannot be accepted"));
    r = Parse({"#R 1-6 'ID'", "#J\tZAW 'Job'"});
    EXPECT_EQ(r.errors, LineFault(2, "#J\tZAW 'Job'", "2nd parameter (var name) is missing"));
    r = Parse({"#R 1-6 'ID'", "#S1\tA 'b'"});
    EXPECT_EQ(Messages(r), Lines{"Command identifier cannot be accepted"});
}

TEST(ParamsParse, RespondentChecksInOrder) {
    EXPECT_EQ(
        Messages(Parse({"#R 1-x 'ID'"})),
        (Lines{"Respondent ID location not properly specified", "No respondent ID declaration"}));
    EXPECT_EQ(Messages(Parse({"#R"})),
              (Lines{"Respondent ID location not properly specified",
                     "Respondent ID var label not specified", "No respondent ID declaration"}));
    // Reversed locations, column 0 and absurdly far columns are not locations.
    for (const char* loc : {"0", "0-6", "6-1", "-1-6", "1-6-8", "1-", "1-100000", "x"}) {
        EXPECT_EQ(Messages(Parse({std::string("#R ") + loc + " 'ID'"}))[0],
                  "Respondent ID location not properly specified")
            << loc;
    }
    const Result twice = Parse({"#R 1-6 'ID'", "#R 7 'Other'"});
    EXPECT_EQ(twice.errors, LineFault(2, "#R 7 'Other'", "Repeated declaration of respondent ID"));
}

TEST(ParamsParse, OccupationMnemonicAndName) {
    Result r =
        Parse({"#R 1-6 'ID'", "#J ZAW 'Job of father'", "#J ZAW Job of father", "#J 'ab' ' Job '"});
    ASSERT_TRUE(r.ok);
    ASSERT_EQ(r.model.DokumList.size(), 3u);
    EXPECT_EQ(r.model.DokumList[0].VarName, "Job of father");
    EXPECT_EQ(r.model.DokumList[1].VarName, "Job of father");
    EXPECT_EQ(r.model.DokumList[1].VarMnemo, "ZAW");
    EXPECT_EQ(r.model.DokumList[2].VarMnemo, "AB");
    EXPECT_EQ(r.model.DokumList[2].VarName, "Job");

    const std::string bad = " contains unaccepted characters or starts with a digit";
    EXPECT_EQ(Messages(Parse({"#R 1-6 'ID'", "#J 9AB 'Job'"})), Lines{"Var mnemo=\"9AB\"" + bad});
    EXPECT_EQ(Messages(Parse({"#R 1-6 'ID'", "#J ab-c 'Job'"})), Lines{"Var mnemo=\"AB-C\"" + bad});
    EXPECT_EQ(Messages(Parse({"#R 1-6 'ID'", "#J ABCDEF 'Job'"})),
              Lines{"Length of var mnemo exceeds 5 chars"});
    EXPECT_EQ(Messages(Parse({"#R 1-6 'ID'", "#J abcd-f"})),
              (Lines{"Length of var mnemo exceeds 5 chars", "Var mnemo=\"ABCD-F\"" + bad,
                     "2nd parameter (var name) is missing"}));
    EXPECT_EQ(
        Messages(Parse({"#R 1-6 'ID'", "#J"})),
        (Lines{"First parameter (var mnemo) is missing", "2nd parameter (var name) is missing"}));
    // A Polish letter is not upper-cased into the accepted set.
    EXPECT_EQ(Messages(Parse({"#R 1-6 'ID'", "#J Z\xB9W 'Job'"})),
              Lines{"Var mnemo=\"Z\xB9W\"" + bad});
}

TEST(ParamsParse, ParameterReading) {
    // Quoted first parameter with a blank, unclosed quote, inner apostrophes, control characters.
    Result r = WithField({"#I1 7-9 'Size'", "#T '1 2' 'one two'", "#T 3 \t'Don't know'\t ",
                          "#T 4 ''quoted''", "#T '5"});
    EXPECT_EQ(Messages(r), Lines{"No answer description"});
    r = WithField({"#I1 7-9 'Size'", "#T '1 2' 'one two'", "#T 3 \t'Don't know'\t ",
                   "#T 4 ''quoted''", "#T 5' five"});
    ASSERT_TRUE(r.ok);
    const LabelList& labels = r.model.DokumList[0].InfoLabels[1];
    ASSERT_EQ(labels.Count(), 4);
    EXPECT_EQ(labels[labels.Find("1 2")].Text, "one two");
    EXPECT_EQ(labels[labels.Find("003")].Text, "Don't know");
    EXPECT_EQ(labels[labels.Find("004")].Text, "'quoted'");
    EXPECT_EQ(labels[labels.Find("005")].Text, "five");
    // The location's run takes the place of the first parameter.
    r = WithField({"#I2 7-9 Size of the firm"});
    EXPECT_EQ(r.model.DokumList[0].InfoDescr[2], "Size of the firm");
}

TEST(ParamsParse, InformationFields) {
    for (const char* line : {"#I14 1-2 'x'", "#I0 1-2 'x'", "#I-1 1-2 'x'"}) {
        EXPECT_EQ(Messages(WithField({line})),
                  Lines{"Number of information field out of range <1-13>"})
            << line;
    }
    for (const char* line : {"#I 1-2 'x'", "#IA 1-2 'x'", "#I1x 1-2 'x'"}) {
        EXPECT_EQ(Messages(WithField({line})), Lines{"Command identifier cannot be accepted"})
            << line;
    }
    EXPECT_EQ(Messages(WithField({"#I3 a-b"})),
              (Lines{"Data field location not properly declared",
                     "Information field description not specified"}));
    // A second declaration of the same number overwrites the first.
    const Result r = WithField({"#I13 7-8 'First'", "#I13 9 'Second'"});
    ASSERT_TRUE(r.ok);
    const TDokumZaw& d = r.model.DokumList[0];
    EXPECT_EQ(d.InfoPos[13], 9);
    EXPECT_EQ(d.InfoWidth[13], 1);
    EXPECT_EQ(d.InfoDescr[13], "Second");
}

TEST(ParamsParse, AnswerLabels) {
    Result r = WithField({"#I1 7-8 'Status'", "#T 5 'label'", "#T 05 'other'", "#T ' 6' 'six'"});
    ASSERT_TRUE(r.ok);
    const LabelList& l = r.model.DokumList[0].InfoLabels[1];
    ASSERT_EQ(l.Count(), 2);
    EXPECT_EQ(l.Key(0), "05");
    EXPECT_EQ(l[0].Code, "05");
    EXPECT_EQ(l[0].Text, "label");
    EXPECT_EQ(l.Key(1), "06");

    EXPECT_EQ(Messages(WithField({"#I1 7-8 'Status'", "#T 123 'x'"})),
              Lines{"Length of answer code exceeds data field width"});
    EXPECT_EQ(Messages(WithField({"#I1 7-8 'Status'", "#T"})),
              (Lines{"No answer code", "No answer description"}));

    // After #J or #F a label has no field to go to; after #R it still belongs to the field
    // declared before.
    r = Parse({"#J A 'a'", "#I1 7 's'", "#J B 'b'", "#T 1 'x'", "#I1 8 's'", "#F 9", "#T 2 'y'",
               "#I2 10 't'", "#R 1-6 'ID'", "#T 3 'z'"});
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.model.DokumList[0].InfoLabels[1].Empty());
    EXPECT_TRUE(r.model.DokumList[1].InfoLabels[1].Empty());
    ASSERT_EQ(r.model.DokumList[1].InfoLabels[2].Count(), 1);
    EXPECT_EQ(r.model.DokumList[1].InfoLabels[2].Key(0), "3");
}

Lines X14Labels(int from, int to, const std::string& prefix) {
    Lines out;
    for (int k = from; k <= to; ++k)
        out.push_back("#T " + std::to_string(k) + " '" + prefix + std::to_string(k) + "'");
    return out;
}

TEST(ParamsParse, X14LabelsMergeAcrossFields) {
    Lines lines = {"#R 1-6 'ID'", "#J A 'a'", "#X14 K14 'class'"};
    for (auto& l : X14Labels(1, 14, "first ")) lines.push_back(l);
    lines.insert(lines.end(), {"#J B 'b'", "#X14 K14 'class'", "#T 03 'second 3'",
                               "#T 98 'no data'", "#J C 'c'", "#T 5 'ignored'"});
    const Result r = Parse(lines);
    ASSERT_TRUE(r.ok) << (r.errors.empty() ? "" : r.errors[2]);
    EXPECT_TRUE(r.model.X14Declared);
    const LabelList& m = r.model.X14LabelList;
    ASSERT_EQ(m.Count(), 16);
    for (int i = 0; i < 14; ++i) {
        const std::string key = i < 9 ? '0' + std::to_string(i + 1) : std::to_string(i + 1);
        EXPECT_EQ(m.Key(i), key);
        EXPECT_EQ(m[i].Code, key);
    }
    EXPECT_EQ(m[m.Find("03")].Text, "second 3");
    EXPECT_EQ(m[m.Find("04")].Text, "first 4");
    EXPECT_EQ(m[m.Find("98")].Text, "no data");
    EXPECT_EQ(m[m.Find("99")].Text, "Not applicable");
    // The fields keep their own labels.
    EXPECT_EQ(r.model.DokumList[0].X14Labels.Count(), 14);
    EXPECT_EQ(r.model.DokumList[1].X14Labels.Count(), 2);
}

TEST(ParamsParse, X14MissingLabelsAreFileErrors) {
    Lines lines = {"#R 1-6 'ID'", "#J A 'a'", "#X14 K14 'class'"};
    for (auto& l : X14Labels(1, 14, "c")) {
        if (l.rfind("#T 7 ", 0) != 0 && l.rfind("#T 12 ", 0) != 0) lines.push_back(l);
    }
    const Result r = Parse(lines);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(
        r.errors,
        (Lines{" ", "*** Error in coding parameters file", "Label for category 07 not defined", " ",
               "*** Error in coding parameters file", "Label for category 12 not defined"}));
}

TEST(ParamsParse, X14Checks) {
    const Lines head = {"#R 1-6 'ID'", "#J A 'a'", "#X14 K14 'class'"};
    auto messages = [&](Lines more) {
        Lines l = head;
        l.insert(l.end(), more.begin(), more.end());
        return Messages(Parse(l));
    };
    EXPECT_EQ(messages({"#T 15 'x'"})[0], "Code out of range");
    EXPECT_EQ(messages({"#T 0 'x'"})[0], "Code out of range");
    EXPECT_EQ(messages({"#T +5 'x'"})[0], "Code out of range");
    EXPECT_EQ(messages({"#T 123 'x'"}),
              (Lines{"Length of answer code exceeds 2 chars", "Code out of range"}));
    EXPECT_EQ(messages({"#X14 K 'again'"})[0], "Repeated declaration of X14");
    EXPECT_EQ(
        Messages(Parse({"#R 1-6 'ID'", "#J A 'a'", "#X14 K140"})),
        (Lines{"Length of var mnemo exceeds 3 chars", "2nd parameter (var name) not specified"}));
    EXPECT_EQ(Messages(Parse({"#R 1-6 'ID'", "#J A 'a'", "#X14"})),
              (Lines{"1st parameter (var mnemo) not specified",
                     "2nd parameter (var name) not specified"}));
}

TEST(ParamsParse, Scales) {
    Result r = WithField({"#S2 SEI 'index'", "#S6 a 'status'"});
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.model.ScalesDeclared);
    const TDokumZaw& d = r.model.DokumList[0];
    EXPECT_TRUE(d.HasScales);
    EXPECT_EQ(d.ScaleMnemo[6], "a");
    EXPECT_EQ(d.ScaleName[2], "index");
    EXPECT_TRUE(d.ScaleMnemo[1].empty());

    EXPECT_EQ(Messages(WithField({"#S2 SEI 'index'", "#S2 X 'y'"})),
              Lines{"Repeated declaration of scale no 2"});
    EXPECT_EQ(Messages(WithField({"#S3 ABCD"})),
              (Lines{"Length of var mnemo exceeds 3 chars", "2nd parameter (var name) missing"}));
    EXPECT_EQ(Messages(WithField({"#S4"})),
              (Lines{"1st parameter (var mnemo) missing", "2nd parameter (var name) missing"}));
    // The same scale under another field is not a repetition.
    r = Parse({"#R 1-6 'ID'", "#J A 'a'", "#S1 P 'p'", "#J B 'b'", "#S1 P 'p'"});
    EXPECT_TRUE(r.ok);
}

TEST(ParamsParse, Filters) {
    Result r = WithField({"#F 8-9 1-3"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.model.DokumList[0].FilterPos, 8);
    EXPECT_EQ(r.model.DokumList[0].FilterWidth, 2);
    EXPECT_EQ(r.model.DokumList[0].FilterLow, "01");
    EXPECT_EQ(r.model.DokumList[0].FilterHigh, "03");

    r = WithField({"#F 8-9 3"});
    EXPECT_EQ(r.model.DokumList[0].FilterLow, "03");
    EXPECT_EQ(r.model.DokumList[0].FilterHigh, "03");

    // A second #F moves the field and keeps the range when it gives none.
    r = WithField({"#F 8-9 1-3", "#F 10-11"});
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.model.DokumList[0].FilterPos, 10);
    EXPECT_EQ(r.model.DokumList[0].FilterLow, "01");

    r = WithField({"#F 8-9"});
    EXPECT_TRUE(r.model.DokumList[0].FilterLow.empty());

    EXPECT_EQ(Messages(WithField({"#F 8-9 123"})),
              Lines{"Filter range contains numbers out of filter field width"});
    EXPECT_EQ(Messages(WithField({"#F 8-9 1-123"})),
              Lines{"Filter range contains numbers out of filter field width"});
    EXPECT_EQ(Messages(WithField({"#F 8-9 1-"})), Lines{"Filter range not properly specified"});
    EXPECT_EQ(Messages(WithField({"#F 8-9 -3"})), Lines{"Filter range not properly specified"});
    EXPECT_EQ(Messages(WithField({"#F 8 123-"})),
              (Lines{"Filter range not properly specified",
                     "Filter range contains numbers out of filter field width"}));
    // A bad location ends the line: the range is not looked at.
    EXPECT_EQ(Messages(WithField({"#F x 123"})), Lines{"Filter location unproperly specified"});
}

TEST(ParamsParse, DeclarationsBeforeTheFirstOccupationField) {
    const std::string needsJ = "Declaration requires a preceding #J line";
    for (const char* line :
         {"#I1 7 'x'", "#I2 bad", "#F 7 1", "#F", "#S1 P 'p'", "#S1", "#X14 K 'k'"}) {
        const Result r = Parse({"#R 1-6 'ID'", line, "#J A 'a'"});
        EXPECT_EQ(r.errors, LineFault(2, line, needsJ)) << line;
    }
    // The number checks of #I come first.
    EXPECT_EQ(Messages(Parse({"#R 1-6 'ID'", "#I14 7 'x'"})),
              Lines{"Number of information field out of range <1-13>"});
    // A label with no context does nothing.
    EXPECT_TRUE(Parse({"#R 1-6 'ID'", "#T 1 'x'", "#J A 'a'"}).ok);
    // After an earlier fault such lines are only checked.
    EXPECT_EQ(
        Messages(Parse({"#R 1-6", "#I1 x 'd'", "#F x", "#S1 P 'p'"})),
        (Lines{"Respondent ID var label not specified", "Data field location not properly declared",
               "Filter location unproperly specified", "No respondent ID declaration"}));
}

TEST(ParamsParse, NothingIsStoredAfterTheFirstFault) {
    // Line 3 and line 40 are both reported; the #R after the first fault stores nothing.
    Lines lines = {"Survey", "#J A 'a'", "#J 1A 'bad'"};
    while (lines.size() < 39) lines.push_back("#J B 'b'");
    lines.push_back("#S9 x 'y'");
    lines.push_back("#R 1-6 'ID'");
    const Result r = Parse(lines);
    EXPECT_FALSE(r.ok);
    ASSERT_EQ(r.errors.size(), 9u);
    EXPECT_EQ(r.errors[1], "*** Error in line 3 \"#J 1A 'bad'\":");
    EXPECT_EQ(r.errors[4], "*** Error in line 40 \"#S9 x 'y'\":");
    EXPECT_EQ(r.errors[8], "No respondent ID declaration");
    EXPECT_TRUE(r.model.DokumList.empty());

    // Declarations stored before the fault still count: a scale repeated after it is not
    // reported (the line ends at the fault), a second #R is.
    const Result later =
        Parse({"#R 1-6 'ID'", "#J A 'a'", "#S1 P 'p'", "#J", "#S1 P 'p'", "#R 1-6 'ID'"});
    EXPECT_EQ(Messages(later), (Lines{"First parameter (var mnemo) is missing",
                                      "2nd parameter (var name) is missing",
                                      "Repeated declaration of respondent ID"}));
    // A label after a fault is not checked against its field any more.
    const Result label =
        Parse({"#R 1-6 'ID'", "#J A 'a'", "#I1 7 'x'", "#R 1-6 'ID'", "#T 123 'long'", "#T"});
    EXPECT_EQ(Messages(label), (Lines{"Repeated declaration of respondent ID", "No answer code",
                                      "No answer description"}));
}

TEST(ParamsParse, FailureLeavesAnEmptyModel) {
    Result ok = Parse({"#R 1-6 'ID'", "#J A 'a'"});
    ASSERT_TRUE(ok.ok);
    CodingParams model = ok.model;
    Lines errors;
    std::string report = "old";
    EXPECT_FALSE(ParseCodingParamsText("#R 1-6 'ID'\n#J A 'a'\n#I1 7 'x'\n#T 12 'y'\n", "f", model,
                                       errors, report));
    EXPECT_TRUE(model.DokumList.empty());
    EXPECT_EQ(model.RespIdPos, 0);
    EXPECT_TRUE(model.RespIdMnemo.empty());
    EXPECT_EQ(model.CodeWidth, 4);
    EXPECT_TRUE(report.empty());
}

TEST(ParamsModel, IsApplicable) {
    TDokumZaw d("ZAW", "Job");
    EXPECT_TRUE(IsApplicable(d, ""));
    d.FilterPos = 8;
    d.FilterWidth = 2;
    d.FilterLow = d.FilterHigh = "03";
    EXPECT_TRUE(IsApplicable(d, "1234567 3"));
    EXPECT_TRUE(IsApplicable(d, "123456703"));
    EXPECT_FALSE(IsApplicable(d, "123456704"));
    d.FilterLow = "01";
    EXPECT_TRUE(IsApplicable(d, "1234567 1xx"));
    EXPECT_FALSE(IsApplicable(d, "1234567  "));
    // A record that ends inside the filter field is read short and normalised.
    EXPECT_TRUE(IsApplicable(d, "12345673"));
    EXPECT_FALSE(IsApplicable(d, "1234567"));
    // A filter field without a range: coded exactly when not blank.
    d.FilterLow = d.FilterHigh = "";
    EXPECT_FALSE(IsApplicable(d, "1234567  "));
    EXPECT_FALSE(IsApplicable(d, "1234567"));
    EXPECT_TRUE(IsApplicable(d, "1234567 0"));
    // Column 0 means no filter whatever else is set.
    d.FilterPos = 0;
    d.FilterLow = d.FilterHigh = "99";
    EXPECT_TRUE(IsApplicable(d, "123456701"));
}

TEST(ParamsSession, ReadsTheProjectFile) {
    const testing::TempFolder folder;
    ScriptedPlatform platform;
    Session s(platform);
    s.ProjectFolder = folder.Path();
    s.ParamStem = "proj";
    s.Report = {"first"};
    EXPECT_THROW(ParseCodingParams(s), IoError);
    EXPECT_EQ(s.Params.CodeWidth, 4);

    WriteFileAtomic(ParamsPath(s), "#R 1-6 'ID'\r\n#J A 'a'\r\n");
    ASSERT_TRUE(ParseCodingParams(s));
    EXPECT_EQ(s.Params.DokumList.size(), 1u);
    EXPECT_EQ(s.Report, (Lines{"first", "Coding parameters successfully read-in from file: " +
                                            folder.Path("proj.zpa")}));
    EXPECT_TRUE(s.ErrorLines.empty());

    // A failed attempt empties the model; its lines follow the earlier ones on the error page.
    s.ErrorLines = {"earlier"};
    WriteFileAtomic(ParamsPath(s), "#J A 'a'\n");
    EXPECT_FALSE(ParseCodingParams(s));
    EXPECT_TRUE(s.Params.DokumList.empty());
    EXPECT_EQ(s.ErrorLines, (Lines{"earlier", " ", "*** Error in coding parameters file",
                                   "No respondent ID declaration"}));
    EXPECT_EQ(s.Report.size(), 2u);
}

TEST(ParamsDemo, DemoProjectParses) {
    const Result r = [] {
        Result res;
        const std::string path = std::string(TARNWICK_DEMO) + "/demo.zpa";
        res.ok =
            ParseCodingParamsText(ReadWholeFile(path), path, res.model, res.errors, res.report);
        return res;
    }();
    ASSERT_TRUE(r.ok) << (r.errors.size() > 2 ? r.errors[1] + " " + r.errors[2] : "");
    ASSERT_EQ(r.model.DokumList.size(), 3u);
    const auto& father = r.model.DokumList[1];
    EXPECT_EQ(father.FilterLow, "1");
    EXPECT_EQ(father.InfoLabels[3].Key(0), "01");
    EXPECT_EQ(r.model.DokumList[2].FilterHigh, "2");
    const LabelList& x14 = r.model.X14LabelList;
    EXPECT_EQ(x14.Count(), 16);
    EXPECT_EQ(x14[x14.Find("09")].Text, "Skilled industrial workers");
    EXPECT_EQ(x14[x14.Find("99")].Text, "Not applicable");
}

}  // namespace
}  // namespace tarnwick
