#include "core/coding/search.h"

#include <string>

#include "core/coding/category_lists.h"
#include "core/session/session.h"
#include "core/text/text.h"

namespace tarnwick {

namespace {

// The key-word index entry of the longest beginning of `word`, not shorter than 3 characters,
// that is a key; -1 when there is none. The whole word is tried first, whatever its length.
int LookUpKey(const Classification& clf, std::string word) {
    if (word.empty()) return -1;
    for (;;) {
        const int i = clf.KeyWords.Find(word);
        if (i >= 0) return i;
        if (word.size() <= 3) return -1;
        word.pop_back();
    }
}

}  // namespace

void SearchKeyWords(Session& s, std::string_view query) {
    const std::string text = UpperCase1250(Trim(query));
    std::string first;
    std::string second;
    const size_t blank = text.find(' ');
    if (blank == std::string::npos) {
        first = text;
    } else {
        first = std::string(Trim(std::string_view(text).substr(0, blank)));
        second = std::string(Trim(std::string_view(text).substr(blank + 1)));
    }
    if (first.empty() && second.empty()) return;

    Classification& clf = s.Clf;
    const int key1 = LookUpKey(clf, first);
    const int key2 = LookUpKey(clf, second);
    if (key1 < 0 && key2 < 0) return;

    const int count = clf.Count();
    for (int i = 0; i < count; ++i) {
        TKat& c = clf.Category(i);
        c.Hit = false;
        c.FirstWordHit = false;
    }
    if (key1 >= 0) {
        for (const TIndeks& e : clf.KeyWords[key1].Entries) {
            if (e.Index < 0 || e.Index >= count) continue;
            TKat& c = clf.Category(e.Index);
            if (key2 < 0) {
                c.Hit = true;
            } else {
                c.FirstWordHit = true;
            }
        }
    }
    if (key2 >= 0) {
        for (const TIndeks& e : clf.KeyWords[key2].Entries) {
            if (e.Index < 0 || e.Index >= count) continue;
            TKat& c = clf.Category(e.Index);
            if (c.FirstWordHit) c.Hit = true;
        }
    }

    ClearPreselected(s);
    CodingView& v = s.View;
    for (int i = 0; i < count; ++i) {
        const TKat& c = clf.Category(i);
        if (!c.Hit) continue;
        s.PreselectedEntries.push_back(TIndeks{i});
        v.PreselectedLines.push_back(PreselectedLine(c));
    }
    v.FullSelected = -1;
    v.FullDescription.clear();
    s.SelectedCategory = -1;
    v.ActiveTab = CategoryTab::Preselected;
}

void SetFirstKeyWord(Session& s, std::string_view text) {
    if (!s.View.Key1Enabled) return;
    s.View.Key1 = std::string(text);
    if (!s.View.Key1.empty()) SearchKeyWords(s, s.View.Key1);
}

void SetSecondKeyWord(Session& s, std::string_view text) {
    if (!s.View.Key2Enabled) return;
    s.View.Key2 = std::string(text);
    if (!s.View.Key2.empty()) SearchKeyWords(s, s.View.Key1 + " " + s.View.Key2);
}

void UseSecondKeyWord(Session& s, bool checked) {
    CodingView& v = s.View;
    v.SecondKeyOn = checked;
    v.Key1Enabled = !checked;
    v.Key2.clear();
    v.Key2Enabled = checked;
    // Back to one word: its result comes back.
    if (!checked && !v.Key1.empty()) SearchKeyWords(s, v.Key1);
}

void SearchSelectedText(Session& s, std::string_view selected) {
    CodingView& v = s.View;
    const std::string text(Trim(selected));
    // A click without a selection empties the box and leaves the list as it is.
    if (v.SecondKeyOn) {
        v.Key2 = text;
        if (!text.empty()) SearchKeyWords(s, v.Key1 + " " + v.Key2);
    } else {
        v.Key1 = text;
        if (!text.empty()) SearchKeyWords(s, v.Key1);
    }
}

}  // namespace tarnwick
