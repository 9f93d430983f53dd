#pragma once
// The coding progress in the status bar's second panel.

#include <string>

namespace tarnwick {

class Session;

// "5 occupations have been coded. 5 are yet to be coded." or "All occupations have been coded
// (10)".
std::string CodingProgressText(int coded, int toCode);

// Shows the progress of the session's counters.
void ShowCodingProgress(Session& session);

}  // namespace tarnwick
