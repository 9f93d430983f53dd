#pragma once
// The final output data file (.asc) and the SPSS script (.sps) that reads it.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"
#include "core/data/model.h"
#include "core/io/atomic_file.h"
#include "core/io/progress.h"
#include "core/params/model.h"

namespace tarnwick {

// The labels of the two special scale values, in the script and in every export.
inline constexpr const char* kScaleMissingLabel = "Missing data";
inline constexpr const char* kScaleNotApplicableLabel = "Not applicable";

// One variable of the output data file, where the script's DATA LIST reads it.
struct DerivedVariable;

struct OutputColumn {
    enum class Kind { Id, Code, X14, Scale, Derived };
    std::string Name;
    std::string Label;  // as the script's VARIABLE LABELS gives it
    Kind Type = Kind::Id;
    size_t First = 0;  // 0-based column
    size_t Width = 0;
    // The values the script takes for user-missing and for system-missing, as the file holds
    // them, and the implied decimals (a scale's one).
    std::string Missing;
    std::string NotApplicable;
    int Decimals = 0;
    const DerivedVariable* Variable = nullptr;  // of the profile, for Kind::Derived
};

// The variables of every line of the output data file, in order.
std::vector<OutputColumn> OutputColumns(const CodingParams& params, const Classification& clf);

// A #V line that the classification's profile cannot serve, or a built-in scale or X14 asked of
// a classification with a profile: the lines, under a heading naming `paramsPath`, appended to
// `errorPage`. True when everything fits.
bool CheckOutputFits(const CodingParams& params, const Classification& clf,
                     const std::string& paramsPath, const std::string& classificationPath,
                     std::vector<std::string>& errorPage);

// The content of the output data file: one line per respondent, each code followed by its
// derived values, CR LF after each line. Reports the respondents written; throws WorkCancelled.
std::string FormatOutputData(const CodingParams& params, const Classification& clf,
                             const CaseModel& cases, const WorkProgress& progress = {});
// The same bytes, into a sink as they are made.
void WriteOutputData(ByteSink& out, const CodingParams& params, const Classification& clf,
                     const CaseModel& cases, const WorkProgress& progress = {});

// The lines of the output data file one at a time, for whoever needs its values but not the whole
// file at once.
class OutputLines {
  public:
    OutputLines(const CodingParams& params, const Classification& clf);
    ~OutputLines();
    OutputLines(const OutputLines&) = delete;
    OutputLines& operator=(const OutputLines&) = delete;

    // The respondent's line without its line end; valid until the next call.
    std::string_view Line(const TOsoba& respondent);

    // The derived values of the codes, shared with the whole file's writing.
    class Derived;

  private:
    const CodingParams& params_;
    std::unique_ptr<Derived> derived_;
    std::string line_;
};

// The lines of the SPSS script that reads the output data file `ascPath`.
std::vector<std::string> SpssScriptLines(const CodingParams& params, const Classification& clf,
                                         const std::string& ascPath);

}  // namespace tarnwick
