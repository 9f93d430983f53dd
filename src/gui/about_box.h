#pragma once

#include <QDialog>

namespace tarnwick::gui {

// The about box: fixed size, centred, closed by its OK button.
class TAboutBox : public QDialog {
    Q_OBJECT
  public:
    explicit TAboutBox(QWidget* parent = nullptr);
};

}  // namespace tarnwick::gui
