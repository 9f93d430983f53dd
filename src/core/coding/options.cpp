#include "core/coding/options.h"

#include "core/coding/navigation.h"

namespace tarnwick {

void SetShowNotApplicable(Session& s, bool show) {
    if (show == s.ShowNotApplicable) return;
    s.ShowNotApplicable = show;
    FillRespondentSelector(s);
}

void SetAfterCodingMode(Session& s, AfterCodingMode mode) { s.AfterCoding = mode; }

void SetIdenticalTextFieldsOnly(Session& s, bool textOnly) { s.IdenticalTextFieldsOnly = textOnly; }

std::optional<AfterCodingMode> AfterCodingModeOf(int index) {
    if (index < 0 || index > 2) return std::nullopt;
    return static_cast<AfterCodingMode>(index);
}

}  // namespace tarnwick
