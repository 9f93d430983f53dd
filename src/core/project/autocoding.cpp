#include "core/project/autocoding.h"

#include <cstdio>
#include <utility>

#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/coding/suggestions.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

std::vector<CodedCase> PersonCodedCases(const Session& s) {
    std::vector<CodedCase> coded;
    const auto& rs = s.Cases.Respondents;
    for (size_t r = 0; r < rs.size(); ++r) {
        const auto& zs = rs[r].Occupations;
        for (size_t f = 0; f < zs.size(); ++f) {
            const TZawod& z = zs[f];
            // An answer judged to fit no category is what automatic coding must learn to leave
            // alone: its missing-data code counts as the ranking's error.
            if (!z.ToCode || (!IsLearntCode(s, z.Code) && z.Code != s.Clf.MissingDataCode)) {
                continue;
            }
            const tarnwick::Provenance* p =
                s.Provenance.Find(static_cast<int>(r), static_cast<int>(f));
            if (p && p->origin.source == CodeSource::Automatic) continue;
            coded.push_back({CaseTexts(s, static_cast<int>(r), static_cast<int>(f)), z.Code});
        }
    }
    return coded;
}

AutoCodingCalibration CalibrateAutoCoding(Session& s, const std::vector<CodedCase>& coded,
                                          bool fromProject, const WorkProgress& progress) {
    AutoCodingCalibration out;
    out.fromProject = fromProject;
    if (!s.Suggester) return out;
    const std::vector<CalibrationPair> pairs = LeaveOneOut(*s.Suggester, s.Memory, coded, progress);
    out.calibration = ConfidenceCalibration::Fit(pairs);
    out.cases = out.calibration.CaseCount();
    return out;
}

ProjectAutoCodingPlan PlanProjectAutoCoding(const Session& s,
                                            const ConfidenceCalibration& calibration,
                                            double target, const WorkProgress& progress) {
    ProjectAutoCodingPlan out;
    std::vector<CandidateCase> candidates;
    const auto& rs = s.Cases.Respondents;
    for (size_t r = 0; r < rs.size(); ++r) {
        const auto& zs = rs[r].Occupations;
        for (size_t f = 0; f < zs.size(); ++f) {
            const TZawod& z = zs[f];
            if (!z.ToCode || !z.Code.empty()) continue;  // only these are ever planned
            candidates.push_back(
                {CaseTexts(s, static_cast<int>(r), static_cast<int>(f)), z.ToCode, false});
            out.places.push_back({static_cast<int>(r), static_cast<int>(f)});
        }
    }
    if (!s.Suggester) {
        out.plan.threshold = ChooseThreshold(calibration, target);
        return out;
    }
    out.plan = PlanAutoCoding(*s.Suggester, s.Memory, calibration, candidates, target, progress);
    return out;
}

int ApplyAutoCoding(Session& s, const ProjectAutoCodingPlan& p) {
    if (RefusedReadOnly(s)) return 0;
    std::vector<CaseEdit> edits;
    for (const PlannedAnswer& answer : p.plan.answers) {
        if (!answer.chosen) continue;
        const auto name = s.Clf.NameOf(answer.code);
        if (!name) continue;
        for (size_t i : answer.cases) {
            const auto& place = p.places[i];
            const auto& rs = s.Cases.Respondents;
            if (place.record < 0 || static_cast<size_t>(place.record) >= rs.size()) continue;
            const auto& zs = rs[static_cast<size_t>(place.record)].Occupations;
            if (place.field < 0 || static_cast<size_t>(place.field) >= zs.size()) continue;
            const TZawod& z = zs[static_cast<size_t>(place.field)];
            // Planned a moment ago; a coder or a team mate may have coded it since.
            if (!z.ToCode || !z.Code.empty()) continue;
            CodeOrigin origin{CodeSource::Automatic};
            origin.confidence = answer.confidence;
            origin.threshold = p.plan.threshold.threshold;
            edits.push_back({place.record, place.field, answer.code, *name, true, origin});
        }
    }
    const int coded = ChangeCases(s, edits);
    if (coded > 0) {
        s.AppendReportLine(msg::AutoCodedReportLine(
            coded, AutoPercent(p.plan.threshold.threshold),
            AutoPercent(p.plan.casesChosen ? p.plan.expectedErrors / p.plan.casesChosen : 0),
            AutoPercent(p.plan.errorInterval.low), AutoPercent(p.plan.errorInterval.high)));
        ShowCurrentCase(s);
    }
    return coded;
}

std::string AutoPercent(double share) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f %%", 100.0 * share);
    return buffer;
}

}  // namespace tarnwick
