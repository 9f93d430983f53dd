#include "core/classification/scales.h"

#include <array>
#include <iterator>
#include <utility>

#include "core/text/strings.h"

namespace tarnwick {

namespace {

struct ScaleRow {
    const char* code;
    std::array<const char*, 6> values;
};

constexpr ScaleRow kScaleRows[] = {
#include "core/classification/scale_values.inc"
};

static_assert(std::size(kScaleRows) == 371, "the scales table has 371 rows");

// The special values of a scale.
constexpr const char* kNoValue = "998";
constexpr const char* kNotApplicable = "999";
constexpr const char* kNoCode = "   ";

}  // namespace

void BuildScaleTable(Classification& clf) {
    clf.ScaleTable.Clear();
    for (const ScaleRow& row : kScaleRows) {
        TSkalaKat kat;
        kat.Code = row.code;
        for (size_t k = 1; k <= 6; ++k) {
            const char* value = row.values[k - 1];
            kat.Values[k] = (value == nullptr || *value == '\0') ? kNoValue : value;
        }
        // Rows come in code order, so each one lands at the end.
        std::string key = kat.Code;
        clf.ScaleTable.Add(std::move(key), std::move(kat));
    }
}

std::string LookupScale(const Classification& clf, std::string_view code, int k) {
    if (IsBlank(code)) return kNoCode;
    if (code == clf.NotApplicableCode) return kNotApplicable;
    const int row = clf.ScaleTable.Find(code);
    if (row < 0 || k < 1 || k > 6) return kNoValue;
    return clf.ScaleTable[row].Values[static_cast<size_t>(k)];
}

std::vector<std::string> BuiltInScaleCodes() {
    std::vector<std::string> codes;
    codes.reserve(std::size(kScaleRows));
    for (const ScaleRow& row : kScaleRows) codes.emplace_back(row.code);
    return codes;
}

}  // namespace tarnwick
