#pragma once
// The two coding options of the Options page, for the run only.

#include <optional>

#include "core/session/session.h"

namespace tarnwick {

// Are the records whose occupations the filters leave out listed in the respondent selector and
// reachable by the arrows? The selector is rebuilt when the option changes. (RadioGroup1)
void SetShowNotApplicable(Session& session, bool show);

// What follows a coding action. (RadioGroup2)
void SetAfterCodingMode(Session& session, AfterCodingMode mode);

// What Code all identical compares: the text fields only, or every information field.
void SetIdenticalTextFieldsOnly(Session& session, bool textOnly);

// The mode of a radio button's or the console's index 0..2; nullopt for any other.
std::optional<AfterCodingMode> AfterCodingModeOf(int index);

}  // namespace tarnwick
