// The classification profile reader on any text. A rejected text lists its faults under its
// heading and leaves an empty profile; an accepted one gives every variable values of its own
// width, ranges that do not overlap, and a value of that width for any code, and a classification
// of its width loads with it or lists why not.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/loader.h"
#include "core/classification/profile.h"
#include "fuzz_common.h"

using namespace tarnwick;

namespace {

void CheckVariable(const Classification& clf, const DerivedVariable& v, std::string_view text,
                   int width) {
    FUZZ_CHECK(v.Width >= 1 && v.Missing.size() == v.Width && v.NotApplicable.size() == v.Width);
    FUZZ_CHECK(v.Missing != v.NotApplicable);
    for (const auto& [code, value] : v.Values) {
        FUZZ_CHECK(code.size() == static_cast<size_t>(width) && value.size() == v.Width);
        FUZZ_CHECK(value != v.Missing && value != v.NotApplicable);
    }
    for (size_t i = 0; i < v.Ranges.size(); ++i) {
        FUZZ_CHECK(v.Ranges[i].Low <= v.Ranges[i].High && v.Ranges[i].Class.size() == v.Width);
        if (i > 0) FUZZ_CHECK(v.Ranges[i - 1].High < v.Ranges[i].Low);
    }
    // Codes of the profile's width cut from the input, and the edges of every row.
    std::vector<std::string> codes = {"", clf.MissingDataCode, clf.NotApplicableCode};
    for (size_t at = 0; at + static_cast<size_t>(width) <= text.size() && codes.size() < 64;
         at += static_cast<size_t>(width)) {
        codes.emplace_back(text.substr(at, static_cast<size_t>(width)));
    }
    for (const auto& [code, value] : v.Values) codes.push_back(code);
    for (const auto& r : v.Ranges) codes.insert(codes.end(), {r.Low, r.High});
    for (const std::string& code : codes) FUZZ_CHECK(DerivedValue(clf, v, code).size() == v.Width);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    auto profile = std::make_shared<ClassificationProfile>();
    std::vector<std::string> errors;
    if (!ParseProfileText(text, "fuzz.clp", *profile, errors)) {
        FUZZ_CHECK(errors.size() >= 3);
        FUZZ_CHECK(errors[0] == "Errors detected in the classification profile 'fuzz.clp'");
        FUZZ_CHECK(profile->Variables.empty() && profile->Width == 0 && profile->Name.empty());
        return 0;
    }
    FUZZ_CHECK(errors.empty() && !profile->Name.empty() && profile->Mnemo.size() <= 3);
    FUZZ_CHECK(profile->Width >= 1 && profile->Width <= kMaxProfileWidth);
    const auto width = static_cast<size_t>(profile->Width);

    // A classification of the profile's width: one category and the standard codes the profile
    // leaves to the file.
    std::string clfText = "#C " + std::string(width, '1') + "\n#N One\n#D One [one]\n";
    if (profile->MissingCode.empty())
        clfText += "#CM " + std::string(width, '8') + "\n#N M\n#D M\n";
    if (profile->NotApplicableCode.empty())
        clfText += "#CN " + std::string(width, '9') + "\n#N N\n#D N\n";
    Classification clf;
    int codeWidth = 4;
    if (LoadClassificationText(clfText, "fuzz.clf", codeWidth, clf, errors, true, profile)) {
        FUZZ_CHECK(codeWidth == profile->Width && clf.Profile == profile);
        FUZZ_CHECK(!clf.MissingDataCode.empty() && !clf.NotApplicableCode.empty());
    } else {
        FUZZ_CHECK(!errors.empty());
        clf.MissingDataCode = profile->MissingCode;
        clf.NotApplicableCode = profile->NotApplicableCode;
    }
    for (const DerivedVariable& v : profile->Variables) CheckVariable(clf, v, text, profile->Width);
    return 0;
}
