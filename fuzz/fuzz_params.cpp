// The coding parameters parser on any text. A rejected text must leave the empty model and list
// its faults; an accepted one must describe fields that the data reader can cut safely, and
// cutting a record by it, testing its filters and writing the script must work.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/data/output.h"
#include "core/params/parser.h"
#include "fuzz_common.h"
#include "support/scripted_platform.h"

using namespace tarnwick;
using namespace tarnwick::fuzz;

namespace {

bool IsEmptyModel(const CodingParams& p) {
    return p.DokumList.empty() && p.RespIdPos == 0 && p.RespIdWidth == 0 && p.RespIdMnemo.empty() &&
           p.RespIdLabel.empty() && !p.X14Declared && !p.ScalesDeclared && p.X14LabelList.Empty() &&
           p.CodeWidth == 4;
}

bool ValidField(int pos, int width) { return (pos == 0 && width == 0) || (pos >= 1 && width >= 1); }

void CheckAccepted(const CodingParams& p) {
    FUZZ_CHECK(p.RespIdPos >= 1 && p.RespIdWidth >= 1 && p.RespIdMnemo == kRespIdMnemo);
    FUZZ_CHECK(!p.RespIdLabel.empty() && p.CodeWidth == 4);
    for (const TDokumZaw& d : p.DokumList) {
        FUZZ_CHECK(!d.VarMnemo.empty() && d.VarMnemo.size() <= 5 && !d.VarName.empty());
        FUZZ_CHECK(d.InfoPos[0] == 0 && d.InfoLabels[0].Empty());
        for (int n = 1; n <= kInfoFields; ++n) {
            FUZZ_CHECK(ValidField(d.InfoPos[n], d.InfoWidth[n]));
            // Answer codes are normalised to their field's width (to the width of the time: a
            // field declared again keeps the labels given before).
            for (const auto& e : d.InfoLabels[n]) FUZZ_CHECK(!e.key.empty() && d.InfoPos[n] > 0);
        }
        FUZZ_CHECK(ValidField(d.FilterPos, d.FilterWidth));
        FUZZ_CHECK(d.FilterLow.empty() == d.FilterHigh.empty());
        if (!d.FilterLow.empty()) {
            FUZZ_CHECK(d.FilterPos >= 1);
            FUZZ_CHECK(d.FilterLow.size() == static_cast<size_t>(d.FilterWidth));
            FUZZ_CHECK(d.FilterHigh.size() == static_cast<size_t>(d.FilterWidth));
        }
        FUZZ_CHECK(d.HasScales == std::any_of(d.ScaleMnemo.begin(), d.ScaleMnemo.end(),
                                              [](const std::string& m) { return !m.empty(); }));
        FUZZ_CHECK(d.ScaleMnemo[0].empty());
        for (const auto& e : d.X14Labels) FUZZ_CHECK(e.key.size() == 2);
        if (!d.X14Mnemo.empty()) FUZZ_CHECK(p.X14Declared);
        if (d.HasScales) FUZZ_CHECK(p.ScalesDeclared);
    }
    if (p.X14Declared) {
        for (const char* key : {"01", "02", "03", "04", "05", "06", "07", "08", "09", "10", "11",
                                "12", "13", "14", "98", "99"}) {
            FUZZ_CHECK(p.X14LabelList.Contains(key));
        }
    }
}

// Cuts a record of exactly the minimum length, made of the input's bytes, by every declared
// field, as reading the data and showing a case do.
void CutRecord(const CodingParams& p, std::string_view text) {
    const int minimum = MinimumRecordLength(p);
    FUZZ_CHECK(minimum >= 0);
    std::string record(static_cast<size_t>(minimum), ' ');
    for (size_t i = 0; i < record.size() && !text.empty(); ++i) record[i] = text[i % text.size()];
    for (const TDokumZaw& d : p.DokumList) {
        FUZZ_CHECK(p.RespIdPos + p.RespIdWidth - 1 <= minimum);
        (void)IsApplicable(d, record);
        for (int n = 1; n <= kInfoFields; ++n) {
            if (d.InfoPos[n] > 0) FUZZ_CHECK(d.InfoPos[n] + d.InfoWidth[n] - 1 <= minimum);
            const std::string shown = InfoText(d, record, n);
            if (d.InfoPos[n] > 0 && d.InfoLabels[n].Empty()) {
                FUZZ_CHECK(shown == CutField(record, d.InfoPos[n], d.InfoWidth[n]));
            }
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    CodingParams model = DemoParams();
    std::vector<std::string> errors{"a line of an earlier step"};
    std::string report = "an earlier report line";
    const bool ok = ParseCodingParamsText(text, "fuzz.zpa", model, errors, report);
    if (!ok) {
        FUZZ_CHECK(IsEmptyModel(model));
        FUZZ_CHECK(errors.size() >= 4 && errors[0] == "a line of an earlier step");
        FUZZ_CHECK(report.empty());
        return 0;
    }
    FUZZ_CHECK(errors.size() == 1);
    FUZZ_CHECK(report == "Coding parameters successfully read-in from file: fuzz.zpa");
    CheckAccepted(model);
    CutRecord(model, text);

    // The script of the final output carries every declared name and label.
    ScriptedPlatform platform;
    Session s(platform);
    s.Params = std::move(model);
    s.Clf = SmallClassification();
    const std::vector<std::string> script = SpssScriptLines(s.Params, s.Clf, "/data/fuzz.asc");
    FUZZ_CHECK(!script.empty() && script.front() == "DATA LIST");
    FUZZ_CHECK(FormatOutputData(s.Params, s.Clf, s.Cases).empty());
    return 0;
}
