#pragma once
// The built-in occupational scales S1..S6.

#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"

namespace tarnwick {

// Makes a new ScaleTable from the built-in rows (all Defined flags false).
void BuildScaleTable(Classification& clf);

// Value of scale k (1..6) for a code: three blanks for no code, "999" for the not-applicable
// code, "998" for a code without a row or a row without values.
std::string LookupScale(const Classification& clf, std::string_view code, int k);

// The codes of the built-in table, in table order: the basic categories that every
// classification must define.
std::vector<std::string> BuiltInScaleCodes();

}  // namespace tarnwick
