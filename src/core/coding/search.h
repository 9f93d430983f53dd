#pragma once
// Key-word search: one or two words looked up in the classification's key-word index, the
// matching categories listed on the pre-selected page.

#include <string_view>

namespace tarnwick {

class Session;

// Runs one search. The query is the first word, optionally a blank and the second word. A query
// that finds nothing empties the list; View.ListNote says so, or names the shorter beginning
// that a word was found as.
void SearchKeyWords(Session& session, std::string_view query);

// Changes of the two key-word boxes (Edit1, Edit3) and of the "2nd" check box (CheckBox1). A box
// that is disabled takes no text.
void SetFirstKeyWord(Session& session, std::string_view text);
void SetSecondKeyWord(Session& session, std::string_view text);
void UseSecondKeyWord(Session& session, bool checked);

// Text selected in one of the case's texts (the information fields, the code or label box):
// it goes into the active key-word box and is searched for.
void SearchSelectedText(Session& session, std::string_view selected);

}  // namespace tarnwick
