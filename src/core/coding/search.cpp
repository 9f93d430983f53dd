#include "core/coding/search.h"

#include <string>
#include <utility>

#include "core/coding/category_lists.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "core/text/strings.h"

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
    const std::string_view typed = Trim(query);
    std::string_view typedFirst = typed;
    std::string_view typedSecond;
    const size_t blank = typed.find(' ');
    if (blank != std::string_view::npos) {
        typedFirst = Trim(typed.substr(0, blank));
        typedSecond = Trim(typed.substr(blank + 1));
    }
    const std::string first = UpperCase1250(typedFirst);
    const std::string second = UpperCase1250(typedSecond);
    if (first.empty() && second.empty()) return;

    Classification& clf = s.Clf;
    const int key1 = LookUpKey(clf, first);
    const int key2 = LookUpKey(clf, second);

    const int count = clf.Count();
    for (int i = 0; i < count; ++i) {
        TKat& c = clf.Category(i);
        c.Hit = false;
        c.FirstWordHit = false;
    }
    // With a second word only the categories that both words find are listed: a second word
    // that finds nothing leaves nothing, rather than the first word's list.
    if (key1 >= 0) {
        for (const TIndeks& e : clf.KeyWords[key1].Entries) {
            if (e.Index < 0 || e.Index >= count) continue;
            TKat& c = clf.Category(e.Index);
            if (second.empty()) {
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

    // Tell the coder when nothing matched, or when a word matched only once cut back.
    if (s.PreselectedEntries.empty()) {
        std::string words(typedFirst);
        if (!typedSecond.empty()) {
            words += ' ';
            words += typedSecond;
        }
        v.ListNote = msg::NoCategoryMatches(words);
        return;
    }
    std::string cut;
    for (const auto& [word, key] : {std::pair{&first, key1}, std::pair{&second, key2}}) {
        if (key < 0 || clf.KeyWords[key].Key.size() >= word->size()) continue;
        if (!cut.empty()) cut += ' ';
        cut += clf.KeyWords[key].Key;
        cut += msg::kEllipsis;
    }
    if (!cut.empty()) v.ListNote = msg::MatchedAs(cut);
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
