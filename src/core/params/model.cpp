#include "core/params/model.h"

#include "core/text/text.h"

namespace tarnwick {

bool IsApplicable(const TDokumZaw& d, std::string_view record) {
    if (d.FilterPos < 1) return true;
    const std::string_view v = CutField(record, d.FilterPos, d.FilterWidth);
    if (!d.FilterLow.empty()) {
        const std::string n = NormaliseCode(v, d.FilterWidth);
        return CompareBytes(d.FilterLow, n) <= 0 && CompareBytes(n, d.FilterHigh) <= 0;
    }
    return !IsBlank(v);
}

}  // namespace tarnwick
