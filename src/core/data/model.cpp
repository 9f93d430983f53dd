#include "core/data/model.h"

#include <algorithm>

namespace tarnwick {

OccupationCounts CountOccupations(const CaseModel& cases) {
    OccupationCounts counts;
    for (const TOsoba& r : cases.Respondents) {
        bool any = false;
        for (const TZawod& z : r.Occupations) {
            if (!z.ToCode) continue;
            any = true;
            ++counts.toCode;
            if (z.Code.empty()) ++counts.notCoded;
        }
        if (any) ++counts.respondents;
    }
    return counts;
}

void UpdateHasToCode(TOsoba& respondent) {
    respondent.HasToCode = std::any_of(respondent.Occupations.begin(), respondent.Occupations.end(),
                                       [](const TZawod& z) { return z.ToCode; });
}

}  // namespace tarnwick
