#include "core/io/mapped_file.h"

#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <mutex>

#include "core/io/file_checks.h"
#include "core/io/files.h"

namespace tarnwick {

using namespace io_detail;

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

}  // namespace tarnwick
