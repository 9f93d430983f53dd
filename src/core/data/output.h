#pragma once
// The final output data file (.asc) and the SPSS script (.sps) that reads it.

#include <string>
#include <vector>

#include "core/classification/model.h"
#include "core/data/model.h"
#include "core/params/model.h"

namespace tarnwick {

// The content of the output data file: one line per respondent, each code followed by its
// derived values, CR LF after each line.
std::string FormatOutputData(const CodingParams& params, const Classification& clf,
                             const CaseModel& cases);

// The lines of the SPSS script that reads the output data file `ascPath`.
std::vector<std::string> SpssScriptLines(const CodingParams& params, const Classification& clf,
                                         const std::string& ascPath);

}  // namespace tarnwick
