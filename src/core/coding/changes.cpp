#include "core/coding/changes.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "core/coding/navigation.h"
#include "core/coding/progress.h"
#include "core/coding/suggestions.h"
#include "core/io/files.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
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

// What the journal says of a state without provenance.
const Provenance kNoProvenance = [] {
    Provenance p;
    p.origin.source = CodeSource::Unknown;
    return p;
}();

long long Now(Session& s) { return SecondsSinceEpoch(s.platform.Now()); }

const std::string& CoderOf(Session& s) {
    if (s.CoderName.empty()) s.CoderName = s.Lock ? s.Lock->Holder().User : ThisProcess().User;
    return s.CoderName;
}

std::optional<Provenance> ProvenanceAt(const Session& s, int record, int field) {
    const Provenance* p = s.Provenance.Find(record, field);
    return p ? std::optional<Provenance>(*p) : std::nullopt;
}

// The provenance of a new state: none for a case left without code.
std::optional<Provenance> NewProvenance(Session& s, int record, int field, std::string_view code,
                                        const CodeOrigin& origin, long long now) {
    if (code.empty() || origin.source == CodeSource::Unknown) return std::nullopt;
    Provenance p;
    p.origin = origin;
    p.when = now;
    if (origin.source == CodeSource::Coder || origin.source == CodeSource::Identical) {
        p.coder = CoderOf(s);
    }
    if (origin.source == CodeSource::Coder && record == s.ShownRecord && field == s.ShownField) {
        p.secondsOnScreen = static_cast<int>(std::clamp(now - s.ShownSince, 0LL, 1LL << 30));
    }
    return p;
}

bool SameState(const TZawod& z, std::string_view code, std::string_view name, bool toCode) {
    return z.Code == code && z.CodeName == name && z.ToCode == toCode;
}

// An action that gives a case the code it holds changes it only when the code came from a source
// of another kind: a coder who confirms an automatic code makes it the coder's. A code of unknown
// source stays as it was, as it always has.
bool Changes(const TZawod& z, std::string_view code, std::string_view name, bool toCode,
             const std::optional<Provenance>& old, const std::optional<Provenance>& now) {
    if (!SameState(z, code, name, toCode)) return true;
    return now && old && old->origin.source != now->origin.source;
}

void CountGiven(Session& s, const std::optional<Provenance>& p, int sign) {
    if (!p) return;
    int& n = s.CodesGiven[static_cast<size_t>(p->origin.source)];
    n = std::max(0, n + sign);
}

// An action whose journal entry cannot be written is not made: nothing is shown that a crash
// could lose. The message says so before the system's reason.
template <class F>
void WriteJournal(F&& write) {
    try {
        write();
    } catch (const IoError& e) {
        throw IoError(msg::kJournalRefusesAction + std::string(e.what()));
    }
}

// Gives the case its new state and provenance and everything that follows from them. The caller
// has checked that the case exists.
void Apply(Session& s, int record, int field, std::string_view code, std::string_view name,
           bool toCode, const std::optional<Provenance>& provenance) {
    TZawod* z = CaseAt(s, record, field);
    // On disk before the model (and so the window) shows it: a crash from here on loses nothing.
    if (s.Journal || s.Sync) {
        const JournalEntry entry{record, field, toCode,
                                 s.Cases.Respondents[static_cast<size_t>(record)].RespondentId,
                                 std::string(code)};
        if (s.Journal)
            WriteJournal(
                [&] { s.Journal->Append(entry, provenance ? &*provenance : &kNoProvenance); });
        if (s.Sync) s.Sync->CaseChanged(entry);
    }
    SetCase(s, *z, record, field, code, name, toCode);
    s.Provenance.Put(record, field, provenance);
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
// REPEAT offers the last category given: an undone code is no longer that, the one before it is.
void FollowLastCode(Session& s, const CaseChange& c, bool newSide) {
    auto isCategory = [&](const std::string& code) { return s.Clf.IndexOf(code) >= 0; };
    if (newSide) {
        if (!isCategory(c.NewCode)) return;
        s.LastCode = c.NewCode;
        s.LastCodeName = c.NewName;
    } else {
        if (c.NewCode != s.LastCode) return;
        s.LastCode.clear();
        s.LastCodeName = {};
        // Bounded: a long list of codes is not searched to its start for an old REPEAT.
        const size_t depth = std::min<size_t>(s.UndoList.size(), 1000);
        for (size_t i = 0; i < depth; ++i) {
            const CaseChange& before = s.UndoList[s.UndoList.size() - 1 - i];
            if (before.Group == 0 && isCategory(before.NewCode)) {
                s.LastCode = before.NewCode;
                s.LastCodeName = before.NewName;
                break;
            }
        }
    }
    s.View.LastCodeText = s.LastCode;
    s.View.LastCodeHint = std::string(s.LastCodeName);
}

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
        const std::string& code = newSide ? c.NewCode : c.OldCode;
        const std::string_view name = newSide ? c.NewName : c.OldName;
        const bool toCode = newSide ? c.NewToCode : c.OldToCode;
        const std::optional<Provenance>& provenance = newSide ? c.NewProvenance : c.OldProvenance;
        if (const TZawod* z = CaseAt(s, c.Record, c.Field);
            z && !(SameState(*z, code, name, toCode) &&
                   ProvenanceAt(s, c.Record, c.Field) == provenance)) {
            Apply(s, c.Record, c.Field, code, name, toCode, provenance);
        }
        CountGiven(s, c.NewProvenance, newSide ? +1 : -1);
        if (group == 0 || from.empty() || from.back().Group != group) break;
        to.push_back(std::move(c));
    }
    // The working file is to hold what the model holds, whichever way the case went.
    s.ResultsModified = true;
    ShowCodingProgress(s);
    const bool home = c.HomeRecord >= 0 && CaseAt(s, c.HomeRecord, c.HomeField) != nullptr;
    s.CurrentRecord = home ? c.HomeRecord : c.Record;
    s.CurrentField = home ? c.HomeField : c.Field;
    FollowLastCode(s, c, newSide);
    ShowCurrentCase(s);
    to.push_back(std::move(c));
    return true;
}

}  // namespace

bool RefusedReadOnly(Session& s) {
    if (!s.ReadOnly) return false;
    s.platform.ShowMessage(msg::ReadOnlyNoCoding(s.ReadOnlyReason), Severity::Information);
    return true;
}

bool ChangeCase(Session& s, int record, int field, std::string_view code, std::string_view name,
                bool toCode, int group, const CodeOrigin& origin) {
    const TZawod* z = CaseAt(s, record, field);
    if (!z || s.ReadOnly) return false;
    CaseChange change{record,
                      field,
                      z->Code,
                      std::string(code),
                      z->CodeName,
                      name,
                      z->ToCode,
                      toCode,
                      group,
                      ProvenanceAt(s, record, field),
                      NewProvenance(s, record, field, code, origin, Now(s))};
    if (!Changes(*z, code, name, toCode, change.OldProvenance, change.NewProvenance)) return false;
    Apply(s, record, field, code, name, toCode, change.NewProvenance);
    CountGiven(s, change.NewProvenance, +1);
    s.UndoList.push_back(std::move(change));
    s.RedoList.clear();
    return true;
}

int ChangeCases(Session& s, const std::vector<CaseEdit>& edits, int homeRecord, int homeField) {
    if (s.ReadOnly) return 0;
    const long long now = Now(s);
    std::vector<CaseChange> changes;
    std::vector<JournalEntry> entries;
    std::vector<Provenance> provenances;
    for (const CaseEdit& e : edits) {
        const TZawod* z = CaseAt(s, e.record, e.field);
        if (!z) continue;
        CaseChange c{e.record,
                     e.field,
                     z->Code,
                     e.code,
                     z->CodeName,
                     e.name,
                     z->ToCode,
                     e.toCode,
                     0,
                     ProvenanceAt(s, e.record, e.field),
                     NewProvenance(s, e.record, e.field, e.code, e.origin, now)};
        if (!Changes(*z, e.code, e.name, e.toCode, c.OldProvenance, c.NewProvenance)) continue;
        entries.push_back({e.record, e.field, e.toCode,
                           s.Cases.Respondents[static_cast<size_t>(e.record)].RespondentId,
                           e.code});
        provenances.push_back(c.NewProvenance ? *c.NewProvenance : kNoProvenance);
        changes.push_back(std::move(c));
    }
    if (changes.empty()) return 0;
    // All of them on disk before the first shows: one flush for the lot, not one per case.
    if (s.Journal) WriteJournal([&] { s.Journal->AppendAll(entries, &provenances); });
    if (s.Sync) {
        for (const JournalEntry& entry : entries) s.Sync->CaseChanged(entry);
    }
    const int group = ++s.LastChangeGroup;
    for (CaseChange& c : changes) {
        c.Group = group;
        c.HomeRecord = homeRecord;
        c.HomeField = homeField;
        SetCase(s, *CaseAt(s, c.Record, c.Field), c.Record, c.Field, c.NewCode, c.NewName,
                c.NewToCode);
        s.Provenance.Put(c.Record, c.Field, c.NewProvenance);
        CountGiven(s, c.NewProvenance, +1);
        s.UndoList.push_back(std::move(c));
    }
    s.RedoList.clear();
    return static_cast<int>(changes.size());
}

bool TakeChangeFromElsewhere(Session& s, int record, int field, std::string_view code, bool toCode,
                             const CodeOrigin& origin, std::string_view coder) {
    TZawod* z = CaseAt(s, record, field);
    if (!z) return false;
    const std::optional<std::string_view> name = s.Clf.NameOf(code);
    if (!name || (z->Code == code && z->ToCode == toCode)) return false;
    SetCase(s, *z, record, field, code, *name, toCode);
    std::optional<Provenance> p;
    if (!code.empty() && origin.source != CodeSource::Unknown) {
        p.emplace();
        p->origin = origin;
        p->coder = std::string(coder);
        p->when = Now(s);
    }
    s.Provenance.Put(record, field, p);
    CountGiven(s, p, +1);
    return true;
}

bool Undo(Session& s) { return Replay(s, s.UndoList, s.RedoList, false, msg::kNothingToUndo); }

bool Redo(Session& s) { return Replay(s, s.RedoList, s.UndoList, true, msg::kNothingToRedo); }

bool CanUndo(const Session& s) { return !s.UndoList.empty(); }

bool CanRedo(const Session& s) { return !s.RedoList.empty(); }

}  // namespace tarnwick
