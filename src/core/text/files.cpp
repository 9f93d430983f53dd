#include "core/text/files.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "core/text/interface_texts.h"
#include "core/text/lines.h"

namespace tarnwick {

std::string IoErrorText(const std::string& path, int errnum) {
    return path + ": " + std::strerror(errnum);
}

namespace {

[[noreturn]] void ThrowIo(const std::string& path, int errnum) {
    throw IoError(IoErrorText(path, errnum));
}

[[noreturn]] void Refuse(const std::string& path, std::string_view why) {
    std::string text = path + ": ";
    text += why;
    throw IoError(text);
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

// Reads and writes go in pieces of this size when progress is reported.
constexpr size_t kPiece = size_t{8} << 20;

// What may stand where a file is read or written. `own`: a file the program writes itself,
// which must not be a link nor another user's. Throws IoError with the reason.
void CheckKind(const std::string& path, const struct stat& st, bool own) {
    if (S_ISLNK(st.st_mode)) Refuse(path, msg::kIsALink);
    if (S_ISDIR(st.st_mode)) ThrowIo(path, EISDIR);
    if (!S_ISREG(st.st_mode)) Refuse(path, msg::kNotAFile);
    if (own && st.st_uid != ::geteuid()) Refuse(path, msg::kOtherOwner);
}

// Opens a file to read, checked before it is opened (a pipe or a device would block the open
// or never end) and again once open (it may have been swapped meanwhile).
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

}  // namespace

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

// ---- Mapped files ----------------------------------------------------------------------------
//
// A mapped file that another program cuts short makes every read of its lost pages raise
// SIGBUS, which would end the program at the next look at a record. The handler below puts
// anonymous zero pages over the rest of such a mapping instead, marks it cut, and lets the read
// go on. Only the addresses of our own mappings are handled; any other SIGBUS goes to the
// action there was before. The table is fixed and lock-free, as a signal handler needs.

namespace {

struct GuardSlot {
    std::atomic<uintptr_t> begin{0};
    std::atomic<uintptr_t> end{0};
    std::atomic<bool> cut{false};
};

constexpr int kGuardSlots = 16;
GuardSlot gGuard[kGuardSlots];
std::mutex gGuardMutex;  // taking and freeing slots; the handler only reads
struct sigaction gPreviousBus {};
uintptr_t gPageSize = 4096;

void OnSigbus(int sig, siginfo_t* info, void* context) {
    const auto at = reinterpret_cast<uintptr_t>(info->si_addr);
    for (GuardSlot& slot : gGuard) {
        const uintptr_t begin = slot.begin.load(std::memory_order_acquire);
        const uintptr_t end = slot.end.load(std::memory_order_acquire);
        if (begin == 0 || at < begin || at >= end) continue;
        const uintptr_t page = at & ~(gPageSize - 1);
        void* zeros = ::mmap(reinterpret_cast<void*>(page), end - page, PROT_READ,
                             MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
        if (zeros != MAP_FAILED) {
            slot.cut.store(true, std::memory_order_release);
            return;  // the read is made again, now of zeros
        }
        break;
    }
    if ((gPreviousBus.sa_flags & SA_SIGINFO) != 0 && gPreviousBus.sa_sigaction != nullptr) {
        gPreviousBus.sa_sigaction(sig, info, context);
        return;
    }
    if (gPreviousBus.sa_handler != SIG_DFL && gPreviousBus.sa_handler != SIG_IGN) {
        gPreviousBus.sa_handler(sig);
        return;
    }
    // The default action: the fault repeats on return and ends the program as it always would.
    ::signal(SIGBUS, SIG_DFL);
}

// A slot for the mapping [begin, end), or -1 when the guard cannot be had.
int GuardMapping(const void* data, size_t length) {
    static const bool installed = [] {
        gPageSize = static_cast<uintptr_t>(::sysconf(_SC_PAGESIZE));
        struct sigaction action {};
        action.sa_sigaction = OnSigbus;
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        return ::sigaction(SIGBUS, &action, &gPreviousBus) == 0;
    }();
    if (!installed) return -1;
    std::lock_guard<std::mutex> lock(gGuardMutex);
    for (int i = 0; i < kGuardSlots; ++i) {
        GuardSlot& slot = gGuard[i];
        if (slot.begin.load() != 0) continue;
        const auto begin = reinterpret_cast<uintptr_t>(data);
        slot.cut.store(false);
        slot.end.store((begin + length + gPageSize - 1) & ~(gPageSize - 1));
        slot.begin.store(begin, std::memory_order_release);
        return i;
    }
    return -1;
}

void ReleaseGuard(int slot) {
    std::lock_guard<std::mutex> lock(gGuardMutex);
    gGuard[slot].begin.store(0, std::memory_order_release);
    gGuard[slot].end.store(0);
}

}  // namespace

FileBytes::FileBytes(const std::string& path, bool own) {
    struct stat st {};
    Fd fd(OpenToRead(path, own, st));
    const auto size = static_cast<size_t>(st.st_size);
    if (size > 0) {
        void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd.get(), 0);
        if (map != MAP_FAILED) {
            slot_ = GuardMapping(map, size);
            if (slot_ >= 0) {
                // Read ahead of the first pass, which goes through the file in order.
                ::madvise(map, size, MADV_SEQUENTIAL);
                ::madvise(map, size, MADV_WILLNEED);
                data_ = static_cast<const char*>(map);
                size_ = mapped_ = size;
                return;
            }
            ::munmap(map, size);
        }
    }
    // Not mappable (no known size, or a file system that cannot): read into memory.
    copy_ = ReadOpenFile(path, fd.release(), st, {});
    data_ = copy_.data();
    size_ = copy_.size();
}

FileBytes::~FileBytes() {
    if (mapped_ == 0) return;
    ReleaseGuard(slot_);
    ::munmap(const_cast<char*>(data_), mapped_);
}

void FileBytes::Passed(size_t from, size_t to) const {
    if (mapped_ == 0) return;
    const auto page = static_cast<size_t>(gPageSize);
    const size_t first = (from + page - 1) / page * page;
    const size_t last = std::min(to, mapped_) / page * page;
    if (last <= first) return;
    ::madvise(const_cast<char*>(data_) + first, last - first, MADV_DONTNEED);
}

bool FileBytes::WasCut() const {
    return slot_ >= 0 && gGuard[slot_].cut.load(std::memory_order_acquire);
}

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
    if (buffer_.size() + bytes.size() > kBuffer) Flush();
    // A large piece goes straight to the file rather than through the buffer.
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
