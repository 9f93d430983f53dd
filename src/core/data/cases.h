#pragma once
// Reading the survey data file into the case model: one respondent per record, one case per
// declared occupation field, the not-applicable code on the cases that the filters leave out.

#include <memory>
#include <optional>
#include <string>

#include "core/classification/model.h"
#include "core/data/model.h"
#include "core/io/mapped_file.h"
#include "core/io/progress.h"
#include "core/params/model.h"

namespace tarnwick {

// Builds the cases of the whole data file `buffer` into `out`, which keeps the buffer (records
// are views into it). `dataPath` and `paramStem` name the files in the message of a fault. On a
// record shorter than the declared fields need, returns that message; `out` is then to be
// thrown away; so it is on a record holding a NUL byte (the file is no text). Reports the bytes
// read; throws WorkCancelled, leaving `out` untouched.
std::optional<std::string> ReadCases(std::string buffer, const CodingParams& params,
                                     const Classification& clf, const std::string& dataPath,
                                     const std::string& paramStem, CaseModel& out,
                                     const WorkProgress& progress = {});

// The same over a file's bytes, which `out` then shares: records are views into the mapping,
// whose pages go back to the page cache as the reading passes them.
std::optional<std::string> ReadCases(std::shared_ptr<const FileBytes> file,
                                     const CodingParams& params, const Classification& clf,
                                     const std::string& dataPath, const std::string& paramStem,
                                     CaseModel& out, const WorkProgress& progress = {});

// After the codes are in: each respondent's HasToCode, the counters, the selector's records.
OccupationCounts CountAndListCases(CaseModel& cases);

}  // namespace tarnwick
