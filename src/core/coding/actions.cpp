#include "core/coding/actions.h"

#include <string_view>

#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

// The case that an action is to change; none when the project is open read-only.
TOsoba* CurrentRespondent(Session& s) {
    if (RefusedReadOnly(s)) return nullptr;
    auto& rs = s.Cases.Respondents;
    if (s.CurrentRecord < 0 || s.CurrentRecord >= static_cast<int>(rs.size())) return nullptr;
    TOsoba& o = rs[static_cast<size_t>(s.CurrentRecord)];
    if (s.CurrentField < 0 || s.CurrentField >= static_cast<int>(o.Occupations.size())) {
        return nullptr;
    }
    return &o;
}

TZawod& CurrentCase(Session& s, TOsoba& o) {
    return o.Occupations[static_cast<size_t>(s.CurrentField)];
}

// Every change of a case goes through ChangeCase, which keeps the counters true, keeps where
// the code came from, and lets the change be undone.
void Store(Session& s, std::string_view code, std::string_view name, CodeLine line,
           int suggestion = 0) {
    ChangeCase(s, s.CurrentRecord, s.CurrentField, code, name, true, 0,
               {CodeSource::Coder, line, suggestion});
}

void RedrawCodeBoxes(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    const TZawod& z = CurrentCase(s, *o);
    s.View.CodeText = z.Code;
    s.View.LabelText = std::string(z.CodeName);
}

// What follows every action. When the move finds no further case the boxes are redrawn all the
// same, so that they show the code just stored rather than the one shown before.
void AfterAction(Session& s) {
    bool moved = false;
    if (s.AfterCoding == AfterCodingMode::NextCase) moved = NextNotCoded(s);
    if (s.AfterCoding == AfterCodingMode::SameFieldNextRecord) moved = NextNotCodedInField(s);
    if (!moved) RedrawCodeBoxes(s);
}

// The name of a stored category, as held by the classification (cases keep a view of it).
std::string_view NameInClassification(const Session& s, const std::string& code) {
    const int i = s.Clf.IndexOf(code);
    if (i >= 0) return s.Clf.Category(i).Name;
    if (code == s.Clf.MissingDataCode) return s.Clf.MissingDataName;
    if (code == s.Clf.NotApplicableCode) return s.Clf.NotApplicableName;
    return {};
}

}  // namespace

void CodeSelected(Session& s) {
    if (RefusedReadOnly(s)) return;
    if (s.SelectedCategory < 0 || s.SelectedCategory >= s.Clf.Count()) {
        s.platform.ShowMessage(msg::kNoCategorySelected, Severity::Information);
        return;
    }
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    const TKat& category = s.Clf.Category(s.SelectedCategory);
    Store(s, category.Code, category.Name, s.SelectedLine, s.SelectedSuggestion);
    s.LastCode = category.Code;
    s.LastCodeName = category.Name;
    s.View.LastCodeText = s.LastCode;
    s.View.LastCodeHint = s.LastCodeName;
    AfterAction(s);
}

void MarkMissing(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    Store(s, s.Clf.MissingDataCode, s.Clf.MissingDataName, CodeLine::MissingData);
    AfterAction(s);
}

void MarkNotApplicable(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    ChangeCase(s, s.CurrentRecord, s.CurrentField, s.Clf.NotApplicableCode, s.Clf.NotApplicableName,
               false, 0, {CodeSource::Coder, CodeLine::NotApplicable});
    AfterAction(s);
}

void RepeatLastCode(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    // Storing an empty code would count the case as coded while it stays without code.
    if (s.LastCode.empty()) {
        s.platform.ShowMessage(msg::kNothingToRepeat, Severity::Information);
        return;
    }
    Store(s, s.LastCode, NameInClassification(s, s.LastCode), CodeLine::Repeat);
    AfterAction(s);
}

void ClearCode(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    // A case without code is left alone; an emptied case is always one to code.
    if (!CurrentCase(s, *o).Code.empty()) {
        ChangeCase(s, s.CurrentRecord, s.CurrentField, {}, {}, true);
    }
    AfterAction(s);
}

void CodePreselectedLine(Session& s, int line) {
    if (SelectPreselectedLine(s, line)) CodeSelected(s);
}

void CodeFullListLine(Session& s, int line) {
    if (SelectFullListLine(s, line)) CodeSelected(s);
}

}  // namespace tarnwick
