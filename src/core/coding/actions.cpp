#include "core/coding/actions.h"

#include <algorithm>
#include <string_view>

#include "core/coding/category_lists.h"
#include "core/coding/navigation.h"
#include "core/coding/progress.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

TOsoba* CurrentRespondent(Session& s) {
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

// A case counts among the cases to code when its ToCode is set, and as coded when it also has a
// code: the rule of CountOccupations, kept here one case at a time so that a million records
// cost nothing per action.
void CountCase(CaseModel& m, const TZawod& z, int sign) {
    if (!z.ToCode) return;
    m.ToCodeCount = std::max(0, m.ToCodeCount + sign);
    if (!z.Code.empty()) m.CodedCount = std::max(0, m.CodedCount + sign);
}

// Gives the case its code, name and ToCode; the counters, the record's HasToCode and the
// progress text follow. A case that already holds exactly that is left alone.
void ChangeCase(Session& s, TOsoba& o, TZawod& z, std::string_view code, std::string_view name,
                bool toCode) {
    if (z.Code == code && z.CodeName == name && z.ToCode == toCode) return;
    const int coded = s.Cases.CodedCount;
    const int toCodeCount = s.Cases.ToCodeCount;
    CountCase(s.Cases, z, -1);
    z.Code = std::string(code);
    z.CodeName = name;
    z.ToCode = toCode;
    CountCase(s.Cases, z, +1);
    UpdateHasToCode(o);
    s.ResultsModified = true;
    if (coded != s.Cases.CodedCount || toCodeCount != s.Cases.ToCodeCount) ShowCodingProgress(s);
}

void Store(Session& s, TOsoba& o, TZawod& z, std::string_view code, std::string_view name) {
    ChangeCase(s, o, z, code, name, true);
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
    if (s.SelectedCategory < 0 || s.SelectedCategory >= s.Clf.Count()) {
        s.platform.ShowMessage(msg::kNoCategorySelected);
        return;
    }
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    const TKat& category = s.Clf.Category(s.SelectedCategory);
    Store(s, *o, CurrentCase(s, *o), category.Code, category.Name);
    s.LastCode = category.Code;
    s.LastCodeName = category.Name;
    s.View.LastCodeText = s.LastCode;
    s.View.LastCodeHint = s.LastCodeName;
    AfterAction(s);
}

void MarkMissing(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    Store(s, *o, CurrentCase(s, *o), s.Clf.MissingDataCode, s.Clf.MissingDataName);
    AfterAction(s);
}

void MarkNotApplicable(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    ChangeCase(s, *o, CurrentCase(s, *o), s.Clf.NotApplicableCode, s.Clf.NotApplicableName, false);
    AfterAction(s);
}

void RepeatLastCode(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    // Storing an empty code would count the case as coded while it stays without code.
    if (s.LastCode.empty()) {
        s.platform.ShowMessage(msg::kNothingToRepeat);
        return;
    }
    Store(s, *o, CurrentCase(s, *o), s.LastCode, NameInClassification(s, s.LastCode));
    AfterAction(s);
}

void ClearCode(Session& s) {
    TOsoba* o = CurrentRespondent(s);
    if (!o) return;
    TZawod& z = CurrentCase(s, *o);
    // A case without code is left alone; an emptied case is always one to code.
    if (!z.Code.empty()) ChangeCase(s, *o, z, {}, {}, true);
    AfterAction(s);
}

void CodePreselectedLine(Session& s, int line) {
    if (SelectPreselectedLine(s, line)) CodeSelected(s);
}

void CodeFullListLine(Session& s, int line) {
    if (SelectFullListLine(s, line)) CodeSelected(s);
}

}  // namespace tarnwick
