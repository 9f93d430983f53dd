#pragma once
// Opening a project: the parameters, classification and data steps, each retried from the step
// that failed, then the start of the coding session.

#include <string>
#include <string_view>

namespace tarnwick {

class Session;

// The Open project command. Each step runs only while its loaded flag is false. Throws IoError
// when a chosen file cannot be read; the flags then stay as they were.
void OpenProject(Session& session);

// The folder part of a path, up to and including its last '/', and the name after it.
std::string FolderOf(std::string_view path);
std::string NameOf(std::string_view path);

// A file name up to (not including) its first dot, and the rest from that dot on.
std::string StemOf(std::string_view name);
std::string ExtensionOf(std::string_view name);

}  // namespace tarnwick
