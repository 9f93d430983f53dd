#pragma once
// The subcommands of tarnwick-cli. Each takes its arguments and two streams and returns the exit
// code, so the tests run them in-process.

#include <iosfwd>
#include <string>
#include <vector>

namespace tarnwick::cli {

// Exit codes shared by every command.
inline constexpr int kOk = 0;
inline constexpr int kFaults = 1;
inline constexpr int kIoOrUsage = 2;

// Reads a file named on the command line; on failure prints the system's text to `err` and
// returns false (the command then exits with kIoOrUsage).
bool ReadInputFile(const std::string& file, std::string& text, std::ostream& err);

int CheckParams(const std::string& file, std::ostream& out, std::ostream& err);
int CheckClassification(const std::string& file, std::ostream& out, std::ostream& err);

// Reads console commands from `in`, one a line, and drives the coding page's operations.
// `progressLine`: long work shows its progress on `err` (only for a terminal). Returns kFaults
// after a command's error, after a failed save and when the input ends with codes not saved;
// 128 + the signal after EndOnSignals' SIGTERM or SIGHUP, which saves the codes first when it
// can (the coding journal holds them in any case).
int SessionConsole(std::istream& in, std::ostream& out, std::ostream& err,
                   bool progressLine = false);

// Lets SIGTERM and SIGHUP end a running SessionConsole between two commands, as the end of its
// input would, instead of ending the program at once.
void EndOnSignals();

// Opens a project as Open project does, with the three files as the dialogs' answers, then
// writes the final output data file and its SPSS script, or the exports named in `formats`
// ("sav", "dta", "csv") instead, and prints the session report. `progressLine`: as for the
// console.
int Export(const std::string& params, const std::string& clf, const std::string& data,
           std::ostream& out, std::ostream& err, const std::vector<std::string>& formats = {},
           bool progressLine = false);

}  // namespace tarnwick::cli
