#pragma once
// The pages beside the coding page: the notepad, the session report, the coding options and the
// error messages. Each draws itself from the session and says what the coder changed.

#include <QString>
#include <QWidget>
#include <cstddef>

class QButtonGroup;
class QPlainTextEdit;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

// A page of text the coder may edit: the notepad (TabSheet1) or the report (TabSheet8).
class TextPage : public QWidget {
    Q_OBJECT
  public:
    enum class Kind { Notepad, Report };
    TextPage(Kind kind, QWidget* parent);
    void Render(const Session& session);

  signals:
    void edited(const QString& text);

  private:
    Kind kind_;
    QPlainTextEdit* edit_ = nullptr;  // RichEdit13 or RichEdit14
    bool drawing_ = false;
};

// The coding options (TabSheet7): what the lists show, where CODE moves on to, and what Code all
// identical compares.
class OptionsPage : public QWidget {
    Q_OBJECT
  public:
    explicit OptionsPage(QWidget* parent);
    void Render(const Session& session);

  signals:
    void showNotApplicableChosen(bool show);
    void afterCodingChosen(int index);
    void identicalTextOnlyChosen(bool textOnly);

  private:
    QButtonGroup* notApplicable_ = nullptr;  // RadioGroup1
    QButtonGroup* afterCoding_ = nullptr;    // RadioGroup2
    QButtonGroup* identical_ = nullptr;      // RadioGroup3
};

// The error messages (TabSheet2), which only ever grow while a project is being opened.
class ErrorPage : public QWidget {
    Q_OBJECT
  public:
    explicit ErrorPage(QWidget* parent);
    void Render(const Session& session);

  private:
    QPlainTextEdit* lines_ = nullptr;  // Memo2
    size_t shown_ = 0;
};

}  // namespace tarnwick::gui
