#pragma once
// The working file of coded results (.zda): one line per data record, the respondent identifier
// and then each occupation field's code at the code width, blanks where none is given yet.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"
#include "core/data/model.h"
#include "core/io/atomic_file.h"
#include "core/io/progress.h"
#include "core/params/model.h"

namespace tarnwick {

// The backup (.~zd) of a working file: every line as found, each ended by CR LF.
std::string BackupText(std::string_view workingFile);
void WriteBackup(ByteSink& out, std::string_view workingFile, const WorkProgress& progress = {});

// The lines of a working file whose codes the data no longer take: a line that no record
// matches (more lines than records, an identifier no record has), or a line with codes past the
// occupation fields that the parameters declare. Only lines holding a code are kept; `Codes`
// counts the codes that are not merged.
struct SetAsideLines {
    std::vector<std::string> Lines;
    int Codes = 0;
};

// Merges the codes of a working file into `cases`, which were read from the data file. Each
// record takes the line at its own place when the identifiers match, otherwise the first line
// not yet taken with its identifier, otherwise none (it is then to be coded). The codes of the
// lines left over go to `aside`. `workingName` and `dataName` name the two files in the
// messages. On a fault (fewer lines than records, a code the classification lacks) returns its
// message; `cases` is then to be thrown away, as after WorkCancelled. Reports the records
// merged.
std::optional<std::string> MergeWorkingFile(std::string_view text, const CodingParams& params,
                                            const Classification& clf,
                                            const std::string& workingName,
                                            const std::string& dataName, CaseModel& cases,
                                            const WorkProgress& progress = {},
                                            SetAsideLines* aside = nullptr);

// The content of the working file for `cases`.
std::string FormatWorkingFile(const CaseModel& cases, int codeWidth);
void WriteWorkingFile(ByteSink& out, const CaseModel& cases, int codeWidth);

}  // namespace tarnwick
