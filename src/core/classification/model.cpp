#include "core/classification/model.h"

#include <algorithm>
#include <utility>

namespace tarnwick {

TKat::TKat(std::string code, int codeWidth) : Code(std::move(code)) {
    // The level is the position of the last non-zero digit, the first digit not counting.
    const size_t width = std::min(Code.size(), static_cast<size_t>(std::max(codeWidth, 0)));
    for (size_t pos = 2; pos <= width; ++pos) {
        if (Code[pos - 1] != '0') Level = static_cast<int>(pos);
    }
    ListText.assign(static_cast<size_t>(2 * (Level - 1)), ' ');
    ListText += Code;
}

}  // namespace tarnwick
