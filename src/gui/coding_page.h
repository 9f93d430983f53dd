#pragma once
// The coding page TabSheet3: the navigation bar, the current case with its information fields,
// the coding actions and the key-word strip on the left; the category panel on the right.

#include <QWidget>
#include <array>
#include <cstdint>

#include "core/session/coding_view.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListView;
class QPlainTextEdit;
class QPushButton;
class QSplitter;
class QTabWidget;
class QToolButton;
class QVBoxLayout;

class QKeyEvent;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class TForm1;
class LineListModel;

class CodingPage : public QWidget {
    Q_OBJECT
  public:
    CodingPage(TForm1* window, QWidget* parent = nullptr);
    // Draws the page from the session.
    void Render(Session& session);
    // Puts the focus in the first key-word box (the second when the first takes no text), its
    // text selected, so that the coder just types the next word.
    void FocusKeyWords();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Build();
    // The left column, top to bottom, each step adding its part to `col`.
    void BuildNavigation(QWidget* left, QVBoxLayout* col);     // arrows and respondent selector
    void BuildCaseArea(QWidget* left, QVBoxLayout* col);       // caption and assigned category
    void BuildCodingActions(QWidget* left, QVBoxLayout* col);  // the buttons and the last code
    void BuildKeyWords(QWidget* left, QVBoxLayout* col);
    void BuildInfoFields(QWidget* left, QVBoxLayout* col);  // information fields 1..13
    // The right side: the pre-selected and the full list, each over its description.
    void BuildCategoryPanel(QSplitter* splitter);
    QWidget* BuildListPage(const char* page, const char* list, const char* memo, QListView*& view,
                           LineListModel*& model, QPlainTextEdit*& description);
    void Connect();
    int FullListVisibleLines() const;
    QPlainTextEdit* MakeCaseText(const char* name, int height);
    // Runs a core operation through the window (held back while another runs).
    template <class F>
    void Command(F&& f);
    // A coding action or a move: the command, then the focus back in the key-word box.
    template <class F>
    void Act(F&& f);
    // The list of the category page in front.
    QListView* FrontList() const;
    // The category page at a tab index and back: Suggestions, pre-selected, full, left to right.
    CategoryTab TabAt(int index) const;
    int IndexOf(CategoryTab tab) const;
    // Focus into the list in front; `firstLine` selects its first line, otherwise a list
    // without a selected line selects its first.
    void EnterList(bool firstLine);
    bool TypedIntoList(QListView* list, const QKeyEvent& key);
    // Enter on a line: codes that line (in review, the automatic code confirms the case).
    void CodeCurrentLine(QListView* list);
    void CodeLine(QListView* list, int row);
    bool KeyWordsEmpty() const;
    void ClearKeyWords();

    TForm1* window_;
    bool rendering_ = false;

    // The old control names are the widgets' objectNames and live on in the core's operations.
    QComboBox* respondentSelector_ = nullptr;  // ComboBox1
    LineListModel* selectorModel_ = nullptr;
    QToolButton* nextOccupationButton_ = nullptr;      // BitBtn1
    QToolButton* previousOccupationButton_ = nullptr;  // BitBtn2
    QToolButton* nextRecordButton_ = nullptr;          // BitBtn3
    QToolButton* previousRecordButton_ = nullptr;      // BitBtn4
    QLabel* reviewBanner_ = nullptr;       // while a review is on: which case, and the keys
    QLabel* occupationCaption_ = nullptr;  // Label12
    QGroupBox* assignedGroup_ = nullptr;
    QPlainTextEdit* assignedCodeEdit_ = nullptr;   // RichEdit11
    QPlainTextEdit* assignedLabelEdit_ = nullptr;  // RichEdit12
    QPushButton* notApplicableButton_ = nullptr;   // Button1
    QPushButton* missingButton_ = nullptr;         // Button2
    QPushButton* repeatButton_ = nullptr;          // Button3
    QPushButton* cancelButton_ = nullptr;          // Button4
    QPushButton* codeButton_ = nullptr;            // BitBtn5
    QLineEdit* lastCodeEdit_ = nullptr;            // Edit2, beside REPEAT
    QLineEdit* firstKeyWordEdit_ = nullptr;        // Edit1
    QCheckBox* secondKeyWordCheck_ = nullptr;      // CheckBox1
    QLineEdit* secondKeyWordEdit_ = nullptr;       // Edit3
    std::array<QLabel*, 14> infoCaptions_{};
    std::array<QPlainTextEdit*, 14> infoBoxes_{};

    QTabWidget* categoryTabs_ = nullptr;  // PageControl2
    QWidget* suggestionsPage_ = nullptr;
    QWidget* preselectedPage_ = nullptr;
    QWidget* fullPage_ = nullptr;
    QListView* suggestionsList_ = nullptr;
    LineListModel* suggestionsModel_ = nullptr;
    QPlainTextEdit* suggestionsDescription_ = nullptr;
    QPushButton* codeAllIdenticalButton_ = nullptr;
    QListView* preselectedList_ = nullptr;  // ListBox1
    LineListModel* preselectedModel_ = nullptr;
    QPlainTextEdit* preselectedDescription_ = nullptr;  // Memo1
    QLabel* listNote_ = nullptr;     // above ListBox1: no match, or the shorter word that matched
    QListView* fullList_ = nullptr;  // ListBox2
    LineListModel* fullListModel_ = nullptr;
    QPlainTextEdit* fullDescription_ = nullptr;  // Memo3
    QLineEdit* fullListSearch_ = nullptr;        // above ListBox2: a code or words of a name
    std::uint64_t shownSuggestionsVersion_ = UINT64_MAX;
    std::uint64_t shownPreselectedVersion_ = UINT64_MAX;
    std::array<long long, 4> preselectedMarkFor_ = {-1, -1, -1, -1};
    std::uint64_t shownFullListVersion_ = UINT64_MAX;
    std::uint64_t shownSelectorVersion_ = UINT64_MAX;
    int shownFullScroll_ = 0;
};

}  // namespace tarnwick::gui
