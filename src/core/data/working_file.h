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
// matches (more lines than records, an identifier no record has), a line with codes past the
// occupation fields that the parameters declare, or a line holding a code that cannot be read
// (cut by the end of the file, a stray byte, a code the classification lacks). Only lines
// holding a code are kept; `Codes` counts the codes of the classification that are not merged,
// `Unreadable` the slots whose code could not be read (their occupations are to be coded again),
// `Unlined` the records that found no line (a working file cut short, records added to the data).
struct SetAsideLines {
    std::vector<std::string> Lines;
    int Codes = 0;
    int Unreadable = 0;
    size_t Unlined = 0;
    // Whether the working file was found damaged or short: its codes merged may be fewer than
    // those of the last backup, which must then outlive it.
    bool Damaged() const { return Unreadable > 0 || Unlined > 0; }
};

// Merges the codes of a working file into `cases`, which were read from the data file. Lines end
// at LF, CR LF or a CR alone. Each record takes the line at its own place when the identifiers
// match, otherwise the first line not yet taken with its identifier, otherwise none (it is then
// to be coded). A code that cannot be read is left to code and its line set aside; the codes of
// the lines left over go to `aside`. `workingName` names the file in the messages. Returns the
// message of a fault that would put codes on the wrong answers (codes of another width, or more
// unknown codes than known ones: a file of another classification); `cases` is then to be thrown
// away, as after WorkCancelled. Reports the records merged.
std::optional<std::string> MergeWorkingFile(std::string_view text, const CodingParams& params,
                                            const Classification& clf,
                                            const std::string& workingName, CaseModel& cases,
                                            const WorkProgress& progress = {},
                                            SetAsideLines* aside = nullptr);

// The content of the working file for `cases`.
std::string FormatWorkingFile(const CaseModel& cases, int codeWidth);
void WriteWorkingFile(ByteSink& out, const CaseModel& cases, int codeWidth);

}  // namespace tarnwick
