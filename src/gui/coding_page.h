#pragma once
// The coding page TabSheet3: the current case, the coding actions and the category panel.

#include <QWidget>

class QLabel;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class TForm1;

class CodingPage : public QWidget {
    Q_OBJECT
public:
    CodingPage(TForm1* window, QWidget* parent = nullptr);
    // Draws the page from the session.
    void Render(Session& session);

private:
    TForm1* window_;
    QLabel* label12_ = nullptr;
};

}  // namespace tarnwick::gui
