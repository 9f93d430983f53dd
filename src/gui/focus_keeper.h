#pragma once
// The keyboard's rule: after every command, dialog, page switch or menu left with Escape, the
// keyboard is where the coder types. The menu bar never keeps it, so no letter typed next opens
// a menu, and work that disabled the window gives it back where it was.

#include <QObject>
#include <QPointer>
#include <functional>

class QMainWindow;
class QWidget;

namespace tarnwick::gui {

class FocusKeeper : public QObject {
    Q_OBJECT
  public:
    // `home` puts the keyboard where typing starts on the page in front; false when there is
    // no such place.
    FocusKeeper(QMainWindow* window, std::function<bool()> home);
    // Gives the keyboard back to `preferred`, or where the coder last typed; without
    // `preferred`, only when it is nowhere or on the menu bar.
    void Return(QWidget* preferred = nullptr);
    void HoldForLongWork();
    void ReturnAfterLongWork();

  private:
    QMainWindow* window_;
    std::function<bool()> home_;
    QPointer<QWidget> typing_;  // the last widget of the window with the keyboard
    QPointer<QWidget> beforeLong_;
};

}  // namespace tarnwick::gui
