#include "gui/focus_keeper.h"

#include <QApplication>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace tarnwick::gui {

FocusKeeper::FocusKeeper(QMainWindow* window, std::function<bool()> home)
    : QObject(window), window_(window), home_(std::move(home)) {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == window_ && qobject_cast<QMenuBar*>(now) == nullptr) {
            typing_ = now;
        }
    });
    // A menu closes before its command runs: the keyboard comes back after both.
    for (QMenu* menu : window_->menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToHide, this,
                [this] { QTimer::singleShot(0, this, [this] { Return(); }); });
    }
}

void FocusKeeper::Return(QWidget* preferred) {
    if (QApplication::activePopupWidget() != nullptr ||
        QApplication::activeModalWidget() != nullptr) {
        return;
    }
    QWidget* now = QApplication::focusWidget();
    const bool onMenuBar = now != nullptr && qobject_cast<QMenuBar*>(now) != nullptr;
    if (preferred == nullptr && now != nullptr && !onMenuBar) return;
    QWidget* target = preferred != nullptr ? preferred : typing_.data();
    if (target != nullptr && target->window() == window_ && target->isVisible() &&
        target->isEnabled()) {
        target->setFocus(Qt::OtherFocusReason);
    } else if (!home_() && onMenuBar) {
        window_->centralWidget()->setFocus(Qt::OtherFocusReason);
    }
}

void FocusKeeper::HoldForLongWork() { beforeLong_ = typing_; }

void FocusKeeper::ReturnAfterLongWork() { Return(beforeLong_.data()); }

}  // namespace tarnwick::gui
