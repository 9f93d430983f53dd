#pragma once
// One list of categories over its description: the Suggestions, the pre-selected list and the
// full classification are each one of these. The pane turns the coder's clicks and keys into
// what they mean (a line selected, a line to code, a word typed) and draws the lines it is given;
// what they do to the session is the page's.

#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "core/session/coding_view.h"
#include "gui/list_models.h"

class QListView;
class QPlainTextEdit;
class QVBoxLayout;

namespace tarnwick::gui {

class CategoryListPane : public QWidget {
    Q_OBJECT
  public:
    // `page`, `list` and `memo` are the objectNames of the pane, its list and its description.
    CategoryListPane(CategoryTab tab, const char* page, const char* list, const char* memo,
                     QWidget* parent);

    CategoryTab Tab() const { return tab_; }
    QListView* List() const { return list_; }
    LineListModel* Model() const { return model_; }
    int RowCount() const;
    // A widget above the list (a search box, a note) or below it (a button).
    void AddAbove(QWidget* widget);
    void AddBelow(QWidget* widget);
    // Lines that wrap instead of being cut at the right edge (the suggestions' reasons).
    void WrapLines();

    // Draws the lines when `version` is new: a reset on every command would lose the line the
    // mouse pressed, and with it the second click of a double-click.
    void ShowLines(std::uint64_t version, int count, LineListModel::Accessor lines);
    void ShowSelected(int row);  // -1: none
    // The three at once: the lines of `all` (when `version` is new), the selected one and the
    // description below.
    void Show(std::uint64_t version, const std::vector<std::string>& all, int selected,
              const std::string& description);
    void ShowDescription(const std::string& text);
    // The keyboard into the list, at its current line.
    void Enter();
    // Lines that fit at the list's real size and scale.
    int VisibleLines() const;
    void ScrollToTop(int row);

  signals:
    void lineSelected(int row);  // a click or a move by keyboard
    void lineCoded(int row);     // Enter or a double click
    // A printable key: never type-ahead, which would select a line for the next Enter to code.
    void typed(const QString& text);
    void leftAtTop();  // Up on the first line
    void escaped();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    CategoryTab tab_;
    QVBoxLayout* layout_ = nullptr;
    QListView* list_ = nullptr;
    LineListModel* model_ = nullptr;
    QPlainTextEdit* description_ = nullptr;
    std::uint64_t shownVersion_ = UINT64_MAX;
    bool drawing_ = false;
};

}  // namespace tarnwick::gui
