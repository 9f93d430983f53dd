#pragma once
// The status line under the pages: the notice of the last command, the progress of the work, the
// pace of this run, and the suggestions' progress while they are prepared.

#include <QObject>

class QLabel;
class QProgressBar;
class QStatusBar;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class StatusLine : public QObject {
    Q_OBJECT
  public:
    explicit StatusLine(QStatusBar* bar);
    void Draw(const Session& session);
    // -1 hides the suggestions' progress bar.
    void ShowSuggestionsProgress(int percent);

  private:
    QLabel* notice_ = nullptr;    // StatusPanel0
    QLabel* progress_ = nullptr;  // StatusPanel1
    QLabel* pace_ = nullptr;      // StatusPanel2: share coded and codes per hour of this run
    QProgressBar* suggestions_ = nullptr;  // SuggestionsProgress
};

}  // namespace tarnwick::gui
