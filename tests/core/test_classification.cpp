#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/classification/model.h"
#include "core/classification/scales.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/notepad.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/strings.h"
#include "project_fixture.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

using Lines = std::vector<std::string>;

const char* const kPath = "/p/vkt.clf";
const char* const kHeading = "Errors detected during opening the classification file '/p/vkt.clf'";

// A fault-free classification: a title, every basic code of the scales table with a name and,
// when of the lowest level, a description, then 'missing data' 9998 and 'not applicable' 9999.
Lines ValidLines() {
    std::vector<std::string> codes = BuiltInScaleCodes();
    codes.push_back("9998");
    codes.push_back("9999");
    Lines lines = {"Test classification"};
    for (size_t i = 0; i < codes.size(); ++i) {
        const std::string& c = codes[i];
        lines.push_back((c == "9998" ? "#CM " : c == "9999" ? "#CN " : "#C ") + c);
        lines.push_back("#N Name " + c);
        if (i + 1 == codes.size() || !IsSubordinate(c, codes[i + 1])) {
            lines.push_back("#D Work " + c);
        }
    }
    return lines;
}

std::string Join(const Lines& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

struct Loaded {
    bool ok = false;
    int width = 4;
    Classification clf;
    Lines page;

    // The error page without its heading.
    Lines Faults() const { return page.empty() ? Lines{} : Lines(page.begin() + 1, page.end()); }
    const TKat& Cat(const std::string& code) const { return clf.Category(clf.IndexOf(code)); }
    // The category codes a key finds, in entry order; empty when the key is not in the index.
    Lines KeyCodes(const std::string& key) const {
        Lines out;
        const int k = clf.KeyWords.Find(key);
        if (k < 0) return out;
        for (const TIndeks& e : clf.KeyWords[k].Entries) out.push_back(clf.Category(e.Index).Code);
        return out;
    }
};

Loaded Load(const Lines& lines, int width = 4) {
    Loaded r;
    r.width = width;
    r.ok = LoadClassificationText(Join(lines), kPath, r.width, r.clf, r.page);
    return r;
}

// Index of the line that equals `text`.
size_t LineOf(const Lines& lines, const std::string& text) {
    auto it = std::find(lines.begin(), lines.end(), text);
    EXPECT_NE(it, lines.end()) << text;
    return static_cast<size_t>(it - lines.begin());
}

Lines LineFault(size_t number, const std::string& line, const std::string& text) {
    const std::string n = std::to_string(number);
    return {" ", "*** Error in line " + n + text, "     Line(" + n + ")='" + line + "'"};
}

Lines CategoryFault(const std::string& code, const std::string& text) {
    return {" ", "*** Error in category " + code + text};
}

Lines Concat(std::initializer_list<Lines> parts) {
    Lines out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// Lines appended after the last category (9999): their numbers follow the valid text.
Loaded LoadWithTail(const Lines& tail) {
    Lines lines = ValidLines();
    lines.insert(lines.end(), tail.begin(), tail.end());
    return Load(lines);
}

TEST(ClassificationLoad, ValidTextBuildsTheModel) {
    const Loaded r = Load(ValidLines());
    ASSERT_TRUE(r.ok) << (r.page.size() > 2 ? r.page[2] : "");
    EXPECT_TRUE(r.page.empty());
    EXPECT_EQ(r.clf.Count(), 373);
    EXPECT_EQ(r.clf.MissingDataCode, "9998");
    EXPECT_EQ(r.clf.MissingDataName, "Name 9998");
    EXPECT_EQ(r.clf.NotApplicableCode, "9999");
    EXPECT_EQ(r.clf.NotApplicableName, "Name 9999");
    EXPECT_EQ(r.clf.ScaleTable.Count(), 371);
    for (const auto& row : r.clf.ScaleTable) EXPECT_TRUE(row.value.Defined) << row.key;
    ASSERT_EQ(r.clf.FullListLines.size(), 373u);
    EXPECT_EQ(r.clf.FullListLines[0], "0000: Name 0000");
    EXPECT_EQ(r.clf.FullListLines[r.clf.IndexOf("1112")], "      1112: Name 1112");
    EXPECT_EQ(r.Cat("1100").ListText, "  1100: Name 1100");
    // Every category is found by its code and the code's first three digits.
    EXPECT_EQ(r.KeyCodes("1112"), Lines{"1112"});
    EXPECT_EQ(r.KeyCodes("111"),
              (Lines{"1110", "1112", "1113", "1114", "1115", "1116", "1117", "1118", "1119"}));
    EXPECT_EQ(r.KeyCodes("11"), Lines{});
}

TEST(ClassificationLoad, LevelsAndLowestCategories) {
    EXPECT_EQ(TKat("0000", 4).Level, 1);
    EXPECT_EQ(TKat("1000", 4).Level, 1);
    EXPECT_EQ(TKat("1100", 4).Level, 2);
    EXPECT_EQ(TKat("1110", 4).Level, 3);
    EXPECT_EQ(TKat("1112", 4).Level, 4);
    EXPECT_EQ(TKat("1002", 4).Level, 4);
    EXPECT_EQ(TKat("1112", 4).ListText, "      1112");
    EXPECT_TRUE(TKat("1112", 4).IsLowest);

    const Loaded r = Load(ValidLines());
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.Cat("0000").IsLowest);
    EXPECT_FALSE(r.Cat("1000").IsLowest);
    EXPECT_FALSE(r.Cat("1100").IsLowest);
    EXPECT_FALSE(r.Cat("1110").IsLowest);
    EXPECT_TRUE(r.Cat("1112").IsLowest);
    EXPECT_TRUE(r.Cat("9999").IsLowest);  // the last one
    EXPECT_TRUE(r.Cat("1112").Description == "Work 1112");
    EXPECT_TRUE(r.Cat("1110").Description.empty());
}

TEST(ClassificationLoad, Subordination) {
    EXPECT_TRUE(IsSubordinate("1000", "1999"));
    EXPECT_TRUE(IsSubordinate("1100", "1110"));
    EXPECT_TRUE(IsSubordinate("1110", "1112"));
    EXPECT_FALSE(IsSubordinate("1110", "1120"));
    EXPECT_FALSE(IsSubordinate("1000", "2000"));
    EXPECT_TRUE(IsSubordinate("0000", "1000"));  // 0000 contains every code
    EXPECT_FALSE(IsSubordinate("1112", "1113"));
}

TEST(ClassificationLoad, BlankPunctuationKeepsLength) {
    EXPECT_EQ(BlankPunctuation("a.b,c:d;e?f\\g(h)i\"j!k@l#m$n%o*p+q=r"),
              "a b c d e f g h i j k l m n o p q r");
    EXPECT_EQ(BlankPunctuation("a-b/c'd&e[f]{g}"), "a-b/c'd&e[f]{g}");
}

TEST(ClassificationLoad, CodeLineFaults) {
    const size_t n = ValidLines().size();
    const Loaded r = LoadWithTail({"#C", "#cm", "#C 123", "#C 1000 x", "#C 12a4", "#C 9999",
                                   "#N Again", "#C 5555", "#D Out of order"});
    EXPECT_FALSE(r.ok);
    ASSERT_FALSE(r.page.empty());
    EXPECT_EQ(r.page[0], kHeading);
    EXPECT_EQ(
        r.Faults(),
        Concat({LineFault(n + 1, "#C", ": a category code missing."),
                LineFault(n + 2, "#cm", ": a category code missing."),
                LineFault(n + 3, "#C 123", ": length of a code differs from 4."),
                LineFault(n + 4, "#C 1000 x", ": length of a code differs from 4."),
                LineFault(n + 5, "#C 12a4", ": a code contains characters other than digits."),
                LineFault(n + 6, "#C 9999", ": repeated initialization of 9999 category."),
                LineFault(n + 7, "#N Again", ": repeated name definition in 9999 category"),
                LineFault(n + 8, "#C 5555",
                          ": a category code not in proper ordering of all categories "
                          "codes.")}));
    // A rejected or out-of-order category leaves the output empty.
    EXPECT_EQ(r.clf.Count(), 0);
    EXPECT_TRUE(r.clf.FullListLines.empty());
}

TEST(ClassificationLoad, FieldLineFaults) {
    Lines lines = ValidLines();
    lines.insert(lines.begin() + 1, {"#N Orphan", "#S Orphan", "#D Orphan"});
    const size_t n = lines.size();
    lines.insert(lines.end(), {"#N", "#S =", "#D  = =", "#S Short", "#S Again", "#D Again"});
    const Loaded r = Load(lines);
    EXPECT_EQ(
        r.Faults(),
        Concat({LineFault(2, "#N Orphan",
                          ": a name definition requires an initialization of the category before."),
                LineFault(3, "#S Orphan",
                          ": a short label requires an initialization of the category before."),
                LineFault(4, "#D Orphan",
                          ": a category description requires an initialization of the category "
                          "before."),
                LineFault(n + 1, "#N", ": an empty name of category."),
                LineFault(n + 2, "#S =", ": an empty short label of category."),
                LineFault(n + 3, "#D  = =", ": an empty description of category."),
                LineFault(n + 5, "#S Again", ": repeated short label definition in 9999 category"),
                LineFault(n + 6, "#D Again",
                          ": repeated starting line of the category description in 9999 "
                          "category")}));
}

TEST(ClassificationLoad, FieldsAfterARejectedCodeGoToThePreviousCategory) {
    const size_t n = ValidLines().size();
    const Loaded r = LoadWithTail({"#C 99x9", "#N Other"});
    EXPECT_EQ(
        r.Faults(),
        Concat({LineFault(n + 1, "#C 99x9", ": a code contains characters other than digits."),
                LineFault(n + 2, "#N Other", ": repeated name definition in 9999 category")}));
}

TEST(ClassificationLoad, CategoryAndFileFaults) {
    Lines lines = ValidLines();
    lines[LineOf(lines, "#CN 9999")] = "#CM 9999";               // two 'missing data', no 'n.a.'
    lines.erase(lines.begin() + LineOf(lines, "#D Work 1113"));  // lowest without description
    lines.insert(lines.begin() + LineOf(lines, "#N Name 1110") + 1, "#D Not here");
    const size_t c1115 = LineOf(lines, "#C 1115");
    lines.erase(lines.begin() + c1115, lines.begin() + c1115 + 3);  // a basic category missing
    lines[LineOf(lines, "#D Work 1116")] = "#D [] and [ok]";
    lines[LineOf(lines, "#D Work 1117")] = "#D a ] b [c]";
    lines[LineOf(lines, "#D Work 1118")] = "#D [open";
    lines[LineOf(lines, "#D Work 1119")] = "#D {}";
    lines[LineOf(lines, "#D Work 1121")] = "#D } {x}";
    lines[LineOf(lines, "#D Work 1122")] = "#D {open";
    const Loaded r = Load(lines);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(
        r.Faults(),
        Concat({CategoryFault("9999", ": repeated declaration of standard 'missing data' code"),
                {" ",
                 "*** Error in classification file: no category declared as a standard 'not "
                 "applicable' code"},
                CategoryFault(
                    "1110",
                    ": a description available for category which is not the lowest level one"),
                CategoryFault("1113", ": a description is missing for the lowest level category"),
                {" ", "*** Definition of a basic VKT-2009 category 1115 is missing"},
                CategoryFault("1116",
                              ": square brackets [ ] in category description do not "
                              "follow the required patterns"),
                CategoryFault("1117",
                              ": square brackets [ ] in category description do not "
                              "follow the required patterns"),
                CategoryFault("1118",
                              ": square brackets [ ] in category description do not "
                              "follow the required patterns"),
                CategoryFault("1119",
                              ": parentheses { } in category description do not follow "
                              "the required patterns"),
                CategoryFault("1121",
                              ": parentheses { } in category description do not follow "
                              "the required patterns"),
                CategoryFault("1122",
                              ": parentheses { } in category description do not follow "
                              "the required patterns")}));
}

TEST(ClassificationLoad, NoStandardCategoriesAndAnEmptyFile) {
    Lines lines = ValidLines();
    lines[LineOf(lines, "#CM 9998")] = "#C M9998";  // a blank before M: an ordinary category
    lines[LineOf(lines, "#CN 9999")] = "#C 9999";
    const Loaded r = Load(lines);
    EXPECT_EQ(r.Faults(), (Lines{" ",
                                 "*** Error in classification file: no category declared as a "
                                 "standard 'missing data' code",
                                 " ",
                                 "*** Error in classification file: no category declared as a "
                                 "standard 'not applicable' code"}));

    const Loaded empty = Load({"Only a title", "#C"});  // "#C" alone stays in the preamble
    EXPECT_FALSE(empty.ok);
    ASSERT_EQ(empty.Faults().size(), 4u + 2u * 371u);
    EXPECT_EQ(empty.Faults()[5], "*** Definition of a basic VKT-2009 category 0000 is missing");
}

TEST(ClassificationLoad, FailureAppendsToThePage) {
    Loaded r;
    r.page = {"earlier line"};
    EXPECT_FALSE(LoadClassificationText(Join({"#C 1234", "#N x"}), kPath, r.width, r.clf, r.page));
    ASSERT_GE(r.page.size(), 2u);
    EXPECT_EQ(r.page[0], "earlier line");
    EXPECT_EQ(r.page[1], kHeading);
    EXPECT_EQ(r.clf.Count(), 0);
}

TEST(ClassificationLoad, WidthFromTheFirstCode) {
    const Loaded twoDigits = Load({"#C 10", "#N Ten", "#C 11", "#D x", "#C 123"}, 0);
    EXPECT_FALSE(twoDigits.ok);
    EXPECT_EQ(Lines(twoDigits.page.begin() + 1, twoDigits.page.begin() + 4),
              LineFault(5, "#C 123", ": length of a code differs from 2."));
    EXPECT_EQ(twoDigits.width, 0);  // a rejected file does not fix the width

    const Loaded valid = Load(ValidLines(), 0);
    EXPECT_TRUE(valid.ok);
    EXPECT_EQ(valid.width, 4);
}

TEST(ClassificationLoad, MarkersContinuationAndPreamble) {
    Lines lines = ValidLines();
    lines.insert(lines.begin() + 1, {"#C", "##", "", "#", "free text"});  // still the preamble
    const size_t at = LineOf(lines, "#C 1112");
    lines.erase(lines.begin() + static_cast<long>(at), lines.begin() + static_cast<long>(at) + 3);
    lines.insert(lines.begin() + static_cast<long>(at),
                 {"  #c 1112  ", "#n= Physicists", "", "  and  astronomers ", "#x-ray people",
                  "#s  Physicists", "#d First line", "\tsecond line", "", "#C", "after a fault"});
    const Loaded r = Load(lines);
    EXPECT_EQ(r.Faults(), LineFault(at + 10, "#C", ": a category code missing."));

    // Without the faulty marker the last line continues the description.
    lines.erase(lines.begin() + static_cast<long>(at) + 9);
    const Loaded ok = Load(lines);
    ASSERT_TRUE(ok.ok) << (ok.page.size() > 2 ? ok.page[2] : "");
    const TKat& k = ok.Cat("1112");
    EXPECT_EQ(k.Name, "Physicists and  astronomers #x-ray people");
    EXPECT_EQ(k.ShortLabel, "Physicists");
    EXPECT_EQ(k.Description, "First line second line after a fault");
    EXPECT_EQ(ok.clf.FullListLines[ok.clf.IndexOf("1112")],
              "      1112: Physicists and  astronomers #x-ray people");
}

TEST(ClassificationLoad, ContinuationAfterAFaultyMarkerIsDropped) {
    Lines lines = ValidLines();
    const size_t at = LineOf(lines, "#D Work 1112");
    lines.insert(lines.begin() + at + 1, {"#N Again", "lost text"});
    const Loaded r = Load(lines);
    EXPECT_EQ(r.Faults(),
              LineFault(at + 2, "#N Again", ": repeated name definition in 1112 category"));
    lines.erase(lines.begin() + at + 1);
    const Loaded ok = Load(lines);
    ASSERT_TRUE(ok.ok);
    EXPECT_EQ(ok.Cat("1112").Description, "Work 1112 lost text");
}

TEST(ClassificationLoad, StandardCategoriesAnywhere) {
    Lines lines = ValidLines();
    lines[LineOf(lines, "#C 0000")] = "#CM 0000";
    lines[LineOf(lines, "#CM 9998")] = "#C 9998";
    lines[LineOf(lines, "#C 1112")] = "#Cn1112";
    lines[LineOf(lines, "#CN 9999")] = "#C 9999";
    const Loaded r = Load(lines);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.clf.MissingDataCode, "0000");
    EXPECT_EQ(r.clf.NotApplicableCode, "1112");
    EXPECT_TRUE(r.Cat("0000").IsMissingData);
    EXPECT_FALSE(r.Cat("9998").IsMissingData);
}

TEST(ClassificationLoad, KeyWordsAndDisplayForm) {
    Lines lines = ValidLines();
    lines[LineOf(lines, "#D Work 1112")] =
        "#D Makes [Bread] and {hidden [Bun]} [St. Mary] [ab] {[p\xB3"
        "atnik]} x ]";
    lines[LineOf(lines, "#D Work 1113")] = "#D [bread] [BREAD] [1114]";
    lines[LineOf(lines, "#D Work 1114")] = "#D a  [ b ]  c {x}";
    const Loaded r = Load(lines);
    ASSERT_TRUE(r.ok) << (r.page.size() > 2 ? r.page[2] : "");

    EXPECT_EQ(r.KeyCodes("BREAD"), (Lines{"1112", "1113", "1113"}));
    EXPECT_EQ(r.KeyCodes("BREA"), (Lines{"1112", "1113", "1113"}));
    EXPECT_EQ(r.KeyCodes("BRE"), (Lines{"1112", "1113", "1113"}));
    EXPECT_EQ(r.KeyCodes("bread"), (Lines{"1112", "1113", "1113"}));  // found in any case
    EXPECT_EQ(r.KeyCodes("BR"), Lines{});
    EXPECT_EQ(r.KeyCodes("BUN"), Lines{"1112"});
    EXPECT_EQ(r.KeyCodes("ST  MARY"), Lines{"1112"});  // the dot became a blank
    EXPECT_EQ(r.KeyCodes("ST "), Lines{"1112"});
    EXPECT_EQ(r.KeyCodes("AB"), Lines{});
    EXPECT_EQ(r.KeyCodes("P\xA3"
                         "ATNIK"),
              Lines{"1112"});  // Polish letters upper-cased
    EXPECT_EQ(r.KeyCodes("p\xB3"
                         "at"),
              Lines{"1112"});
    // Text keys come before code keys.
    EXPECT_EQ(r.KeyCodes("1114"), (Lines{"1113", "1114"}));
    EXPECT_EQ(r.KeyCodes(" B "), Lines{"1114"});

    EXPECT_EQ(r.Cat("1112").Description, "Makes Bread and St. Mary ab x ");
    EXPECT_EQ(r.Cat("1113").Description, "bread BREAD 1114");
    EXPECT_EQ(r.Cat("1114").Description, "a b c ");

    for (const auto& e : r.clf.KeyWords) {
        EXPECT_GE(e.key.size(), 3u);
        EXPECT_EQ(e.key, e.value.Key);
        EXPECT_EQ(e.key, UpperCase1250(e.key));
    }
    for (int i = 1; i < r.clf.KeyWords.Count(); ++i) {
        EXPECT_LT(CompareNoCase(r.clf.KeyWords.Key(i - 1), r.clf.KeyWords.Key(i)), 0);
    }
}

TEST(ClassificationLoad, NestedBracketsAndBraces) {
    Lines lines = ValidLines();
    // The first "]" closes the first "[", both are removed, and the next pair is looked for in
    // what is left.
    lines[LineOf(lines, "#D Work 1112")] = "#D [abc[def]ghi]";
    // The first "}" ends the braced part; the rest stays.
    lines[LineOf(lines, "#D Work 1113")] = "#D x {a{b} c} y";
    const Loaded r = Load(lines);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.KeyCodes("ABC[DEF"), Lines{"1112"});
    EXPECT_EQ(r.KeyCodes("DEFGHI"), Lines{"1112"});
    EXPECT_EQ(r.Cat("1112").Description, "abcdefghi");
    EXPECT_EQ(r.Cat("1113").Description, "x c} y");
}

TEST(ClassificationLoad, HugeDescriptionsStayBounded) {
    Lines lines = ValidLines();
    std::string big = "#D [" + std::string(100000, 'q') + "]";
    for (int i = 0; i < 50000; ++i) big += " {x}[ab]";
    lines[LineOf(lines, "#D Work 1112")] = big;
    const Loaded r = Load(lines);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.KeyCodes(std::string(255, 'Q')), Lines{"1112"});
    EXPECT_EQ(r.KeyCodes(std::string(256, 'Q')), Lines{});
    EXPECT_EQ(r.Cat("1112").Description.size(), 100000u + 50000u * 3u);
}

TEST(ClassificationLoad, BinaryInputIsReportedNotFatal) {
    std::string junk;
    for (int i = 0; i < 20000; ++i) junk += static_cast<char>((i * 7919) % 256);
    int width = 4;
    Classification clf;
    Lines page;
    EXPECT_FALSE(LoadClassificationText(junk, kPath, width, clf, page));
    ASSERT_FALSE(page.empty());
    EXPECT_EQ(page[0], kHeading);
}

TEST(ClassificationLoad, SessionStep) {
    const testing::TempFolder folder;
    const std::string good = folder.Path("good.clf");
    const std::string bad = folder.Path("bad.clf");
    WriteFileAtomic(good, Join(ValidLines()));
    WriteFileAtomic(bad, Join({"Title", "#C 0000", "#N x"}));

    ScriptedPlatform platform;
    Session session(platform);
    session.Params.CodeWidth = 4;
    session.ErrorLines = {"from before"};
    EXPECT_FALSE(LoadClassification(session, bad));
    EXPECT_EQ(session.ErrorLines[0], "from before");
    EXPECT_EQ(session.ErrorLines[1],
              "Errors detected during opening the classification file '" + bad + "'");
    EXPECT_EQ(session.Clf.Count(), 0);

    EXPECT_TRUE(LoadClassification(session, good));
    EXPECT_EQ(session.Clf.Count(), 373);
    EXPECT_EQ(session.Clf.FullListLines.size(), 373u);

    EXPECT_THROW(LoadClassification(session, folder.Path("missing.clf")), IoError);
    EXPECT_EQ(session.Clf.Count(), 373);  // what was loaded stays
}

// --- The demo classification -------------------------------------------------------------

std::string DemoPath(const char* name) { return std::string(TARNWICK_DEMO) + "/" + name; }

Loaded LoadDemo() {
    Loaded r;
    r.ok = LoadClassificationText(ReadWholeFile(DemoPath("demo.clf")), "demo.clf", r.width, r.clf,
                                  r.page);
    return r;
}

// The categories that one or two typed words find, as the key-word search does: each word is
// shortened until some key begins the same way, and with two words both must find a category.
Lines Search(const Loaded& r, const std::string& query) {
    auto find = [&](std::string w) {
        w = UpperCase1250(w);
        int k = r.clf.KeyWords.Find(w);
        while (k < 0 && w.size() > 3) {
            w.pop_back();
            k = r.clf.KeyWords.Find(w);
        }
        return k;
    };
    const std::string q(Trim(query));
    const size_t blank = q.find(' ');
    const int k1 = find(std::string(Trim(q.substr(0, blank))));
    const int k2 = blank == std::string::npos ? -1 : find(std::string(Trim(q.substr(blank + 1))));
    std::vector<int> hits;
    if (k1 >= 0) {
        for (const TIndeks& e : r.clf.KeyWords[k1].Entries) hits.push_back(e.Index);
    }
    if (k2 >= 0) {
        std::vector<int> both;
        for (const TIndeks& e : r.clf.KeyWords[k2].Entries) {
            if (std::find(hits.begin(), hits.end(), e.Index) != hits.end()) both.push_back(e.Index);
        }
        hits = both;
    }
    Lines codes;
    for (int i : hits) codes.push_back(r.clf.Category(i).Code);
    return codes;
}

TEST(DemoClassification, LoadsWithoutFaults) {
    const Loaded r = LoadDemo();
    ASSERT_TRUE(r.ok) << (r.page.size() > 2 ? r.page[2] + " / " + r.page.back() : "");
    EXPECT_GE(r.clf.Count(), 600);
    EXPECT_GE(r.clf.KeyWords.Count(), 3000);
    EXPECT_FALSE(r.clf.MissingDataCode.empty());
    EXPECT_FALSE(r.clf.NotApplicableCode.empty());
    // Polish key words are in the index in their upper-case form.
    EXPECT_GE(r.clf.KeyWords.Find("PIEL\xCAGNIARKA"), 0);
    for (const auto& row : r.clf.ScaleTable) EXPECT_TRUE(row.value.Defined) << row.key;
}

TEST(DemoClassification, ListedJobTitlesFindTheirCodes) {
    const Loaded r = LoadDemo();
    ASSERT_TRUE(r.ok);
    std::istringstream in(ReadWholeFile(DemoPath("KEYWORDS.txt")));
    std::string line;
    int titles = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string code = line.substr(0, tab);
        const std::string title = line.substr(tab + 1);
        ASSERT_GE(r.clf.IndexOf(code), 0) << line;
        EXPECT_TRUE(r.Cat(code).IsLowest) << line;
        const Lines found = Search(r, title);
        EXPECT_NE(std::find(found.begin(), found.end(), code), found.end()) << line;
        ++titles;
    }
    EXPECT_GE(titles, 60);
}

}  // namespace
}  // namespace tarnwick
