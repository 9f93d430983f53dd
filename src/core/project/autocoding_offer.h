#pragma once
// Automatic coding as a coder starts it from the window: what stops it, the calibration and the
// plan as one piece of work with its progress, and what it would do, in words, before anything
// changes. The codes themselves go through ApplyAutoCoding.

#include <cstddef>
#include <string>

#include "core/io/progress.h"
#include "core/project/autocoding.h"

namespace tarnwick {

class Session;

// Why automatic coding cannot start now (a read-only project, no suggestions or suggestions
// still being prepared, a review under way); empty when it can.
std::string AutoCodingRefusal(const Session& session);

struct AutoCodingOffer {
    ProjectAutoCodingPlan plan;
    size_t calibrationCases = 0;  // the cases a person coded that the calibration learnt from
    double target = 0;
    // Something to code: the target is promised and some case reaches the threshold.
    bool CanCode() const { return plan.plan.threshold.Promised() && plan.plan.casesChosen > 0; }
};

// Calibrates on the cases a person coded (by leave-one-out through the memory; kept as
// Session::Calibration) unless `calibrate` is false and the session holds a calibration, then
// plans for `target`. Reports on the platform's progress; throws WorkCancelled, and the memory
// is then as it was, the calibration the last one finished.
AutoCodingOffer OfferAutoCoding(Session& session, double target, bool calibrate);

// "412 of 530 cases can be coded automatically; ..." or why none can.
std::string AutoCodingOfferText(const AutoCodingOffer& offer);

}  // namespace tarnwick
