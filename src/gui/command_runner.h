#pragma once
// How the pages and the window run a core operation without knowing each other: one command at
// a time, a failure shown in a message box, then the window drawn again. Long work (opening,
// saving, exporting) runs on a worker thread while the window keeps drawing itself and its
// progress bar, taking no other input.

#include <functional>

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class QtPlatform;

class CommandRunner {
  public:
    struct Hooks {
        std::function<void()> redraw;          // after every command
        std::function<void(bool)> allowInput;  // off while long work runs, on again after it
        std::function<void()> afterLongWork;   // the keyboard back, a signal that came meanwhile
    };
    CommandRunner(Session& session, QtPlatform& platform, Hooks hooks);

    Session& session() const { return session_; }
    QtPlatform& platform() const { return platform_; }
    // A command runs (status updates let events through while it does).
    bool Busy() const { return busy_; }
    bool LongWorkRunning() const { return longWork_; }

    // Each returns false, doing nothing, while another command runs.
    bool Run(const std::function<void(Session&)>& command);
    bool RunLong(const std::function<void(Session&)>& command);
    // Work of the window's own that must not meet a command (a team poll): no message box for a
    // failure and no redraw.
    bool RunBare(const std::function<void()>& work);

  private:
    Session& session_;
    QtPlatform& platform_;
    Hooks hooks_;
    bool busy_ = false;
    bool longWork_ = false;
};

}  // namespace tarnwick::gui
