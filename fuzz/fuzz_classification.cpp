// The classification loader on any text. A rejected file must leave the empty classification,
// the code width as it was and a listed fault; an accepted one must hold well-formed codes, a
// key-word index whose every entry is a category, and lists the coding page can show. Key-word
// search, list clicks and the page switch then run on it.
//
// The code width is 4, as every parsed coding parameters file sets it; inputs of odd length
// load with width 0 instead, so that the width is learnt from the first code.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/loader.h"
#include "core/coding/category_lists.h"
#include "core/coding/search.h"
#include "fuzz_common.h"
#include "support/scripted_platform.h"

using namespace tarnwick;
using namespace tarnwick::fuzz;

namespace {

const Classification& EarlierClassification() {
    static const Classification clf = LoadSmallClassification();
    return clf;
}

bool IsEmpty(const Classification& c) {
    return c.Count() == 0 && c.KeyWords.Count() == 0 && c.ScaleTable.Count() == 0 &&
           c.FullListLines.empty() && c.ClassificationErrors.empty() && c.MissingDataCode.empty() &&
           c.MissingDataName.empty() && c.NotApplicableCode.empty() && c.NotApplicableName.empty();
}

void CheckAccepted(const Classification& c, int width) {
    const int count = c.Count();
    FUZZ_CHECK(width > 0 && count > 0);
    FUZZ_CHECK(c.ClassificationErrors.empty());
    FUZZ_CHECK(c.FullListLines.size() == static_cast<size_t>(count));
    int missing = 0;
    int notApplicable = 0;
    for (int i = 0; i < count; ++i) {
        const TKat& k = c.Category(i);
        FUZZ_CHECK(k.Code.size() == static_cast<size_t>(width));
        FUZZ_CHECK(std::all_of(k.Code.begin(), k.Code.end(),
                               [](char ch) { return ch >= '0' && ch <= '9'; }));
        if (i > 0) FUZZ_CHECK(c.Category(i - 1).Code < k.Code);
        FUZZ_CHECK(c.IndexOf(k.Code) == i);
        FUZZ_CHECK(k.Level >= 1 && k.Level <= width);
        if (!k.IsLowest) FUZZ_CHECK(k.Description.empty());
        FUZZ_CHECK(c.FullListLines[static_cast<size_t>(i)] == k.ListText);
        FUZZ_CHECK(k.Description.find_first_of("[]") == std::string::npos);
        FUZZ_CHECK(k.Description.find("  ") == std::string::npos);
        missing += k.IsMissingData;
        notApplicable += k.IsNotApplicable;
    }
    FUZZ_CHECK(missing == 1 && notApplicable == 1);
    const int mi = c.IndexOf(c.MissingDataCode);
    const int ni = c.IndexOf(c.NotApplicableCode);
    FUZZ_CHECK(mi >= 0 && c.Category(mi).IsMissingData && c.Category(mi).Name == c.MissingDataName);
    FUZZ_CHECK(ni >= 0 && c.Category(ni).IsNotApplicable &&
               c.Category(ni).Name == c.NotApplicableName);
    for (const auto& row : c.ScaleTable) FUZZ_CHECK(row.value.Defined);

    for (int k = 0; k < c.KeyWords.Count(); ++k) {
        const TKatKlucz& key = c.KeyWords[k];
        FUZZ_CHECK(key.Key == c.KeyWords.Key(k));
        FUZZ_CHECK(key.Key.size() >= 3 && key.Key.size() <= 255);
        FUZZ_CHECK(UpperCase1250(key.Key) == key.Key);
        if (k > 0) FUZZ_CHECK(CompareNoCase(c.KeyWords.Key(k - 1), key.Key) < 0);
        FUZZ_CHECK(!key.Entries.empty());
        for (const TIndeks& e : key.Entries) FUZZ_CHECK(e.Index >= 0 && e.Index < count);
    }
}

// Searches for keys of the index, one and two words, clicks the lines and switches the pages.
void Search(Classification clf, std::string_view text) {
    ScriptedPlatform platform;
    Session s(platform);
    s.Clf = std::move(clf);
    s.ClassificationLoaded = true;
    const int keys = s.Clf.KeyWords.Count();
    const std::string words[] = {
        keys > 0 ? s.Clf.KeyWords.Key(0) : std::string(),
        keys > 0 ? s.Clf.KeyWords.Key(keys / 2) : std::string(),
        keys > 0 ? s.Clf.KeyWords.Key(keys - 1) : std::string(),
        std::string(text.substr(0, std::min<size_t>(text.size(), 40))),
    };
    for (const std::string& w : words) {
        SearchKeyWords(s, w);
        // A key is found again when typed, unless the search trims or splits it.
        if (w.size() >= 3 && Trim(w).size() == w.size() && w.find(' ') == std::string::npos &&
            s.Clf.KeyWords.Find(w) >= 0) {
            FUZZ_CHECK(!s.PreselectedEntries.empty());
        }
        SearchKeyWords(s, words[0] + " " + w);
        CheckSession(s);
        SelectPreselectedLine(s, 0);
        SelectPreselectedLine(s, static_cast<int>(s.PreselectedEntries.size()) - 1);
        CheckSession(s);
        ShowCategoryTab(s, CategoryTab::Full, kFullListVisibleLines);
        SelectFullListLine(s, s.Clf.Count() - 1);
        ShowCategoryTab(s, CategoryTab::Preselected, kFullListVisibleLines);
        CheckSession(s);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const int widthBefore = size % 2 == 0 ? 4 : 0;
    int width = widthBefore;
    Classification clf = EarlierClassification();
    std::vector<std::string> errors;
    const bool ok = LoadClassificationText(text, "fuzz.clf", width, clf, errors);
    if (!ok) {
        FUZZ_CHECK(IsEmpty(clf));
        FUZZ_CHECK(width == widthBefore);
        FUZZ_CHECK(errors.size() >= 3);
        FUZZ_CHECK(errors[0] ==
                   "Errors detected during opening the classification file 'fuzz.clf'");
        return 0;
    }
    FUZZ_CHECK(errors.empty());
    if (widthBefore != 0) FUZZ_CHECK(width == widthBefore);
    CheckAccepted(clf, width);
    Search(std::move(clf), text);
    return 0;
}
