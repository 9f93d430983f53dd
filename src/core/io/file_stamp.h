#pragma once
// The size and modification time of a file: enough to notice that another program changed it.

#include <sys/stat.h>

#include <optional>
#include <string>

namespace tarnwick {

struct FileStamp {
    long long Size = 0;
    long long ModifiedNs = 0;
    bool operator==(const FileStamp&) const = default;
};

// Nullopt when the file cannot be found.
inline std::optional<FileStamp> StampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return FileStamp{static_cast<long long>(st.st_size),
                     static_cast<long long>(st.st_mtim.tv_sec) * 1000000000LL + st.st_mtim.tv_nsec};
}

}  // namespace tarnwick
