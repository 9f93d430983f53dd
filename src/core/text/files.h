#pragma once
// Reading and writing whole text files. Lines end with CR LF or LF on reading and CR LF on
// writing; every write replaces the old file atomically, so a failed save never leaves a
// half-written file behind.

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/progress.h"

namespace tarnwick {

// A file could not be opened, read or written. what() is the text the coder sees: the file name
// and the system's reason, as in "/data/x.zda: Permission denied".
class IoError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Builds the message of an IoError from a path and an errno value.
std::string IoErrorText(const std::string& path, int errnum);

// Reads the whole file into memory, reporting the bytes read. Throws IoError, or WorkCancelled.
std::string ReadWholeFile(const std::string& path, const WorkProgress& progress = {});

// Reads a text file into its lines. Throws IoError.
std::vector<std::string> ReadLines(const std::string& path);

// True when a regular file (or a link to one) of that name exists.
bool FileExists(const std::string& path);

// Writes `content` to `path` through a temporary file in the same folder that is flushed to
// disk and then renamed over the old file, reporting the bytes written. Throws IoError or
// WorkCancelled; the old file is then untouched.
void WriteFileAtomic(const std::string& path, std::string_view content,
                     const WorkProgress& progress = {});

// Writes every line followed by CR LF, atomically.
void WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines);

}  // namespace tarnwick
