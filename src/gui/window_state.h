#pragma once
// The window's size, place and splitter positions, kept between runs in the program's settings.

class QMainWindow;

namespace tarnwick::gui {

// Those of the last run, or at the first start a size that fits the screen.
void RestoreWindowState(QMainWindow& window);
void SaveWindowState(const QMainWindow& window);

}  // namespace tarnwick::gui
