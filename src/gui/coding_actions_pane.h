#pragma once
// The coding actions: not applicable, missing, cancel, REPEAT with the last code beside it, and
// the large CODE button. Each caption carries its key, so the coder learns the keys from the
// buttons.

#include <QGroupBox>

class QLineEdit;
class QPushButton;

namespace tarnwick {
struct CodingView;
}

namespace tarnwick::gui {

class CodingActionsPane : public QGroupBox {
    Q_OBJECT
  public:
    enum class Action { Code, NotApplicable, Missing, Repeat, Cancel };

    explicit CodingActionsPane(QWidget* parent);
    void Render(const CodingView& view);
    // The button of an action, as its key clicks it.
    void Click(Action action);

  signals:
    void actionRequested(CodingActionsPane::Action action);

  private:
    QPushButton* MakeButton(const char* name, const QString& text, Action action);

    // The old control names are the widgets' objectNames: BitBtn5, Button1, Button2, Button3,
    // Button4 in Action's order; Edit2 the last code beside REPEAT.
    QPushButton* buttons_[5] = {};
    QLineEdit* lastCodeEdit_ = nullptr;
};

}  // namespace tarnwick::gui
