#pragma once
// What the coding page shows. Every coding operation updates it; the window draws it afterwards.
// The long lists carry a version so that the window rebuilds them only when they changed.

#include <array>
#include <string>
#include <vector>

namespace tarnwick {

enum class CategoryTab { Preselected, Full, Suggestions };

struct InfoBoxView {
    bool Visible = false;
    std::string Caption;
    std::string Text;
};

struct CodingView {
    // Category panel (PageControl2).
    CategoryTab ActiveTab = CategoryTab::Preselected;
    // ListBox1: one line per entry of the session's PreselectedEntries, same length always.
    std::vector<std::string> PreselectedLines;
    int PreselectedVersion = 0;
    int PreselectedSelected = -1;  // ListBox1 item index, -1 none
    // Above ListBox1: what the last search did when it is not a plain match ("No category
    // matches ...", "matched as PRO..."); empty otherwise.
    std::string ListNote;
    std::string PreselectedDescription;  // Memo1
    // ListBox2 shows the classification's FullListLines, which never change.
    int FullSelected = -1;  // ListBox2 item index, -1 none
    // The top line the window is to scroll ListBox2 to; applied once per change of
    // FullScrollRequest.
    int FullTopLine = 0;
    int FullScrollRequest = 0;
    std::string FullDescription;  // Memo3

    // The suggestions for the case: one line per Session::Suggestions entry.
    std::vector<std::string> SuggestionLines;
    int SuggestionsVersion = 0;
    int SuggestionSelected = -1;
    std::string SuggestionDescription;

    // Key words: Edit1, CheckBox1 ("2nd"), Edit3.
    std::string Key1;
    bool Key1Enabled = true;
    bool SecondKeyOn = false;
    std::string Key2;
    bool Key2Enabled = false;

    // Respondent selector (ComboBox1). Its entries are the case model's SelectorRecords (record
    // indices of the listed records); SelectorVersion changes whenever they are rebuilt.
    int SelectorSelected = -1;
    int SelectorVersion = 0;

    // The case.
    std::string OccupationCaption;       // Label12
    std::string CodeText;                // RichEdit11
    std::string LabelText;               // RichEdit12
    std::array<InfoBoxView, 14> Info{};  // information fields 1..13; element 0 unused

    // Edit2 beside REPEAT: the last code given with CODE, its name as the hint.
    std::string LastCodeText;
    std::string LastCodeHint;
};

}  // namespace tarnwick
