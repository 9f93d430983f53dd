#pragma once
// What reading, mapping and writing a file share: the checks of what stands at a path and the
// reading of an open file. For the files of this folder only.

#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "core/io/progress.h"

namespace tarnwick::io_detail {

// Reads and writes go in pieces of this size when progress is reported.
inline constexpr size_t kPiece = size_t{8} << 20;

[[noreturn]] void ThrowIo(const std::string& path, int errnum);
[[noreturn]] void Refuse(const std::string& path, std::string_view why);
// The login name of `uid`, or "user 1001" when it has none.
std::string UserName(uid_t uid);

// Closes the descriptor it owns.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return fd_; }
    int release() {
        int f = fd_;
        fd_ = -1;
        return f;
    }

  private:
    int fd_;
};

// What may stand where a file is read or written. `own`: a file the program writes itself,
// which must not be a link nor another user's. Throws IoError with the reason.
void CheckKind(const std::string& path, const struct stat& st, bool own);

// Opens a file to read, checked before it is opened (a pipe or a device would block the open
// or never end) and again once open (it may have been swapped meanwhile).
int OpenToRead(const std::string& path, bool own, struct stat& st);

// Reads the rest of an open file (taking over its descriptor), up to ReadLimit.
std::string ReadOpenFile(const std::string& path, int descriptor, const struct stat& st,
                         const WorkProgress& progress);

}  // namespace tarnwick::io_detail
