#pragma once
// The keys of the coding page: one table that the buttons' captions and tooltips, the shortcuts
// themselves and the Help window all read, so that what is shown is what works.

#include <QKeySequence>
#include <QList>
#include <QString>

class QWidget;

namespace tarnwick::gui {

enum class Key {
    Code,
    Missing,
    NotApplicable,
    Repeat,
    Cancel,
    PreviousOccupation,
    NextOccupation,
    PreviousRecord,
    NextRecord,
    FindNotCoded,
    SwitchLists,
    FullListSearch,
    SecondKeyWord,
    RespondentSelector,
    SaveResults,
    Undo,
    Redo,
    Help,
    CodeAllIdentical,
    CodeAutomatically,
    Review,
};

// Ctrl+1 ... Ctrl+9 code suggestion 1 ... 9 (Alt+2 already switches the second key word).
inline constexpr int kSuggestionKeys = 9;
QKeySequence SuggestionKeys(int n);

QKeySequence KeysOf(Key key);
// "F2", "Ctrl+S": as the coder reads it on a caption.
QString KeyName(Key key);
// A tooltip: what the control does and its key.
QString ToolTip(Key key);
// The Suggestions list's tooltip: what its lines say and the keys that code them.
QString SuggestionsToolTip();

struct ShortcutRow {
    QString keys;
    QString what;
};
// Every key of the coding page, the key-word boxes' and lists' own keys first.
QList<ShortcutRow> ShortcutTable();

// The Help window with the table (objectName "KeyboardShortcuts").
void ShowShortcutTable(QWidget* parent);

}  // namespace tarnwick::gui
