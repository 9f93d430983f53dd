#pragma once
// The coding parameters file (.zpa) parser.

#include <string>
#include <string_view>
#include <vector>

#include "core/params/model.h"

namespace tarnwick {

// Parses the text of a coding parameters file. `path` is the name used in the report line.
// Every fault appends its lines to `errorPage`; on success `reportLine` receives the success
// line. Returns true when no fault was found. `out` is replaced in either case: on failure it is
// reset to the empty model (CodeWidth 4), so nothing half-built is ever used.
bool ParseCodingParamsText(std::string_view text, const std::string& path, CodingParams& out,
                           std::vector<std::string>& errorPage, std::string& reportLine);

// The model before anything is parsed, and after a failed parse.
CodingParams EmptyCodingParams();

}  // namespace tarnwick
