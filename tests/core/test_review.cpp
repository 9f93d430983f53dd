// Automatic coding in a session and its review: what the calibration learns from, the draw of
// the sample across the confidence bands, its file read back (also a damaged one), and a walk
// through it in review mode.

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "coding_fixture.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/io/files.h"
#include "core/project/autocoding.h"
#include "core/project/review.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "project_fixture.h"

namespace tarnwick::testing {
namespace {

ReviewCase Automatic(int record, double confidence, std::string code = "5141") {
    ReviewCase c;
    c.record = record;
    c.respondentId = "id" + std::to_string(record);
    c.code = std::move(code);
    c.confidence = confidence;
    return c;
}

// The band of a confidence between 0.80 and 1.00, as the draw cuts that range.
size_t BandOf(double confidence) {
    return std::min<size_t>(3, static_cast<size_t>((confidence - 0.80) / 0.05));
}

TEST(ReviewDraw, SpreadsOverTheBandsAndRepeatsForTheSameSeed) {
    // 1 case in the least confident band, 9, 90 and 900 in the most confident.
    std::vector<ReviewCase> automatic;
    for (int r = 0; r < 1000; ++r) {
        const double c = r == 0 ? 0.80 : r < 10 ? 0.86 : r < 100 ? 0.92 : 0.96 + (r % 5) * 0.01;
        automatic.push_back(Automatic(r, c));
    }
    const std::vector<ReviewCase> sample = DrawReviewSample(automatic, 50, 7);
    ASSERT_EQ(sample.size(), 50u);
    // In proportion 0.05, 0.45, 4.5 and 45; each band one at least, taken from the largest.
    std::vector<size_t> perBand(4);
    std::set<int> records;
    for (const ReviewCase& c : sample) {
        ++perBand[BandOf(c.confidence)];
        records.insert(c.record);
        EXPECT_EQ(c, automatic[static_cast<size_t>(c.record)]);
    }
    EXPECT_EQ(perBand, (std::vector<size_t>{1, 1, 5, 43}));
    EXPECT_EQ(records.size(), 50u);
    EXPECT_TRUE(std::is_sorted(sample.begin(), sample.end(),
                               [](const auto& a, const auto& b) { return a.record < b.record; }));

    EXPECT_EQ(DrawReviewSample(automatic, 50, 7), sample);
    EXPECT_NE(DrawReviewSample(automatic, 50, 8), sample);
    EXPECT_EQ(DrawReviewSample(automatic, 5000, 7), automatic);
}

class AutoCodingInSession : public CodingTest {
  public:
    TempFolder folder;

    AutoCodingInSession() {
        BuildCases({"1", "1", "1", "1", "1"});
        s.ProjectFolder = folder.Path() + "/";
        s.DataStem = "wave";
        SetAfterCodingMode(s, AfterCodingMode::NextCase);
    }
};

// An answer a person judged to fit no category teaches the calibration that its first suggestion
// was wrong; without it the estimate took such answers for safe.
TEST_F(AutoCodingInSession, TheCalibrationLearnsFromAnswersJudgedToFitNoCategory) {
    SetCode(0, 0, kDrivers);
    SetCode(1, 0, kMissing);
    SetCode(2, 0, kNotApp);
    Case(2, 0).ToCode = false;
    const std::vector<CodedCase> coded = PersonCodedCases(s);
    ASSERT_EQ(coded.size(), 2u);
    EXPECT_EQ(coded[0].code, "8322");
    EXPECT_EQ(coded[1].code, s.Clf.MissingDataCode);
}

TEST_F(AutoCodingInSession, OnlyTheCasesTheRunCodedAreDrawn) {
    ProjectAutoCodingPlan plan;
    for (int r = 0; r < 5; ++r) plan.places.push_back({r, 0});
    PlannedAnswer hair{"hair", {0, 1}, "5141", 0.97, true};
    PlannedAnswer notChosen{"cars", {2}, "8322", 0.60, false};
    PlannedAnswer doctor{"doctor", {3, 4}, "2211", 0.91, true};
    plan.plan.answers = {hair, notChosen, doctor};
    SetCode(0, 0, kHairdressers);
    SetCode(1, 0, kDentists);  // a person coded it between the plan and the run
    SetCode(2, 0, kDrivers);   // a person's code, the plan's too, but not chosen
    SetCode(3, 0, kPhysicians);
    SetCode(4, 0, kPhysicians);
    Case(4, 0).ToCode = false;  // left out by its filter since

    const std::vector<ReviewCase> automatic = AutomaticallyCodedCases(s, plan);
    ASSERT_EQ(automatic.size(), 2u);
    EXPECT_EQ(automatic[0].record, 0);
    EXPECT_EQ(automatic[0].code, "5141");
    EXPECT_EQ(automatic[1].record, 3);
    EXPECT_DOUBLE_EQ(automatic[1].confidence, 0.91);
    EXPECT_EQ(DrawReviewSample(automatic, 50, 1), automatic);

    EXPECT_EQ(DrawAndSaveReviewSample(s, plan, 50, 1), 2u);
    const ReviewSampleReading back = LoadReviewSample(ReviewSamplePath(s));
    EXPECT_TRUE(back.faults.empty());
    EXPECT_EQ(back.cases, automatic);
}

TEST(ReviewFile, ReadsBackWhatItWroteAndKeepsADamagedLine) {
    std::vector<ReviewCase> cases = {Automatic(0, 0.9312), Automatic(1, 1), Automatic(2, 0.8),
                                     Automatic(3, 0.875)};
    cases[0].respondentId = " 7%\tx ";  // blanks, a percent sign and a tab
    cases[1].outcome = ReviewOutcome::Confirmed;
    cases[2].outcome = ReviewOutcome::Recoded;
    cases[2].newCode = "2211";
    cases[3].outcome = ReviewOutcome::Recoded;  // its code taken away
    cases[3].field = 2;
    const std::string text = FormatReviewSample(cases);
    const ReviewSampleReading read = ReadReviewSampleText(text);
    EXPECT_TRUE(read.recognised && read.faults.empty());
    EXPECT_EQ(read.cases, cases);

    const ReviewResult result = SummariseReview(read.cases);
    EXPECT_EQ(result.confirmed, 1u);
    EXPECT_EQ(result.recoded, 2u);
    EXPECT_EQ(result.pending, 1u);
    EXPECT_NE(ReviewResultLine(result).find("measured error 66.7 %"), std::string::npos);

    // Lines 3 to 7 damaged in five ways, line 2 and 8 whole.
    const std::vector<std::string_view> lines = SplitLines(text);
    std::string damaged = std::string(lines[0]) + "\n" + std::string(lines[1]) + "\n";
    const std::vector<std::string> bad = {
        "1\tid\t1\t5141\t0.9",                       // too few values
        "0\tid\t1\t5141\t0.9\tpending\t%",           // record 0
        "1\tid\t1\t5141\t1.5\tpending\t%",           // confidence above 1
        "1\tid\t1\t5141\t0.9\tmaybe\t%",             // no such outcome
        "1\tid%4\t1\t5141\t0.9\tconfirmed\t2211\r",  // a torn escape and a stray code
    };
    for (const std::string& line : bad) damaged += line + "\n";
    damaged += std::string(lines[2]) + "\r\n\r\n";
    const ReviewSampleReading partly = ReadReviewSampleText(damaged);
    ASSERT_EQ(partly.cases.size(), 2u);
    EXPECT_EQ(partly.cases[0], cases[0]);
    EXPECT_EQ(partly.cases[1], cases[1]);
    ASSERT_EQ(partly.faults.size(), 5u);
    EXPECT_EQ(partly.faults[0], msg::ReviewSampleFault(3, msg::kReviewBadColumns));
    EXPECT_EQ(partly.faults[4], msg::ReviewSampleFault(7, msg::kReviewBadEscape));
    // Written back, the damaged lines stay, to be named again.
    const ReviewSampleReading again =
        ReadReviewSampleText(FormatReviewSample(partly.cases, partly.unreadable));
    EXPECT_EQ(again.cases, partly.cases);
    EXPECT_EQ(again.unreadable, partly.unreadable);

    const ReviewSampleReading foreign = ReadReviewSampleText("Tarnwick coding memory 1\r\n");
    EXPECT_FALSE(foreign.recognised);
    EXPECT_TRUE(foreign.cases.empty());
    EXPECT_EQ(foreign.faults,
              (std::vector<std::string>{msg::ReviewSampleFault(1, msg::kReviewNoHeading)}));
}

TEST_F(AutoCodingInSession, AWalkConfirmsRecodesTakesBackAndMeasuresTheError) {
    std::vector<ReviewCase> sample;
    for (int r = 0; r < 4; ++r) {
        SetCode(r, 0, kHairdressers);
        ReviewCase c = Automatic(r, 0.9);
        c.respondentId = s.Cases.Respondents[static_cast<size_t>(r)].RespondentId;
        sample.push_back(c);
    }
    SetCode(3, 0, kDrivers);  // recoded outside the review before its turn
    SetCode(4, 0, kDrivers);  // nothing is left to code, which no action in review may tell
    Recount();
    WriteFile(ReviewSamplePath(s), FormatReviewSample(sample));

    ASSERT_TRUE(StartReview(s));
    ExpectAt(0, 0);
    EXPECT_NE(ReviewBannerText(s).find("case 1 of 4"), std::string::npos);
    ConfirmReviewCase(s);
    ExpectAt(1, 0);
    MarkMissing(s);  // any other code recodes the case
    FollowReview(s);
    ExpectAt(2, 0);
    EXPECT_EQ(s.Review.Cases[1].outcome, ReviewOutcome::Recoded);
    EXPECT_EQ(s.Review.Cases[1].newCode, s.Clf.MissingDataCode);

    ASSERT_TRUE(TakeBackReviewVerdict(s));
    ExpectAt(1, 0);
    EXPECT_EQ(Case(1, 0).Code, "5141");
    EXPECT_EQ(s.Review.Cases[1].outcome, ReviewOutcome::Pending);
    NextRecord(s);  // a move stays on the case under review
    FollowReview(s);
    ExpectAt(1, 0);
    // The automatic code itself, from a list, confirms.
    ReviewCodeLine(s, CategoryTab::Full, kHairdressers);
    ExpectAt(2, 0);
    SelectFullListLine(s, kDrivers);
    ReviewCodeSelected(s);

    // The last case no longer held its code: the review is over.
    EXPECT_FALSE(InReview(s));
    EXPECT_TRUE(ReviewBannerText(s).empty());
    EXPECT_EQ(s.AfterCoding, AfterCodingMode::NextCase);
    const std::string result = s.Report.back();
    EXPECT_NE(result.find("2 of 3 confirmed, 1 recoded; measured error 33.3 %"), std::string::npos)
        << result;
    EXPECT_NE(result.find("1 case left out"), std::string::npos) << result;
    EXPECT_EQ(TakeMessages(), (std::vector<std::string>{result}));
    const ReviewSampleReading back = LoadReviewSample(ReviewSamplePath(s));
    ASSERT_EQ(back.cases.size(), 4u);
    EXPECT_EQ(back.cases[0].outcome, ReviewOutcome::Confirmed);
    EXPECT_EQ(back.cases[1].outcome, ReviewOutcome::Confirmed);
    EXPECT_EQ(back.cases[2].outcome, ReviewOutcome::Recoded);
    EXPECT_EQ(back.cases[2].newCode, "8322");
    EXPECT_EQ(back.cases[3].outcome, ReviewOutcome::Dropped);
    EXPECT_FALSE(StartReview(s));  // nothing pending: the result again
}

}  // namespace
}  // namespace tarnwick::testing
