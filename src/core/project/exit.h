#pragma once
// The end of a coding session: the exit questions and the session report file.

#include <string>
#include <vector>

#include "core/text/datetime.h"

namespace tarnwick {

class Session;

// The five questions; true when the program may end. Cancel on any of them ends the sequence
// there and the session goes on (files written before stay written); so does cancelling the
// final output's progress. A file that cannot be written throws IoError: the sequence stops there
// and the session goes on with its flags as they are.
bool RunExitSequence(Session& session);

// Quit session and closing the window: true when the program may end now.
bool MayEnd(Session& session);

// " 1 hrs 5 minutes", " 0 minutes": whole hours (days included) and the remaining minutes.
std::string DurationText(long long seconds);

// YYYYMMDDHHMM of a moment.
std::string ReportFileStamp(const DateTime& moment);

// The lines that close the report of a session that lasted from `start` to `end`.
std::vector<std::string> ReportClosingLines(const DateTime& start, const DateTime& end,
                                            int codedDuring);

// Appends the closing lines and writes ProjectFolder + stamp + ".zre". Throws IoError; the
// report is then as it was before.
void WriteSessionReport(Session& session);

}  // namespace tarnwick
