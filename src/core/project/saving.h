#pragma once
// Writing a session's results: the working file, and the final output data file with its SPSS
// script. Each file is replaced atomically and the save is noted in the session report.

namespace tarnwick {

class Session;

// Writes the working file (the Save results command). Throws IoError; the earlier file is then
// untouched and the flags unchanged.
void SaveWorkingFile(Session& session);

// Save results on the coding page: the working file, confirmed in the status bar with the number
// of cases coded, the file's name and the time ("Saved 1,234 codes to demo.zda at 10:42").
// Throws IoError as SaveWorkingFile does; nothing is confirmed then.
void SaveResults(Session& session);

// Writes the output data file and the SPSS script and appends the five report lines. Throws
// IoError.
void WriteFinalOutput(Session& session);

}  // namespace tarnwick
