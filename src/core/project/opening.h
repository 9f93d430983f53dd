#pragma once
// Opening a project: the parameters, classification and data steps, each retried from the step
// that failed, then the start of the coding session.

#include <string>
#include <vector>

namespace tarnwick {

class Session;
class UnattendedPlatform;

// The Open project command. Each step runs only while its loaded flag is false. Throws IoError
// when a chosen file cannot be read; the flags then stay as they were. Cancelling the data step
// on its progress bar leaves the session as it was before that step.
void OpenProject(Session& session);

// The parameters step: reads ProjectFolder + ParamStem + ".zpa" into the session, its faults
// going to the error page and its success line to the report. Throws IoError.
bool ParseCodingParams(Session& session);

// The classification step: reads `path` into the session. Throws IoError.
bool LoadClassification(Session& session, const std::string& path);

// The data step: reads ProjectFolder + DataStem + DataExt, backs up and merges the working
// file, counts, fills the report. Shows its own message box and returns false on a fault; the
// session then holds no cases. Throws IoError when a file cannot be read, and WorkCancelled when
// the coder cancels it on the progress bar (the session again holds no cases).
bool ReadInputData(Session& session);

// Open project with the three files in place of the three dialogs' answers, for work that no
// person watches: `platform` is the session's. False when the project does not open, with what the
// window would have shown (the error page, then the message boxes) in `faults`. Throws IoError.
bool OpenProjectFiles(Session& session, UnattendedPlatform& platform, const std::string& params,
                      const std::string& clf, const std::string& data,
                      std::vector<std::string>& faults);

}  // namespace tarnwick
