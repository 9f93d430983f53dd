#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "coding_fixture.h"
#include "core/coding/navigation.h"
#include "core/coding/search.h"

namespace tarnwick::testing {
namespace {

using Messages = std::vector<std::string>;

// Records 1 and 4 have nothing to code; the others have cases in scattered fields.
class NavigationTest : public CodingTest {
  protected:
    NavigationTest() { BuildCases({"101", "000", "010", "110", "000", "001"}); }

    // Walks with `move` until it refuses; the cases reached, then the refusal's messages.
    std::vector<std::pair<int, int>> Walk(bool (*move)(Session&)) {
        std::vector<std::pair<int, int>> seen;
        while (move(s)) seen.emplace_back(s.CurrentRecord, s.CurrentField);
        return seen;
    }
};

using Cases = std::vector<std::pair<int, int>>;

TEST_F(NavigationTest, ShowCurrentCaseFillsThePageFromTheCase) {
    SetCode(0, 0, kPhysicians);
    Go(0, 0);
    const CodingView& v = s.View;
    EXPECT_EQ(v.OccupationCaption, "Main job");
    EXPECT_EQ(v.CodeText, "2211");
    EXPECT_EQ(v.LabelText, "Physicians");
    EXPECT_TRUE(v.Info[1].Visible);
    EXPECT_EQ(v.Info[1].Caption, "Occupation");
    EXPECT_EQ(v.Info[1].Text, Pad("job 0.0"));
    EXPECT_TRUE(v.Info[2].Visible);
    EXPECT_EQ(v.Info[2].Caption, "Tasks");
    for (int n = 3; n <= 13; ++n) EXPECT_FALSE(v.Info[static_cast<size_t>(n)].Visible) << n;
    EXPECT_EQ(v.SelectorSelected, 0);

    Go(3, 2);
    EXPECT_EQ(v.OccupationCaption, "Father's job");
    EXPECT_EQ(v.Info[1].Text, Pad("job 3.2"));
    EXPECT_FALSE(v.Info[2].Visible);
    EXPECT_EQ(v.SelectorSelected, 2);  // records 0, 2, 3, 5 are listed
    EXPECT_EQ(v.CodeText, "9998");     // not to be coded: the not-applicable code from reading
    EXPECT_EQ(v.LabelText, "Not applicable");
}

TEST_F(NavigationTest, ShowCurrentCaseResetsKeyWordsAndCategoryPanel) {
    SetFirstKeyWord(s, "lekarz");
    UseSecondKeyWord(s, true);
    SetSecondKeyWord(s, "dent");
    ASSERT_FALSE(s.View.PreselectedLines.empty());
    s.SelectedCategory = kDentists;
    s.View.ActiveTab = CategoryTab::Full;
    const int version = s.View.PreselectedVersion;

    Go(2, 1);
    const CodingView& v = s.View;
    EXPECT_EQ(v.Key1, "");
    EXPECT_TRUE(v.Key1Enabled);
    EXPECT_FALSE(v.SecondKeyOn);
    EXPECT_EQ(v.Key2, "");
    EXPECT_FALSE(v.Key2Enabled);
    EXPECT_EQ(v.ActiveTab, CategoryTab::Preselected);
    EXPECT_TRUE(v.PreselectedLines.empty());
    EXPECT_TRUE(s.PreselectedEntries.empty());
    EXPECT_NE(v.PreselectedVersion, version);
    EXPECT_EQ(v.FullSelected, -1);
    EXPECT_EQ(s.SelectedCategory, -1);
}

TEST_F(NavigationTest, GoToFirstNotCodedSkipsCodedAndNotToBeCodedCases) {
    SetCode(0, 0, kPhysicians);
    Go(5, 2);
    EXPECT_TRUE(GoToFirstNotCoded(s));
    ExpectAt(0, 2);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(NavigationTest, GoToFirstNotCodedWithAllCodedShowsFirstCaseToCodeAndSaysSo) {
    for (auto [r, f] : Cases{{0, 0}, {0, 2}, {2, 1}, {3, 0}, {3, 1}, {5, 2}})
        SetCode(r, f, kDentists);
    Go(5, 2);
    EXPECT_FALSE(GoToFirstNotCoded(s));
    ExpectAt(0, 0);
    EXPECT_EQ(s.View.CodeText, "2212");
    EXPECT_EQ(TakeMessages(), Messages{"All cases are already coded"});
}

TEST_F(NavigationTest, NextNotCodedGoesOnFromTheStartUpToTheCurrentCase) {
    SetCode(0, 0, kDentists);
    Go(0, 0);
    EXPECT_TRUE(NextNotCoded(s));
    ExpectAt(0, 2);
    SetCode(0, 2, kDentists);
    SetCode(3, 0, kDentists);
    SetCode(3, 1, kDentists);
    SetCode(5, 2, kDentists);
    // Only (2, 1) is left, before and after: from (3, 1) the walk reaches it round the end.
    Go(3, 1);
    EXPECT_TRUE(NextNotCoded(s));
    ExpectAt(2, 1);
    EXPECT_TRUE(TakeMessages().empty());

    // The current case is the only one without code: it is found last.
    EXPECT_TRUE(NextNotCoded(s));
    ExpectAt(2, 1);
    SetCode(2, 1, kDentists);
    EXPECT_FALSE(NextNotCoded(s));
    ExpectAt(2, 1);
    EXPECT_EQ(TakeMessages(), Messages{"All cases are already coded"});
}

TEST_F(NavigationTest, NextNotCodedInFieldKeepsTheFieldAndStopsAtTheEnd) {
    Go(0, 0);
    EXPECT_TRUE(NextNotCodedInField(s));
    ExpectAt(3, 0);
    EXPECT_FALSE(NextNotCodedInField(s));
    ExpectAt(3, 0);
    EXPECT_EQ(TakeMessages(), Messages{"No further cases within this field are not-coded"});
    // Coded cases in the field are passed over; no going round.
    SetCode(5, 2, kDentists);
    Go(0, 2);
    EXPECT_FALSE(NextNotCodedInField(s));
    ExpectAt(0, 2);
}

TEST_F(NavigationTest, OccupationMovesSkipCasesNotToBeCoded) {
    SetCode(2, 1, kDentists);  // coded or not does not matter
    Go(0, 0);
    EXPECT_EQ(Walk(NextOccupation), (Cases{{0, 2}, {2, 1}, {3, 0}, {3, 1}, {5, 2}}));
    ExpectAt(5, 2);
    EXPECT_EQ(TakeMessages(), Messages{"This is the last occupation in data file"});
    EXPECT_EQ(Walk(PreviousOccupation), (Cases{{3, 1}, {3, 0}, {2, 1}, {0, 2}, {0, 0}}));
    ExpectAt(0, 0);
    EXPECT_EQ(TakeMessages(), Messages{"This is the first occupation in data file"});
}

TEST_F(NavigationTest, OccupationMovesStepThroughEveryCaseWithNotApplicableShown) {
    SetShowNotApplicable(s, true);
    Go(4, 1);
    EXPECT_TRUE(NextOccupation(s));
    ExpectAt(4, 2);
    EXPECT_TRUE(NextOccupation(s));
    ExpectAt(5, 0);
    EXPECT_EQ(s.View.CodeText, "9998");
    EXPECT_EQ(s.View.LabelText, "Not applicable");
    EXPECT_TRUE(PreviousOccupation(s));
    ExpectAt(4, 2);
    Go(0, 0);
    EXPECT_FALSE(PreviousOccupation(s));
    Go(5, 2);
    EXPECT_FALSE(NextOccupation(s));
    EXPECT_EQ(TakeMessages(), (Messages{"This is the first occupation in data file",
                                        "This is the last occupation in data file"}));
}

TEST_F(NavigationTest, RecordMovesStopAtTheLastRecordReachableInTheField) {
    Go(0, 0);
    EXPECT_EQ(Walk(NextRecord), (Cases{{3, 0}}));
    // Record 5 still has a case to code, in another field.
    ExpectAt(3, 0);
    EXPECT_EQ(TakeMessages(), Messages{"This is the last data record in data file"});
    EXPECT_EQ(Walk(PreviousRecord), (Cases{{0, 0}}));
    EXPECT_EQ(TakeMessages(), Messages{"This is the first data record in data file"});

    Go(0, 2);
    EXPECT_EQ(Walk(NextRecord), (Cases{{5, 2}}));
    EXPECT_EQ(Walk(PreviousRecord), (Cases{{0, 2}}));
}

TEST_F(NavigationTest, RecordMovesAreSingleStepsWithNotApplicableShown) {
    SetShowNotApplicable(s, true);
    Go(0, 1);
    EXPECT_EQ(Walk(NextRecord), (Cases{{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}}));
    EXPECT_EQ(Walk(PreviousRecord), (Cases{{4, 1}, {3, 1}, {2, 1}, {1, 1}, {0, 1}}));
}

TEST_F(NavigationTest, WithOneFieldOccupationAndRecordMovesReachTheSameCases) {
    s.Params.DokumList.erase(s.Params.DokumList.begin() + 1, s.Params.DokumList.end());
    BuildCases({"1", "0", "1", "1", "0", "1"});
    for (bool show : {false, true}) {
        SetShowNotApplicable(s, show);
        Go(0, 0);
        const Cases byOccupation = Walk(NextOccupation);
        Go(0, 0);
        EXPECT_EQ(Walk(NextRecord), byOccupation);
        EXPECT_EQ(byOccupation.size(), show == 0 ? 3u : 5u);
        Go(5, 0);
        const Cases backByOccupation = Walk(PreviousOccupation);
        Go(5, 0);
        EXPECT_EQ(Walk(PreviousRecord), backByOccupation);
        EXPECT_EQ(backByOccupation.size(), show == 0 ? 3u : 5u);
    }
}

TEST_F(NavigationTest, SelectorShowsAnyCaseOfThePickedRecord) {
    Go(0, 0);
    // Record 2 is listed but its field 0 is not to be coded: it is shown all the same.
    SelectRespondentEntry(s, 1);
    ExpectAt(2, 0);
    EXPECT_EQ(s.View.SelectorSelected, 1);
    EXPECT_EQ(s.View.CodeText, "9998");
    // The next occupation move walks on from there.
    EXPECT_TRUE(NextOccupation(s));
    ExpectAt(2, 1);

    PickRespondent(s, "0105");
    ExpectAt(5, 1);
    EXPECT_EQ(s.View.SelectorSelected, 3);

    // A beginning picks the first listed identifier that begins so; an exact match comes first.
    PickRespondent(s, "010");
    ExpectAt(0, 1);
    s.Cases.Respondents[0].RespondentId = "01035";
    PickRespondent(s, "0103");
    ExpectAt(3, 1);
    // Nothing typed picks nothing and says nothing.
    PickRespondent(s, "");
    ExpectAt(3, 1);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(NavigationTest, SelectorInputMatchingNoEntryPutsTheSelectionBack) {
    Go(3, 1);
    s.View.SelectorSelected = -1;  // the coder's typing left no entry selected
    s.View.Key1 = "kept";
    PickRespondent(s, "0101");  // record 1 is not listed
    EXPECT_EQ(TakeMessages(), Messages{"No respondent matches \"0101\""});
    ExpectAt(3, 1);
    EXPECT_EQ(s.View.SelectorSelected, 2);
    EXPECT_EQ(s.View.Key1, "kept");  // the case is not shown again
    SelectRespondentEntry(s, 4);     // beyond the entries
    ExpectAt(3, 1);
    EXPECT_EQ(s.View.SelectorSelected, 2);
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(NavigationTest, SwitchingNotApplicableCasesRebuildsTheSelector) {
    Go(0, 0);
    const int version = s.View.SelectorVersion;
    SetShowNotApplicable(s, true);
    EXPECT_EQ(s.Cases.SelectorRecords, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(s.View.SelectorSelected, -1);
    EXPECT_NE(s.View.SelectorVersion, version);
    ExpectAt(0, 0);

    // The same item again changes nothing.
    const int after = s.View.SelectorVersion;
    Go(0, 0);
    SetShowNotApplicable(s, true);
    EXPECT_EQ(s.View.SelectorVersion, after);
    EXPECT_EQ(s.View.SelectorSelected, 0);

    // Back to 0 on a record without cases to code: no entry is selected until the next move.
    EXPECT_TRUE(NextRecord(s));
    ExpectAt(1, 0);
    EXPECT_EQ(s.View.SelectorSelected, 1);
    SetShowNotApplicable(s, false);
    EXPECT_EQ(s.Cases.SelectorRecords, (std::vector<int>{0, 2, 3, 5}));
    EXPECT_EQ(s.View.SelectorSelected, -1);
    EXPECT_TRUE(NextOccupation(s));
    ExpectAt(2, 1);
    EXPECT_EQ(s.View.SelectorSelected, 1);
}

TEST_F(NavigationTest, FindNotCodedBringsTheCodingPageWithoutTouchingTheMenu) {
    SetCode(0, 0, kDentists);
    Go(3, 0);
    s.ShowPage(Page::Options);
    s.ReturnToCodingVisible = true;
    FindNotCoded(s);
    ExpectAt(0, 2);
    EXPECT_EQ(s.FrontPage, Page::Coding);
    EXPECT_TRUE(s.ReturnToCodingVisible);

    for (auto [r, f] : Cases{{0, 2}, {2, 1}, {3, 0}, {3, 1}, {5, 2}}) SetCode(r, f, kDentists);
    const OccupationCounts c = CountOccupations(s.Cases);
    EXPECT_EQ(c.toCode, 6);
    EXPECT_EQ(c.notCoded, 0);
    s.ShowPage(Page::Notepad);
    FindNotCoded(s);
    ExpectAt(0, 2);
    EXPECT_EQ(s.FrontPage, Page::Coding);
    EXPECT_EQ(TakeMessages(), Messages{"All occupations in data file have been coded"});
}

TEST_F(NavigationTest, OccupationCountsComeFromToCode) {
    Case(1, 1).ToCode = true;  // HasToCode is stale on purpose: the count does not read it
    Case(1, 1).Code.clear();
    SetCode(3, 1, kMps);
    const OccupationCounts c = CountOccupations(s.Cases);
    EXPECT_EQ(c.toCode, 7);
    EXPECT_EQ(c.notCoded, 6);
}

TEST(Options, OnlyTheThreeModesHaveAnIndex) {
    EXPECT_EQ(AfterCodingModeOf(2), AfterCodingMode::Stay);
    EXPECT_EQ(AfterCodingModeOf(3), std::nullopt);
    EXPECT_EQ(AfterCodingModeOf(-1), std::nullopt);
}

TEST(NavigationEmpty, MovesOnAnEmptyModelOnlyShowTheirMessages) {
    ScriptedPlatform platform;
    Session s(platform);
    EXPECT_FALSE(GoToFirstNotCoded(s));
    EXPECT_FALSE(NextNotCoded(s));
    EXPECT_FALSE(NextOccupation(s));
    EXPECT_FALSE(PreviousRecord(s));
    SelectRespondentEntry(s, 0);
    EXPECT_EQ(platform.messages.size(), 4u);
    EXPECT_EQ(s.View.SelectorSelected, -1);
}

}  // namespace
}  // namespace tarnwick::testing
