#pragma once
// The final output data file (.asc) and its SPSS script (.sps).

#include <string>
#include <vector>

namespace tarnwick {

class Session;

// The lines of the output data file, one per respondent.
std::vector<std::string> FinalOutputLines(const Session& session);

// The lines of the SPSS script that reads `ascPath`.
std::vector<std::string> SpssScriptLines(const Session& session, const std::string& ascPath);

// Writes both files atomically and appends the five report lines. Throws IoError.
void WriteFinalOutput(Session& session);

}  // namespace tarnwick
