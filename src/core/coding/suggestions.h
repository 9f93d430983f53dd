#pragma once
// The Suggestions list of the coding page: the categories the engine ranks for the current case,
// coding one of them with a keystroke, the coding memory that every code teaches, and coding at
// once every case whose answer is identical to the current one.

#include <string>
#include <vector>

namespace tarnwick {

class Session;

// The texts of a case's information fields 1..13 in field order, an empty field as an empty
// text: what the engine ranks and the memory remembers.
std::vector<std::string> CaseTexts(const Session& session, int record, int field);

// A code the memory learns from: a category's code, not the missing-data or not-applicable one.
bool IsLearntCode(const Session& session, const std::string& code);

// The case's code changed: the memory forgets the old one and learns the new one (or keeps the
// change aside while the suggestions are being prepared).
void TeachMemory(Session& session, int record, int field, const std::string& oldCode,
                 const std::string& newCode);

// Ranks the current case again and rebuilds the Suggestions list (empty without an engine). Once
// the session holds a calibration, the first line of a case without a learnt code ends with how
// sure the first suggestion is.
void RefreshSuggestions(Session& session);

// The line of the pre-selected list whose category the ranking of the current case puts first,
// -1 when it ranks none of them (or there is no ranking yet).
int BestPreselectedLine(const Session& session);

// A confidence as the coder reads it, in whole percents rounded down, so that no suggestion is
// ever "100 % sure".
int ConfidencePercent(double confidence);

// A click on line `line` of the Suggestions list selects its category and shows its
// description. True when a category was selected.
bool SelectSuggestionLine(Session& session, int line);
// Codes suggestion `line` (0 is the best) as CODE does, with the move that follows.
void CodeSuggestionLine(Session& session, int line);

// The cases without code, of the current case's occupation field, whose answer is identical to
// the current one (the current case not counted): the text fields only, unless the session's
// option says every information field.
std::vector<int> IdenticalNotCodedRecords(const Session& session);
// Gives the current case's code to every such case after a confirmation that gives their
// count; a case without a code takes the category chosen in a list first, with them. One undo
// takes all of them back and returns to the current case. Returns the number of cases coded.
int CodeAllIdentical(Session& session);

}  // namespace tarnwick
