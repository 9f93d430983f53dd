#pragma once
// What a shared project adds to a coding session: every change of a case leaves for the other
// coders, and the next case to code is one that nobody else holds. A single-coder session has
// none.

#include <optional>
#include <utility>

#include "core/data/journal.h"

namespace tarnwick {

class CaseSync {
  public:
    virtual ~CaseSync() = default;
    // A coding action (or its undo) changed a case; the local journal already holds it. Throws
    // IoError when the change cannot be kept for sending; the case then stays as it was.
    virtual void CaseChanged(const JournalEntry& entry) = 0;
    // The next case for this coder, held for them alone; none when nothing is left for them.
    virtual std::optional<std::pair<int, int>> TakeNext() = 0;
};

}  // namespace tarnwick
