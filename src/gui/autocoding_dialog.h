#pragma once
// The dialogs of automatic coding: the target error with the figures of what would be coded
// (AutoCodingDialog), and after coding the offer of a review sample and its size.

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QDoubleSpinBox;
class QLabel;
class QPushButton;

namespace tarnwick::gui {

class AutoCodingDialog : public QDialog {
    Q_OBJECT
  public:
    // What an estimate found: the figures or the refusal, and whether Code may follow.
    struct Estimate {
        QString text;
        bool canCode = false;
    };
    // `estimate` runs the calibration and the plan for a target (a share, 0..1); nothing when the
    // coder cancelled it.
    AutoCodingDialog(QWidget* parent, std::function<std::optional<Estimate>(double)> estimate);
    // The target (a share) of the figures shown.
    double Target() const;

  private:
    void RunEstimate();

    std::function<std::optional<Estimate>(double)> estimate_;
    QDoubleSpinBox* target_ = nullptr;
    QPushButton* estimateButton_ = nullptr;
    QLabel* figures_ = nullptr;
    QPushButton* codeButton_ = nullptr;
};

class CommandRunner;

// Code automatically...: the dialog with its estimates, the codes, then the offer of a review
// sample; `backToCoding` gives the keyboard to the coding page after each change.
void RunAutoCoding(QWidget* parent, CommandRunner& runner,
                   const std::function<void()>& backToCoding);

// After `coded` automatic codes: the size of the sample to review, or nothing for not now.
std::optional<int> AskReviewSampleSize(QWidget* parent, int coded);

}  // namespace tarnwick::gui
