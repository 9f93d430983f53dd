#pragma once
// The coding page TabSheet3: the navigation bar, the case, the coding actions, the key words and
// the information fields on the left; the three category lists on the right. The page puts the
// panes together, gives their requests to the core through the command runner, and keeps the
// keyboard where the coder types.

#include <QWidget>
#include <array>

#include "core/session/coding_view.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSplitter;
class QTabWidget;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class CaseView;
class CategoryListPane;
class CodingActionsPane;
class CommandRunner;
class KeyWordsPane;
class NavigationBar;

class CodingPage : public QWidget {
    Q_OBJECT
  public:
    CodingPage(CommandRunner& runner, QWidget* parent);
    // Draws the page from the session.
    void Render(Session& session);
    // The keyboard into the key-word box, its words selected for the next ones.
    void FocusKeyWords();
    // A project open read-only takes no coding action.
    void SetReadOnly(bool readOnly);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildLeft(QSplitter* splitter);
    void BuildLists(QSplitter* splitter);
    void ConnectLists();
    void ConnectPanes();
    void ConnectKeys();
    // Runs a core operation (held back while another runs, or while the page draws itself).
    template <class F>
    void Command(F&& f);
    // A coding action or a move: the command, then the keyboard back in the key-word box.
    template <class F>
    void Act(F&& f);
    CategoryListPane* Pane(CategoryTab tab) const;
    CategoryListPane* FrontPane() const;
    void ShowTab(CategoryTab tab);
    // The keyboard into the list in front: `bestLine` goes to the line the ranking puts first
    // (the pre-selected list) or the first; otherwise a list without a selected line selects its
    // first.
    void EnterList(bool bestLine);
    void CodeLine(CategoryTab tab, int row);
    void ClearKeyWords();
    void FocusSearch();
    void RenderLists(Session& session);

    CommandRunner& runner_;
    bool drawing_ = false;
    NavigationBar* navigation_ = nullptr;
    CaseView* caseView_ = nullptr;
    CodingActionsPane* actions_ = nullptr;
    KeyWordsPane* keyWords_ = nullptr;
    QTabWidget* categoryTabs_ = nullptr;        // PageControl2
    std::array<CategoryListPane*, 3> panes_{};  // in CategoryTab's order
    QLabel* listNote_ = nullptr;  // above ListBox1: no match, or the shorter word that matched
    QLineEdit* fullListSearch_ = nullptr;  // above ListBox2: a code or words of a name
    QPushButton* codeAllIdenticalButton_ = nullptr;
    std::array<long long, 4> bestLineFor_ = {-1, -1, -1, -1};
    int shownFullScroll_ = 0;
};

}  // namespace tarnwick::gui
