// The Suggestions list in a session: the memory follows every code and every undo, and "code
// all identical" codes only the not coded cases of the same field with the same answer.

#include <memory>

#include "coding_fixture.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/options.h"
#include "core/coding/suggestions.h"
#include "core/io/files.h"
#include "core/project/autocoding.h"
#include "core/project/suggestions.h"
#include "core/text/interface_texts.h"
#include "project_fixture.h"

namespace tarnwick::testing {
namespace {

class SuggestionsInSession : public CodingTest {
  public:
    SuggestionsInSession() {
        BuildCases({"111", "111", "111", "111"});
        // Field 1 of field 0 is "driver" in records 0 to 2, and of field 1 in record 1.
        for (int r = 0; r < 3; ++r) {
            SetText(r, 0, "Driver");
            SetText(r, 3, "buses");  // the tasks, information field 2 of field 0
        }
        SetText(1, 1, "driver");
        SetText(3, 0, "hairdresser");
        s.Suggester = std::make_unique<SuggestionEngine>(s.Clf);
        SetAfterCodingMode(s, AfterCodingMode::Stay);
    }

    void SetText(int r, int f, const std::string& text) {
        const size_t at = s.Cases.Respondents[static_cast<size_t>(r)].Record.data() -
                          s.Cases.DataBuffer.data() + 4 + 10 * static_cast<size_t>(f);
        s.Cases.DataBuffer.replace(at, 10, Pad(text));
    }

    void CodeAs(int r, int f, int category) {
        Go(r, f);
        SelectFullListLine(s, category);
        CodeSelected(s);
    }
};

TEST_F(SuggestionsInSession, CodeAllIdenticalTouchesOnlyNotCodedSameAnswersAndUndoesWhole) {
    CodeAs(2, 0, kPhysicians);  // a case with a code already, to be left alone
    CodingMemory before;
    before.Merge(s.Memory);
    CodeAs(0, 0, kDrivers);
    platform.questionAnswers = {Answer::Yes};
    EXPECT_EQ(CodeAllIdentical(s), 1);
    ASSERT_EQ(platform.questions.size(), 1u);
    EXPECT_EQ(platform.questions.back(),
              "Code 1 more case with the same answer as 8322 Car drivers?");
    EXPECT_EQ(Case(1, 0).Code, "8322");
    ASSERT_TRUE(s.Provenance.Find(1, 0));
    EXPECT_EQ(s.Provenance.Find(1, 0)->origin.source, CodeSource::Identical);
    EXPECT_EQ(Case(2, 0).Code, "2211");
    EXPECT_TRUE(Case(1, 1).Code.empty());  // the same answer in another field
    EXPECT_TRUE(Case(3, 0).Code.empty());
    EXPECT_EQ(s.Cases.CodedCount, 3);

    // The memory ranks the earlier code first for the next identical answer.
    SetText(3, 0, "DRIVER");
    SetText(3, 3, "Buses.");
    Go(3, 0);
    ASSERT_FALSE(s.Suggestions.empty());
    EXPECT_EQ(s.Suggestions.front().code, "8322");
    EXPECT_NE(s.Suggestions.front().reason.find('2'), std::string::npos);
    ASSERT_FALSE(s.View.SuggestionLines.empty());

    // One undo takes the whole group back, the second the case coded by hand; no trace stays.
    EXPECT_TRUE(Undo(s));
    EXPECT_TRUE(Case(1, 0).Code.empty());
    EXPECT_EQ(Case(0, 0).Code, "8322");
    EXPECT_TRUE(Undo(s));
    EXPECT_TRUE(Case(0, 0).Code.empty());
    EXPECT_TRUE(s.Memory == before);
    EXPECT_EQ(s.Cases.CodedCount, 1);
    EXPECT_TRUE(Redo(s));
    EXPECT_TRUE(Redo(s));
    EXPECT_EQ(Case(1, 0).Code, "8322");

    // Nothing is asked without a code to give, and No codes nothing.
    SetText(3, 0, "hairdresser");
    Go(3, 0);
    EXPECT_EQ(CodeAllIdentical(s), 0);
    EXPECT_EQ(TakeMessages().back(), msg::kCodeThisCaseFirst);
    CodeAs(1, 1, kDrivers);
    SetText(3, 1, "driver");
    platform.questionAnswers = {Answer::No};
    EXPECT_EQ(CodeAllIdentical(s), 0);
    EXPECT_TRUE(Case(3, 1).Code.empty());
}

// An uncoded case takes the chosen line with its identical answers; a status answered from a
// list does not make two answers differ unless the option says so; undo comes back home.
TEST_F(SuggestionsInSession, CodeAllIdenticalFromAnUncodedCaseByTheTextFields) {
    TDokumZaw& d = s.Params.DokumList[0];
    d.InfoPos[3] = 15;  // the first letter of field 1: 'j' in records 0 and 2, 'd' in record 1
    d.InfoWidth[3] = 1;
    d.InfoLabels[3].Add("j", {"j", "employed"});
    d.InfoLabels[3].Add("d", {"d", "self-employed"});
    Go(0, 0);
    SelectFullListLine(s, kDrivers);
    SetIdenticalTextFieldsOnly(s, false);
    platform.questionAnswers = {Answer::Yes};
    EXPECT_EQ(CodeAllIdentical(s), 2);
    EXPECT_EQ(platform.questions.back(),
              "Code this case and 1 more case with the same answer as 8322 Car drivers?");
    EXPECT_TRUE(Case(1, 0).Code.empty());
    EXPECT_EQ(Case(2, 0).Code, "8322");
    EXPECT_EQ(s.Provenance.Find(0, 0)->origin.source, CodeSource::Coder);
    EXPECT_EQ(s.View.LastCodeText, "8322");

    EXPECT_TRUE(Undo(s));
    EXPECT_TRUE(Case(0, 0).Code.empty());
    SetIdenticalTextFieldsOnly(s, true);
    Go(3, 0);
    Go(0, 0);
    SelectFullListLine(s, kDrivers);
    platform.questionAnswers = {Answer::Yes};
    EXPECT_EQ(CodeAllIdentical(s), 3);
    EXPECT_EQ(Case(1, 0).Code, "8322");
    Go(3, 0);
    EXPECT_TRUE(Undo(s));
    EXPECT_EQ(s.CurrentRecord, 0);  // where Code all identical was given, not record 2
    EXPECT_TRUE(s.View.LastCodeText.empty());
}

TEST_F(SuggestionsInSession, AutomaticCodesSkipCasesCodedMeanwhileAndUndoAsOne) {
    CodeAs(3, 0, kHairdressers);
    s.Cases.Respondents[1].Occupations[1].ToCode = false;  // its filter no longer asks for it
    ProjectAutoCodingPlan plan;
    plan.plan.threshold.outcome = ThresholdOutcome::Promised;
    plan.plan.threshold.threshold = 0.8;
    plan.plan.answers.push_back({"driver", {0, 1, 2, 3}, "8322", 0.9, true});
    plan.places = {{0, 0}, {1, 0}, {1, 1}, {2, 0}};
    CodeAs(2, 0, kPhysicians);  // coded by a person after the plan was made
    CodingMemory before;
    before.Merge(s.Memory);

    EXPECT_EQ(ApplyAutoCoding(s, plan), 2);
    EXPECT_EQ(Case(0, 0).Code, "8322");
    EXPECT_EQ(Case(1, 0).Code, "8322");
    EXPECT_TRUE(Case(1, 1).Code.empty());
    EXPECT_EQ(Case(2, 0).Code, "2211");
    EXPECT_EQ(s.Report.back().rfind("2 cases coded automatically", 0), 0u) << s.Report.back();

    EXPECT_TRUE(Undo(s));
    EXPECT_TRUE(Case(0, 0).Code.empty());
    EXPECT_TRUE(Case(1, 0).Code.empty());
    EXPECT_EQ(Case(2, 0).Code, "2211");
    EXPECT_TRUE(s.Memory == before);
}

TEST_F(SuggestionsInSession, CodingASuggestionIsAnUndoableCode) {
    Go(0, 0);
    ASSERT_FALSE(s.Suggestions.empty());
    EXPECT_EQ(s.View.ActiveTab, CategoryTab::Suggestions);
    const std::string first = s.Suggestions.front().code;
    CodeSuggestionLine(s, 0);
    EXPECT_EQ(Case(0, 0).Code, first);
    EXPECT_EQ(s.LastCode, first);
    ASSERT_TRUE(s.Provenance.Find(0, 0));
    EXPECT_EQ(s.Provenance.Find(0, 0)->origin,
              (CodeOrigin{CodeSource::Coder, CodeLine::Suggestion, 1}));
    CodeSuggestionLine(s, 99);  // no such line: nothing happens
    EXPECT_EQ(Case(0, 0).Code, first);
    EXPECT_TRUE(Undo(s));
    EXPECT_TRUE(Case(0, 0).Code.empty());
    EXPECT_EQ(s.Memory.AnswerCount(), 0u);
}

// Once calibrated, the first suggestion of a case still to code says how sure it is; for a coded
// case the memory holds its own code, which would only vouch for itself.
TEST_F(SuggestionsInSession, TheFirstSuggestionSaysHowSureItIsWhereTheCodeIsStillToFind) {
    Go(0, 0);
    ASSERT_FALSE(s.View.SuggestionLines.empty());
    EXPECT_EQ(s.View.SuggestionLines[0].find("% sure"), std::string::npos);
    std::vector<CalibrationPair> pairs(2);
    for (CalibrationPair& p : pairs) p.features.ranked = true;
    pairs[0].features.margin = 1;
    pairs[0].right = true;
    pairs[0].weight = pairs[1].weight = 40;
    s.Calibration = ConfidenceCalibration::Fit(pairs);
    Go(0, 0);
    EXPECT_NE(s.View.SuggestionLines[0].find("% sure"), std::string::npos);
    CodeSuggestionLine(s, 0);
    Go(0, 0);
    EXPECT_EQ(s.View.SuggestionLines[0].find("% sure"), std::string::npos);
}

// The window prepares the suggestions on a worker while the coder goes on: the prepared memory
// must end up holding exactly what the cases hold, neither losing nor doubling a change.
TEST_F(SuggestionsInSession, CodesGivenWhilePreparingReachThePreparedMemory) {
    CodeAs(0, 0, kDrivers);
    const SuggestionSources sources = BeginSuggestions(s);
    CodeAs(1, 0, kHairdressers);
    Go(0, 0);
    ClearCode(s);
    InstallSuggestions(s, BuildSuggestions(sources, {}));
    CodingMemory expected;
    expected.Learn(CaseTexts(s, 1, 0), "5141");
    EXPECT_TRUE(s.Memory == expected);
    EXPECT_FALSE(s.SuggestionsPending);
}

// The memory beside the classification is used and reported; a damaged one is reported, left
// as it is, and the session goes on without it. The file is read with the rest of the
// preparation, off the window's thread, and reported when it is installed.
TEST_F(SuggestionsInSession, TheMemoryFileBesideTheClassificationIsReportedOrRefused) {
    TempFolder folder;
    s.ClassificationPath = folder.Path("isco.clf");
    CodingMemory earlier;
    earlier.Learn({"Driver", "buses"}, "8322");
    WriteFile(folder.Path("isco.mem"), earlier.Format());
    SuggestionSources sources = BeginSuggestions(s);
    InstallSuggestions(s, BuildSuggestions(sources, {}));
    ASSERT_FALSE(s.Report.empty());
    EXPECT_EQ(s.Report.back(), msg::MemoryReportLine(folder.Path("isco.mem"), 1));
    Go(0, 0);
    ASSERT_FALSE(s.Suggestions.empty());
    EXPECT_EQ(s.Suggestions.front().code, "8322");

    const std::string damaged = "not a memory\n\x01\x02";
    WriteFile(folder.Path("isco.mem"), damaged);
    s.Report.clear();
    sources = BeginSuggestions(s);
    InstallSuggestions(s, BuildSuggestions(sources, {}));
    ASSERT_EQ(s.Report.size(), 1u);
    EXPECT_EQ(
        s.Report[0].rfind("The coding memory was not used: " + folder.Path("isco.mem") + ": ", 0),
        0u);
    EXPECT_EQ(TakeMessages().size(), 1u);
    EXPECT_EQ(ReadWholeFile(folder.Path("isco.mem")), damaged);
}

}  // namespace
}  // namespace tarnwick::testing
