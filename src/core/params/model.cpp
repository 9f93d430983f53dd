#include "core/params/model.h"

#include <algorithm>
#include <climits>

#include "core/text/strings.h"

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

std::string InfoText(const TDokumZaw& d, std::string_view record, int n) {
    if (n < 1 || n > kInfoFields || d.InfoPos[n] <= 0) return {};
    const std::string_view v = CutField(record, d.InfoPos[n], d.InfoWidth[n]);
    const LabelList& labels = d.InfoLabels[n];
    if (labels.Empty()) return std::string(v);
    std::string code = NormaliseCode(v, d.InfoWidth[n]);
    const int i = labels.Find(code);
    if (i >= 0) return labels[i].Text;
    return code;
}

int MinimumRecordLength(const CodingParams& params) {
    if (params.DokumList.empty()) return 0;
    long long longest = static_cast<long long>(params.RespIdPos) + params.RespIdWidth - 1;
    for (const TDokumZaw& d : params.DokumList) {
        for (int n = 1; n <= kInfoFields; ++n) {
            if (d.InfoPos[n] > 0) {
                longest =
                    std::max(longest, static_cast<long long>(d.InfoPos[n]) + d.InfoWidth[n] - 1);
            }
        }
    }
    return static_cast<int>(std::clamp<long long>(longest, 0, INT_MAX));
}

}  // namespace tarnwick
