#pragma once
// The top of the coding page: the respondent selector and the arrows that move by record and by
// occupation field.

#include <QWidget>
#include <cstdint>

class QComboBox;
class QToolButton;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class LineListModel;

class NavigationBar : public QWidget {
    Q_OBJECT
  public:
    enum class Move { PreviousRecord, NextRecord, PreviousOccupation, NextOccupation };

    explicit NavigationBar(QWidget* parent);
    void Render(const Session& session);
    // The arrow of a move, as its key clicks it.
    void Click(Move move);
    // The keyboard into the selector, its text selected for a new identifier.
    void FocusSelector();

  signals:
    void moveRequested(NavigationBar::Move move);
    void entryPicked(int index);              // a line of the selector's list
    void identifierTyped(const QString& id);  // an identifier typed, then Enter

  private:
    QToolButton* MakeArrow(const char* name, bool forward, bool twice, Move move);

    // The old control names are the widgets' objectNames.
    QComboBox* selector_ = nullptr;  // ComboBox1
    LineListModel* selectorModel_ = nullptr;
    QToolButton* arrows_[4] = {};  // BitBtn4, BitBtn3, BitBtn2, BitBtn1 in Move's order
    std::uint64_t shownVersion_ = UINT64_MAX;
    bool drawing_ = false;
};

}  // namespace tarnwick::gui
