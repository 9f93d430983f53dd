#include "core/coding/changes.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "core/coding/navigation.h"
#include "core/coding/progress.h"
#include "core/coding/suggestions.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

TZawod* CaseAt(Session& s, int record, int field) {
    auto& rs = s.Cases.Respondents;
    if (record < 0 || record >= static_cast<int>(rs.size())) return nullptr;
    auto& zs = rs[static_cast<size_t>(record)].Occupations;
    if (field < 0 || field >= static_cast<int>(zs.size())) return nullptr;
    return &zs[static_cast<size_t>(field)];
}

// A case counts among the cases to code when its ToCode is set, and as coded when it also has a
// code: the rule of CountOccupations, kept one case at a time so that an action costs the same
// on a million records.
void CountCase(CaseModel& m, const TZawod& z, int sign) {
    if (!z.ToCode) return;
    m.ToCodeCount = std::max(0, m.ToCodeCount + sign);
    if (!z.Code.empty()) m.CodedCount = std::max(0, m.CodedCount + sign);
}

void SetCase(Session& s, TZawod& z, int record, int field, std::string_view code,
             std::string_view name, bool toCode);

// Sets the case and everything that follows from it; true when anything changed.
bool Apply(Session& s, int record, int field, std::string_view code, std::string_view name,
           bool toCode) {
    TZawod* z = CaseAt(s, record, field);
    if (!z || (z->Code == code && z->CodeName == name && z->ToCode == toCode)) return false;
    // On disk before the model (and so the window) shows it: a crash from here on loses nothing.
    if (s.Journal || s.Sync) {
        const JournalEntry entry{record, field, toCode,
                                 s.Cases.Respondents[static_cast<size_t>(record)].RespondentId,
                                 std::string(code)};
        if (s.Journal) s.Journal->Append(entry);
        if (s.Sync) s.Sync->CaseChanged(entry);
    }
    SetCase(s, *z, record, field, code, name, toCode);
    return true;
}

void SetCase(Session& s, TZawod& z, int record, int field, std::string_view code,
             std::string_view name, bool toCode) {
    const int coded = s.Cases.CodedCount;
    const int toCodeCount = s.Cases.ToCodeCount;
    // The memory holds what the cases hold, so an undo leaves no trace in it.
    TeachMemory(s, record, field, z.Code, std::string(code));
    CountCase(s.Cases, z, -1);
    z.Code = std::string(code);
    z.CodeName = name;
    z.ToCode = toCode;
    CountCase(s.Cases, z, +1);
    UpdateHasToCode(s.Cases.Respondents[static_cast<size_t>(record)]);
    s.ResultsModified = true;
    if (coded != s.Cases.CodedCount || toCodeCount != s.Cases.ToCodeCount) ShowCodingProgress(s);
}

// Moves one change from `from` to `to`, giving its case the `newSide` or the old side, and
// shows that case.
bool Replay(Session& s, std::vector<CaseChange>& from, std::vector<CaseChange>& to, bool newSide,
            const char* nothing) {
    if (RefusedReadOnly(s)) return false;
    if (from.empty()) {
        s.platform.ShowMessage(nothing, Severity::Information);
        return false;
    }
    // A group goes back whole, its last change first; the case shown is the last one put back.
    const int group = from.back().Group;
    CaseChange c;
    for (;;) {
        c = std::move(from.back());
        from.pop_back();
        if (newSide) {
            Apply(s, c.Record, c.Field, c.NewCode, c.NewName, c.NewToCode);
        } else {
            Apply(s, c.Record, c.Field, c.OldCode, c.OldName, c.OldToCode);
        }
        if (group == 0 || from.empty() || from.back().Group != group) break;
        to.push_back(std::move(c));
    }
    // The working file is to hold what the model holds, whichever way the case went.
    s.ResultsModified = true;
    ShowCodingProgress(s);
    s.CurrentRecord = c.Record;
    s.CurrentField = c.Field;
    ShowCurrentCase(s);
    to.push_back(std::move(c));
    return true;
}

}  // namespace

bool RefusedReadOnly(Session& s) {
    if (!s.ReadOnly) return false;
    s.platform.ShowMessage(msg::kReadOnlyNoCoding, Severity::Information);
    return true;
}

bool ChangeCase(Session& s, int record, int field, std::string_view code, std::string_view name,
                bool toCode, int group, const CodeOrigin& origin) {
    (void)origin;  // kept with the case by the provenance record
    const TZawod* z = CaseAt(s, record, field);
    if (!z || s.ReadOnly) return false;
    CaseChange change{record,    field,  z->Code, std::string(code), z->CodeName, name,
                      z->ToCode, toCode, group};
    if (!Apply(s, record, field, code, name, toCode)) return false;
    s.UndoList.push_back(std::move(change));
    s.RedoList.clear();
    return true;
}

int ChangeCases(Session& s, const std::vector<CaseEdit>& edits) {
    if (s.ReadOnly) return 0;
    std::vector<const CaseEdit*> changing;
    std::vector<JournalEntry> entries;
    for (const CaseEdit& e : edits) {
        const TZawod* z = CaseAt(s, e.record, e.field);
        if (!z || (z->Code == e.code && z->CodeName == e.name && z->ToCode == e.toCode)) continue;
        changing.push_back(&e);
        entries.push_back({e.record, e.field, e.toCode,
                           s.Cases.Respondents[static_cast<size_t>(e.record)].RespondentId,
                           e.code});
    }
    if (changing.empty()) return 0;
    // All of them on disk before the first shows: one flush for the lot, not one per case.
    if (s.Journal) s.Journal->AppendAll(entries);
    if (s.Sync) {
        for (const JournalEntry& entry : entries) s.Sync->CaseChanged(entry);
    }
    const int group = ++s.LastChangeGroup;
    for (const CaseEdit* e : changing) {
        TZawod& z = *CaseAt(s, e->record, e->field);
        s.UndoList.push_back({e->record, e->field, z.Code, e->code, z.CodeName, e->name, z.ToCode,
                              e->toCode, group});
        SetCase(s, z, e->record, e->field, e->code, e->name, e->toCode);
    }
    s.RedoList.clear();
    return static_cast<int>(changing.size());
}

bool TakeChangeFromElsewhere(Session& s, int record, int field, std::string_view code,
                             bool toCode) {
    TZawod* z = CaseAt(s, record, field);
    if (!z) return false;
    const std::optional<std::string_view> name = s.Clf.NameOf(code);
    if (!name || (z->Code == code && z->ToCode == toCode)) return false;
    SetCase(s, *z, record, field, code, *name, toCode);
    return true;
}

bool Undo(Session& s) { return Replay(s, s.UndoList, s.RedoList, false, msg::kNothingToUndo); }

bool Redo(Session& s) { return Replay(s, s.RedoList, s.UndoList, true, msg::kNothingToRedo); }

bool CanUndo(const Session& s) { return !s.UndoList.empty(); }

bool CanRedo(const Session& s) { return !s.RedoList.empty(); }

}  // namespace tarnwick
