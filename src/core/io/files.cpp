#include "core/io/files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#include "core/io/file_checks.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"

namespace tarnwick {

std::string IoErrorText(const std::string& path, int errnum) {
    return path + ": " + std::strerror(errnum);
}

namespace io_detail {

std::string UserName(uid_t uid) {
    std::vector<char> buffer(16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found) {
        return found->pw_name;
    }
    return "user " + std::to_string(uid);
}

[[noreturn]] void ThrowIo(const std::string& path, int errnum) {
    throw IoError(IoErrorText(path, errnum));
}

[[noreturn]] void Refuse(const std::string& path, std::string_view why) {
    std::string text = path + ": ";
    text += why;
    throw IoError(text);
}

void CheckKind(const std::string& path, const struct stat& st, bool own) {
    if (S_ISLNK(st.st_mode)) Refuse(path, msg::kIsALink);
    if (S_ISDIR(st.st_mode)) ThrowIo(path, EISDIR);
    if (!S_ISREG(st.st_mode)) Refuse(path, msg::kNotAFile);
    if (own && st.st_uid != ::geteuid()) Refuse(path, msg::OtherOwner(UserName(st.st_uid)));
}

int OpenToRead(const std::string& path, bool own, struct stat& st) {
    struct stat before {};
    const int found = own ? ::lstat(path.c_str(), &before) : ::stat(path.c_str(), &before);
    if (found != 0) ThrowIo(path, errno);
    CheckKind(path, before, own);
    const int flags = O_RDONLY | O_CLOEXEC | O_NONBLOCK | (own ? O_NOFOLLOW : 0);
    Fd fd(::open(path.c_str(), flags));
    if (fd.get() < 0) {
        if (own && errno == ELOOP) Refuse(path, msg::kIsALink);
        ThrowIo(path, errno);
    }
    if (::fstat(fd.get(), &st) != 0) ThrowIo(path, errno);
    CheckKind(path, st, own);
    if (static_cast<unsigned long long>(st.st_size) > ReadLimit()) {
        Refuse(path, msg::FileTooLarge(ReadLimit()));
    }
    return fd.release();
}

std::string ReadOpenFile(const std::string& path, int descriptor, const struct stat& st,
                         const WorkProgress& progress) {
    Fd fd(descriptor);
    // A regular file is read straight into a buffer of its size. The end is then confirmed with
    // a small read beside it: growing the buffer by a block past the known size would copy the
    // whole file once more and leave twice its size allocated for as long as the text is kept.
    // What lies beyond (a file that grew meanwhile, or one of no known size) is appended, up to
    // the limit.
    std::string data;
    if (st.st_size > 0) data.resize(static_cast<size_t>(st.st_size));
    size_t used = 0;
    char beyond[64 * 1024];
    ProgressMeter meter(progress, data.size());
    const size_t piece = progress.report ? kPiece : static_cast<size_t>(-1);
    const size_t limit = ReadLimit();
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
        if (!inside) {
            if (used + static_cast<size_t>(n) > limit) Refuse(path, msg::FileTooLarge(limit));
            data.append(beyond, static_cast<size_t>(n));
        }
        used += static_cast<size_t>(n);
        meter.Advance(used);
    }
    data.resize(used);
    meter.Finish();
    return data;
}

}  // namespace io_detail

using namespace io_detail;

size_t ReadLimit() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGESIZE);
    if (pages <= 0 || size <= 0) return size_t{1} << 31;
    return static_cast<size_t>(pages) / 2 * static_cast<size_t>(size);
}

std::string ReadWholeFile(const std::string& path, const WorkProgress& progress) {
    struct stat st {};
    const int fd = OpenToRead(path, false, st);
    return ReadOpenFile(path, fd, st, progress);
}

void CheckOwnFile(const std::string& path, int descriptor) {
    struct stat st {};
    const int found = descriptor >= 0 ? ::fstat(descriptor, &st) : ::lstat(path.c_str(), &st);
    if (found != 0) return;  // the caller's own error says why
    io_detail::CheckKind(path, st, true);
}

std::string ReadOwnFile(const std::string& path, const WorkProgress& progress) {
    struct stat st {};
    const int fd = OpenToRead(path, true, st);
    return ReadOpenFile(path, fd, st, progress);
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

bool PathTaken(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0;
}

}  // namespace tarnwick
