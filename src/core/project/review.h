#pragma once
// Checking automatic codes by hand. The error of automatic coding is only estimated beforehand;
// a person measures it: a sample of the cases one run coded is drawn at random across their
// confidence, kept as the project's review sample (`<data stem>.zrv`, data/review_sample.h), and
// walked through in review mode, where the reviewer confirms each automatic code or recodes the
// case. The share recoded, with its 95 % interval, is the measured error.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/data/review_sample.h"
#include "core/session/coding_view.h"
#include "core/suggest/confidence.h"

namespace tarnwick {

class Session;
struct ProjectAutoCodingPlan;

// The bands of confidence a draw is spread over.
inline constexpr size_t kReviewBands = 4;

// Draws `size` of the automatic cases at random, all of them when there are no more. The range
// from their lowest to their highest confidence is cut into kReviewBands equal bands; each band
// gets a share of the draw in proportion to its cases (the largest remainders rounding up), and
// while the size allows, every band with cases gets at least one, taken from the largest share.
// The same cases, size and seed give the same draw on every machine. The cases drawn keep their
// order in `automatic`, pending.
std::vector<ReviewCase> DrawReviewSample(const std::vector<ReviewCase>& automatic, size_t size,
                                         uint64_t seed);

// The cases of the plan's chosen answers that hold the planned code now: called right after
// ApplyAutoCoding, the cases it coded (not those a person coded in the meantime).
std::vector<ReviewCase> AutomaticallyCodedCases(const Session& session,
                                                const ProjectAutoCodingPlan& plan);

// `<data stem>.zrv` beside the working file.
std::string ReviewSamplePath(const Session& session);

// Draws `size` of the cases the plan's run coded and writes them as the project's review sample,
// with a report line; a sample there before is replaced, its result so far going to the report.
// Returns the number drawn (0 writes nothing). Throws IoError.
size_t DrawAndSaveReviewSample(Session& session, const ProjectAutoCodingPlan& plan, size_t size,
                               uint64_t seed);

// Reads a review sample file; a damaged line is named in `faults` and kept in `unreadable`.
// Throws IoError when it cannot be read.
ReviewSampleReading LoadReviewSample(const std::string& path);

// What the reviewer found.
struct ReviewResult {
    size_t cases = 0;
    size_t confirmed = 0;
    size_t recoded = 0;
    size_t pending = 0;
    size_t dropped = 0;
    size_t Reviewed() const { return confirmed + recoded; }
    double error = 0;        // recoded of reviewed; 0 when none was reviewed
    ShareInterval interval;  // 95 % Wilson of recoded / reviewed
};
ReviewResult SummariseReview(const std::vector<ReviewCase>& cases);
// The report line: "Review of automatic codes: 48 of 50 confirmed, 2 recoded; measured error
// 4.0 % (95 %: 1.1-13.5 %)".
std::string ReviewResultLine(const ReviewResult& result);

// Review mode. While it is on, the case under review is always the one shown, and a coding
// action stays on its case (the walk moves on by itself).

// Reads the project's review sample and shows its first pending case; refused with a message in
// a read-only project, without a sample, or when no case is pending (the result is then shown).
// Throws IoError.
bool StartReview(Session& session);
bool InReview(const Session& session);
// The automatic code is right: the next case.
void ConfirmReviewCase(Session& session);
// CODE in review (or a line of a list, `line` of `list`): the automatic code itself confirms the
// case; any other code recodes it.
void ReviewCodeSelected(Session& session);
void ReviewCodeLine(Session& session, CategoryTab list, int line);
// After any other action or move in review: a case whose code changed is recoded, and the case
// under review is shown again, or the next one.
void FollowReview(Session& session);
// Ctrl+Z in review: takes back the last verdict of this walk, a recode with its code, and shows
// that case again.
bool TakeBackReviewVerdict(Session& session);
// Review mode off; the sample keeps what was found, for a later StartReview.
void LeaveReview(Session& session);
// What the coding page says while a review is on; empty otherwise.
std::string ReviewBannerText(const Session& session);

}  // namespace tarnwick
