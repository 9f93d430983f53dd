#pragma once
// The coding memory's file: read, written atomically, and filled from a whole project.

#include <optional>
#include <string>
#include <vector>

#include "core/io/progress.h"
#include "core/session/session.h"
#include "core/suggest/suggest.h"

namespace tarnwick {

// Reads a memory file. Throws IoError when it cannot be read, or WorkCancelled; a damaged file
// gives nothing and the reason in `error`.
std::optional<CodingMemory> LoadMemoryFile(const std::string& path, std::string& error,
                                           const WorkProgress& progress = {});

// Writes the memory through WriteFileAtomic: a failed write leaves the old file whole. Throws
// IoError or WorkCancelled.
void SaveMemoryFile(const std::string& path, const CodingMemory& memory,
                    const WorkProgress& progress = {});

// Learns the code of every coded case of the session's data (codes read from the working file
// included; not the missing-data and not-applicable codes) with the case's information texts;
// returns the cases learnt.
size_t LearnCodedCases(const Session& session, CodingMemory& memory,
                       const WorkProgress& progress = {});

// Opens the project of these three files as Open project does (the file dialogs answered with
// them) and learns its coded cases into `memory`. On a project that does not open, returns
// nothing and `faults` holds what the window would show. Throws IoError.
std::optional<size_t> LearnProject(const std::string& params, const std::string& classification,
                                   const std::string& data, CodingMemory& memory,
                                   std::vector<std::string>& faults);

}  // namespace tarnwick
