#pragma once
// The platform services of the core, given by Qt: message boxes, questions, file dialogs,
// status drawing and the clock. Tests replace the dialogs through the hooks. Long work runs on a
// worker thread; every service it asks for is carried out on the window's thread while the
// worker waits, so that the core never meets two threads at once.

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <atomic>
#include <functional>
#include <optional>

#include "core/session/platform.h"

class QProgressDialog;
class QWidget;

namespace tarnwick::gui {

class QtPlatform : public Platform {
  public:
    explicit QtPlatform(QWidget* parent) : parent_(parent) {}

    // A fault gets the error icon, any other message the information icon.
    void ShowMessage(const std::string& text, Severity severity) override;
    Answer Ask(const std::string& question, bool withCancel) override;
    std::optional<std::string> ChooseFile(const FileRequest& request) override;
    void StatusChanged() override;
    // A progress dialog with Cancel, shown once the work has lasted half a second.
    bool Progress(std::string_view what, int percent) override;
    DateTime Now() override;

    // The work is over (the command ended, or a dialog is about to ask something).
    void EndProgress();

    // Set by tests to answer without showing a dialog.
    std::function<std::optional<QString>(const FileRequest&)> fileHook;
    std::function<void(const QString&)> messageHook;
    std::function<Answer(const QString&, bool)> questionHook;
    std::function<DateTime()> clockHook;
    // Set when the program is to end: long work stops at its next progress report.
    std::atomic<bool> stopWork{false};
    // Work shorter than this shows no progress dialog: it would only flash.
    int showProgressAfterMs = 500;
    // Called to draw the status texts.
    std::function<void()> statusHook;

    // "parameter files (*.zpa)|*.ZPA" -> "parameter files (*.zpa *.ZPA)".
    static QString QtFilter(const std::string& filter);

  private:
    // Runs `f` on the window's thread, waiting for it when called from a worker.
    template <class F>
    void OnWindowThread(F&& f);
    void ShowMessageHere(const std::string& text, Severity severity);
    Answer AskHere(const std::string& question, bool withCancel);
    std::optional<std::string> ChooseFileHere(const FileRequest& request);
    bool ProgressHere(std::string_view what, int percent, bool pumpEvents);

    QWidget* parent_;
    QString lastParamsName_;
    QElapsedTimer progressClock_;  // since the start of the current work
    QPointer<QProgressDialog> progressDialog_;
};

}  // namespace tarnwick::gui
