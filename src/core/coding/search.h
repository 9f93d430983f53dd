#pragma once
// Key-word search: one or two words looked up in the classification's key-word index, the
// matching categories listed on the pre-selected page.

#include <string_view>

namespace tarnwick {

class Session;

// Runs one search. The query is the first word, optionally a blank and the second word. A query
// that finds nothing changes nothing.
void SearchKeyWords(Session& session, std::string_view query);

// Changes of the key-word boxes and of the "2nd" check box. A box that is disabled takes no text.
void Edit1Change(Session& session, std::string_view text);
void Edit3Change(Session& session, std::string_view text);
void CheckBox1Click(Session& session, bool checked);

// Text selected in one of the case's texts (the information fields, the code or label box).
void RichEditSelectionChange(Session& session, std::string_view selected);

}  // namespace tarnwick
