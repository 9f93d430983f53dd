#include "core/coding/category_lists.h"

#include <algorithm>

#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

bool ValidCategory(const Session& s, int index) { return index >= 0 && index < s.Clf.Count(); }

// The first visible line that puts `line` in the middle of the full list, asked of the window.
void ScrollFullListTo(CodingView& v, int line, int visibleLines) {
    v.FullTopLine = std::max(0, line - std::max(visibleLines, 0) / 2);
    ++v.FullScrollRequest;
}

}  // namespace

std::string PreselectedLine(const TKat& category) { return category.Code + " " + category.Name; }

void ClearPreselected(Session& s) {
    s.PreselectedEntries.clear();
    s.View.PreselectedLines.clear();
    s.View.PreselectedSelected = -1;
    s.View.PreselectedDescription.clear();
    s.View.ListNote.clear();
    ++s.View.PreselectedVersion;
}

void ResetCategoryPanel(Session& s) {
    CodingView& v = s.View;
    // The program's proposals come first when it has an engine to make them.
    v.ActiveTab = s.Suggester ? CategoryTab::Suggestions : CategoryTab::Preselected;
    v.SuggestionSelected = -1;
    v.SuggestionDescription.clear();
    // An empty list stays as it is, so that showing case after case does not make the window
    // rebuild it.
    if (!s.PreselectedEntries.empty() || !v.PreselectedLines.empty()) ClearPreselected(s);
    v.ListNote.clear();
    v.PreselectedSelected = -1;
    v.PreselectedDescription.clear();
    v.FullSelected = -1;
    v.FullDescription.clear();
    s.SelectedCategory = -1;
    s.SelectedLine = CodeLine::None;
}

bool SelectPreselectedLine(Session& s, int line) {
    if (line < 0 || line >= static_cast<int>(s.PreselectedEntries.size())) return false;
    const int index = s.PreselectedEntries[static_cast<size_t>(line)].Index;
    if (!ValidCategory(s, index)) return false;
    s.SelectedCategory = index;
    s.SelectedLine = CodeLine::Preselected;
    s.View.PreselectedSelected = line;
    s.View.PreselectedDescription = s.Clf.Category(index).Description;
    return true;
}

bool SelectFullListLine(Session& s, int line) {
    if (!ValidCategory(s, line)) return false;
    s.SelectedCategory = line;
    s.SelectedLine = CodeLine::FullList;
    s.View.FullSelected = line;
    s.View.FullDescription = s.Clf.Category(line).Description;
    return true;
}

int FindFullListLine(const Session& s, std::string_view text) {
    const std::string_view typed = Trim(text);
    if (typed.empty()) return -1;
    const Classification& clf = s.Clf;
    const int count = clf.Count();
    if (std::all_of(typed.begin(), typed.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const int exact = clf.IndexOf(typed);
        if (exact >= 0) return exact;
        // "52" means a category under 52 that can be coded, rather than its group.
        int best = -1;
        for (int i = 0; i < count; ++i) {
            const TKat& c = clf.Category(i);
            if (c.Code.starts_with(typed) && (best < 0 || c.Level > clf.Category(best).Level)) {
                best = i;
            }
        }
        return best;
    }
    const std::string upper = UpperCase1250(typed);
    for (int i = 0; i < count; ++i) {
        if (UpperCase1250(clf.Category(i).Name).find(upper) != std::string::npos) return i;
    }
    return -1;
}

bool SelectFullListByText(Session& s, std::string_view text, int visibleLines) {
    CodingView& v = s.View;
    v.ActiveTab = CategoryTab::Full;
    const int line = FindFullListLine(s, text);
    if (!SelectFullListLine(s, line)) {
        // Nothing codable stays behind a search that found nothing.
        s.SelectedCategory = -1;
        v.FullSelected = -1;
        v.FullDescription = msg::NoCategoryMatches(Trim(text));
        return false;
    }
    ScrollFullListTo(v, line, visibleLines);
    return true;
}

void ShowCategoryTab(Session& s, CategoryTab tab, int visibleLines) {
    CodingView& v = s.View;
    v.ActiveTab = tab;
    const int selected = s.SelectedCategory;
    if (!ValidCategory(s, selected)) return;
    const TKat& category = s.Clf.Category(selected);

    if (tab == CategoryTab::Suggestions) {
        const auto& all = s.Suggestions;
        const auto it = std::find_if(all.begin(), all.end(),
                                     [&](const Suggestion& g) { return g.code == category.Code; });
        v.SuggestionSelected = it == all.end() ? -1 : static_cast<int>(it - all.begin());
        v.SuggestionDescription = it == all.end() ? std::string() : category.Description;
        return;
    }
    if (tab == CategoryTab::Full) {
        v.FullSelected = selected;
        ScrollFullListTo(v, selected, visibleLines);
        v.FullDescription = category.Description;
        return;
    }

    const auto& entries = s.PreselectedEntries;
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [selected](const TIndeks& e) { return e.Index == selected; });
    int line = static_cast<int>(it - entries.begin());
    if (it == entries.end()) {
        s.PreselectedEntries.push_back(TIndeks{selected});
        v.PreselectedLines.push_back(PreselectedLine(category));
        ++v.PreselectedVersion;
    }
    v.PreselectedSelected = line;
    v.PreselectedDescription = category.Description;
}

}  // namespace tarnwick
