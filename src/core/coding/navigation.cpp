#include "core/coding/navigation.h"

#include <algorithm>

#include "core/coding/category_lists.h"
#include "core/coding/suggestions.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

int RecordCount(const Session& s) { return static_cast<int>(s.Cases.Respondents.size()); }

int FieldsOf(const TOsoba& o) { return static_cast<int>(o.Occupations.size()); }

bool NeedsCode(const TZawod& z) { return z.ToCode && z.Code.empty(); }
bool IsToCode(const TZawod& z) { return z.ToCode; }

void MakeCurrent(Session& s, int record, int field) {
    s.CurrentRecord = record;
    s.CurrentField = field;
    ShowCurrentCase(s);
}

struct CaseRef {
    int record = -1;
    int field = -1;
    bool found() const { return record >= 0; }
};

// The first case to be coded in record order from (record, field) on, up to and including
// (lastRecord, lastField), that satisfies `pred`. A field past the record's end starts at the
// next record. Records without HasToCode hold no case to be coded and are passed over without
// reading their cases, which keeps a walk over a large file short.
template <class Pred>
CaseRef FindForward(const Session& s, int record, int field, int lastRecord, int lastField,
                    Pred pred) {
    const auto& rs = s.Cases.Respondents;
    lastRecord = std::min(lastRecord, RecordCount(s) - 1);
    for (int r = std::max(record, 0); r <= lastRecord; ++r) {
        const TOsoba& o = rs[static_cast<size_t>(r)];
        if (!o.HasToCode) continue;
        int end = FieldsOf(o) - 1;
        if (r == lastRecord) end = std::min(end, lastField);
        for (int f = (r == record ? std::max(field, 0) : 0); f <= end; ++f) {
            if (pred(o.Occupations[static_cast<size_t>(f)])) return {r, f};
        }
    }
    return {};
}

CaseRef FindForward(const Session& s, int record, int field, auto pred) {
    return FindForward(s, record, field, RecordCount(s) - 1, 1 << 30, pred);
}

}  // namespace

bool IsListedRecord(const Session& s, int record) {
    if (record < 0 || record >= RecordCount(s)) return false;
    return s.ShowNotApplicable || s.Cases.Respondents[static_cast<size_t>(record)].HasToCode;
}

bool IsReachableCase(const Session& s, int record, int field) {
    if (record < 0 || record >= RecordCount(s)) return false;
    const TOsoba& o = s.Cases.Respondents[static_cast<size_t>(record)];
    if (field < 0 || field >= FieldsOf(o)) return false;
    return s.ShowNotApplicable || o.Occupations[static_cast<size_t>(field)].ToCode;
}

void ShowCurrentCase(Session& s) {
    CodingView& v = s.View;
    ResetCategoryPanel(s);
    RefreshSuggestions(s);
    v.SelectorSelected = SelectorEntryOf(s, s.CurrentRecord);

    // Emptying the first box first means that switching "2nd" off runs no search.
    v.Key1.clear();
    v.Key1Enabled = true;
    v.SecondKeyOn = false;
    v.Key2.clear();
    v.Key2Enabled = false;

    v.OccupationCaption.clear();
    v.CodeText.clear();
    v.LabelText.clear();
    for (InfoBoxView& box : v.Info) box = InfoBoxView{};

    const bool shown =
        s.CurrentRecord >= 0 && s.CurrentRecord < RecordCount(s) && s.CurrentField >= 0 &&
        s.CurrentField < FieldsOf(s.Cases.Respondents[static_cast<size_t>(s.CurrentRecord)]);
    // The time on screen runs from the case's first showing: redrawing it after an action or a
    // team mate's change does not start it again.
    if (!shown) {
        s.ShownRecord = s.ShownField = -1;
    } else if (s.ShownRecord != s.CurrentRecord || s.ShownField != s.CurrentField) {
        s.ShownRecord = s.CurrentRecord;
        s.ShownField = s.CurrentField;
        s.ShownSince = SecondsSinceEpoch(s.platform.Now());
    }
    if (!shown) return;
    const TOsoba& o = s.Cases.Respondents[static_cast<size_t>(s.CurrentRecord)];
    const TZawod& z = o.Occupations[static_cast<size_t>(s.CurrentField)];
    v.CodeText = z.Code;
    v.LabelText = std::string(z.CodeName);

    if (s.CurrentField >= static_cast<int>(s.Params.DokumList.size())) return;
    const TDokumZaw& d = s.Params.DokumList[static_cast<size_t>(s.CurrentField)];
    v.OccupationCaption = d.VarName;
    for (int n = 1; n <= kInfoFields; ++n) {
        std::string text = InfoText(d, o.Record, n);
        if (text.empty()) continue;
        InfoBoxView& box = v.Info[static_cast<size_t>(n)];
        box.Visible = true;
        box.Caption = d.InfoDescr[static_cast<size_t>(n)];
        box.Text = std::move(text);
    }
}

namespace {

// In a shared project the next case is the one the team hands this coder.
bool TakeSharedCase(Session& s) {
    const auto next = s.Sync->TakeNext();
    if (!next) {
        s.platform.ShowMessage(msg::kAllCasesCoded, Severity::Information);
        return false;
    }
    MakeCurrent(s, next->first, next->second);
    return true;
}

}  // namespace

bool GoToFirstNotCoded(Session& s) {
    if (s.Sync) return TakeSharedCase(s);
    const CaseRef next = FindForward(s, 0, 0, NeedsCode);
    if (next.found()) {
        MakeCurrent(s, next.record, next.field);
        return true;
    }
    const CaseRef first = FindForward(s, 0, 0, IsToCode);
    if (first.found()) MakeCurrent(s, first.record, first.field);
    s.platform.ShowMessage(msg::kAllCasesCoded, Severity::Information);
    return false;
}

bool NextNotCoded(Session& s) {
    if (s.Sync) return TakeSharedCase(s);
    CaseRef next = FindForward(s, s.CurrentRecord, s.CurrentField + 1, NeedsCode);
    // Cases before the current one may still be without code: go round to them, the current
    // case last, so that the message means what it says.
    if (!next.found()) {
        next = FindForward(s, 0, 0, s.CurrentRecord, s.CurrentField, NeedsCode);
    }
    if (!next.found()) {
        s.platform.ShowMessage(msg::kAllCasesCoded, Severity::Information);
        return false;
    }
    MakeCurrent(s, next.record, next.field);
    return true;
}

bool NextNotCodedInField(Session& s) {
    const int f = s.CurrentField;
    const auto& rs = s.Cases.Respondents;
    for (int r = std::max(s.CurrentRecord + 1, 0); r < RecordCount(s); ++r) {
        const TOsoba& o = rs[static_cast<size_t>(r)];
        if (o.HasToCode && f >= 0 && f < FieldsOf(o) &&
            NeedsCode(o.Occupations[static_cast<size_t>(f)])) {
            MakeCurrent(s, r, f);
            return true;
        }
    }
    s.platform.ShowMessage(msg::kNoFurtherInField, Severity::Information);
    return false;
}

bool NextOccupation(Session& s) {
    const auto& rs = s.Cases.Respondents;
    const bool all = s.ShowNotApplicable;
    for (int r = std::max(s.CurrentRecord, 0); r < RecordCount(s); ++r) {
        const TOsoba& o = rs[static_cast<size_t>(r)];
        const bool current = r == s.CurrentRecord;
        // The current record is walked even when it is not listed (it may have been picked).
        if (!current && !all && !o.HasToCode) continue;
        for (int f = current ? s.CurrentField + 1 : 0; f < FieldsOf(o); ++f) {
            if (all || o.Occupations[static_cast<size_t>(f)].ToCode) {
                MakeCurrent(s, r, f);
                return true;
            }
        }
    }
    s.platform.ShowMessage(msg::kLastOccupation, Severity::Information);
    return false;
}

bool PreviousOccupation(Session& s) {
    const auto& rs = s.Cases.Respondents;
    const bool all = s.ShowNotApplicable;
    for (int r = std::min(s.CurrentRecord, RecordCount(s) - 1); r >= 0; --r) {
        const TOsoba& o = rs[static_cast<size_t>(r)];
        const bool current = r == s.CurrentRecord;
        if (!current && !all && !o.HasToCode) continue;
        for (int f = current ? std::min(s.CurrentField, FieldsOf(o)) - 1 : FieldsOf(o) - 1; f >= 0;
             --f) {
            if (all || o.Occupations[static_cast<size_t>(f)].ToCode) {
                MakeCurrent(s, r, f);
                return true;
            }
        }
    }
    s.platform.ShowMessage(msg::kFirstOccupation, Severity::Information);
    return false;
}

bool NextRecord(Session& s) {
    for (int r = std::max(s.CurrentRecord + 1, 0); r < RecordCount(s); ++r) {
        if (IsListedRecord(s, r) && IsReachableCase(s, r, s.CurrentField)) {
            MakeCurrent(s, r, s.CurrentField);
            return true;
        }
    }
    s.platform.ShowMessage(msg::kLastRecord, Severity::Information);
    return false;
}

bool PreviousRecord(Session& s) {
    for (int r = std::min(s.CurrentRecord, RecordCount(s)) - 1; r >= 0; --r) {
        if (IsListedRecord(s, r) && IsReachableCase(s, r, s.CurrentField)) {
            MakeCurrent(s, r, s.CurrentField);
            return true;
        }
    }
    s.platform.ShowMessage(msg::kFirstRecord, Severity::Information);
    return false;
}

void FillRespondentSelector(Session& s) {
    std::vector<int>& entries = s.Cases.SelectorRecords;
    entries.clear();
    const int n = RecordCount(s);
    if (s.ShowNotApplicable) {
        entries.resize(static_cast<size_t>(n));
        for (int r = 0; r < n; ++r) entries[static_cast<size_t>(r)] = r;
    } else {
        for (int r = 0; r < n; ++r) {
            if (s.Cases.Respondents[static_cast<size_t>(r)].HasToCode) entries.push_back(r);
        }
    }
    s.View.SelectorSelected = -1;
    ++s.View.SelectorVersion;
}

int SelectorEntryOf(const Session& s, int record) {
    // Entries are in data order, so the record is found by binary search.
    const std::vector<int>& entries = s.Cases.SelectorRecords;
    const auto it = std::lower_bound(entries.begin(), entries.end(), record);
    if (it == entries.end() || *it != record) return -1;
    return static_cast<int>(it - entries.begin());
}

int FindSelectorEntry(const Session& s, std::string_view id) {
    const std::vector<int>& entries = s.Cases.SelectorRecords;
    for (size_t k = 0; k < entries.size(); ++k) {
        const int r = entries[k];
        if (r >= 0 && r < RecordCount(s) &&
            s.Cases.Respondents[static_cast<size_t>(r)].RespondentId == id) {
            return static_cast<int>(k);
        }
    }
    return -1;
}

void SelectRespondentEntry(Session& s, int entry) {
    const std::vector<int>& entries = s.Cases.SelectorRecords;
    if (entry < 0 || entry >= static_cast<int>(entries.size())) {
        KeepRespondentEntry(s);
        return;
    }
    const int record = entries[static_cast<size_t>(entry)];
    if (record < 0 || record >= RecordCount(s)) {
        KeepRespondentEntry(s);
        return;
    }
    MakeCurrent(s, record, s.CurrentField);
}

void KeepRespondentEntry(Session& s) {
    s.View.SelectorSelected = SelectorEntryOf(s, s.CurrentRecord);
}

void PickRespondent(Session& s, std::string_view text) {
    int entry = FindSelectorEntry(s, text);
    const std::vector<int>& entries = s.Cases.SelectorRecords;
    for (size_t k = 0; entry < 0 && !text.empty() && k < entries.size(); ++k) {
        const int r = entries[k];
        if (r >= 0 && r < RecordCount(s) &&
            s.Cases.Respondents[static_cast<size_t>(r)].RespondentId.starts_with(text)) {
            entry = static_cast<int>(k);
        }
    }
    if (entry >= 0) {
        SelectRespondentEntry(s, entry);
        return;
    }
    if (!text.empty())
        s.platform.ShowMessage(msg::NoRespondentMatches(text), Severity::Information);
    KeepRespondentEntry(s);
}

void FindNotCoded(Session& s) {
    // The first case without code exists exactly when the count of such cases is at least 1, so
    // one walk does both: a million records are not read twice.
    const CaseRef next = FindForward(s, 0, 0, NeedsCode);
    if (next.found()) {
        MakeCurrent(s, next.record, next.field);
    } else {
        s.platform.ShowMessage(UiText(Ui::AllInDataFileCoded), Severity::Information);
    }
    // Only the page in front changes; Return to coding session keeps its visibility.
    s.ShowPage(Page::Coding);
}

}  // namespace tarnwick
