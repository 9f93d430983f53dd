#include "core/coding/progress.h"

#include <algorithm>

#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

std::string CodingProgressText(int coded, int toCode) {
    if (coded == toCode) return "All occupations have been coded (" + std::to_string(coded) + ")";
    return std::to_string(coded) + " " + (coded == 1 ? "occupation has" : "occupations have") +
           " been coded. " + std::to_string(toCode - coded) + " are yet to be coded.";
}

std::string CodingPaceText(const Session& s) {
    const CaseModel& m = s.Cases;
    const int percent =
        m.ToCodeCount > 0 ? static_cast<int>(100LL * m.CodedCount / m.ToCodeCount) : 100;
    long long perHour = -1;
    if (s.SessionStart) {
        const long long seconds =
            SecondsSinceEpoch(s.platform.Now()) - SecondsSinceEpoch(*s.SessionStart);
        // Net cases coded: undone and emptied cases do not count as done.
        const long long coded = std::max(0, m.CodedCount - m.CodedAtStart);
        if (seconds >= 60) perHour = coded * 3600 / seconds;
    }
    return msg::CodingPace(percent, perHour);
}

void ShowCodingProgress(Session& s) {
    s.ShowProgressText(CodingProgressText(s.Cases.CodedCount, s.Cases.ToCodeCount));
}

}  // namespace tarnwick
