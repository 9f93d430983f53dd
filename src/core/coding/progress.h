#pragma once
// The coding progress in the status bar's second panel.

#include <string>

namespace tarnwick {

class Session;

// "5 occupations have been coded. 5 are yet to be coded." or "All occupations have been coded
// (10)".
std::string CodingProgressText(int coded, int toCode);

// The third status text: the share of the cases to code that are coded (rounded down) and,
// after the session's first minute, the cases coded during it per hour since it started.
std::string CodingPaceText(const Session& session);

// Shows the progress of the session's counters.
void ShowCodingProgress(Session& session);

}  // namespace tarnwick
