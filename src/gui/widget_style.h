#pragma once
// Small pieces of look shared by the window's panes: bold captions and our own pictures.

#include <QFont>
#include <QIcon>
#include <QString>

namespace tarnwick::gui {

QFont Bold(QFont font);
// A filled triangle pointing forward or back, once or twice: the navigation arrows.
QIcon ArrowIcon(bool forward, bool twice);
// The CODE button's picture: a green tick.
QIcon TickIcon();
// Counts as a reader takes them in at a glance: "1,074,999 occupations", in every number of four
// digits or more. The window's own lines only: the report and the files keep the program's texts.
QString GroupedDigits(const QString& text);

}  // namespace tarnwick::gui
