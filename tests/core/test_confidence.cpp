// Confidence in the first suggestion: the features of a ranking, the threshold for a target error
// on calibration pairs whose chance of being right is known, the leave-one-out through the memory
// and which cases a run would code.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/suggest/confidence.h"

namespace tarnwick {
namespace {

const char* const kClassification =
    "Test\r\n"
    "#C 1000\r\n#N Health and teaching\r\n"
    "#C 1100\r\n#N Professionals\r\n"
    "#C 1110\r\n#N Nursing professionals\r\n#D Care of patients. {[nurse] [district nurse]}\r\n"
    "#C 1120\r\n#N Primary school teachers\r\n#D Teach children. {[teacher] [schoolteacher]}\r\n"
    "#C 1130\r\n#N Heavy truck drivers\r\n#D Drive lorries. {[lorry driver] [trucker]}\r\n"
    "#CM 9998\r\n#N Missing\r\n#D Not known.\r\n"
    "#CN 9999\r\n#N Not applicable\r\n#D Not applicable.\r\n";

Classification Load() {
    Classification clf;
    int width = 0;
    std::vector<std::string> errors;
    EXPECT_TRUE(LoadClassificationText(kClassification, "t.clf", width, clf, errors, false));
    return clf;
}

// Pairs whose first suggestion is right with the chance 0.5 + 0.5 * margin, the margin spread
// evenly over 0..1 by a fixed generator.
struct Known {
    std::vector<CalibrationPair> pairs;
    std::vector<double> errorChance;
};
Known Synthetic(size_t n, uint64_t seed) {
    Known k;
    auto next = [&] {
        seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<double>(seed >> 11) / 9007199254740992.0;
    };
    for (size_t i = 0; i < n; ++i) {
        CalibrationPair p;
        p.features.ranked = true;
        p.features.margin = static_cast<float>(next());
        p.features.score = 0.2f + p.features.margin;
        const double error = 0.5 - 0.5 * p.features.margin;
        p.right = next() >= error;
        k.pairs.push_back(p);
        k.errorChance.push_back(error);
    }
    return k;
}

TEST(Confidence, TheThresholdHoldsTheTargetOnCalibrationAndNewCases) {
    const Known calibration = Synthetic(2000, 7);
    const auto fitted = ConfidenceCalibration::Fit(calibration.pairs);
    EXPECT_EQ(fitted.CaseCount(), 2000u);
    const Known fresh = Synthetic(20000, 8);
    double lastThreshold = 2;
    for (double target : {0.03, 0.05, 0.10}) {
        const ThresholdChoice choice = ChooseThreshold(fitted, target);
        ASSERT_TRUE(choice.Promised()) << target;
        // What the calibration cases at or above the threshold hold.
        size_t above = 0, errors = 0;
        for (const auto& c : fitted.Cases()) {
            if (c.confidence < choice.threshold) continue;
            above += c.weight;
            errors += c.right ? 0 : c.weight;
        }
        EXPECT_EQ(above, choice.casesAbove);
        EXPECT_EQ(errors, choice.errorsAbove);
        const double observed = static_cast<double>(errors) / static_cast<double>(above);
        EXPECT_LE(observed, target);
        EXPECT_LE(choice.estimatedError, target);
        EXPECT_GE(above, kMinCasesAbove);
        EXPECT_LE(choice.interval.low, observed);
        EXPECT_GE(choice.interval.high, observed);
        EXPECT_LE(choice.interval.high, 2 * target);
        // New cases of the same kind err, by their known chances, within the promise.
        double chance = 0;
        size_t taken = 0;
        for (size_t i = 0; i < fresh.pairs.size(); ++i) {
            if (fitted.Confidence(fresh.pairs[i].features) < choice.threshold) continue;
            chance += fresh.errorChance[i];
            ++taken;
        }
        ASSERT_GT(taken, 0u);
        EXPECT_GE(chance / static_cast<double>(taken), choice.interval.low) << target;
        EXPECT_LE(chance / static_cast<double>(taken), choice.interval.high) << target;
        // A looser target never takes fewer cases.
        EXPECT_LE(choice.threshold, lastThreshold);
        lastThreshold = choice.threshold;
    }
    RankFeatures odd;
    odd.ranked = true;
    odd.margin = NAN;
    odd.score = INFINITY;
    const double confidence = fitted.Confidence(odd);
    EXPECT_TRUE(confidence >= 0 && confidence <= 1) << confidence;
    EXPECT_EQ(ChooseThreshold(fitted, 0).outcome, ThresholdOutcome::BadTarget);
    EXPECT_EQ(ChooseThreshold(fitted, 1).outcome, ThresholdOutcome::BadTarget);
    EXPECT_EQ(ChooseThreshold(fitted, NAN).outcome, ThresholdOutcome::BadTarget);
}

TEST(Confidence, TooFewCasesAreRefusedWithHowManyMoreWouldDo) {
    const ThresholdChoice none = ChooseThreshold(ConfidenceCalibration::Fit({}), 0.05);
    EXPECT_EQ(none.outcome, ThresholdOutcome::TooFewCases);
    EXPECT_GE(none.moreCases, kMinCasesAbove);

    // Forty cases alike, all right: their interval still reaches beyond twice the target.
    CalibrationPair alike;
    alike.features.ranked = true;
    alike.right = true;
    alike.weight = 40;
    const ThresholdChoice forty = ChooseThreshold(ConfidenceCalibration::Fit({alike}), 0.03);
    ASSERT_EQ(forty.outcome, ThresholdOutcome::TooFewCases);
    EXPECT_EQ(forty.errorsAbove, 0u);
    EXPECT_GT(forty.interval.high, 0.06);
    alike.weight += static_cast<uint32_t>(forty.moreCases);
    EXPECT_TRUE(ChooseThreshold(ConfidenceCalibration::Fit({alike}), 0.03).Promised());

    const Known few = Synthetic(80, 11);
    const ThresholdChoice refused = ChooseThreshold(ConfidenceCalibration::Fit(few.pairs), 0.05);
    ASSERT_EQ(refused.outcome, ThresholdOutcome::TooFewCases);
    EXPECT_GT(refused.moreCases, 0u);
    // The estimate is rough, few cases showing fewer errors than there are; some times that many
    // cases of the same kind do.
    const Known enough = Synthetic(4 * (80 + refused.moreCases), 11);
    EXPECT_TRUE(ChooseThreshold(ConfidenceCalibration::Fit(enough.pairs), 0.05).Promised());
}

TEST(Confidence, RankDetailedKeepsTheListAndTellsTheIdenticalAnswer) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    CodingMemory memory;
    memory.Learn({"teacher"}, "1130", 3);
    memory.Learn({"teacher"}, "1120");
    for (const std::vector<std::string>& texts :
         std::vector<std::vector<std::string>>{{"teacher"}, {"district nurse"}, {"lorry"}}) {
        for (size_t top : {1, 2, 10}) {
            const auto plain = engine.Rank(texts, memory, top);
            const auto detailed = engine.RankDetailed(texts, memory, top);
            ASSERT_EQ(detailed.suggestions.size(), plain.size());
            for (size_t i = 0; i < plain.size(); ++i) {
                EXPECT_EQ(detailed.suggestions[i].code, plain[i].code);
                EXPECT_EQ(detailed.suggestions[i].score, plain[i].score);
                EXPECT_EQ(detailed.suggestions[i].reason, plain[i].reason);
            }
        }
    }
    // The memory puts 1130 first; the words, and the classification alone, prefer 1120.
    const RankFeatures f = engine.RankDetailed({"teacher"}, memory, 1).features;
    EXPECT_TRUE(f.ranked);
    EXPECT_EQ(f.identicalCount, 4u);
    EXPECT_FLOAT_EQ(f.identicalShare, 0.75f);
    EXPECT_FALSE(f.classificationAgrees);
    const RankFeatures nurse = engine.RankDetailed({"district nurse"}, memory, 1).features;
    EXPECT_TRUE(nurse.classificationAgrees);
    EXPECT_GT(nurse.margin, 0);
    EXPECT_EQ(nurse.matchedTerms, nurse.terms);
    EXPECT_FALSE(engine.RankDetailed({" ,. "}, memory, 1).features.ranked);
}

// Coded cases: 40 alike of each of three answers, one answer coded once, one coded with two
// codes, and one the memory does not hold.
struct Coded {
    std::vector<CodedCase> cases;
    CodingMemory memory;
    Coded() {
        for (int i = 0; i < 40; ++i) {
            cases.push_back({{"Nurse"}, "1110"});
            cases.push_back({{"teacher", "at school"}, "1120"});
            cases.push_back({{"lorry driver"}, " 1130 "});
        }
        cases.push_back({{"trucker"}, "1130"});
        cases.push_back({{"schoolteacher"}, "1120"});
        cases.push_back({{"schoolteacher"}, "1110"});
        for (const CodedCase& c : cases) memory.Learn(c.texts, c.code);
        cases.push_back({{"kapana seller"}, "1130"});
    }
};

TEST(Confidence, LeaveOneOutLeavesTheMemoryAsItWasAlsoWhenStopped) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    Coded coded;
    CodingMemory before;
    before.Merge(coded.memory);

    const auto pairs = LeaveOneOut(engine, coded.memory, coded.cases);
    EXPECT_TRUE(coded.memory == before);
    size_t weight = 0;
    for (const auto& p : pairs) weight += p.weight;
    EXPECT_EQ(weight, coded.cases.size());
    ASSERT_EQ(pairs.size(), 7u);  // one per answer and code
    // Of 40 alike, each sees the 39 others; the one coded once is not in the memory when ranked.
    EXPECT_EQ(pairs[0].features.identicalCount, 39u);
    EXPECT_TRUE(pairs[2].right);  // the code as given, trimmed
    EXPECT_EQ(pairs[3].features.identicalCount, 0u);
    EXPECT_EQ(pairs[4].features.identicalCount, 1u);  // schoolteacher's other code
    EXPECT_FALSE(pairs[4].right);

    int reports = 0;
    const WorkProgress stopLater{[&](int) { return ++reports < 4; }};
    EXPECT_THROW(LeaveOneOut(engine, coded.memory, coded.cases, stopLater), WorkCancelled);
    EXPECT_EQ(reports, 4);
    EXPECT_TRUE(coded.memory == before);
}

TEST(Confidence, ARunCodesOnlyCasesToBeCodedThatHaveNoCode) {
    const Classification clf = Load();
    const SuggestionEngine engine(clf);
    Coded coded;
    const auto calibration =
        ConfidenceCalibration::Fit(LeaveOneOut(engine, coded.memory, coded.cases));
    const std::vector<CandidateCase> cases = {
        {{"nurse"}, true, false},    // 0: chosen
        {{"nurse"}, true, true},     // 1: coded already
        {{"nurse"}, false, false},   // 2: not to be coded
        {{"NURSE."}, true, false},   // 3: the same answer as 0
        {{"", " - "}, true, false},  // 4: no text
        {{"lorry driver"}, false, false},
    };
    // At 10 %: seven calibration answers leave the confidence of "nurse" near 0.91.
    const AutoCodingPlan plan = PlanAutoCoding(engine, coded.memory, calibration, cases, 0.10);
    ASSERT_TRUE(plan.threshold.Promised());
    EXPECT_EQ(plan.casesConsidered, 2u);
    ASSERT_EQ(plan.answers.size(), 1u);
    EXPECT_EQ(plan.answers[0].cases, (std::vector<size_t>{0, 3}));
    EXPECT_EQ(plan.answers[0].code, "1110");
    EXPECT_TRUE(plan.answers[0].chosen);
    EXPECT_EQ(plan.casesChosen, 2u);
    EXPECT_LE(plan.errorInterval.low, plan.threshold.interval.low);
    EXPECT_GE(plan.errorInterval.high, plan.threshold.interval.high);

    // Refused, nothing is coded.
    const AutoCodingPlan refused = PlanAutoCoding(engine, coded.memory, calibration, cases, 1e-4);
    EXPECT_FALSE(refused.threshold.Promised());
    EXPECT_EQ(refused.casesChosen, 0u);
    EXPECT_TRUE(refused.answers.empty());
}

}  // namespace
}  // namespace tarnwick
