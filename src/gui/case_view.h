#pragma once
// The case being coded: where the coder is ("Respondent 12 of 300"), the occupation field's
// caption, the category it holds, the last code given, and the information fields 1..13 with the
// respondent's answers. Selecting a word in any of them searches for it.

#include <QWidget>
#include <array>

class QGroupBox;
class QLabel;
class QPlainTextEdit;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class CaseView : public QWidget {
    Q_OBJECT
  public:
    explicit CaseView(QWidget* parent);
    // The case as the session holds it. The information fields are a widget of their own that
    // the page places lower down, below the key words.
    void Render(const Session& session);
    QWidget* InfoFields() const { return infoFields_; }

  signals:
    void textSelected(const QString& text);

  private:
    void BuildAssigned();
    void BuildInfoFields();
    // One column of fields, or two for many (13 fields in one would scroll at 768 pixels high).
    void ArrangeInfoFields(int visible);
    QPlainTextEdit* MakeCaseText(QWidget* parent, const char* name, int height);

    bool drawing_ = false;
    QLabel* reviewBanner_ = nullptr;  // while a review is on: which case, and the keys
    QLabel* whereLabel_ = nullptr;    // "Respondent 12 of 300 · ID 000012 · occupation 1 of 3"
    QLabel* lastGivenLabel_ = nullptr;
    QLabel* occupationCaption_ = nullptr;          // Label12
    QGroupBox* assignedGroup_ = nullptr;           // GroupBox3
    QPlainTextEdit* assignedCodeEdit_ = nullptr;   // RichEdit11
    QPlainTextEdit* assignedLabelEdit_ = nullptr;  // RichEdit12
    QWidget* infoFields_ = nullptr;
    int infoColumns_ = 0;
    std::array<QLabel*, 14> infoCaptions_{};
    std::array<QPlainTextEdit*, 14> infoBoxes_{};
};

// "Respondent 12 of 1,074,999 · ID 000012 · occupation 2 of 3": where the coder is.
QString WhereText(const Session& session);

}  // namespace tarnwick::gui
