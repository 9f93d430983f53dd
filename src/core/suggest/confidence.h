#pragma once
// How far a first suggestion can be trusted, and which cases it can be trusted enough to code
// without a person. The score of a suggestion does not say it: a right first suggestion may
// score lower than a wrong one, while how far it stands ahead of the second, and whether the
// memory and the classification agree on it, say much more. So the trust is learnt per project
// from the answers a person coded: each coded case is ranked as if it had not been coded (left out
// of the memory), and a monotone map from its ranking's features to the chance that the first
// suggestion was right is fitted to them. A target error then gives the lowest confidence at which
// the coded cases show no more errors than that, with the interval those cases allow.
//
// Pure: nothing here reads files or a session; the window and the console build on it.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/io/progress.h"
#include "core/suggest/suggest.h"

namespace tarnwick {

// A coded case seen by the calibration: its ranking's features, whether the first suggestion was
// the code a person gave, and for how many cases alike it stands.
struct CalibrationPair {
    RankFeatures features;
    bool right = false;
    uint32_t weight = 1;
};

// A monotone map from a ranking's features to the chance that its first suggestion is right, and
// the calibration cases it was fitted on, each with its confidence.
class ConfidenceCalibration {
  public:
    // The numbers taken from RankFeatures (see Inputs in confidence.cpp).
    static constexpr size_t kInputs = 9;

    struct Case {
        double confidence = 0;
        bool right = false;
        uint32_t weight = 1;
    };

    // Knows nothing: every confidence is 0 and no threshold can be promised.
    ConfidenceCalibration() = default;

    // Combines the features in one score by a logistic regression (a few Newton steps, lightly
    // held towards 0), and maps that score to the chance of being right by isotonic regression.
    // The calibration cases' own confidences come from regressions fitted without them (five
    // parts, each left out once), so that the threshold chosen on them is not flattered by the
    // fit. The same pairs in the same order give the same map.
    static ConfidenceCalibration Fit(const std::vector<CalibrationPair>& pairs);

    // 0..1; 0 for a ranking without a first suggestion. The mean of the fifths' maps when the
    // cases were enough to fit them.
    double Confidence(const RankFeatures& features) const;

    // The calibration cases, the most confident first (ties: in the order of the pairs).
    const std::vector<Case>& Cases() const { return cases_; }
    // Their number, each pair counted by its weight.
    size_t CaseCount() const { return caseCount_; }

  private:
    double Score(const std::array<double, kInputs>& x) const;

    bool fitted_ = false;
    std::array<double, kInputs + 1> weights_{};     // the intercept last
    std::vector<std::pair<double, double>> knots_;  // score -> chance of being right, increasing
    std::vector<Case> cases_;
    size_t caseCount_ = 0;
    // The regressions fitted without each fifth of the cases, which gave their confidences.
    struct Fold {
        std::array<double, kInputs + 1> weights;
        std::vector<std::pair<double, double>> knots;
    };
    std::vector<Fold> folds_;
};

// An interval of a share, 0..1.
struct ShareInterval {
    double low = 0;
    double high = 1;
};

// The 95 % Wilson score interval of the share errors / cases (all of 0..1 for no cases).
ShareInterval WilsonInterval(size_t errors, size_t cases);

// The outcome of choosing a threshold for a target error.
enum class ThresholdOutcome {
    Promised,     // the threshold below holds the target
    TooFewCases,  // the coded cases cannot promise the target yet: moreCases says about how many
                  // more would
    Unreachable,  // not even the most confident coded cases err as rarely as the target
    BadTarget,    // the target is not a share between 0 and 1
};

// What ChooseThreshold promises, or why it cannot. The calibration cases "above" are those with a
// confidence at or above the threshold. The promise: cases like the calibration cases whose first
// suggestion has at least this confidence are coded with about `estimatedError` errors, within
// `interval` with 95 % certainty.
struct ThresholdChoice {
    ThresholdOutcome outcome = ThresholdOutcome::BadTarget;
    double target = 0;
    double threshold = 1;       // the lowest confidence taken; above 1 when nothing is promised
    size_t cases = 0;           // calibration cases
    size_t casesAbove = 0;      // of them above the threshold
    size_t errorsAbove = 0;     // of those, the ones whose first suggestion was not their code
    double estimatedError = 0;  // the mean of 1 - confidence over the cases above
    ShareInterval interval;     // Wilson, of errorsAbove / casesAbove
    double coverage = 0;        // casesAbove / cases
    size_t moreCases = 0;       // TooFewCases: about how many more coded cases would do

    bool Promised() const { return outcome == ThresholdOutcome::Promised; }
};

// A confidence at or above a threshold. A new case's confidence is a mean of the same numbers a
// calibration case's is one of, so the two may differ in the last bits where they are equal.
inline bool ReachesThreshold(double confidence, double threshold) {
    return confidence >= threshold - 1e-12;
}

// The fewest calibration cases above a threshold that may promise anything.
inline constexpr size_t kMinCasesAbove = 30;

// The lowest threshold t among the calibration cases' confidences such that, over the cases at or
// above t, (1) the estimated error (the mean of 1 - confidence) and (2) the share that were wrong
// are both at most `target`, (3) there are at least kMinCasesAbove of them and (4) the upper end of
// the Wilson interval of (2) is at most twice the target. Without one: TooFewCases when some t
// meets (2), moreCases estimated as the cases it would take for (3) and (4) at the error and
// coverage of the lowest such t; Unreachable otherwise.
ThresholdChoice ChooseThreshold(const ConfidenceCalibration& calibration, double target);

// A case a person coded: its information texts and the code given.
struct CodedCase {
    std::vector<std::string> texts;
    std::string code;
};

// Exact leave-one-out through the memory: each coded case is taken out of the memory
// (CodingMemory::Unlearn), ranked, and learnt back, so the memory ends as it began, also when
// the work is stopped (WorkCancelled) or fails. Cases with the same normalised answer and code
// rank alike and are ranked once, the pair weighing as their count; a case the memory does not
// hold is ranked against the memory as it is. A first suggestion is right when it is the case's
// code (trimmed); a case coded with a code the ranking never suggests (missing data, not
// applicable, unknown) is an error, as it would be when coded without a person.
std::vector<CalibrationPair> LeaveOneOut(const SuggestionEngine& engine, CodingMemory& memory,
                                         const std::vector<CodedCase>& coded,
                                         const WorkProgress& progress = {});

// A case that might be coded without a person.
struct CandidateCase {
    std::vector<std::string> texts;
    bool toBeCoded = true;  // its filters ask for a code
    bool coded = false;     // it has a code already (also missing data or not applicable)
};

// One distinct normalised answer of the cases considered.
struct PlannedAnswer {
    std::string answer;         // normalised
    std::vector<size_t> cases;  // indices into the candidates, ascending
    std::string code;           // the first suggestion; empty when there is none
    double confidence = 0;
    bool chosen = false;  // confidence at or above the threshold: to be coded as `code`
};

// Which cases would be coded without a person.
struct AutoCodingPlan {
    ThresholdChoice threshold;
    // When promised: every distinct answer of the cases considered, in the order of its first
    // case; empty otherwise.
    std::vector<PlannedAnswer> answers;
    size_t casesConsidered = 0;  // to be coded, without a code, with some text
    size_t casesChosen = 0;
    double expectedErrors = 0;  // the sum of 1 - confidence over the cases chosen
    // 95 % of the share of the chosen cases that will be wrong: the threshold's interval widened
    // for the chance of so many cases (the Wilson interval of the calibration cases' share for
    // n m / (n + m) cases, n above the threshold, m chosen), and wide enough to hold the Wilson
    // interval around the chosen cases' own estimate; all of 0..1 when none is chosen.
    ShareInterval errorInterval;
};

// Ranks each distinct answer of the candidates that are to be coded and have no code once against
// the memory, and chooses those whose confidence reaches the threshold for `target`. When the
// chosen cases' own estimate (the mean of 1 - confidence) exceeds the target, the threshold rises
// over their confidences until it does not. Reports progress by distinct answer; throws
// WorkCancelled.
AutoCodingPlan PlanAutoCoding(const SuggestionEngine& engine, const CodingMemory& memory,
                              const ConfidenceCalibration& calibration,
                              const std::vector<CandidateCase>& cases, double target,
                              const WorkProgress& progress = {});

}  // namespace tarnwick
