#pragma once
// The built-in fourteen-class grouping of category codes.

#include <string>
#include <string_view>

#include "core/classification/model.h"

namespace tarnwick {

// "01".."14" for a placed code, "99" for the not-applicable code, "98" for the missing-data code
// and any code the table does not place, two blanks for no code.
std::string MapToX14(const Classification& clf, std::string_view code);

}  // namespace tarnwick
