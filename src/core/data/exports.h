#pragma once
// The final output for statistical software: SPSS .sav, Stata .dta and CSV with a CSV of the
// labels. Each holds the variables, values and labels of the output data file and its script,
// with the texts in UTF-8. Each writes its bytes into a sink as they are made (an AtomicFile,
// so that no export holds its whole file), reports the respondents written and may throw
// WorkCancelled or the sink's IoError. The .sav and .dta writers return the reason a file could
// not be made, or nothing.
//
// Given a provenance book, each export adds after every code's variable two of where the code
// came from: "<code name>_src", its CodeSource (1 coder, 2 automatic, 3 identical, 4 recovered,
// 5 supervisor, 0 unknown; labelled; none for a case without code), and "<code name>_conf", an
// automatic code's confidence from 0 to 1 (none for any other). Without one the bytes are those
// of an export without provenance.

#include <string>

#include "core/classification/model.h"
#include "core/data/model.h"
#include "core/data/provenance.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/io/progress.h"
#include "core/params/model.h"

namespace tarnwick {

enum class ExportFormat { Sav, Dta, Csv, Zsav };

// A compressed SPSS system file: codes, classes and scales numeric as the script reads them, the
// missing-data values user-missing, the not-applicable values and blanks system-missing.
// `zlib`: the .zsav form (zlib-compressed blocks, read by SPSS 21 and later and by PSPP),
// several times smaller for a large survey; else bytecode compression, read by every reader.
std::string FormatSav(ByteSink& file, const CodingParams& params, const Classification& clf,
                      const CaseModel& cases, const WorkProgress& progress = {},
                      const ProvenanceBook* provenance = nullptr, bool zlib = false);

// A Stata file (format 118). Stata labels only integers, so each code is a string variable
// (leading zeros kept) with a numeric twin "<name>_num" that carries the category labels; the
// missing-data values are the extended missing value .a, the not-applicable values and blanks
// are system-missing. Variable labels longer than Stata's 80 characters are cut, and the whole
// label stands in a note of the file.
std::string FormatDta(ByteSink& file, const CodingParams& params, const Classification& clf,
                      const CaseModel& cases, const WorkProgress& progress = {},
                      const ProvenanceBook* provenance = nullptr);

// The data as CSV: a header row, codes and classes exactly as in the output data file (quoted
// text, so leading zeros survive), scales with their decimal point, blanks empty.
void FormatCsv(ByteSink& file, const CodingParams& params, const Classification& clf,
               const CaseModel& cases, const WorkProgress& progress = {},
               const ProvenanceBook* provenance = nullptr);

// The labels as CSV: variable, value, label; a row with an empty value holds the variable's own
// label. `withProvenance`: those of the provenance variables too.
std::string FormatCsvLabels(const CodingParams& params, const Classification& clf,
                            bool withProvenance = false);

}  // namespace tarnwick
