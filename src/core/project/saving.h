#pragma once
// Writing a session's results: the working file, and the final output data file with its SPSS
// script. Each file is replaced atomically and the save is noted in the session report.

#include <string>
#include <vector>

#include "core/data/exports.h"

namespace tarnwick {

class Session;

// Writes the working file (the Save results command) and empties the coding journal. Throws
// IoError; the earlier file is then untouched and the flags unchanged. False, with nothing
// written, in a project open read-only, and when the data file changed since the opening and
// the coder does not confirm the save (or `askOnDataChange` is false: nobody is there to ask).
bool SaveWorkingFile(Session& session, bool askOnDataChange = true);

// Save results on the coding page: the working file, confirmed in the status bar with the number
// of cases coded, the file's name and the time ("Saved 1,234 codes to demo.zda at 10:42").
// Throws IoError as SaveWorkingFile does; nothing is confirmed then, nor when nothing was saved.
void SaveResults(Session& session);

// Writes the output data file and the SPSS script and appends the five report lines. Throws
// IoError. False when the coder cancels it on the progress bar: the earlier files and the report
// are then as they were.
bool WriteFinalOutput(Session& session);

// The extension of an export's data file, and the name ending of the CSV's labels file.
const char* ExportExtension(ExportFormat format);
inline constexpr const char* kCsvLabelsEnding = "_labels.csv";

// Writes the final output for statistical software beside the output data file, named after the
// data file, and notes it in the session report. Returns the paths written. Throws IoError when
// the file cannot be made or written (a file already there is then untouched), or when it would
// replace the survey data file itself. Returns no path when the coder cancels it on the progress
// bar; the earlier files are then untouched and nothing is noted. `withProvenance`: each code's
// source and confidence variables too (data/exports.h).
std::vector<std::string> ExportFinalOutput(Session& session, ExportFormat format,
                                           bool withProvenance = false);

}  // namespace tarnwick
