#include "core/io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>

#include "core/io/file_checks.h"
#include "core/io/files.h"
#include "core/text/lines.h"

namespace tarnwick {

using namespace io_detail;

// ---- Atomic writing --------------------------------------------------------------------------

namespace {

constexpr size_t kBuffer = size_t{1} << 20;

// Six characters that make the temporary name unlikely to be taken; a taken one is tried again.
std::string RandomEnding() {
    static std::atomic<uint64_t> counter{0};
    struct timespec now {};
    ::clock_gettime(CLOCK_MONOTONIC, &now);
    uint64_t x = (static_cast<uint64_t>(now.tv_nsec) ^ (static_cast<uint64_t>(now.tv_sec) << 30)) +
                 (static_cast<uint64_t>(::getpid()) << 40) + counter.fetch_add(0x9E3779B97F4A7C15);
    x ^= x >> 29;
    x *= 0xBF58476D1CE4E5B9ULL;
    x ^= x >> 32;
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string s(6, 'x');
    for (char& c : s) {
        c = kChars[x % 62];
        x /= 62;
    }
    return s;
}

// The folder of `path` as a name to open ("." for a bare name).
std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The folder's entry of a rename reaches the disk only when the folder itself is flushed.
void SyncFolder(const std::string& path) {
    const int fd = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the file is in place already; a folder that cannot be flushed changes nothing
    ::close(fd);
}

// The target of a write: nothing there, or a regular file of ours. Returns whether one exists.
bool CheckTarget(const std::string& path, struct stat& old) {
    if (::lstat(path.c_str(), &old) != 0) {
        if (errno == ENOENT) return false;
        ThrowIo(path, errno);
    }
    CheckKind(path, old, true);
    return true;
}

}  // namespace

std::string TemporaryNameStem(const std::string& path, size_t nameMax) {
    const size_t slash = path.rfind('/');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    // "." + name + "." + six characters.
    const size_t room = nameMax > 8 ? nameMax - 8 : 1;
    if (name.size() > room) name.resize(room);
    return folder + "." + name + ".";
}

AtomicFile::AtomicFile(const std::string& path) : path_(path) {
    struct stat old {};
    const bool replacing = CheckTarget(path, old);
    const long nameMax = ::pathconf(FolderOf(path).c_str(), _PC_NAME_MAX);
    const std::string stem =
        TemporaryNameStem(path, nameMax > 0 ? static_cast<size_t>(nameMax) : 255);
    for (int attempt = 0; fd_ < 0; ++attempt) {
        temp_ = stem + RandomEnding();
        // Created with the umask's permissions; never through a link planted under the name.
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd_ < 0 && (errno != EEXIST || attempt == 100)) {
            const int err = errno;
            temp_.clear();
            ThrowIo(path, err);
        }
    }
    // A replaced file keeps its permissions as far as the umask allows, and never a special bit.
    struct stat fresh {};
    if (::fstat(fd_, &fresh) != 0) Fail(errno);
    const mode_t allowed = fresh.st_mode & 0777;
    if (replacing && (old.st_mode & 0777 & allowed) != allowed &&
        ::fchmod(fd_, old.st_mode & 0777 & allowed) != 0) {
        Fail(errno);
    }
    buffer_.reserve(kBuffer);
}

AtomicFile::~AtomicFile() {
    if (fd_ >= 0) ::close(fd_);
    if (!temp_.empty()) ::unlink(temp_.c_str());
}

void AtomicFile::Fail(int errnum) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temp_.empty()) ::unlink(temp_.c_str());
    temp_.clear();
    ThrowIo(path_, errnum);
}

void AtomicFile::Write(std::string_view bytes) {
    if (fd_ < 0) ThrowIo(path_, EBADF);
    // A large piece goes straight to the file rather than through the buffer, after what the
    // buffer holds: the bytes stay in the order they were given.
    if (buffer_.size() + bytes.size() > kBuffer || bytes.size() >= kBuffer / 2) Flush();
    if (bytes.size() >= kBuffer / 2) {
        while (!bytes.empty()) {
            const ssize_t n = ::write(fd_, bytes.data(), std::min(bytes.size(), kPiece));
            if (n < 0) {
                if (errno == EINTR) continue;
                Fail(errno);
            }
            bytes.remove_prefix(static_cast<size_t>(n));
        }
        return;
    }
    buffer_.append(bytes);
}

void AtomicFile::Flush() {
    std::string_view left = buffer_;
    while (!left.empty()) {
        const ssize_t n = ::write(fd_, left.data(), left.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            Fail(errno);
        }
        left.remove_prefix(static_cast<size_t>(n));
    }
    buffer_.clear();
}

void AtomicFile::Commit() {
    if (fd_ < 0) ThrowIo(path_, EBADF);
    Flush();
    if (::fsync(fd_) != 0) Fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) Fail(errno);
    // What stands at the name may have changed while the file was written.
    struct stat old {};
    try {
        CheckTarget(path_, old);
    } catch (const IoError&) {
        ::unlink(temp_.c_str());
        temp_.clear();
        throw;
    }
    if (::rename(temp_.c_str(), path_.c_str()) != 0) Fail(errno);
    temp_.clear();
    SyncFolder(path_);
}

void WriteFileAtomic(const std::string& path, std::string_view content,
                     const WorkProgress& progress) {
    AtomicFile file(path);
    const size_t piece = progress.report ? kPiece : std::max<size_t>(content.size(), 1);
    // The flush to disk waits as long as a part of the writing: it has the last percents.
    ProgressMeter meter(progress, content.size() + content.size() / 16);
    for (size_t done = 0; done < content.size();) {
        const size_t n = std::min(piece, content.size() - done);
        file.Write(content.substr(done, n));
        done += n;
        meter.Advance(done);
    }
    file.Commit();
    meter.Finish();
}

void WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileAtomic(path, JoinCrLf(lines));
}

}  // namespace tarnwick
