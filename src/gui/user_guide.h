#pragma once
// Help > User guide: the coder's sections of the manual, in a window of their own.

#include <QDialog>
#include <QString>

namespace tarnwick::gui {

// The sections of a Markdown manual whose headings are given, in the manual's order, each up to
// the next heading of its level or above.
QString ManualSections(const QString& markdown, const QStringList& headings);

class UserGuide : public QDialog {
    Q_OBJECT
  public:
    explicit UserGuide(QWidget* parent);
};

}  // namespace tarnwick::gui
