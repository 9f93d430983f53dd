#include "core/coding/progress.h"

#include "core/session/session.h"

namespace tarnwick {

std::string CodingProgressText(int coded, int toCode) {
    if (coded == toCode) return "All occupations have been coded (" + std::to_string(coded) + ")";
    return std::to_string(coded) + " " + (coded == 1 ? "occupation has" : "occupations have") +
           " been coded. " + std::to_string(toCode - coded) + " are yet to be coded.";
}

void ShowCodingProgress(Session& s) {
    s.ShowProgressText(CodingProgressText(s.Cases.CodedCount, s.Cases.ToCodeCount));
}

}  // namespace tarnwick
