#pragma once
// A whole file's bytes, mapped rather than copied, and safe against the file being cut short
// while it is mapped.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick {

// The bytes of a whole file, read-only, for as long as the object lives. A regular file is
// mapped, so that its bytes are neither zero-filled nor copied; other files, and those that
// cannot be mapped, are read into memory. Should a mapped file be cut short while it is mapped,
// its lost pages read as NUL bytes instead of ending the program (see WasCut).
class FileBytes {
  public:
    // Opens and maps (or reads) `path`; `own`: a file the program writes itself, refused as
    // ReadOwnFile refuses it. Throws IoError.
    explicit FileBytes(const std::string& path, bool own = false);
    ~FileBytes();
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;

    std::string_view View() const { return {data_, size_}; }

    // The bytes [from, to) have been read through once: their pages go back to the page cache,
    // so that a large file does not stay resident twice; a later read maps them again.
    void Passed(size_t from, size_t to) const;

    // True once the file was found cut short under its mapping.
    bool WasCut() const;

  private:
    const char* data_ = nullptr;
    size_t size_ = 0;
    size_t mapped_ = 0;  // the length of the mapping; 0 when the bytes are in `copy_`
    int slot_ = -1;      // the mapping's entry in the guard of cut files
    std::string copy_;
};

}  // namespace tarnwick
