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

// tarnwick-cli session at the end of its input.
inline constexpr const char* kInputEndedUnsaved =
    "input ended with codes not saved (they are in the coding journal)";
inline constexpr const char* kEndedBySignal = "ended by a signal";

}  // namespace tarnwick::msg
