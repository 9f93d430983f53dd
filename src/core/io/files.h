#pragma once
// Reading whole files, and what a file that cannot be read or written throws. Lines end with
// CR LF or LF on reading.
//
// Files in a shared folder are met with care: an input that is not a regular file (a folder, a
// pipe, a device) is refused before it is opened, so nothing blocks; a file the program writes
// and reads back (the working file, its backup, the outputs) is neither followed through a link
// nor taken from another user.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/io/progress.h"

namespace tarnwick {
// A file could not be opened, read or written. what() is the text the coder sees: the file name
// and the system's reason, as in "/data/x.zda: Permission denied".
class IoError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Builds the message of an IoError from a path and an errno value.
std::string IoErrorText(const std::string& path, int errnum);

// The most a whole-file read takes in: half of the machine's memory, so that a file without end
// (or one far too large) stops with a message instead of exhausting memory.
size_t ReadLimit();

// Reads the whole file into memory, reporting the bytes read. Throws IoError (also for what is
// not a regular file, and past ReadLimit), or WorkCancelled.
std::string ReadWholeFile(const std::string& path, const WorkProgress& progress = {});

// The same for a file the program itself writes and reads back: a link or a file of another
// user in its place is refused, not followed.
std::string ReadOwnFile(const std::string& path, const WorkProgress& progress = {});
// Refuses, with the reason, a file opened where the program keeps one of its own (the coding
// journal) that is not a regular file of this user; `descriptor` -1: what stands at `path` when
// it could not be opened. Returns when there is nothing to refuse.
void CheckOwnFile(const std::string& path, int descriptor);

// Reads a text file into its lines. Throws IoError.
std::vector<std::string> ReadLines(const std::string& path);

// True when a regular file (or a link to one) of that name exists.
bool FileExists(const std::string& path);

// True when anything at all (also a link, whatever it points to) has that name.
bool PathTaken(const std::string& path);

}  // namespace tarnwick
