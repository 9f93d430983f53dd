#pragma once
// The one line splitter of the program: LF or CR LF ends a line, a last line without an end
// counts, an empty buffer has no lines. Lines are views into the buffer.

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick {

// Walks the lines of a buffer in place.

class LineCursor {
  public:
    explicit LineCursor(std::string_view buffer) : buffer_(buffer) {}

    // The next line into `line`; false at the end of the buffer.
    bool Next(std::string_view& line) {
        if (pos_ >= buffer_.size()) return false;
        const char* start = buffer_.data() + pos_;
        const size_t left = buffer_.size() - pos_;
        const void* nl = std::memchr(start, '\n', left);
        size_t len =
            nl == nullptr ? left : static_cast<size_t>(static_cast<const char*>(nl) - start);
        pos_ += nl == nullptr ? len : len + 1;
        if (len > 0 && start[len - 1] == '\r') --len;
        line = std::string_view(start, len);
        return true;
    }

    // How many lines the whole buffer holds.
    static size_t CountLines(std::string_view buffer) {
        if (buffer.empty()) return 0;
        size_t n = 0;
        const char* p = buffer.data();
        const char* end = p + buffer.size();
        while (p < end) {
            const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
            if (nl == nullptr) return n + 1;
            ++n;
            p = static_cast<const char*>(nl) + 1;
        }
        return n;
    }

  private:
    std::string_view buffer_;
    size_t pos_ = 0;
};

// Every line of a buffer.
inline std::vector<std::string_view> SplitLines(std::string_view buffer) {
    std::vector<std::string_view> lines;
    LineCursor cursor(buffer);
    for (std::string_view line; cursor.Next(line);) lines.push_back(line);
    return lines;
}

// Appends `line` and CR LF, the line end of every file the program writes.
inline void AppendCrLf(std::string& out, std::string_view line) {
    out.append(line);
    out.append("\r\n");
}

// The lines joined, each ended by CR LF.
inline std::string JoinCrLf(const std::vector<std::string>& lines) {
    size_t size = 0;
    for (const std::string& line : lines) size += line.size() + 2;
    std::string out;
    out.reserve(size);
    for (const std::string& line : lines) AppendCrLf(out, line);
    return out;
}

}  // namespace tarnwick
