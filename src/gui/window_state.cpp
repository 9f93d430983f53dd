#include "gui/window_state.h"

#include <QGuiApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

QSettings ProgramSettings() { return QSettings(u"Tarnwick"_s, u"Tarnwick"_s); }

void RestoreWindowState(QMainWindow& w) {
    QSettings settings = ProgramSettings();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
    if (!w.restoreGeometry(settings.value(u"window/geometry"_s).toByteArray())) {
        // The first start fills most of the screen, never less than the page's own size; room
        // is left for the title bar and the frame that the window manager adds.
        const QSize least(
            944, 744 + w.menuBar()->sizeHint().height() + w.statusBar()->sizeHint().height());
        const QSize most = area.size() - QSize(16, 48);
        const QSize wanted = least.expandedTo(QSize(most.width() * 9 / 10, most.height() * 9 / 10));
        w.resize(wanted.boundedTo(most));
        w.move(area.center() - w.rect().center());
    }
    for (QSplitter* splitter : w.findChildren<QSplitter*>()) {
        splitter->restoreState(
            settings.value(u"splitters/"_s + splitter->objectName()).toByteArray());
    }
}

void SaveWindowState(const QMainWindow& w) {
    QSettings settings = ProgramSettings();
    settings.setValue(u"window/geometry"_s, w.saveGeometry());
    for (const QSplitter* splitter : w.findChildren<QSplitter*>()) {
        settings.setValue(u"splitters/"_s + splitter->objectName(), splitter->saveState());
    }
}

}  // namespace tarnwick::gui
