#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "coding_fixture.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/navigation.h"
#include "core/coding/search.h"

namespace tarnwick::testing {
namespace {

using Messages = std::vector<std::string>;

class ActionsTest : public CodingTest {
  protected:
    // Six cases to code: (0,0) (0,2) (2,1) (3,0) (3,1) (5,2).
    ActionsTest() { BuildCases({"101", "000", "010", "110", "000", "001"}); }

    void Select(int category) { ASSERT_TRUE(ListBox2Click(s, category)); }
};

TEST_F(ActionsTest, ProgressTextFollowsTheCountingRule) {
    BuildCases({"111", "111", "111", "100"});
    SetCode(0, 0, kDentists);
    SetCode(0, 1, kDentists);
    SetCode(1, 0, kDentists);
    SetCode(2, 2, kDentists);
    Recount();
    RadioGroup2Click(s, 2);
    Go(1, 1);
    Select(kPhysicians);
    BitBtn5Click(s);
    EXPECT_EQ(s.ProgressText, "5 occupations have been coded. 5 are yet to be coded.");
    // Coding the same case again changes no count and shows no new text.
    const int changes = platform.statusChanges;
    s.ProgressText = "untouched";
    Select(kDentists);
    BitBtn5Click(s);
    EXPECT_EQ(s.ProgressText, "untouched");
    EXPECT_EQ(platform.statusChanges, changes);
    EXPECT_EQ(s.Cases.CodedCount, 5);
    EXPECT_EQ(s.Cases.ToCodeCount, 10);

    // "occupation has" for exactly one, "occupations have" for none.
    BuildCases({"111", "111", "111", "100"});
    Go(0, 0);
    Button2Click(s);
    EXPECT_EQ(s.ProgressText, "1 occupation has been coded. 9 are yet to be coded.");
    Button4Click(s);
    EXPECT_EQ(s.ProgressText, "0 occupations have been coded. 10 are yet to be coded.");

    // The last case to code gives the "all" form with the total.
    for (int r = 0; r < 4; ++r) {
        for (int f = 0; f < 3; ++f) {
            if (Case(r, f).ToCode && !(r == 3 && f == 0)) SetCode(r, f, kDentists);
        }
    }
    Recount();
    Go(3, 0);
    Button2Click(s);
    EXPECT_EQ(s.ProgressText, "All occupations have been coded (10)");
}

struct ActionCase {
    const char* name;
    std::function<void(ActionsTest&, Session&)> prepare;
    void (*action)(Session&);
    const char* code;  // stored in (0,0); "" for CANCEL
    const char* label;
    bool toCode;
};

class EveryAction : public ActionsTest,
                    public ::testing::WithParamInterface<std::tuple<int, int>> {};

const ActionCase kActions[] = {
    {"CODE", [](ActionsTest&, Session& s) { ListBox1Click(s, 0); }, BitBtn5Click, "2211",
     "Physicians", true},
    {"MISSING", [](ActionsTest&, Session&) {}, Button2Click, "9997", "Missing data", true},
    {"NOT APPLICABLE", [](ActionsTest&, Session&) {}, Button1Click, "9998", "Not applicable",
     false},
    {"REPEAT",
     [](ActionsTest&, Session& s) {
         s.LastCode = "5141";
         s.LastCodeName = "Hairdressers";
     },
     Button3Click, "5141", "Hairdressers", true},
    {"CANCEL", [](ActionsTest& t, Session&) { t.SetCode(0, 0, kMps); }, Button4Click, "", "", true},
};

TEST_P(EveryAction, StoresAndThenMovesAsTheModeSays) {
    const auto [mode, index] = GetParam();
    const ActionCase& a = kActions[index];
    SCOPED_TRACE(a.name);
    RadioGroup2Click(s, mode);
    Go(0, 0);
    Edit1Change(s, "lekarz");
    a.prepare(*this, s);

    a.action(s);
    const TZawod& z = Case(0, 0);
    EXPECT_EQ(z.Code, a.code);
    EXPECT_EQ(std::string(z.CodeName), a.label);
    EXPECT_EQ(z.ToCode, a.toCode);
    EXPECT_TRUE(s.ResultsModified);
    EXPECT_TRUE(s.Cases.Respondents[0].HasToCode);  // field 2 is still to be coded
    EXPECT_TRUE(TakeMessages().empty());

    if (mode == 0) {
        ExpectAt(0, 2);
    } else if (mode == 1) {
        ExpectAt(3, 0);
    } else {
        ExpectAt(0, 0);
    }
    if (mode == 2) {
        // Only the code boxes are redrawn; the lists and the selection stay.
        EXPECT_EQ(s.View.CodeText, a.code);
        EXPECT_EQ(s.View.LabelText, a.label);
        EXPECT_EQ(s.View.PreselectedLines.size(), 2u);
        EXPECT_EQ(s.SelectedCategory, index == 0 ? kPhysicians : -1);
    } else {
        EXPECT_EQ(s.View.CodeText, "");
        EXPECT_TRUE(s.View.PreselectedLines.empty());
        EXPECT_EQ(s.SelectedCategory, -1);
    }
}

INSTANTIATE_TEST_SUITE_P(ModesAndActions, EveryAction,
                         ::testing::Combine(::testing::Values(0, 1, 2),
                                            ::testing::Values(0, 1, 2, 3, 4)));

TEST_F(ActionsTest, CodeWithoutSelectedCategoryRefusesAndStays) {
    Go(0, 0);
    Edit1Change(s, "lekarz");
    BitBtn5Click(s);
    EXPECT_EQ(TakeMessages(), Messages{"No category selected"});
    ExpectAt(0, 0);
    EXPECT_EQ(Case(0, 0).Code, "");
    EXPECT_FALSE(s.ResultsModified);
    EXPECT_EQ(s.Cases.CodedCount, 0);
    EXPECT_EQ(s.View.PreselectedLines.size(), 2u);
}

TEST_F(ActionsTest, CodeStoresTheStandardCategoriesAsCasesToCode) {
    Go(0, 0);
    Select(kNotApp);
    BitBtn5Click(s);
    EXPECT_EQ(Case(0, 0).Code, "9998");
    EXPECT_TRUE(Case(0, 0).ToCode);
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_EQ(s.LastCode, "9998");
}

TEST_F(ActionsTest, LastCodeChangesOnlyThroughCode) {
    RadioGroup2Click(s, 2);
    Go(0, 0);
    Select(kHairdressers);
    BitBtn5Click(s);
    EXPECT_EQ(s.View.LastCodeText, "5141");
    EXPECT_EQ(s.View.LastCodeHint, "Hairdressers");
    Go(0, 2);
    Button2Click(s);
    Button1Click(s);
    Button4Click(s);
    EXPECT_EQ(s.LastCode, "5141");
    EXPECT_EQ(s.View.LastCodeText, "5141");
    // REPEAT after MISSING repeats the category last given with CODE.
    Button2Click(s);
    Button3Click(s);
    EXPECT_EQ(Case(0, 2).Code, "5141");
    // The stored name is the classification's own text.
    EXPECT_EQ(Case(0, 2).CodeName.data(), s.Clf.Category(kHairdressers).Name.data());
}

TEST_F(ActionsTest, RepeatBeforeAnyCodeRefusesAndStays) {
    Go(0, 0);
    Button3Click(s);
    EXPECT_EQ(TakeMessages(), Messages{"No category has been coded yet"});
    ExpectAt(0, 0);
    EXPECT_EQ(Case(0, 0).Code, "");
    EXPECT_EQ(s.Cases.CodedCount, 0);
    EXPECT_FALSE(s.ResultsModified);
}

TEST_F(ActionsTest, MissingAndRepeatReplaceACodeWithoutCounting) {
    SetCode(0, 0, kDentists);
    Recount();
    s.LastCode = "2211";
    RadioGroup2Click(s, 2);
    Go(0, 0);
    Button2Click(s);
    EXPECT_EQ(Case(0, 0).Code, "9997");
    Button3Click(s);
    EXPECT_EQ(Case(0, 0).Code, "2211");
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_EQ(s.Cases.ToCodeCount, 6);
}

TEST_F(ActionsTest, NotApplicableOnANotApplicableCaseStoresNothingButStillMoves) {
    RadioGroup1Click(s, 1);
    Go(1, 0);
    Button1Click(s);
    EXPECT_FALSE(s.ResultsModified);
    EXPECT_FALSE(Case(1, 0).ToCode);
    EXPECT_EQ(s.Cases.CodedCount, 0);
    ExpectAt(2, 1);  // the next case to code, mode 0

    RadioGroup2Click(s, 2);
    Go(1, 0);
    s.View.CodeText = "stale";
    Button1Click(s);
    EXPECT_EQ(s.View.CodeText, "9998");
    EXPECT_FALSE(s.ResultsModified);
}

TEST_F(ActionsTest, NotApplicableOnTheOnlyCaseToCodeClearsHasToCode) {
    Go(2, 1);
    Button1Click(s);
    EXPECT_FALSE(s.Cases.Respondents[2].HasToCode);
    EXPECT_FALSE(Case(2, 1).ToCode);
    // Counted as coded, still among the cases to code.
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_EQ(s.Cases.ToCodeCount, 6);
}

TEST_F(ActionsTest, CancelOnANotApplicableCaseMakesItACaseToCode) {
    RadioGroup1Click(s, 1);
    RadioGroup2Click(s, 2);
    Go(1, 2);
    Button4Click(s);
    EXPECT_EQ(Case(1, 2).Code, "");
    EXPECT_EQ(std::string(Case(1, 2).CodeName), "");
    EXPECT_TRUE(Case(1, 2).ToCode);
    EXPECT_TRUE(s.Cases.Respondents[1].HasToCode);
    EXPECT_EQ(s.Cases.ToCodeCount, 7);
    EXPECT_EQ(s.Cases.CodedCount, 0);
    EXPECT_EQ(s.ProgressText, "0 occupations have been coded. 7 are yet to be coded.");
    EXPECT_TRUE(s.ResultsModified);
    EXPECT_EQ(s.View.CodeText, "");
}

TEST_F(ActionsTest, CancelOnACodedCaseLowersTheCountNeverBelowZero) {
    SetCode(3, 1, kDentists);
    SetCode(5, 2, kDentists);
    Recount();
    RadioGroup2Click(s, 2);
    Go(3, 1);
    Button4Click(s);
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_EQ(s.Cases.ToCodeCount, 6);
    EXPECT_TRUE(Case(3, 1).ToCode);
    s.Cases.CodedCount = 0;
    Go(5, 2);
    Button4Click(s);
    EXPECT_EQ(s.Cases.CodedCount, 0);
    EXPECT_EQ(Case(5, 2).Code, "");
}

TEST_F(ActionsTest, CancelOnACaseWithoutCodeStoresNothingAndMovesOn) {
    Go(0, 0);
    Button4Click(s);
    EXPECT_FALSE(s.ResultsModified);
    EXPECT_EQ(s.ProgressText, "");
    ExpectAt(0, 2);
}

TEST_F(ActionsTest, CancelMovesPastTheEmptiedCaseUntilItIsTheOnlyOneLeft) {
    for (auto [r, f] : std::vector<std::pair<int, int>>{{0, 0}, {0, 2}, {2, 1}, {3, 1}, {5, 2}}) {
        SetCode(r, f, kDentists);
    }
    Recount();
    Go(0, 2);
    Button4Click(s);
    ExpectAt(3, 0);  // the search starts after the emptied case
    Select(kDentists);
    BitBtn5Click(s);
    ExpectAt(0, 2);  // round the end, back to it
    Select(kDentists);
    BitBtn5Click(s);
    EXPECT_EQ(TakeMessages(), Messages{"All cases are already coded"});
    ExpectAt(0, 2);
}

TEST_F(ActionsTest, CodingTheLastCaseInModeZeroStaysAndShowsTheNewCode) {
    for (auto [r, f] : std::vector<std::pair<int, int>>{{0, 0}, {0, 2}, {2, 1}, {3, 0}, {3, 1}}) {
        SetCode(r, f, kDentists);
    }
    Recount();
    Go(5, 2);
    Select(kDrivers);
    BitBtn5Click(s);
    EXPECT_EQ(TakeMessages(), Messages{"All cases are already coded"});
    ExpectAt(5, 2);
    EXPECT_EQ(s.View.CodeText, "8322");
    EXPECT_EQ(s.View.LabelText, "Car drivers");
    EXPECT_EQ(s.ProgressText, "All occupations have been coded (6)");
}

TEST_F(ActionsTest, CodingInTheLastRecordInModeOneSaysNoFurtherCases) {
    RadioGroup2Click(s, 1);
    Go(3, 1);
    Button2Click(s);
    EXPECT_EQ(TakeMessages(), Messages{"No further cases within this field are not-coded"});
    ExpectAt(3, 1);
    EXPECT_EQ(s.View.CodeText, "9997");
    EXPECT_EQ(s.View.LabelText, "Missing data");
}

TEST_F(ActionsTest, DoubleClickCodesTheLinesCategory) {
    RadioGroup2Click(s, 2);
    Go(0, 0);
    ListBox2DblClick(s, kMps);
    EXPECT_EQ(Case(0, 0).Code, "1111");
    Edit1Change(s, "lekarz");
    ListBox1DblClick(s, 1);
    EXPECT_EQ(Case(0, 0).Code, "2212");
    EXPECT_EQ(s.LastCode, "2212");
    // A line that does not exist codes nothing and says nothing.
    ListBox1DblClick(s, 2);
    ListBox2DblClick(s, -1);
    EXPECT_EQ(Case(0, 0).Code, "2212");
    EXPECT_TRUE(TakeMessages().empty());
}

}  // namespace
}  // namespace tarnwick::testing
