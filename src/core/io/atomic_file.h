#pragma once
// Writing files: every write replaces the old file atomically, so a failed save never leaves a
// half-written file behind. Lines end with CR LF. New files get the process's umask and never
// special mode bits; a link or another user's file in the target's place is refused.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "core/io/progress.h"

namespace tarnwick {

// Bytes made piece by piece are handed to a sink: a file being written, or a string.
class ByteSink {
  public:
    virtual ~ByteSink() = default;
    virtual void Write(std::string_view bytes) = 0;
};

// A sink that keeps everything in a string (tests, small files).
class StringSink : public ByteSink {
  public:
    void Write(std::string_view bytes) override { text.append(bytes); }
    std::string text;
};

// Text made line by line and handed to a sink in pieces of about a megabyte, so that a file of
// a million lines is never held whole: append to `text`, call Pass() after each line and
// Flush() at the end.
class ChunkedText {
  public:
    explicit ChunkedText(ByteSink& sink) : sink_(sink) { text.reserve(kChunk + 4096); }
    void Pass() {
        if (text.size() >= kChunk) Flush();
    }
    void Flush() {
        sink_.Write(text);
        text.clear();
    }
    std::string text;

  private:
    static constexpr size_t kChunk = size_t{1} << 20;
    ByteSink& sink_;
};

// One file written atomically as a stream: the bytes go, through a buffer of a megabyte, into a
// temporary file beside `path`; Commit flushes it to disk, renames it over the old file and
// flushes the folder. Destroyed without Commit (a fault, a cancel), it removes the temporary
// file and the old file stays as it was. Throws IoError, with the path of the target.
class AtomicFile : public ByteSink {
  public:
    // Refuses a target that is a link, a file of another user, or not a regular file.
    explicit AtomicFile(const std::string& path);
    ~AtomicFile() override;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Write(std::string_view bytes) override;
    void Commit();
    const std::string& Path() const { return path_; }

  private:
    void Flush();
    [[noreturn]] void Fail(int errnum);

    std::string path_;
    std::string temp_;
    int fd_ = -1;
    std::string buffer_;
};

// Writes `content` to `path` through an AtomicFile, reporting the bytes written. Throws IoError
// or WorkCancelled; the old file is then untouched.
void WriteFileAtomic(const std::string& path, std::string_view content,
                     const WorkProgress& progress = {});

// Writes every line followed by CR LF, atomically.
void WriteLinesAtomic(const std::string& path, const std::vector<std::string>& lines);

// The name of the temporary file written beside `path`, before its random ending of six
// characters: the name's prefix cut so that the whole name fits the folder's name limit.
std::string TemporaryNameStem(const std::string& path, size_t nameMax);

}  // namespace tarnwick
