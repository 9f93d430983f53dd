#pragma once
// Coding without a person the cases whose first suggestion is trusted enough: the trust is
// calibrated on answers a person coded (the project's own, left out of the memory one at a
// time, or a labelled file), the threshold is the lowest that promises the target error, and the
// codes go through the coder's path (journal, memory, working file) as one action that one undo
// takes back.

#include <string>
#include <vector>

#include "core/io/progress.h"
#include "core/suggest/confidence.h"

namespace tarnwick {

class Session;

// The cases of the session that a person coded with a category of the classification or as
// missing data (an answer that fits none, which a first suggestion gets wrong): what a
// calibration on the project learns from. Codes given automatically are not among them (they
// would only confirm the ranking that gave them); missing data are (the ranking would have
// given them a category: an error).
std::vector<CodedCase> PersonCodedCases(const Session& session);

// Where the calibration comes from and what it is.
struct AutoCodingCalibration {
    ConfidenceCalibration calibration;
    size_t cases = 0;         // the coded answers it was fitted on, each case counted
    bool fromProject = true;  // the project's coded cases; a labelled file otherwise
};

// The most coded cases a calibration ranks; of more, a fixed random sample.
inline constexpr size_t kMaxCalibrationCases = 10000;

// Calibrates on `coded` (the project's: PersonCodedCases), or a sample of kMaxCalibrationCases of
// them, by exact leave-one-out through the session's memory, which ends as it began. The
// session's suggestions must be ready. Throws WorkCancelled.
AutoCodingCalibration CalibrateAutoCoding(Session& session, const std::vector<CodedCase>& coded,
                                          bool fromProject, const WorkProgress& progress = {});

// Which of the session's cases to code, with a case's record and field for each candidate index.
struct ProjectAutoCodingPlan {
    AutoCodingPlan plan;
    struct Place {
        int record = 0;
        int field = 0;
    };
    std::vector<Place> places;  // one per candidate index of plan.answers[].cases
};

// Every case of the session is a candidate: those to be coded, without code, with some text are
// ranked, once per distinct normalised answer. Throws WorkCancelled.
ProjectAutoCodingPlan PlanProjectAutoCoding(const Session& session,
                                            const ConfidenceCalibration& calibration, double target,
                                            const WorkProgress& progress = {});

// Gives the chosen answers' cases their codes as one coding action, and writes the report line;
// refused, after saying so, in a read-only or a team project.
// A case that has a code by now, or is no longer to be coded, is left as it is. Returns the number
// of cases coded; throws IoError (nothing coded) when the journal cannot be written.
int ApplyAutoCoding(Session& session, const ProjectAutoCodingPlan& plan);

// "4.1 %": a share as the figures of automatic coding show it; "3.2-5.3 %" an interval.
std::string AutoPercent(double share);
std::string AutoRange(const ShareInterval& interval);

}  // namespace tarnwick
