#pragma once
// The supervisor's figures as text lines, for the terminal and the window's Team page alike.

#include <string>
#include <vector>

#include "team/store.h"

namespace tarnwick::team {

std::vector<std::string> StatusLines(const TeamStatus& status);
// One line per disagreement: record and field counted from 1, as the window shows them.
std::vector<std::string> DisagreementLines(const std::vector<Disagreement>& list);

}  // namespace tarnwick::team
