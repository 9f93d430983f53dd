#pragma once
// SIGTERM and SIGHUP (the desktop session ending, kill) reach the window as a Qt signal: the
// handler only writes the signal's number into a socket pair, which a QSocketNotifier reads in
// the event loop, where saving is safe.

#include <QObject>

class QSocketNotifier;

namespace tarnwick::gui {

class EndSignals : public QObject {
    Q_OBJECT
  public:
    // Installs the handlers; one object per program.
    explicit EndSignals(QObject* parent = nullptr);
    ~EndSignals() override;

  signals:
    void Arrived(int signal);

  private:
    void Read();
    QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tarnwick::gui
