#include "core/project/autocoding_offer.h"

#include <cstdio>

#include "core/coding/suggestions.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

std::string AutoCodingRefusal(const Session& s) {
    if (s.ReadOnly) return msg::ReadOnlyNoCoding(s.ReadOnlyReason);
    if (s.SuggestionsPending) return msg::kAutoCodingSuggestionsPending;
    if (!s.Suggester) return msg::kAutoCodingNoSuggestions;
    if (s.Review.Active) return msg::kAutoCodingInReview;
    return {};
}

AutoCodingOffer OfferAutoCoding(Session& s, double target, bool calibrate) {
    AutoCodingOffer offer;
    offer.target = target;
    const auto on = [&s](const char* what, int from, int to) {
        return WorkProgress{[&s, what](int percent) { return s.platform.Progress(what, percent); },
                            from, to};
    };
    if (calibrate || !s.Calibration) {
        const AutoCodingCalibration fitted =
            CalibrateAutoCoding(s, PersonCodedCases(s), true, on(msg::kProgressCalibrating, 0, 70));
        s.Calibration = fitted.calibration;
        RefreshSuggestions(s);  // the case shown gains its confidence
    }
    offer.calibrationCases = s.Calibration->CaseCount();
    offer.plan =
        PlanProjectAutoCoding(s, *s.Calibration, target, on(msg::kProgressPlanning, 70, 100));
    return offer;
}

std::string AutoCodingOfferText(const AutoCodingOffer& offer) {
    const AutoCodingPlan& p = offer.plan.plan;
    const ThresholdChoice& t = p.threshold;
    switch (t.outcome) {
        case ThresholdOutcome::BadTarget:
            return msg::kAutoCodingBadTarget;
        case ThresholdOutcome::TooFewCases:
            return msg::AutoCodingTooFew(AutoPercent(offer.target), t.moreCases,
                                         offer.calibrationCases);
        case ThresholdOutcome::Unreachable:
            return msg::AutoCodingUnreachable(AutoPercent(offer.target), offer.calibrationCases);
        case ThresholdOutcome::Promised:
            break;
    }
    if (p.casesConsidered == 0) return msg::kAutoCodingNothingLeft;
    if (p.casesChosen == 0) {
        return msg::AutoCodingNoneReaches(p.casesConsidered, AutoPercent(t.threshold));
    }
    return msg::AutoCodingProposed(
        p.casesChosen, p.casesConsidered,
        AutoPercent(p.expectedErrors / static_cast<double>(p.casesChosen)),
        AutoRange(p.errorInterval), offer.calibrationCases);
}

}  // namespace tarnwick
