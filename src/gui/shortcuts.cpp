#include "gui/shortcuts.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

struct Binding {
    Key key;
    QKeyCombination keys;
    const char16_t* what;
};

// Function keys for what a coder does on every case, left to right in the order of the page;
// Alt with a letter or digit that no menu uses for the rest.
constexpr std::array<Binding, 21> kBindings{{
    {Key::Code, Qt::Key_F2, u"CODE: code the case with the selected category"},
    {Key::FindNotCoded, Qt::Key_F3, u"Find non-coded: go to the first occupation without a code"},
    {Key::SwitchLists, Qt::Key_F4,
     u"Next list, in turn: the suggestions, the pre-selected list, the full list"},
    {Key::FullListSearch, Qt::CTRL | Qt::Key_F, u"Find a code or a name in the full list"},
    {Key::Missing, Qt::Key_F5, u"MISSING: code the case as missing data"},
    {Key::NotApplicable, Qt::Key_F6, u"NOT APPLICABLE: code the case as not applicable"},
    {Key::Repeat, Qt::Key_F7, u"REPEAT: give the case the last code given with CODE"},
    {Key::Cancel, Qt::Key_F8, u"CANCEL: take the case's code away"},
    {Key::PreviousOccupation, Qt::Key_F9, u"Previous occupation"},
    {Key::NextOccupation, Qt::Key_F10, u"Next occupation"},
    {Key::PreviousRecord, Qt::Key_F11, u"The same occupation of the previous respondent"},
    {Key::NextRecord, Qt::Key_F12, u"The same occupation of the next respondent"},
    {Key::SecondKeyWord, Qt::ALT | Qt::Key_2, u"Second key word on or off"},
    {Key::RespondentSelector, Qt::ALT | Qt::Key_D,
     u"Respondent identifier: type it, or its beginning, and press Enter"},
    {Key::SaveResults, Qt::CTRL | Qt::Key_S, u"Save results into the working file"},
    {Key::Undo, Qt::CTRL | Qt::Key_Z, u"Undo the last coding action"},
    {Key::Redo, Qt::CTRL | Qt::SHIFT | Qt::Key_Z, u"Redo the coding action undone"},
    {Key::CodeAllIdentical, Qt::CTRL | Qt::Key_I,
     u"Give the case's code to every case of this field with the same answer and no code"},
    {Key::CodeAutomatically, Qt::CTRL | Qt::SHIFT | Qt::Key_A,
     u"Code automatically the cases whose first suggestion can be trusted enough"},
    {Key::Review, Qt::CTRL | Qt::SHIFT | Qt::Key_R,
     u"Review the sample of automatic codes: confirm or recode each"},
    {Key::Help, Qt::Key_F1, u"This table of keys"},
}};

const Binding& BindingOf(Key key) {
    for (const Binding& b : kBindings) {
        if (b.key == key) return b;
    }
    return kBindings[0];  // every Key has its row above
}

}  // namespace

QKeySequence KeysOf(Key key) { return QKeySequence(BindingOf(key).keys); }

QKeySequence SuggestionKeys(int n) {
    return QKeySequence(QKeyCombination(Qt::CTRL, static_cast<Qt::Key>(Qt::Key_0 + n)));
}

QString KeyName(Key key) { return KeysOf(key).toString(QKeySequence::NativeText); }

QString ToolTip(Key key) {
    return QString::fromUtf16(BindingOf(key).what) + u" ("_s + KeyName(key) + u')';
}

QString SuggestionsToolTip() {
    return u"The categories the program proposes for this answer, best first: the key's number, "
           u"score, code, name and why. Enter or a double click codes a line; "_s +
           SuggestionKeys(1).toString(QKeySequence::NativeText) + u" \u2026 "_s +
           SuggestionKeys(kSuggestionKeys).toString(QKeySequence::NativeText) +
           u" codes suggestion 1 \u2026 9."_s;
}

QList<ShortcutRow> ShortcutTable() {
    QList<ShortcutRow> rows = {
        {u"Enter (in a key-word box)"_s,
         u"Go to the listed category that the ranking puts first (in bold)"_s},
        {u"Down, Page Down (in a key-word box)"_s, u"Go into the list"_s},
        {u"Up (on the list's first line)"_s, u"Back to the key-word box"_s},
        {u"Enter (on a line of a list)"_s, u"Code the case with that line's category"_s},
        {u"A letter or digit (in a list)"_s,
         u"Typed into the box that searches the list: a list never picks a line by typing"_s},
        {u"Escape"_s, u"Clear the key words"_s},
        {u"Enter (in review, no key words)"_s, u"Confirm the automatic code of the case"_s},
        {u"Escape (in review, no key words)"_s, u"Leave the review"_s},
        {SuggestionKeys(1).toString(QKeySequence::NativeText) + u" \u2026 "_s +
             SuggestionKeys(kSuggestionKeys).toString(QKeySequence::NativeText),
         u"Code the case with suggestion 1 \u2026 9"_s},
    };
    for (const Binding& b : kBindings) rows.append({KeyName(b.key), QString::fromUtf16(b.what)});
    return rows;
}

void ShowShortcutTable(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setObjectName("KeyboardShortcuts");
    dialog.setWindowTitle(u"Keyboard shortcuts"_s);
    auto* layout = new QVBoxLayout(&dialog);
    const QList<ShortcutRow> rows = ShortcutTable();
    auto* table = new QTableWidget(static_cast<int>(rows.size()), 2, &dialog);
    table->setObjectName("ShortcutTable");
    table->setHorizontalHeaderLabels({u"Key"_s, u"What it does"_s});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionMode(QAbstractItemView::NoSelection);
    for (int i = 0; i < rows.size(); ++i) {
        table->setItem(i, 0, new QTableWidgetItem(rows[i].keys));
        table->setItem(i, 1, new QTableWidgetItem(rows[i].what));
    }
    table->resizeColumnsToContents();
    table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(table);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    // Wide enough for the longest line, as far as the screen allows.
    const int wanted = table->columnWidth(0) + table->columnWidth(1) +
                       table->verticalScrollBar()->sizeHint().width() + 2 * table->frameWidth() +
                       2 * layout->contentsMargins().left() + 8;
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QSize area = screen ? screen->availableSize() : QSize(1366, 768);
    dialog.resize(std::min(std::max(620, wanted), area.width() - 40),
                  std::min(640, area.height() - 80));
    dialog.exec();
}

}  // namespace tarnwick::gui
