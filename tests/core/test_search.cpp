#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "coding_fixture.h"
#include "core/coding/category_lists.h"
#include "core/coding/search.h"

namespace tarnwick::testing {
namespace {

using Lines = std::vector<std::string>;

class SearchTest : public CodingTest {
  protected:
    SearchTest() {
        BuildCases({"111"});
        Go(0, 0);
    }

    Lines Shown() const { return s.View.PreselectedLines; }

    // The lines and the entries behind them agree.
    void ExpectEntriesMatchLines() {
        ASSERT_EQ(s.PreselectedEntries.size(), s.View.PreselectedLines.size());
        for (size_t j = 0; j < s.PreselectedEntries.size(); ++j) {
            EXPECT_EQ(PreselectedLine(s.Clf.Category(s.PreselectedEntries[j].Index)),
                      s.View.PreselectedLines[j]);
        }
    }
};

TEST_F(SearchTest, ShortOrUnknownWordsEmptyTheListAndSaySo) {
    SearchKeyWords(s, "fryzjer");
    ASSERT_EQ(Shown(), Lines{"5141 Hairdressers"});
    EXPECT_EQ(s.View.ListNote, "");
    SelectPreselectedLine(s, 0);
    // Nothing typed searches nothing.
    const int version = s.View.PreselectedVersion;
    for (const char* q : {"", "   "}) {
        SearchKeyWords(s, q);
        EXPECT_EQ(Shown(), Lines{"5141 Hairdressers"}) << q;
    }
    EXPECT_EQ(s.View.PreselectedVersion, version);
    EXPECT_EQ(s.SelectedCategory, kHairdressers);

    // A word that matches nothing leaves nothing to code, and says so.
    for (const std::string q : {"f", "fr", "FR", "frx", "xyz", "qwerty"}) {
        SearchKeyWords(s, "fryzjer");
        SelectPreselectedLine(s, 0);
        SearchKeyWords(s, " " + q);
        EXPECT_EQ(Shown(), Lines{}) << q;
        EXPECT_EQ(s.SelectedCategory, -1);
        EXPECT_EQ(s.View.ListNote, "No category matches \"" + q + "\"");
    }
    ExpectEntriesMatchLines();
    // A new case clears the note.
    Go(0, 1);
    EXPECT_EQ(s.View.ListNote, "");

    // A key of two letters is found typed exactly, but a word is never cut below three.
    AddKey("ab", {kDrivers});
    SearchKeyWords(s, "abx");
    EXPECT_EQ(Shown(), Lines{});
    SearchKeyWords(s, "ab");
    EXPECT_EQ(Shown(), Lines{"8322 Car drivers"});
    EXPECT_EQ(s.View.ListNote, "");
}

TEST_F(SearchTest, LongWordsAreShortenedToTheirLongestKnownBeginning) {
    // "kierownicy" shortens to "kierowni", a beginning of kierownik only.
    SearchKeyWords(s, "kierownicy");
    EXPECT_EQ(Shown(), (Lines{"1000 Managers", "1100 Senior officials"}));
    EXPECT_EQ(s.View.ListNote, "matched as KIEROWNI\x85");
    // "kierz" shortens to "kie", which both kierownik and kierowca begin with.
    SearchKeyWords(s, "kierz");
    EXPECT_EQ(Shown(), (Lines{"1000 Managers", "1100 Senior officials", "8322 Car drivers"}));
    SearchKeyWords(s, "  Lekarze  ");
    EXPECT_EQ(Shown(), (Lines{"2211 Physicians", "2212 Dentists"}));
    EXPECT_EQ(s.View.ListNote, "matched as LEKARZ\x85");
    SearchKeyWords(s, "lekarz");
    EXPECT_EQ(s.View.ListNote, "");
    ExpectEntriesMatchLines();
}

TEST_F(SearchTest, CodesAndTheirFirstThreeDigitsWorkAsKeyWords) {
    SearchKeyWords(s, "1111");
    EXPECT_EQ(Shown(), Lines{"1111 Members of parliament"});
    SearchKeyWords(s, "111");
    EXPECT_EQ(Shown(), (Lines{"1110 Legislators", "1111 Members of parliament"}));
    SearchKeyWords(s, "22");
    EXPECT_EQ(Shown(), Lines{});
    // A category with another category's code as a key word is found with it.
    AddKey("2211", {kDrivers});
    SearchKeyWords(s, "2211");
    EXPECT_EQ(Shown(), (Lines{"2211 Physicians", "8322 Car drivers"}));
}

TEST_F(SearchTest, LetterCaseDoesNotMatterPolishLettersIncluded) {
    SearchKeyWords(s, "pose\xb3");  // poseł
    EXPECT_EQ(Shown(), Lines{"1111 Members of parliament"});
    SearchKeyWords(s, "fryzjer");
    SearchKeyWords(s, "POSE\xa3");  // POSEŁ
    EXPECT_EQ(Shown(), Lines{"1111 Members of parliament"});
    SearchKeyWords(s,
                   "\xbf"
                   "o\xb3nierze");  // żołnierze: the first letter is Polish too
    EXPECT_EQ(Shown(), Lines{"1100 Senior officials"});
}

TEST_F(SearchTest, TwoWordsGiveTheCategoriesFoundByBoth) {
    SearchKeyWords(s, "lekarz dentysta");
    EXPECT_EQ(Shown(), Lines{"2212 Dentists"});
    SearchKeyWords(s, "lekarze dentysty");
    EXPECT_EQ(Shown(), Lines{"2212 Dentists"});
    EXPECT_EQ(s.View.ListNote, "matched as LEKARZ\x85 DENTYST\x85");
    // Either word not found, or nothing in common: an empty list that names both words.
    for (const char* q : {"lekarz xx", "xyz dentysta", "fryzjer lekarz"}) {
        SearchKeyWords(s, q);
        EXPECT_EQ(Shown(), Lines{}) << q;
        EXPECT_EQ(s.View.ListNote, std::string("No category matches \"") + q + "\"");
    }
    ExpectEntriesMatchLines();
}

TEST_F(SearchTest, AFindingRunClearsTheSelectionAndBringsThePreselectedPage) {
    SelectFullListLine(s, kDrivers);
    ShowCategoryTab(s, CategoryTab::Full, kFullListVisibleLines);
    ASSERT_EQ(s.View.FullDescription, "Drive cars.");
    SearchKeyWords(s, "lekarz");
    EXPECT_EQ(s.SelectedCategory, -1);
    EXPECT_EQ(s.View.FullSelected, -1);
    EXPECT_EQ(s.View.PreselectedSelected, -1);
    EXPECT_EQ(s.View.FullDescription, "");
    EXPECT_EQ(s.View.PreselectedDescription, "");
    EXPECT_EQ(s.View.ActiveTab, CategoryTab::Preselected);
}

TEST_F(SearchTest, KeyWordBoxesAndTheSecondWordSwitch) {
    SetFirstKeyWord(s, "lekarz");
    EXPECT_EQ(Shown(), (Lines{"2211 Physicians", "2212 Dentists"}));
    // Emptying the first box runs no search.
    SetFirstKeyWord(s, "");
    EXPECT_EQ(Shown(), (Lines{"2211 Physicians", "2212 Dentists"}));
    SetFirstKeyWord(s, "lekarz");

    // Checking "2nd" alone changes no list; the second word narrows it.
    const int version = s.View.PreselectedVersion;
    UseSecondKeyWord(s, true);
    EXPECT_FALSE(s.View.Key1Enabled);
    EXPECT_TRUE(s.View.Key2Enabled);
    EXPECT_EQ(s.View.PreselectedVersion, version);
    SetFirstKeyWord(s, "fryzjer");  // the first box is frozen
    EXPECT_EQ(s.View.Key1, "lekarz");
    SetSecondKeyWord(s, "dent");
    EXPECT_EQ(Shown(), Lines{"2212 Dentists"});

    // Unchecking brings back the first word's result and clears the second box.
    UseSecondKeyWord(s, false);
    EXPECT_EQ(Shown(), (Lines{"2211 Physicians", "2212 Dentists"}));
    EXPECT_EQ(s.View.Key2, "");
    EXPECT_FALSE(s.View.Key2Enabled);
    SetSecondKeyWord(s, "dent");  // disabled now
    EXPECT_EQ(Shown(), (Lines{"2211 Physicians", "2212 Dentists"}));
}

TEST_F(SearchTest, SelectedTextSearchesAsTyped) {
    // Two words selected with "2nd" off: first and second word.
    SearchSelectedText(s, "  Lekarz dentysta \r\n");
    EXPECT_EQ(s.View.Key1, "Lekarz dentysta");
    EXPECT_EQ(Shown(), Lines{"2212 Dentists"});

    // With "2nd" on the selection goes to the second box.
    SetFirstKeyWord(s, "lekarz");
    UseSecondKeyWord(s, true);
    SearchSelectedText(s, "dentysta");
    EXPECT_EQ(s.View.Key1, "lekarz");
    EXPECT_EQ(s.View.Key2, "dentysta");
    EXPECT_EQ(Shown(), Lines{"2212 Dentists"});

    // A click without selection empties the box and leaves the list.
    SearchSelectedText(s, "");
    EXPECT_EQ(s.View.Key2, "");
    EXPECT_EQ(Shown(), Lines{"2212 Dentists"});
    UseSecondKeyWord(s, false);
    SearchSelectedText(s, " ");
    EXPECT_EQ(s.View.Key1, "");
    EXPECT_EQ(Shown(), (Lines{"2211 Physicians", "2212 Dentists"}));
}

}  // namespace
}  // namespace tarnwick::testing
