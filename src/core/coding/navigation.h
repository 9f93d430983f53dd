#pragma once
// The current case (CurrentRecord, CurrentField) and the moves between cases. A move that finds
// a case makes it current, shows it and returns true; otherwise it shows its message, leaves the
// current case and returns false.

#include <string_view>

namespace tarnwick {

class Session;

// Fills the coding page from the current case: resets the category panel and the key words,
// selects the record's selector entry, shows the caption, the code and the information fields.
void ShowCurrentCase(Session& session);

// First case to be coded and not coded, from the start. When there is none, the first case to be
// coded is shown and "All cases are already coded" follows.
bool GoToFirstNotCoded(Session& session);
// The next case to be coded and not coded after the current one; past the end of the data the
// walk goes on from the start up to the current case.
bool NextNotCoded(Session& session);
// The same field in the next record where it is to be coded and not coded.
bool NextNotCodedInField(Session& session);

// The four arrow buttons (BitBtn1..4): steps over reachable cases of listed records.
bool NextOccupation(Session& session);
bool PreviousOccupation(Session& session);
bool NextRecord(Session& session);
bool PreviousRecord(Session& session);

// Is the record listed in the respondent selector, is the case reachable by the manual moves,
// under the current ShowNotApplicable option?
bool IsListedRecord(const Session& session, int record);
bool IsReachableCase(const Session& session, int record, int field);

// Rebuilds the selector's entries (the case model's SelectorRecords) from the listed records;
// no entry is selected afterwards.
void FillRespondentSelector(Session& session);
// The selector entry that stands for `record`, or -1 when the record is not listed.
int SelectorEntryOf(const Session& session, int record);
// The first entry whose respondent identifier equals `id` exactly, or -1.
int FindSelectorEntry(const Session& session, std::string_view id);

// The respondent selector (ComboBox1). Entry `entry` chosen: that record becomes current (the
// field stays) and is shown; an entry out of range counts as no entry chosen.
void SelectRespondentEntry(Session& session, int entry);
// Typed text that matches no entry: the selection goes back to the current record's entry.
void KeepRespondentEntry(Session& session);
// Typed text: the first entry equal to it, else the first entry beginning with it; when none
// does, "No respondent matches ..." and the no-match rule.
void PickRespondent(Session& session, std::string_view text);

// The menu command Find non-coded (mainMenuZnajdzClick). Brings the coding page to the front.
void FindNotCoded(Session& session);

}  // namespace tarnwick
