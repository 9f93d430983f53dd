#pragma once
// The console tool's own texts: the faults of its CSV files and what its commands report.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::msg {

// The suggestion commands' faults of a CSV file.
inline constexpr const char* kCsvEmpty =
    "the file is empty; it needs a heading line with an \"id\" column";
inline constexpr const char* kCsvColumns =
    "the heading line needs an \"id\" column and at least one text column";
inline constexpr const char* kCsvColumnsWithCode =
    "the heading line needs an \"id\" column, a \"code\" column and at least one text column";
inline std::string NothingToEvaluate(size_t learnt) {
    return "no answer is left to evaluate (" + std::to_string(learnt) + " learnt into the memory)";
}
inline constexpr const char* kLearnSplitNeedsGroup =
    "--learn-split occupation needs a \"group\" column: the occupation each answer belongs to";
inline std::string NothingToAutoCode(size_t calibrating) {
    return "no answer is left to code automatically (" + std::to_string(calibrating) +
           " calibrate the confidence)";
}
inline constexpr const char* kCsvOpenQuote = "a quoted field never ends";
inline constexpr const char* kCsvAfterQuote = "text follows the closing quote of a field";

// What `learn` did: "isco.mem: 120 coded answers learnt, 87 distinct answers remembered".
inline std::string MemoryLearnt(std::string_view path, size_t learnt, size_t distinct) {
    std::string t(path);
    t += ": " + std::to_string(learnt) + " coded answers learnt, " + std::to_string(distinct) +
         " distinct answers remembered";
    return t;
}

// tarnwick-cli autocode.
inline std::string AutoCodeTooFewCases(std::string_view target, size_t have, size_t more) {
    return "not coded: " + std::to_string(have) +
           " coded answers cannot promise an error of at most " + std::string(target) + "; about " +
           std::to_string(more) + " more would (code them by hand, then run again)";
}
inline std::string AutoCodeUnreachable(std::string_view target) {
    return "not coded: no confidence keeps the error at or below " + std::string(target) +
           "; even the most confident first suggestions err more often among the coded answers";
}
inline constexpr const char* kAutoCodeBadTarget = "--max-error must be a share above 0 and below 1";
inline constexpr const char* kAutoCodeNoEngine =
    "not coded: the classification has no category to suggest";
inline constexpr const char* kAutoCodeReadOnly =
    "not coded: another program holds the project's lock";
inline constexpr const char* kAutoCodeFilesNeedCalibration =
    "autocode over files needs --calibration LABELLED.csv: answers that a person coded";
inline constexpr const char* kNoSuchMemoryFile = "no such memory file";
inline constexpr const char* kAutoCodeNeedsMaxError =
    "autocode needs --max-error E, the error allowed among the automatic codes (0.05 is 5 %)";

inline constexpr const char* kAutoCodeDryRun = "dry run: nothing was changed";
inline constexpr const char* kAutoCodeInterrupted = "interrupted: nothing was changed";

inline std::string LabelledNotLearnt(size_t answers) {
    return std::to_string(answers) +
           " answers not learnt: their code is missing data, not applicable or not a category";
}

// tarnwick-cli session at the end of its input.
inline constexpr const char* kInputEndedUnsaved =
    "input ended with codes not saved (they are in the coding journal)";
inline constexpr const char* kInputEndedJournalGone =
    "input ended with codes not saved, and they are lost: the coding journal that held them was "
    "removed (alone or with its folder)";
inline constexpr const char* kEndedBySignal = "ended by a signal";

}  // namespace tarnwick::msg
