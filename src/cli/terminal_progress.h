#pragma once
// The progress line of long work on a terminal: one line on standard error, overwritten in place
// and cleared when the work ends, so that nothing of it stays in what the terminal shows.

#include <algorithm>
#include <ostream>
#include <string>
#include <string_view>

#include "core/project/unattended_platform.h"

namespace tarnwick::cli {

class TerminalProgress {
  public:
    // Shows the progress that `platform` reports on `err`; does nothing when `enabled` is false
    // (standard error is not a terminal: a log or a pipe must not fill with carriage returns).
    TerminalProgress(UnattendedPlatform& platform, std::ostream& err, bool enabled) : err_(err) {
        if (!enabled) return;
        platform.onProgress = [this](std::string_view what, int percent) {
            if (percent >= 100) {
                Clear();
                return;
            }
            std::string line = "\r" + std::string(what) + " " + std::to_string(percent) + "%";
            if (line == last_) return;  // one work's end is the next one's start
            last_ = line;
            const size_t width = line.size() - 1;
            // Blanks over the rest of a longer earlier line.
            line.append(shown_ > width ? shown_ - width : 0, ' ');
            shown_ = std::max(shown_, width);
            err_ << line << std::flush;
        };
    }
    ~TerminalProgress() { Clear(); }
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;

    // Removes the line, before other output or at the end of a command.
    void Clear() {
        if (shown_ == 0) return;
        err_ << '\r' << std::string(shown_, ' ') << '\r' << std::flush;
        shown_ = 0;
        last_.clear();
    }

  private:
    std::ostream& err_;
    size_t shown_ = 0;  // the longest line since the last clearing
    std::string last_;
};

}  // namespace tarnwick::cli
