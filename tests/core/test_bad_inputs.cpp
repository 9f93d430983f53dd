// Bad input of every kind through Open project and the saves: empty and binary files, huge lines,
// CR-only line ends, a UTF-8 byte-order mark, a million empty lines, working files that do not
// fit, missing folders, folders where files should be, files without permission. Each case gives
// the message the coder sees, and nothing on disk is lost. Big inputs are made here, at run time.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "core/classification/scales.h"
#include "core/data/cases.h"
#include "core/data/journal.h"
#include "core/data/output.h"
#include "core/data/working_file.h"
#include "core/io/files.h"
#include "core/params/parser.h"
#include "core/project/coding_session.h"
#include "core/project/exit.h"
#include "core/project/notepad.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/safekeeping.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

namespace fs = std::filesystem;
using testing::ReadFileText;
using testing::SmallProject;
using testing::WriteFile;

constexpr size_t kMegabyte = 1 << 20;

using testing::Snapshot;
using testing::Take;

// The error page of a classification without categories, after its heading and line faults.
std::vector<std::string> NoCategoryFaults() {
    std::vector<std::string> lines = {
        " ",
        "*** Error in classification file: no category declared as a standard 'missing data' code",
        " ",
        "*** Error in classification file: no category declared as a standard 'not applicable' "
        "code"};
    for (const std::string& code : BuiltInScaleCodes()) {
        lines.push_back(" ");
        lines.push_back("*** Definition of a basic VKT-2009 category " + code + " is missing");
    }
    return lines;
}

// A literal with NUL bytes, all of it.
template <size_t N>
std::string Bytes(const char (&text)[N]) {
    return std::string(text, N - 1);
}

std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class BadInputTest : public ::testing::Test {
  protected:
    SmallProject p;
    ScriptedPlatform platform;
    Session s{platform};

    std::string Path(const char* ext) const { return p.folder.Path(std::string("wave") + ext); }
    // The project folder, with its '/' at the end, and without it.
    std::string Folder() const { return p.folder.Path(); }
    std::string Dir() const {
        std::string d = Folder();
        d.pop_back();
        return d;
    }

    // Open project with these dialog answers. Returns the text of the input/output error that
    // ended it, or "" when there was none; the messages shown are in platform.messages.
    std::string Open(std::vector<std::optional<std::string>> answers) {
        platform.fileAnswers.assign(answers.begin(), answers.end());
        platform.messages.clear();
        platform.severities.clear();
        try {
            OpenProject(s);
        } catch (const IoError& e) {
            return e.what();
        }
        return "";
    }

    // The error page lines added since `from`.
    std::vector<std::string> ErrorsSince(size_t from) const {
        return {s.ErrorLines.begin() + static_cast<long>(from), s.ErrorLines.end()};
    }

    // The message of a failed write, or "" when it succeeded.
    template <class F>
    static std::string WriteError(F write) {
        try {
            write();
        } catch (const IoError& e) {
            return e.what();
        }
        return "";
    }

    std::vector<std::string> Codes() const {
        std::vector<std::string> codes;
        for (const TOsoba& r : s.Cases.Respondents) {
            for (const TZawod& z : r.Occupations) codes.push_back(z.Code);
        }
        return codes;
    }
};

TEST_F(BadInputTest, EmptyFilesGiveTheirMessagesAndOpeningResumesAtTheStepThatFailed) {
    const std::string params = ReadFileText(p.params);
    const std::string clf = ReadFileText(p.classification);
    const std::string data = ReadFileText(p.data);

    WriteFile(p.params, "");
    Snapshot before = Take(Folder());
    EXPECT_EQ(Open({p.params}), "");
    EXPECT_EQ(s.ErrorLines, (std::vector<std::string>{" ", "*** Error in coding parameters file",
                                                      "No respondent ID declaration"}));
    EXPECT_FALSE(s.ParamsLoaded);
    EXPECT_EQ(s.FrontPage, Page::Error);
    EXPECT_EQ(Take(Folder()), before);

    WriteFile(p.params, params);
    WriteFile(p.classification, "");
    size_t errors = s.ErrorLines.size();
    EXPECT_EQ(Open({p.params, p.classification}), "");
    EXPECT_TRUE(s.ParamsLoaded);
    EXPECT_FALSE(s.ClassificationLoaded);
    EXPECT_EQ(ErrorsSince(errors),
              Concat({"Errors detected during opening the classification file '" +
                      p.classification + "'"},
                     NoCategoryFaults()));
    EXPECT_EQ(s.Clf.Count(), 0);

    WriteFile(p.classification, clf);
    WriteFile(p.data, "");
    before = Take(Folder());
    EXPECT_EQ(Open({p.classification, p.data}), "");
    EXPECT_EQ(platform.messages,
              (std::vector<std::string>{
                  "**** ERROR IN INPUT DATA FILE **** There is nothing to be coded in input data "
                  "file: " +
                  p.data + msg::kBreaksExecution}));
    // The window shows a fault that stops the opening with the error icon.
    EXPECT_EQ(platform.severities, std::vector<Severity>{Severity::Fault});
    EXPECT_TRUE(s.ClassificationLoaded);
    EXPECT_FALSE(s.DataLoaded);
    EXPECT_TRUE(s.Cases.Respondents.empty());
    EXPECT_EQ(Take(Folder()), before);

    // An empty working file: every record is to be coded, and the coder is told so.
    WriteFile(p.data, data);
    WriteFile(Path(".zda"), "");
    {
        ScriptedPlatform other;
        Session t(other);
        other.fileAnswers = {p.params, p.classification, p.data};
        OpenProject(t);
        EXPECT_TRUE(t.SessionStarted);
        EXPECT_EQ(other.messages, std::vector<std::string>{"4 data records found no line in "
                                                           "working file wave.zda: those "
                                                           "occupations are to be coded again."});
    }
    fs::remove(Path(".zda"));

    // An empty notepad is read as an empty one.
    WriteFile(Path(".zno"), "");
    EXPECT_EQ(Open({p.data}), "");
    EXPECT_TRUE(s.SessionStarted);
    EXPECT_TRUE(s.Notepad.empty());
    EXPECT_EQ(s.Report.back(), "Notepad content read-in from file: " + Path(".zno"));
    EXPECT_EQ(s.Cases.Respondents.size(), 4u);
}

TEST_F(BadInputTest, BinaryFilesWithNulBytes) {
    const std::string params = ReadFileText(p.params);
    WriteFile(p.params, Bytes("\0\x01#R\0 1-6\n#\0\xff\n\0#J\n"));
    EXPECT_EQ(Open({p.params}), "");
    EXPECT_EQ(s.ErrorLines,
              (std::vector<std::string>{" ", "*** Error in line 2 \"" + Bytes("#\0\xff") + "\":",
                                        "Command identifier cannot be accepted", " ",
                                        "*** Error in coding parameters file",
                                        "No respondent ID declaration"}));

    // Trailing control bytes are trimmed from a classification line like blanks.
    WriteFile(p.params, params);
    const std::string clf = ReadFileText(p.classification);
    WriteFile(p.classification, Bytes("#C 00\0\x01\r\n#N \0\0\r\n\0\0\0"));
    size_t errors = s.ErrorLines.size();
    EXPECT_EQ(Open({p.params, p.classification}), "");
    EXPECT_EQ(
        ErrorsSince(errors),
        Concat(
            {"Errors detected during opening the classification file '" + p.classification + "'",
             " ", "*** Error in line 1: length of a code differs from 4.", "     Line(1)='#C 00'",
             " ", "*** Error in line 2: an empty name of category.", "     Line(2)='#N'"},
            NoCategoryFaults()));

    // A data file with a NUL byte is no text file: refused, and left as it was.
    WriteFile(p.classification, clf);
    std::string data = ReadFileText(p.data);
    std::string nul = data;
    nul[11] = '\0';
    WriteFile(p.data, nul);
    EXPECT_EQ(Open({p.classification, p.data}), "");
    EXPECT_EQ(platform.messages,
              std::vector<std::string>{p.data + ": holds NUL bytes, so it is not a text file"});
    EXPECT_FALSE(s.DataLoaded);
    EXPECT_EQ(ReadFileText(p.data), nul);

    // Any other byte in a record is kept as it is, also through a save and a reopening.
    data[3] = '\x01';
    data[11] = '\xff';
    WriteFile(p.data, data);
    EXPECT_EQ(Open({p.data}), "");
    ASSERT_TRUE(s.SessionStarted);
    EXPECT_EQ(s.Cases.Respondents[0].RespondentId, Bytes("000\x01"
                                                         "01"));
    EXPECT_EQ(InfoText(s.Params.DokumList[0], s.Cases.Respondents[0].Record, 1),
              Bytes("te\xff"
                    "cher") +
                  std::string(13, ' '));
    s.Cases.Respondents[0].Occupations[0].Code = "9997";
    s.Cases.Respondents[0].Occupations[0].CodeName = s.Clf.MissingDataName;
    SaveWorkingFile(s);
    ScriptedPlatform again;
    Session t(again);
    again.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(t);
    ASSERT_TRUE(t.SessionStarted);
    EXPECT_EQ(t.Cases.Respondents[0].Occupations[0].Code, "9997");

    // A binary data file without a line end is one short record.
    const std::string binary = Bytes("\0\x01\xff\xfe\0\0\x01\xff\xfe\0\0\x01\xff\xfe\0");
    WriteFile(p.data, binary);
    ScriptedPlatform third;
    Session u(third);
    third.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(u);
    EXPECT_EQ(third.messages,
              (std::vector<std::string>{
                  "*** ERROR IN DATA FILE proj *** When reading input data from file: " + p.data +
                  " a data record has been found with a length shorter than expected maximum "
                  "location of a data field=39 (length of current data record=15)."}));
    EXPECT_EQ(ReadFileText(p.data), binary);
}

TEST_F(BadInputTest, LinesOfSeveralMegabytes) {
    // A comment line and an occupation name of megabytes are taken as they are.
    const std::string params = ReadFileText(p.params);
    WriteFile(p.params, "Title\r\n" + std::string(5 * kMegabyte, 'x') + "\r\n" + params +
                            "#J BIG '" + std::string(3 * kMegabyte, 'n') +
                            "'\r\n#I1 10-29 'Job'\r\n");
    EXPECT_EQ(Open({p.params}), "");
    ASSERT_TRUE(s.ParamsLoaded);
    EXPECT_EQ(s.Params.DokumList.back().VarName.size(), 3 * kMegabyte);

    // A column of millions is a slip, not a field to cut.
    ScriptedPlatform other;
    Session t(other);
    WriteFile(p.params, "#R 1-6 'ID'\r\n#J ZAW 'Job'\r\n#I1 10-5000000 'Title'\r\n");
    other.fileAnswers = {p.params};
    OpenProject(t);
    EXPECT_EQ(t.ErrorLines,
              (std::vector<std::string>{" ", "*** Error in line 3 \"#I1 10-5000000 'Title'\":",
                                        "Data field location not properly declared"}));
    WriteFile(p.params, params);

    // A key word of megabytes is indexed by its first 255 characters.
    std::string clf = ReadFileText(p.classification);
    const size_t at = clf.find("[worker]");
    ASSERT_NE(at, std::string::npos);
    clf.insert(at, "[" + std::string(3 * kMegabyte, 'w') + "] ");
    WriteFile(p.classification, clf);
    ScriptedPlatform third;
    Session u(third);
    third.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(u);
    ASSERT_TRUE(u.SessionStarted);
    EXPECT_GE(u.Clf.KeyWords.Find(std::string(255, 'W')), 0);
    EXPECT_LT(u.Clf.KeyWords.Find(std::string(256, 'W')), 0);

    // A record of megabytes is cut like any other; the output stays fixed-width.
    std::string data = ReadFileText(p.data);
    data.insert(data.find("\r\n"), std::string(4 * kMegabyte, 'z'));
    WriteFile(p.data, data);
    ScriptedPlatform fourth;
    Session v(fourth);
    fourth.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(v);
    ASSERT_TRUE(v.SessionStarted);
    EXPECT_EQ(v.Cases.Respondents[0].Record.size(), 39 + 4 * kMegabyte);
    const std::vector<std::string> out = testing::OutputLines(v);
    ASSERT_EQ(out.size(), 4u);
    for (const std::string& line : out) EXPECT_EQ(line.size(), out[1].size());

    // A working-file line of megabytes holds one unknown code.
    WriteFile(Path(".zda"), "000001" + std::string(4 * kMegabyte, '7') + "\r\n");
    const Snapshot before = Take(Folder(), {"wave.~zd"});
    ScriptedPlatform fifth;
    Session w(fifth);
    fifth.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(w);
    EXPECT_EQ(fifth.messages,
              (std::vector<std::string>{
                  "**** FATAL ERROR IN DATA FILES **** When processing previously coded symbols "
                  "from file: wave.zda a symbol \"7777\" has been found, which does not exist in "
                  "classification VKT-2009" +
                  std::string(msg::kBreaksExecution)}));
    EXPECT_EQ(Take(Folder(), {"wave.~zd"}), before);
}

TEST_F(BadInputTest, CarriageReturnAloneDoesNotEndALine) {
    // The whole file is one line: a title, so the identifier is never declared.
    const std::string params = ReadFileText(p.params);
    WriteFile(p.params, "Coding parameters\r#R 1-6 'ID'\r#J ZAW 'Occupation'\r#I1 10-29 'Job'\r");
    EXPECT_EQ(Open({p.params}), "");
    EXPECT_EQ(s.ErrorLines, (std::vector<std::string>{" ", "*** Error in coding parameters file",
                                                      "No respondent ID declaration"}));

    WriteFile(p.params, params);
    const std::string clf = ReadFileText(p.classification);
    WriteFile(p.classification, "#CM 9997\r#N Missing data\r#CN 9998\r#N Not applicable\r");
    const size_t errors = s.ErrorLines.size();
    EXPECT_EQ(Open({p.params, p.classification}), "");
    EXPECT_EQ(
        ErrorsSince(errors),
        Concat({"Errors detected during opening the classification file '" + p.classification + "'",
                " ", "*** Error in line 1: length of a code differs from 4.",
                "     Line(1)='#CM 9997\r#N Missing data\r#CN 9998\r#N Not applicable'"},
               NoCategoryFaults()));

    // Data: one record, the rest of the file inside it; the report says so.
    WriteFile(p.classification, clf);
    const std::string original = ReadFileText(p.data);
    std::string data = original;
    for (size_t i = data.find("\r\n"); i != std::string::npos; i = data.find("\r\n", i)) {
        data.erase(i + 1, 1);
    }
    WriteFile(p.data, data);
    EXPECT_EQ(Open({p.classification, p.data}), "");
    ASSERT_TRUE(s.SessionStarted);
    EXPECT_EQ(s.Cases.Respondents.size(), 1u);
    EXPECT_NE(std::find(s.Report.begin(), s.Report.end(), "Data set contains 1 data records."),
              s.Report.end());

    // A working file with CR alone ends its lines there: only a file made for the program's
    // lines, where an identifier or a code never holds a CR.
    ScriptedPlatform other;
    Session t(other);
    WriteFile(p.data, original);
    WriteFile(Path(".zda"), "0000019997\r000002\r0000039998\r");
    other.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(t);
    ASSERT_TRUE(t.SessionStarted);
    EXPECT_EQ(t.Cases.Respondents[0].Occupations[0].Code, "9997");
    EXPECT_EQ(t.Cases.Respondents[2].Occupations[0].Code, "9998");
    EXPECT_EQ(other.messages, std::vector<std::string>{"1 data record found no line in working "
                                                       "file wave.zda: those occupations are to "
                                                       "be coded again."});
    EXPECT_EQ(ReadFileText(Path(".zda")), "0000019997\r000002\r0000039998\r");
}

TEST_F(BadInputTest, Utf8ByteOrderMarkIsThreeBytesOfText) {
    const std::string bom = "\xEF\xBB\xBF";
    const std::string params = ReadFileText(p.params);
    WriteFile(p.params, bom + "#R 1-6 'ID'\r\n#J ZAW 'Occupation'\r\n#I1 10-29 'Job'\r\n");
    EXPECT_EQ(Open({p.params}), "");
    EXPECT_EQ(s.ErrorLines, (std::vector<std::string>{" ", "*** Error in coding parameters file",
                                                      "No respondent ID declaration"}));

    // Before the first code line it hides that line, and so the first category.
    WriteFile(p.params, params);
    const std::string clf = ReadFileText(p.classification);
    const std::string body = clf.substr(clf.find("#C 0000"));
    ASSERT_EQ(body.rfind("#C 0000\r\n#N Category 0000\r\n#S Cat 0000\r\n#C ", 0), 0u);
    WriteFile(p.classification, bom + body);
    const size_t errors = s.ErrorLines.size();
    EXPECT_EQ(Open({p.params, p.classification}), "");
    EXPECT_EQ(
        ErrorsSince(errors),
        (std::vector<std::string>{
            "Errors detected during opening the classification file '" + p.classification + "'",
            " ",
            "*** Error in line 2: a name definition requires an initialization of the "
            "category before.",
            "     Line(2)='#N Category 0000'", " ",
            "*** Error in line 3: a short label requires an initialization of the category "
            "before.",
            "     Line(3)='#S Cat 0000'", " ",
            "*** Definition of a basic VKT-2009 category 0000 is missing"}));
    // Before a title it does no harm.
    WriteFile(p.classification, bom + clf);
    const std::string data = ReadFileText(p.data);
    WriteFile(p.data, bom + data);
    EXPECT_EQ(Open({p.classification, p.data}), "");
    ASSERT_TRUE(s.SessionStarted);
    // In the data it shifts the first record by three columns.
    EXPECT_EQ(s.Cases.Respondents[0].RespondentId, bom + "000");
    EXPECT_EQ(s.Cases.Respondents[1].RespondentId, "000002");
}

TEST_F(BadInputTest, DataFileOfAMillionEmptyLines) {
    std::string lines;
    lines.reserve(2'000'000);
    for (int i = 0; i < 1'000'000; ++i) lines += "\r\n";
    WriteFile(p.data, lines);
    EXPECT_EQ(Open({p.params, p.classification, p.data}), "");
    EXPECT_EQ(platform.messages,
              (std::vector<std::string>{
                  "*** ERROR IN DATA FILE proj *** When reading input data from file: " + p.data +
                  " a data record has been found with a length shorter than expected maximum "
                  "location of a data field=39 (length of current data record=0)."}));
    EXPECT_TRUE(s.Cases.Respondents.empty());

    // Without occupation fields every empty line is a record, and none has anything to code.
    WriteFile(p.params, "#R 1-6 'ID'\r\n");
    ScriptedPlatform other;
    Session t(other);
    other.fileAnswers = {p.params, p.classification, p.data};
    OpenProject(t);
    EXPECT_EQ(other.messages,
              (std::vector<std::string>{
                  "**** ERROR IN INPUT DATA FILE **** There is nothing to be coded in input data "
                  "file: " +
                  p.data + msg::kBreaksExecution}));
    EXPECT_TRUE(t.Cases.Respondents.empty());
    EXPECT_FALSE(t.DataLoaded);
    EXPECT_EQ(ReadFileText(p.data).size(), 2'000'000u);
}

TEST_F(BadInputTest, WorkingFileWithFewerOrMoreLinesThanTheData) {
    // A working file cut short opens with the codes it holds. The last good backup outlives it,
    // copied under a dated name since the next opening replaces the backup.
    const std::string fewer = "0000019997\r\n000002\r\n0000039998\r\n";
    WriteFile(Path(".zda"), fewer);
    WriteFile(Path(".~zd"), "the last good backup\r\n");
    {
        ScriptedPlatform other;
        Session t(other);
        other.fileAnswers = {p.params, p.classification, p.data};
        OpenProject(t);
        ASSERT_TRUE(t.SessionStarted);
        EXPECT_EQ(t.Cases.Respondents[2].Occupations[0].Code, "9998");
        const std::string copy = Folder() + "wave-backup-" + ReportFileStamp(other.now) + ".~zd";
        EXPECT_EQ(other.messages,
                  std::vector<std::string>{"1 data record found no line in working file "
                                           "wave.zda: those occupations are to be coded again. "
                                           "The last backup is kept as " +
                                           copy + "."});
        EXPECT_EQ(ReadFileText(copy), "the last good backup\r\n");
        EXPECT_EQ(ReadFileText(Path(".~zd")), "the last good backup\r\n");
        EXPECT_EQ(ReadFileText(Path(".zda")), fewer);
    }

    // Lines beyond the data are left out of the cases; the backup keeps them.
    const std::string more = "0000019997\n000002\n0000039998\n0000040111\n0000051110\n000006\n";
    WriteFile(Path(".zda"), more);
    EXPECT_EQ(Open({p.params, p.classification, p.data}), "");
    ASSERT_TRUE(s.SessionStarted);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"9997", "", "9998", "0111"}));
    const std::string backup =
        "0000019997\r\n000002\r\n0000039998\r\n0000040111\r\n0000051110\r\n000006\r\n";
    EXPECT_EQ(ReadFileText(Path(".~zd")), backup);
    SaveWorkingFile(s);
    EXPECT_EQ(ReadFileText(Path(".zda")),
              "0000019997\r\n000002    \r\n0000039998\r\n0000040111\r\n");
    EXPECT_EQ(ReadFileText(Path(".~zd")), backup);
}

// A journal planted at the journal's name, as a link to a file the coder may read or as another
// user's file with valid entries, is refused with the reason: never replayed as the coder's codes
// nor copied into the folder.
TEST_F(BadInputTest, APlantedJournalIsRefusedNeitherReplayedNorCopied) {
    const std::string secret = p.folder.Path("secret.txt");
    WriteFile(secret, "T1 0 0 1 000001 0111 0\n");
    fs::create_symlink(secret, Path(".zjn"));
    EXPECT_EQ(Open({p.params, p.classification, p.data}), Path(".zjn") + ": " + msg::kIsALink);
    EXPECT_FALSE(s.DataLoaded);
    EXPECT_FALSE(fs::exists(Path(".~zj")));

    if (::geteuid() != 0) return;  // only root can hand a file to another user
    fs::remove(Path(".zjn"));
    WriteFile(Path(".zjn"), "T1 0 0 1 000001 0111 0\n");
    ASSERT_EQ(::chown(Path(".zjn").c_str(), 65534, 65534), 0);
    EXPECT_EQ(Open({p.data}), Path(".zjn") + ": " + msg::OtherOwner("nobody"));
    EXPECT_FALSE(s.DataLoaded);
    EXPECT_FALSE(fs::exists(Path(".~zj")));
}

// A crash, then the data sorted again and cut: the journal's codes go to their respondents by
// identifier; one whose respondent is gone is said on screen and kept, the copy of an earlier
// recovery with it.
TEST_F(BadInputTest, AJournalReplaysByIdentifierAndKeepsWhatFindsNoRecord) {
    WriteFile(p.data,
              "000004 1 driver              driving   \r\n"
              "000001 1 teacher             teaching  \r\n");
    WriteFile(Path(".zjn"), FormatJournalEntry({0, 0, true, "000001", "0111"}) +
                                FormatJournalEntry({2, 0, true, "000003", "0111"}));
    WriteFile(Path(".~zj"), "an earlier copy\n");
    ASSERT_EQ(Open({p.params, p.classification, p.data}), "");
    ASSERT_TRUE(s.SessionStarted);
    EXPECT_EQ(s.Cases.Respondents[1].Occupations[0].Code, "0111");
    EXPECT_EQ(s.Cases.Respondents[0].Occupations[0].Code, "");
    EXPECT_EQ(platform.messages.front(), msg::JournalEntriesNotReplayed(1, Path(".~zj")));
    EXPECT_EQ(ReadFileText(Path(".~zj")).rfind("an earlier copy\nT1 0 0 1 000001 0111 ", 0), 0u);
}

// wave.1.dat and wave.2.dat share wave.zda (the stem ends at the first dot): the codes saved for
// the first are not given to the second's answers unless the coder says so.
TEST_F(BadInputTest, CodesSavedForAnotherDataFileOfTheSameStemAreAskedAbout) {
    const std::string wave1 = Folder() + "wave.1.dat";
    const std::string wave2 = Folder() + "wave.2.dat";
    fs::copy_file(p.data, wave1);
    fs::copy_file(p.data, wave2);
    ASSERT_EQ(Open({p.params, p.classification, wave1}), "");
    ASSERT_TRUE(s.SessionStarted);
    s.Cases.Respondents[0].Occupations[0].Code = "0111";
    ASSERT_TRUE(SaveWorkingFile(s));
    ReleaseProject(s);
    const std::string saved = ReadFileText(Path(".zda"));

    ScriptedPlatform other;
    other.fileAnswers = {p.params, p.classification, wave2};
    Session t(other);
    OpenProject(t);
    EXPECT_FALSE(t.DataLoaded);
    ASSERT_EQ(other.questions.size(), 1u);
    EXPECT_EQ(other.questions[0].rfind("wave.zda holds the codes saved for data file wave.1.dat "
                                       "(4 records); the data file opened now is wave.2.dat",
                                       0),
              0u)
        << other.questions[0];
    EXPECT_EQ(ReadFileText(Path(".zda")), saved);
}

TEST_F(BadInputTest, MissingFolders) {
    const std::string missing = Folder() + "gone/";
    EXPECT_EQ(Open({missing + "proj.zpa"}), missing + "proj.zpa: No such file or directory");
    EXPECT_FALSE(s.ParamsLoaded);
    EXPECT_TRUE(s.ErrorLines.empty());

    EXPECT_EQ(Open({p.params, missing + "test.clf"}),
              missing + "test.clf: No such file or directory");
    EXPECT_TRUE(s.ParamsLoaded);
    EXPECT_FALSE(s.ClassificationLoaded);

    // The project folder goes away before the data are read, and comes back.
    EXPECT_EQ(Open({p.classification, std::nullopt}), "");
    EXPECT_TRUE(s.ClassificationLoaded);
    const std::string away = Dir() + ".away";
    fs::rename(Dir(), away);
    EXPECT_EQ(Open({p.data}), p.data + ": No such file or directory");
    fs::rename(away, Dir());
    EXPECT_FALSE(s.DataLoaded);
    EXPECT_EQ(Open({p.data}), "");
    ASSERT_TRUE(s.SessionStarted);

    // It goes away during the session: every save fails with its message and keeps the codes;
    // once it is back, the saves succeed.
    s.Cases.Respondents[1].Occupations[0].Code = "9997";
    s.Cases.Respondents[1].Occupations[0].CodeName = s.Clf.MissingDataName;
    s.ResultsModified = true;
    s.Notepad = {"a note"};
    const std::vector<std::string> codes = Codes();
    fs::rename(Dir(), away);
    EXPECT_EQ(WriteError([&] { SaveWorkingFile(s); }),
              Path(".zda") + ": No such file or directory");
    EXPECT_EQ(WriteError([&] { WriteFinalOutput(s); }),
              Path(".asc") + ": No such file or directory");
    EXPECT_EQ(WriteError([&] { SaveNotepad(s); }), Path(".zno") + ": No such file or directory");
    const size_t reportLines = s.Report.size();
    EXPECT_EQ(WriteError([&] { WriteSessionReport(s); }),
              Folder() + "202612070037.zre: No such file or directory");
    EXPECT_EQ(Codes(), codes);
    EXPECT_TRUE(s.ResultsModified);
    fs::rename(away, Dir());
    EXPECT_EQ(WriteError([&] { SaveWorkingFile(s); }), "");
    EXPECT_EQ(ReadFileText(Path(".zda")),
              "000001    \r\n0000029997\r\n0000039998\r\n000004    \r\n");
    EXPECT_EQ(WriteError([&] { WriteSessionReport(s); }), "");
    // The closing lines of the failed attempt are not in the report written afterwards.
    EXPECT_EQ(s.Report.size(), reportLines + 6 + 3);
}

TEST_F(BadInputTest, FoldersInPlaceOfFiles) {
    const std::string params = ReadFileText(p.params);
    fs::remove(p.params);
    fs::create_directory(p.params);
    EXPECT_EQ(Open({p.params}), p.params + ": Is a directory");
    EXPECT_FALSE(s.ParamsLoaded);
    fs::remove(p.params);
    WriteFile(p.params, params);

    fs::create_directory(Folder() + "folder.clf");
    EXPECT_EQ(Open({p.params, Folder() + "folder.clf"}), Folder() + "folder.clf: Is a directory");
    EXPECT_FALSE(s.ClassificationLoaded);

    fs::create_directory(Folder() + "folder.dat");
    EXPECT_EQ(Open({p.classification, Folder() + "folder.dat"}),
              Folder() + "folder.dat: Is a directory");
    EXPECT_FALSE(s.DataLoaded);

    // A folder named like the backup stops the opening before anything is merged; the working
    // file stays as it was.
    WriteFile(Path(".zda"), "0000019997\r\n000002\r\n000003\r\n000004\r\n");
    fs::create_directory(Path(".~zd"));
    Snapshot before = Take(Folder());
    EXPECT_EQ(Open({p.data}), Path(".~zd") + ": Is a directory");
    EXPECT_FALSE(s.DataLoaded);
    EXPECT_TRUE(s.Cases.Respondents.empty());
    EXPECT_EQ(Take(Folder()), before);
    fs::remove(Path(".~zd"));

    // Folders named like the notepad, the output, the script and the report: the session opens
    // (the notepad is not a file, so there is none), every write says why it failed, and the
    // folders stay.
    for (const char* ext : {".zno", ".asc", ".sps"}) fs::create_directory(Path(ext));
    fs::create_directory(Folder() + "202612070037.zre");
    EXPECT_EQ(Open({p.data}), "");
    ASSERT_TRUE(s.SessionStarted);
    EXPECT_EQ(Codes()[0], "9997");
    s.Notepad = {"a note"};
    EXPECT_EQ(WriteError([&] { SaveNotepad(s); }), Path(".zno") + ": Is a directory");
    EXPECT_EQ(WriteError([&] { WriteFinalOutput(s); }), Path(".asc") + ": Is a directory");
    fs::remove(Path(".asc"));
    EXPECT_EQ(WriteError([&] { WriteFinalOutput(s); }), Path(".sps") + ": Is a directory");
    EXPECT_EQ(WriteError([&] { WriteSessionReport(s); }),
              Folder() + "202612070037.zre: Is a directory");
    // And the working file: a folder in its place is no working file, and cannot be replaced.
    fs::remove(Path(".zda"));
    fs::create_directory(Path(".zda"));
    before = Take(Folder());
    EXPECT_EQ(WriteError([&] { SaveWorkingFile(s); }), Path(".zda") + ": Is a directory");
    EXPECT_EQ(Take(Folder()), before);
    EXPECT_EQ(Codes()[0], "9997");
}

// A data file named like one of the files the program writes beside it would be overwritten by
// that file: by the backup as soon as it is opened, by the working file, the output, the script
// or the notepad later. It is refused, and stays as it was.
TEST_F(BadInputTest, DataFileNamedLikeAFileTheProgramWrites) {
    const std::string data = ReadFileText(p.data);
    WriteFile(Path(".zda"), "0000019997\r\n000002\r\n000003\r\n000004\r\n");
    EXPECT_EQ(Open({p.params, p.classification, std::nullopt}), "");
    ASSERT_TRUE(s.ClassificationLoaded);
    for (const char* ext : {".zda", ".~zd", ".asc", ".sps", ".zno", ".zre", ".ASC", ".~ZD"}) {
        const std::string path = Path(ext);
        if (!fs::exists(path)) WriteFile(path, data);
        const Snapshot before = Take(Folder());
        EXPECT_EQ(Open({path}), "");
        EXPECT_EQ(
            platform.messages,
            (std::vector<std::string>{"**** ERROR IN INPUT DATA FILE **** Input data file " + path +
                                      " has the extension of a file that the program "
                                      "writes: " +
                                      ext + msg::kBreaksExecution}));
        EXPECT_FALSE(s.DataLoaded);
        EXPECT_EQ(Take(Folder()), before) << ext;
    }
    // A longer extension that only ends like one is a data file like any other.
    WriteFile(Path(".old.asc"), data);
    EXPECT_EQ(Open({Path(".old.asc")}), "");
    EXPECT_TRUE(s.SessionStarted);
}

TEST_F(BadInputTest, FilesWithoutPermission) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "permission bits do not bind root; the folder cases above stand in";
    }
    ::chmod(p.params.c_str(), 0);
    EXPECT_EQ(Open({p.params}), p.params + ": Permission denied");
    ::chmod(p.params.c_str(), 0644);
    ::chmod(p.data.c_str(), 0);
    EXPECT_EQ(Open({p.params, p.classification, p.data}), p.data + ": Permission denied");
    ::chmod(p.data.c_str(), 0644);
    EXPECT_EQ(Open({p.data}), "");
    ASSERT_TRUE(s.SessionStarted);
    SaveWorkingFile(s);
    const std::string saved = ReadFileText(Path(".zda"));
    ::chmod(Dir().c_str(), 0555);
    s.Cases.Respondents[0].Occupations[0].Code = "9997";
    s.Cases.Respondents[0].Occupations[0].CodeName = s.Clf.MissingDataName;
    EXPECT_EQ(WriteError([&] { SaveWorkingFile(s); }), Path(".zda") + ": Permission denied");
    ::chmod(Dir().c_str(), 0755);
    EXPECT_EQ(ReadFileText(Path(".zda")), saved);
    EXPECT_EQ(Codes()[0], "9997");
}

// Found by fuzzing the parameters: a second #F line of another width and without a range kept
// the first line's range at the first width, so the filter compared values of two widths.
TEST(FuzzFindings, FilterDeclaredAgainWithAnotherWidthKeepsItsRangeAtTheNewWidth) {
    auto parse = [](const std::string& filters, std::vector<std::string>& errors) {
        CodingParams params;
        std::string report;
        const bool ok =
            ParseCodingParamsText("#R 1-6 'ID'\n#J ZAW 'Job'\n#I1 10-29 'Title'\n" + filters,
                                  "p.zpa", params, errors, report);
        return ok ? params : CodingParams{};
    };
    std::vector<std::string> errors;
    CodingParams wider = parse("#F 8 1-3\n#F 7-8\n", errors);
    ASSERT_EQ(wider.DokumList.size(), 1u);
    const TDokumZaw& d = wider.DokumList[0];
    EXPECT_EQ(d.FilterLow, "01");
    EXPECT_EQ(d.FilterHigh, "03");
    EXPECT_TRUE(IsApplicable(d, "000001 2 teacher"));
    EXPECT_TRUE(IsApplicable(d, "00000103 teacher"));
    EXPECT_FALSE(IsApplicable(d, "000001 4 teacher"));

    CodingParams narrower = parse("#F 7-8 01-03\n#F 8\n", errors);
    ASSERT_EQ(narrower.DokumList.size(), 1u);
    EXPECT_EQ(narrower.DokumList[0].FilterLow, "1");
    EXPECT_EQ(narrower.DokumList[0].FilterHigh, "3");
    EXPECT_TRUE(IsApplicable(narrower.DokumList[0], "00000102 teacher"));
    EXPECT_FALSE(IsApplicable(narrower.DokumList[0], "00000104 teacher"));

    EXPECT_TRUE(errors.empty());
    parse("#F 7-8 12\n#F 8\n", errors);
    EXPECT_EQ(errors, (std::vector<std::string>{" ", "*** Error in line 5 \"#F 8\":",
                                                "Filter range contains numbers out of filter "
                                                "field width"}));
}

// Files are read whole whatever their length, and so are those whose length the system does
// not know in advance.
TEST(ReadWholeFile, EveryLengthAndFilesOfNoKnownLength) {
    testing::TempFolder folder;
    std::mt19937 random(7);
    for (size_t length : {size_t{0}, size_t{1}, size_t{65535}, size_t{65536}, size_t{65537},
                          kMegabyte, kMegabyte + 1, 3 * kMegabyte + 7}) {
        std::string bytes(length, '\0');
        for (char& c : bytes) c = static_cast<char>(random());
        const std::string path = folder.Path('f' + std::to_string(length));
        WriteFile(path, bytes);
        EXPECT_EQ(ReadWholeFile(path), bytes) << length;
    }
    const std::string status = ReadWholeFile("/proc/self/status");
    EXPECT_EQ(status.rfind("Name:", 0), 0u);
    EXPECT_NE(status.find("\nPid:"), std::string::npos);
}

}  // namespace
}  // namespace tarnwick
