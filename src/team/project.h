#pragma once
// Between a single-coder project on disk and a team project: reading one to load it into the
// database, and writing a folder of the usual files from what the database holds, which then
// opens (and exports) exactly as a single-coder project does.

#include <optional>
#include <string>
#include <vector>

#include "team/store.h"

namespace tarnwick::team {

struct ProjectOnDisk {
    ProjectFiles Files;
    std::vector<CaseState> Cases;
};

// Opens the project as Open project does (its lock taken and let go again, its working file
// and journal merged) and returns its files' bytes and every case with its code. None when it
// does not open; `faults` then holds what the window would have shown. Throws IoError.
std::optional<ProjectOnDisk> ReadProjectOnDisk(const std::string& params, const std::string& clf,
                                               const std::string& data,
                                               std::vector<std::string>& faults);

// The cases of the files as their JournalEntry states.
struct LocalCopy {
    std::string ParamsPath;
    std::string ClassificationPath;
    std::string DataPath;
};

// Writes the three files into `folder` (made when missing; a file that already holds these
// bytes is left alone) and the working file that gives the cases `states`, and with `origins`
// (one per state) the provenance file beside it. None when the files do not parse, with the
// lines in `faults`. Throws IoError.
std::optional<LocalCopy> WriteLocalCopy(
    const ProjectFiles& files, const std::vector<CaseState>& states, const std::string& folder,
    std::vector<std::string>& faults,
    const std::vector<std::optional<Provenance>>* origins = nullptr);

}  // namespace tarnwick::team
