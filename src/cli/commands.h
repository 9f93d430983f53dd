#pragma once
// The subcommands of tarnwick-cli. Each takes its arguments and two streams and returns the exit
// code, so the tests run them in-process.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/text/datetime.h"

namespace tarnwick {
class Session;
}

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
// `hooks`, for a team project: `open` opens the project before the first command, `between`
// runs before each command and `end` when the input ends.
// `clock`, for tests: the moment the session's platform gives instead of the local time;
// `coder`, for tests: the name the codes are given under instead of the login user's.
struct ConsoleHooks {
    std::function<void(Session&, std::ostream& out)> open;
    std::function<void(Session&, std::ostream& out)> between;
    std::function<void(Session&)> end;
    std::function<DateTime()> clock;
    std::string coder;
};
int SessionConsole(std::istream& in, std::ostream& out, std::ostream& err,
                   bool progressLine = false, const ConsoleHooks* hooks = nullptr);

// Lets SIGTERM and SIGHUP end a running SessionConsole between two commands, as the end of its
// input would, instead of ending the program at once.
void EndOnSignals();

// Opens a project as Open project does, with the three files as the dialogs' answers, then
// writes the final output data file and its SPSS script, or the exports named in `formats`
// ("sav", "dta", "csv") instead, and prints the session report. `progressLine`: as for the
// console. `withProvenance`: the exports add each code's source and confidence variables.
int Export(const std::string& params, const std::string& clf, const std::string& data,
           std::ostream& out, std::ostream& err, const std::vector<std::string>& formats = {},
           bool progressLine = false, bool withProvenance = false);

// Ranks the answers of a UTF-8 CSV file (an `id` column and text columns in the order of the
// information fields) against any classification, with the memory file when one is named; prints
// CSV `id,rank,code,score,reason,confidence`. The first suggestion's confidence is calibrated on
// the labelled `calibration` file; without one the column stays empty.
int Suggest(const std::string& clf, const std::string& answers, const std::string& memory,
            size_t top, std::ostream& out, std::ostream& err, const std::string& calibration = {});

// Ranks labelled answers (a `code` column too) and prints the top-1/3/5/10 accuracy and the
// accuracy and coverage at scores 50, 70 and 90. `learnShare` of the rows (after a fixed
// shuffle) are learnt into the memory first and the rest evaluated, at most `sample` of them
// (0: all). With a `calibrationShare`, the first of the evaluated answers calibrate the
// confidence, and for target errors of 2, 3, 5 and 10 % it prints the threshold and how the
// other answers fare at it.
// `split` Occupation learns whole groups of rows (the labelled file's `group` column) instead
// of single rows, so that no evaluated answer has a row of its own group in the memory; a file
// without that column is refused.
enum class LearnSplit { Title, Occupation };
int Evaluate(const std::string& clf, const std::string& labelled, const std::string& memory,
             double learnShare, size_t sample, std::ostream& out, std::ostream& err,
             double calibrationShare = 0, LearnSplit split = LearnSplit::Title);

// Opens a project and adds its coded answers to the memory file (created when missing).
int Learn(const std::string& params, const std::string& clf, const std::string& data,
          const std::string& memory, std::ostream& out, std::ostream& err);
// Adds the answers of a labelled CSV file (as `evaluate` reads it) to the memory file; answers
// coded with a code the classification lacks are left out and counted.
int LearnLabelled(const std::string& clf, const std::string& labelled, const std::string& memory,
                  std::ostream& out, std::ostream& err);

// tarnwick-cli autocode: the files and choices of a run.
struct AutoCodeRequest {
    std::string params, clf, data;  // a project
    std::string answers;            // or a CSV file of answers (with clf)
    std::string calibration;        // a labelled CSV file, or empty: the project's coded cases
    std::string memory;
    double maxError = -1;  // required, but for reviewResult
    bool dryRun = false;
    size_t reviewSample = 0;    // cases of the run to draw as the project's review sample
    uint64_t seed = 0;          // of the draw; 0: from the clock
    bool reviewResult = false;  // only print what the review of the sample found
};
// In a project: calibrates, chooses the threshold, codes the cases that reach it through the
// coder's path and saves the working file; prints the figures. Refuses, coding nothing, when the
// target cannot be promised. Ctrl+C during the calibration or the ranking changes nothing.
int AutoCodeProject(const AutoCodeRequest& request, std::ostream& out, std::ostream& err,
                    bool progressLine = false);
// With reviewResult: prints the review sample's result (what the reviewer confirmed and recoded,
// the measured error with its 95 % interval) and codes nothing.
// Over files: prints CSV `id,code,confidence` for the answers coded, the figures on `err`.
int AutoCodeFiles(const AutoCodeRequest& request, std::ostream& out, std::ostream& err);

// tarnwick-cli team ...: the team project's commands (the arguments after "team"), each on a
// database named by a libpq connection string.
int TeamInit(const std::string& params, const std::string& clf, const std::string& data,
             const std::string& db, double doubleShare, unsigned long long seed, std::ostream& out,
             std::ostream& err);
// `team export` also writes the provenance file of the final codes (the supervisor, else the
// coder who gave each); `withProvenance` adds their variables to the exports.
int TeamExport(const std::string& db, const std::string& folder, std::ostream& out,
               std::ostream& err, bool withProvenance = false);
int TeamStatus(const std::string& db, std::ostream& out, std::ostream& err);
int TeamDisagreements(const std::string& db, std::ostream& out, std::ostream& err);
int TeamSettle(const std::string& db, int record, int field, const std::string& code,
               const std::string& supervisor, std::ostream& out, std::ostream& err);
// A console coding session on a team project as `coder` (the commands of SessionConsole).
int TeamCode(const std::string& db, const std::string& coder, const std::string& folder,
             std::istream& in, std::ostream& out, std::ostream& err, bool progressLine);

}  // namespace tarnwick::cli
