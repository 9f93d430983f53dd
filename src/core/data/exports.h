#pragma once
// The final output for statistical software: SPSS .sav, Stata .dta and CSV with a CSV of the
// labels. Each holds the variables, values and labels of the output data file and its script,
// with the texts in UTF-8. Each reports the respondents written and may throw WorkCancelled.

#include <string>

#include "core/classification/model.h"
#include "core/data/model.h"
#include "core/params/model.h"
#include "core/text/progress.h"

namespace tarnwick {

enum class ExportFormat { Sav, Dta, Csv };

// The bytes of one file, or the reason it could not be made (then Bytes is empty).
struct ExportedFile {
    std::string Bytes;
    std::string Fault;
};

// A compressed SPSS system file: codes, classes and scales numeric as the script reads them, the
// missing-data values user-missing, the not-applicable values and blanks system-missing.
ExportedFile FormatSav(const CodingParams& params, const Classification& clf,
                       const CaseModel& cases, const WorkProgress& progress = {});

// A Stata file (format 118). Stata labels only integers, so each code is a string variable
// (leading zeros kept) with a numeric twin "<name>_num" that carries the category labels; the
// missing-data values are the extended missing value .a, the not-applicable values and blanks
// are system-missing. Variable labels longer than Stata's 80 characters are cut, and the whole
// label stands in a note of the file.
ExportedFile FormatDta(const CodingParams& params, const Classification& clf,
                       const CaseModel& cases, const WorkProgress& progress = {});

// The data as CSV: a header row, codes and classes exactly as in the output data file (quoted
// text, so leading zeros survive), scales with their decimal point, blanks empty.
std::string FormatCsv(const CodingParams& params, const Classification& clf, const CaseModel& cases,
                      const WorkProgress& progress = {});

// The labels as CSV: variable, value, label; a row with an empty value holds the variable's own
// label.
std::string FormatCsvLabels(const CodingParams& params, const Classification& clf);

}  // namespace tarnwick
