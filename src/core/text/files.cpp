#include "core/text/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/text/lines.h"

namespace tarnwick {

std::string IoErrorText(const std::string& path, int errnum) {
    return path + ": " + std::strerror(errnum);
}

namespace {

[[noreturn]] void ThrowIo(const std::string& path, int errnum) {
    throw IoError(IoErrorText(path, errnum));
}

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

}  // namespace

namespace {

// Reads and writes go in pieces of this size when progress is reported.
constexpr size_t kPiece = size_t{8} << 20;

}  // namespace

std::string ReadWholeFile(const std::string& path, const WorkProgress& progress) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) ThrowIo(path, errno);
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) ThrowIo(path, errno);
    if (S_ISDIR(st.st_mode)) ThrowIo(path, EISDIR);
    // A regular file is read straight into a buffer of its size. The end is then confirmed with
    // a small read beside it: growing the buffer by a block past the known size would copy the
    // whole file once more and leave twice its size allocated for as long as the text is kept.
    // What lies beyond (a file that grew meanwhile, or one of no known size) is appended.
    std::string data;
    if (S_ISREG(st.st_mode) && st.st_size > 0) data.resize(static_cast<size_t>(st.st_size));
    size_t used = 0;
    char beyond[64 * 1024];
    ProgressMeter meter(progress, data.size());
    const size_t piece = progress.report ? kPiece : static_cast<size_t>(-1);
    for (;;) {
        const bool inside = used < data.size();
        ssize_t n = inside
                        ? ::read(fd.get(), data.data() + used, std::min(data.size() - used, piece))
                        : ::read(fd.get(), beyond, sizeof beyond);
        if (n < 0) {
            if (errno == EINTR) continue;
            ThrowIo(path, errno);
        }
        if (n == 0) break;
        if (!inside) data.append(beyond, static_cast<size_t>(n));
        used += static_cast<size_t>(n);
        meter.Advance(used);
    }
    data.resize(used);
    meter.Finish();
    return data;
}

std::vector<std::string> ReadLines(const std::string& path) {
    const std::string data = ReadWholeFile(path);
    std::vector<std::string> out;
    for (std::string_view l : SplitLines(data)) out.emplace_back(l);
    return out;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

void WriteFileAtomic(const std::string& path, std::string_view content,
                     const WorkProgress& progress) {
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string(".") : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string temp =
        (slash == std::string::npos ? std::string() : folder) + "." + name + ".XXXXXX";
    Fd fd(::mkstemp(temp.data()));
    if (fd.get() < 0) ThrowIo(path, errno);
    auto fail = [&](int err) {
        ::unlink(temp.c_str());
        ThrowIo(path, err);
    };
    // Keep the permissions of the file being replaced, or the usual ones for a new file.
    struct stat old {};
    mode_t mode = 0644;
    if (::stat(path.c_str(), &old) == 0) mode = old.st_mode & 07777;
    if (::fchmod(fd.get(), mode) != 0) fail(errno);
    const char* p = content.data();
    size_t left = content.size();
    const size_t piece = progress.report ? kPiece : static_cast<size_t>(-1);
    try {
        // The flush to disk waits as long as a part of the writing: it has the last percents.
        ProgressMeter meter(progress, content.size() + content.size() / 16);
        while (left > 0) {
            ssize_t n = ::write(fd.get(), p, std::min(left, piece));
            if (n < 0) {
                if (errno == EINTR) continue;
                fail(errno);
            }
            p += n;
            left -= static_cast<size_t>(n);
            meter.Advance(content.size() - left);
        }
        if (::fsync(fd.get()) != 0) fail(errno);
        meter.Finish();
    } catch (const WorkCancelled&) {
        ::unlink(temp.c_str());
        throw;
    }
    if (::close(fd.release()) != 0) fail(errno);
    if (::rename(temp.c_str(), path.c_str()) != 0) fail(errno);
}

void WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileAtomic(path, JoinCrLf(lines));
}

}  // namespace tarnwick
