#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "coding_fixture.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/coding/progress.h"
#include "core/coding/search.h"

namespace tarnwick::testing {
namespace {

using Messages = std::vector<std::string>;

class ActionsTest : public CodingTest {
  protected:
    // Six cases to code: (0,0) (0,2) (2,1) (3,0) (3,1) (5,2).
    ActionsTest() { BuildCases({"101", "000", "010", "110", "000", "001"}); }

    void Select(int category) { ASSERT_TRUE(SelectFullListLine(s, category)); }
};

TEST_F(ActionsTest, ProgressTextFollowsTheCountingRule) {
    BuildCases({"111", "111", "111", "100"});
    SetCode(0, 0, kDentists);
    SetCode(0, 1, kDentists);
    SetCode(1, 0, kDentists);
    SetCode(2, 2, kDentists);
    Recount();
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(1, 1);
    Select(kPhysicians);
    CodeSelected(s);
    EXPECT_EQ(s.ProgressText, "5 occupations have been coded. 5 are yet to be coded.");
    // Coding the same case again changes no count and shows no new text.
    const int changes = platform.statusChanges;
    s.ProgressText = "untouched";
    Select(kDentists);
    CodeSelected(s);
    EXPECT_EQ(s.ProgressText, "untouched");
    EXPECT_EQ(platform.statusChanges, changes);
    EXPECT_EQ(s.Cases.CodedCount, 5);
    EXPECT_EQ(s.Cases.ToCodeCount, 10);

    // "occupation has" for exactly one, "occupations have" for none.
    BuildCases({"111", "111", "111", "100"});
    Go(0, 0);
    MarkMissing(s);
    EXPECT_EQ(s.ProgressText, "1 occupation has been coded. 9 are yet to be coded.");
    ClearCode(s);
    EXPECT_EQ(s.ProgressText, "0 occupations have been coded. 10 are yet to be coded.");

    // The last case to code gives the "all" form with the total.
    for (int r = 0; r < 4; ++r) {
        for (int f = 0; f < 3; ++f) {
            if (Case(r, f).ToCode && !(r == 3 && f == 0)) SetCode(r, f, kDentists);
        }
    }
    Recount();
    Go(3, 0);
    MarkMissing(s);
    EXPECT_EQ(s.ProgressText, "All occupations have been coded (10)");
}

struct ActionCase {
    const char* name;
    std::function<void(ActionsTest&, Session&)> prepare;
    void (*action)(Session&);
    const char* code;  // stored in (0,0); "" for CANCEL
    const char* label;
    bool toCode;
    CodeLine line;  // of the code's provenance
};

class EveryAction : public ActionsTest,
                    public ::testing::WithParamInterface<std::tuple<int, int>> {};

const ActionCase kActions[] = {
    {"CODE", [](ActionsTest&, Session& s) { SelectPreselectedLine(s, 0); }, CodeSelected, "2211",
     "Physicians", true, CodeLine::Preselected},
    {"MISSING", [](ActionsTest&, Session&) {}, MarkMissing, "9997", "Missing data", true,
     CodeLine::MissingData},
    {"NOT APPLICABLE", [](ActionsTest&, Session&) {}, MarkNotApplicable, "9998", "Not applicable",
     false, CodeLine::NotApplicable},
    {"REPEAT",
     [](ActionsTest&, Session& s) {
         s.LastCode = "5141";
         s.LastCodeName = "Hairdressers";
     },
     RepeatLastCode, "5141", "Hairdressers", true, CodeLine::Repeat},
    {"CANCEL", [](ActionsTest& t, Session&) { t.SetCode(0, 0, kMps); }, ClearCode, "", "", true,
     CodeLine::None},
};

TEST_P(EveryAction, StoresAndThenMovesAsTheModeSays) {
    const auto [mode, index] = GetParam();
    const ActionCase& a = kActions[index];
    SCOPED_TRACE(a.name);
    SetAfterCodingMode(s, static_cast<AfterCodingMode>(mode));
    Go(0, 0);
    SetFirstKeyWord(s, "lekarz");
    a.prepare(*this, s);

    a.action(s);
    const TZawod& z = Case(0, 0);
    EXPECT_EQ(z.Code, a.code);
    EXPECT_EQ(std::string(z.CodeName), a.label);
    EXPECT_EQ(z.ToCode, a.toCode);
    // A code the coder gave names its line; a case left without code has no provenance.
    const Provenance* p = s.Provenance.Find(0, 0);
    EXPECT_EQ(p ? p->origin : CodeOrigin{CodeSource::Unknown},
              (*a.code ? CodeOrigin{CodeSource::Coder, a.line} : CodeOrigin{CodeSource::Unknown}));
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
    SetFirstKeyWord(s, "lekarz");
    CodeSelected(s);
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
    CodeSelected(s);
    EXPECT_EQ(Case(0, 0).Code, "9998");
    EXPECT_TRUE(Case(0, 0).ToCode);
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_EQ(s.LastCode, "9998");
}

TEST_F(ActionsTest, LastCodeChangesOnlyThroughCode) {
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(0, 0);
    Select(kHairdressers);
    CodeSelected(s);
    EXPECT_EQ(s.View.LastCodeText, "5141");
    EXPECT_EQ(s.View.LastCodeHint, "Hairdressers");
    Go(0, 2);
    MarkMissing(s);
    MarkNotApplicable(s);
    ClearCode(s);
    EXPECT_EQ(s.LastCode, "5141");
    EXPECT_EQ(s.View.LastCodeText, "5141");
    // REPEAT after MISSING repeats the category last given with CODE.
    MarkMissing(s);
    RepeatLastCode(s);
    EXPECT_EQ(Case(0, 2).Code, "5141");
    // The stored name is the classification's own text.
    EXPECT_EQ(Case(0, 2).CodeName.data(), s.Clf.Category(kHairdressers).Name.data());
}

TEST_F(ActionsTest, RepeatBeforeAnyCodeRefusesAndStays) {
    Go(0, 0);
    RepeatLastCode(s);
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
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(0, 0);
    MarkMissing(s);
    EXPECT_EQ(Case(0, 0).Code, "9997");
    RepeatLastCode(s);
    EXPECT_EQ(Case(0, 0).Code, "2211");
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_EQ(s.Cases.ToCodeCount, 6);
}

TEST_F(ActionsTest, NotApplicableOnANotApplicableCaseStoresNothingButStillMoves) {
    SetShowNotApplicable(s, true);
    Go(1, 0);
    MarkNotApplicable(s);
    EXPECT_FALSE(s.ResultsModified);
    EXPECT_FALSE(Case(1, 0).ToCode);
    EXPECT_EQ(s.Cases.CodedCount, 0);
    ExpectAt(2, 1);  // the next case to code, mode 0

    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(1, 0);
    s.View.CodeText = "stale";
    MarkNotApplicable(s);
    EXPECT_EQ(s.View.CodeText, "9998");
    EXPECT_FALSE(s.ResultsModified);
}

TEST_F(ActionsTest, NotApplicableOnTheOnlyCaseToCodeClearsHasToCode) {
    Go(2, 1);
    MarkNotApplicable(s);
    EXPECT_FALSE(s.Cases.Respondents[2].HasToCode);
    EXPECT_FALSE(Case(2, 1).ToCode);
    // No longer a case to code, and not coded.
    EXPECT_EQ(s.Cases.CodedCount, 0);
    EXPECT_EQ(s.Cases.ToCodeCount, 5);
    // CANCEL makes it a case to code again, without code.
    Go(2, 1);
    ClearCode(s);
    EXPECT_EQ(s.Cases.CodedCount, 0);
    EXPECT_EQ(s.Cases.ToCodeCount, 6);
    EXPECT_EQ(s.ProgressText, "0 occupations have been coded. 6 are yet to be coded.");
}

TEST_F(ActionsTest, CancelOnANotApplicableCaseMakesItACaseToCode) {
    SetShowNotApplicable(s, true);
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(1, 2);
    ClearCode(s);
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
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(3, 1);
    ClearCode(s);
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_EQ(s.Cases.ToCodeCount, 6);
    EXPECT_TRUE(Case(3, 1).ToCode);
    s.Cases.CodedCount = 0;
    Go(5, 2);
    ClearCode(s);
    EXPECT_EQ(s.Cases.CodedCount, 0);
    EXPECT_EQ(Case(5, 2).Code, "");
}

TEST_F(ActionsTest, CancelOnACaseWithoutCodeStoresNothingAndMovesOn) {
    Go(0, 0);
    ClearCode(s);
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
    ClearCode(s);
    ExpectAt(3, 0);  // the search starts after the emptied case
    Select(kDentists);
    CodeSelected(s);
    ExpectAt(0, 2);  // round the end, back to it
    Select(kDentists);
    CodeSelected(s);
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
    CodeSelected(s);
    EXPECT_EQ(TakeMessages(), Messages{"All cases are already coded"});
    ExpectAt(5, 2);
    EXPECT_EQ(s.View.CodeText, "8322");
    EXPECT_EQ(s.View.LabelText, "Car drivers");
    EXPECT_EQ(s.ProgressText, "All occupations have been coded (6)");
}

TEST_F(ActionsTest, CodingInTheLastRecordInModeOneSaysNoFurtherCases) {
    SetAfterCodingMode(s, AfterCodingMode::SameFieldNextRecord);
    Go(3, 1);
    MarkMissing(s);
    EXPECT_EQ(TakeMessages(), Messages{"No further cases within this field are not-coded"});
    ExpectAt(3, 1);
    EXPECT_EQ(s.View.CodeText, "9997");
    EXPECT_EQ(s.View.LabelText, "Missing data");
}

TEST_F(ActionsTest, DoubleClickCodesTheLinesCategory) {
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(0, 0);
    CodeFullListLine(s, kMps);
    EXPECT_EQ(Case(0, 0).Code, "1111");
    SetFirstKeyWord(s, "lekarz");
    CodePreselectedLine(s, 1);
    EXPECT_EQ(Case(0, 0).Code, "2212");
    EXPECT_EQ(s.LastCode, "2212");
    // A line that does not exist codes nothing and says nothing.
    CodePreselectedLine(s, 2);
    CodeFullListLine(s, -1);
    EXPECT_EQ(Case(0, 0).Code, "2212");
    EXPECT_TRUE(TakeMessages().empty());
}

TEST_F(ActionsTest, PaceTextGivesTheShareAndTheCodesPerHourOfThisSession) {
    SetCode(0, 0, kDentists);
    Recount();  // 1 of 6 coded at the start
    s.SessionStart = DateTime{2026, 12, 7, 0, 37, 40};
    platform.now = *s.SessionStart;
    EXPECT_EQ(CodingPaceText(s), "16 % coded");
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    Go(0, 2);
    MarkMissing(s);
    Go(2, 1);
    MarkMissing(s);
    platform.now = DateTime{2026, 12, 7, 0, 38, 39};  // 59 s after the start: no pace yet
    EXPECT_EQ(CodingPaceText(s), "50 % coded");
    platform.now = DateTime{2026, 12, 7, 0, 39, 39};  // 2 codes in 1:59
    EXPECT_EQ(CodingPaceText(s), "50 % coded \xB7 60 codes/hour");
}

// Every case's code, name and ToCode, and every record's HasToCode.
std::string ModelState(const Session& s) {
    std::string state;
    for (const TOsoba& o : s.Cases.Respondents) {
        state += o.HasToCode ? "+" : "-";
        for (const TZawod& z : o.Occupations) {
            state += z.Code + "/" + std::string(z.CodeName) + (z.ToCode ? "/1 " : "/0 ");
        }
    }
    return state;
}

TEST_F(ActionsTest, UndoAndRedoRetraceEveryActionWithCountersAndTheCase) {
    SetAfterCodingMode(s, AfterCodingMode::NextCase);
    SetShowNotApplicable(s, true);
    struct Step {
        int record, field;
        void (*action)(Session&);
    };
    const std::vector<Step> steps = {
        {0, 0, [](Session& s) { CodeFullListLine(s, kDrivers); }},
        {0, 2, MarkMissing},
        {2, 1, MarkNotApplicable},
        {0, 2, RepeatLastCode},
        {1, 1, ClearCode},  // a case left out by the filters
        {0, 0, ClearCode},
        {3, 0,
         [](Session& s) {
             SetFirstKeyWord(s, "lekarz");
             CodePreselectedLine(s, 1);
         }},
    };
    std::vector<std::string> states{ModelState(s)};
    for (const Step& step : steps) {
        Go(step.record, step.field);
        step.action(s);
        states.push_back(ModelState(s));
    }
    ASSERT_TRUE(CanUndo(s));
    EXPECT_FALSE(CanRedo(s));
    const auto expectTrue = [&](size_t k) {
        EXPECT_EQ(ModelState(s), states[k]);
        const OccupationCounts c = CountOccupations(s.Cases);
        EXPECT_EQ(s.Cases.CodedCount, c.toCode - c.notCoded);
        EXPECT_EQ(s.Cases.ToCodeCount, c.toCode);
        EXPECT_EQ(s.ProgressText, CodingProgressText(c.toCode - c.notCoded, c.toCode));
        EXPECT_EQ(s.View.CodeText, Case(s.CurrentRecord, s.CurrentField).Code);
    };
    for (size_t k = steps.size(); k-- > 0;) {
        SCOPED_TRACE(k);
        s.ResultsModified = false;
        ASSERT_TRUE(Undo(s));
        expectTrue(k);
        ExpectAt(steps[k].record, steps[k].field);
        EXPECT_TRUE(s.ResultsModified);
    }
    EXPECT_FALSE(Undo(s));
    EXPECT_EQ(TakeMessages(), Messages{"Nothing to undo"});
    for (size_t k = 0; k < steps.size(); ++k) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(Redo(s));
        expectTrue(k + 1);
        ExpectAt(steps[k].record, steps[k].field);
    }
    EXPECT_FALSE(Redo(s));
    EXPECT_EQ(TakeMessages(), Messages{"Nothing to redo"});

    // A new action after an undo drops what was undone; an action that changes nothing keeps it.
    Undo(s);
    Go(3, 0);
    ClearCode(s);  // already without code
    EXPECT_TRUE(CanRedo(s));
    Go(5, 2);
    MarkMissing(s);
    EXPECT_FALSE(CanRedo(s));
}

TEST_F(ActionsTest, UndoGivesTheAutomaticCodeBackWithItsProvenance) {
    SetAfterCodingMode(s, AfterCodingMode::Stay);
    s.CoderName = "ewa";
    CodeOrigin automatic{CodeSource::Automatic};
    automatic.confidence = 0.93;
    automatic.threshold = 0.9;
    ASSERT_EQ(ChangeCases(s, {{0, 0, "2211", s.Clf.Category(kPhysicians).Name, true, automatic}}),
              1);
    ASSERT_TRUE(s.Provenance.Find(0, 0));
    const Provenance given = *s.Provenance.Find(0, 0);
    EXPECT_EQ(given.origin, automatic);

    // The coder looks at the case for 7 seconds and gives it another code.
    Go(0, 0);
    platform.now.second += 7;
    CodeFullListLine(s, kDentists);
    ASSERT_TRUE(s.Provenance.Find(0, 0));
    const Provenance coded = *s.Provenance.Find(0, 0);
    EXPECT_EQ(coded.origin, (CodeOrigin{CodeSource::Coder, CodeLine::FullList}));
    EXPECT_EQ(coded.coder, "ewa");
    EXPECT_EQ(coded.secondsOnScreen, 7);
    EXPECT_EQ(coded.when, SecondsSinceEpoch(platform.now));

    ASSERT_TRUE(Undo(s));
    EXPECT_EQ(Case(0, 0).Code, "2211");
    ASSERT_TRUE(s.Provenance.Find(0, 0));
    EXPECT_EQ(*s.Provenance.Find(0, 0), given);
    ASSERT_TRUE(Redo(s));
    EXPECT_EQ(*s.Provenance.Find(0, 0), coded);

    // Confirming the automatic code with its own category makes it the coder's, undoably.
    ASSERT_TRUE(Undo(s));
    CodeFullListLine(s, kPhysicians);
    EXPECT_EQ(s.Provenance.Find(0, 0)->origin.source, CodeSource::Coder);
    ASSERT_TRUE(Undo(s));
    EXPECT_EQ(*s.Provenance.Find(0, 0), given);
    EXPECT_EQ(s.CodesGiven[static_cast<size_t>(CodeSource::Automatic)], 1);
    EXPECT_EQ(s.CodesGiven[static_cast<size_t>(CodeSource::Coder)], 0);
}

// Random actions on random cases, in every after-coding mode: the counters and each record's
// HasToCode always equal a recount of the model.
TEST_F(ActionsTest, CountersEqualARecountAfterEveryAction) {
    SetShowNotApplicable(s, true);
    ShowCodingProgress(s);
    std::mt19937 random(12);
    const auto pick = [&random](int n) {
        return static_cast<int>(random() % static_cast<unsigned>(n));
    };
    for (int step = 0; step < 3000; ++step) {
        SCOPED_TRACE(step);
        SetAfterCodingMode(s, static_cast<AfterCodingMode>(pick(3)));
        Go(pick(6), pick(3));
        switch (pick(8)) {
            case 0:
                CodeFullListLine(s, pick(s.Clf.Count()));
                break;
            case 1:
                MarkMissing(s);
                break;
            case 2:
                MarkNotApplicable(s);
                break;
            case 3:
                RepeatLastCode(s);
                break;
            case 4:
                ClearCode(s);
                break;
            case 5:
                SetFirstKeyWord(s, "lekarz");
                CodePreselectedLine(s, pick(2));
                break;
        }
        const OccupationCounts c = CountOccupations(s.Cases);
        ASSERT_EQ(s.Cases.CodedCount, c.toCode - c.notCoded);
        ASSERT_EQ(s.Cases.ToCodeCount, c.toCode);
        ASSERT_EQ(s.ProgressText, CodingProgressText(c.toCode - c.notCoded, c.toCode));
        for (TOsoba& o : s.Cases.Respondents) {
            const bool has = o.HasToCode;
            UpdateHasToCode(o);
            ASSERT_EQ(has, o.HasToCode);
        }
    }
}

}  // namespace
}  // namespace tarnwick::testing
