#pragma once
// Walks the lines of a buffer in place: LF or CR LF ends a line, a last line without an end
// counts, an empty buffer has no lines. The views point into the buffer.

#include <cstring>
#include <string_view>

namespace tarnwick {

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

}  // namespace tarnwick
