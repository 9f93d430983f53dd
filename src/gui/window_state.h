#pragma once
// The window's size, place and splitter positions, kept between runs in the program's settings.

#include <QSettings>

class QMainWindow;

namespace tarnwick::gui {

// The program's settings (the window's state, the recent projects, the team login's last
// answers), one store for all of them.
QSettings ProgramSettings();

// Those of the last run, or at the first start a size that fits the screen.
void RestoreWindowState(QMainWindow& window);
void SaveWindowState(const QMainWindow& window);

}  // namespace tarnwick::gui
