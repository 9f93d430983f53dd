#include "gui/command_runner.h"

#include <QEventLoop>
#include <exception>
#include <thread>

#include "core/io/files.h"
#include "core/session/session.h"
#include "gui/qt_platform.h"

namespace tarnwick::gui {

namespace {

// Runs the command, turning a failure into its message box.
void RunShowingFailures(QtPlatform& platform, const std::function<void()>& command) {
    try {
        command();
    } catch (const IoError& e) {
        platform.ShowMessage(e.what(), Severity::Fault);
    } catch (const std::exception& e) {
        // A fault of the program itself: say so, keep the session and its codes.
        platform.ShowMessage(std::string("Unexpected error: ") + e.what(), Severity::Fault);
    } catch (...) {
        platform.ShowMessage("Unexpected error", Severity::Fault);
    }
}

}  // namespace

CommandRunner::CommandRunner(Session& session, QtPlatform& platform, Hooks hooks)
    : session_(session), platform_(platform), hooks_(std::move(hooks)) {}

bool CommandRunner::Run(const std::function<void(Session&)>& command) {
    if (busy_) return false;
    busy_ = true;
    RunShowingFailures(platform_, [&] { command(session_); });
    platform_.EndProgress();
    busy_ = false;
    if (hooks_.redraw) hooks_.redraw();
    return true;
}

bool CommandRunner::RunLong(const std::function<void(Session&)>& command) {
    if (busy_) return false;
    busy_ = true;
    if (hooks_.allowInput) hooks_.allowInput(false);
    QEventLoop loop;
    longWork_ = true;
    std::thread worker([&] {
        RunShowingFailures(platform_, [&] { command(session_); });
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    longWork_ = false;
    if (hooks_.allowInput) hooks_.allowInput(true);
    platform_.EndProgress();
    busy_ = false;
    if (hooks_.redraw) hooks_.redraw();
    if (hooks_.afterLongWork) hooks_.afterLongWork();
    return true;
}

bool CommandRunner::RunBare(const std::function<void()>& work) {
    if (busy_) return false;
    busy_ = true;
    struct Done {
        bool& busy;
        ~Done() { busy = false; }
    } done{busy_};
    work();
    return true;
}

}  // namespace tarnwick::gui
