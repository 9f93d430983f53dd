#pragma once
// Reading and writing whole files. Lines end with CR LF or LF on reading and CR LF on writing;
// every write replaces the old file atomically, so a failed save never leaves a half-written
// file behind.
//
// Files in a shared folder are met with care: an input that is not a regular file (a folder, a
// pipe, a device) is refused before it is opened, so nothing blocks; a file the program writes
// and reads back (the working file, its backup, the outputs) is neither followed through a link
// nor taken from another user; new files get the process's umask and never special mode bits.

#include <cstddef>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/text/progress.h"

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

// Reads a text file into its lines. Throws IoError.
std::vector<std::string> ReadLines(const std::string& path);

// True when a regular file (or a link to one) of that name exists.
bool FileExists(const std::string& path);

// True when anything at all (also a link, whatever it points to) has that name.
bool PathTaken(const std::string& path);

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
