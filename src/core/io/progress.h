#pragma once
// Progress of long work (opening a million records, writing the outputs): reported in whole
// percents, at most once per percent, so that a loop over records pays one comparison per
// record. The coder may stop the work; it then ends with WorkCancelled, which the step that
// started it catches.

#include <algorithm>
#include <cstddef>
#include <exception>
#include <functional>
#include <utility>

namespace tarnwick {

// The coder stopped the work through a progress report.
class WorkCancelled : public std::exception {
  public:
    const char* what() const noexcept override { return "cancelled"; }
};

// Where a piece of work reports: `report` gets the percent done and answers false to stop. A
// part of a longer work covers the percents [from, to] of it. Without `report`, nothing is
// reported and nothing can stop the work.
struct WorkProgress {
    std::function<bool(int percent)> report;
    int from = 0;
    int to = 100;

    // The share [a, b] of this one, in percents of it.
    WorkProgress Part(int a, int b) const {
        const int span = to - from;
        return {report, from + span * a / 100, from + span * b / 100};
    }
};

// Counts the units of one piece of work (records, bytes) against a WorkProgress.
class ProgressMeter {
  public:
    // Reports the start of the work.
    ProgressMeter(WorkProgress progress, size_t total)
        : progress_(std::move(progress)), total_(total) {
        if (progress_.report) {
            Report(0);
        } else {
            next_ = static_cast<size_t>(-1);
        }
    }

    // `done` of the total units are done. Throws WorkCancelled when the coder stops the work.
    void Advance(size_t done) {
        if (done >= next_) Report(done);
    }

    // Reports the end of the work.
    void Finish() {
        if (progress_.report && last_ != progress_.to) Report(total_);
    }

  private:
    void Report(size_t done) {
        const auto span = static_cast<size_t>(progress_.to - progress_.from);
        const size_t step = span == 0 ? total_ + 1 : total_ / span + 1;
        const size_t share = total_ == 0 ? span : std::min(done, total_) * span / total_;
        last_ = progress_.from + static_cast<int>(share);
        next_ = done + step;
        if (!progress_.report(last_)) throw WorkCancelled();
    }

    WorkProgress progress_;
    size_t total_;
    size_t next_ = 0;
    int last_ = -1;
};

}  // namespace tarnwick
