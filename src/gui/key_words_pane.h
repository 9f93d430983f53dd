#pragma once
// The key-word strip: the first key word, the check box and box of the second. Enter goes to the
// pre-selected list's best line, Down into the list, Escape clears the words; Ctrl+Z stays the
// page's undo, not the box's.

#include <QFrame>

class QCheckBox;
class QLineEdit;

namespace tarnwick {
struct CodingView;
}

namespace tarnwick::gui {

class KeyWordsPane : public QFrame {
    Q_OBJECT
  public:
    explicit KeyWordsPane(QWidget* parent);
    void Render(const CodingView& view);
    bool Empty() const;
    // The keyboard into the first box (the second when the first takes no text), its text
    // selected, so that the coder just types the next word. False when neither takes text.
    bool Focus();
    // A key typed elsewhere (in a list) goes on at the end of the box that has the words.
    void Append(const QString& text);
    // The check box of the second key word, as its key clicks it; the keyboard follows.
    void ToggleSecond();

  signals:
    void firstChanged(const QString& text);
    void secondChanged(const QString& text);
    void secondToggled(bool on);
    void enterPressed();
    void downPressed();
    void escapePressed();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QLineEdit* TypingBox() const;

    bool drawing_ = false;
    QLineEdit* first_ = nullptr;        // Edit1
    QCheckBox* secondCheck_ = nullptr;  // CheckBox1
    QLineEdit* second_ = nullptr;       // Edit3
};

}  // namespace tarnwick::gui
