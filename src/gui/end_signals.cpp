#include "gui/end_signals.h"

#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>

namespace tarnwick::gui {

namespace {

int pipeEnds[2] = {-1, -1};

void Note(int signal) {
    const int saved = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    if (::write(pipeEnds[0], &number, 1) < 0) {
        // Nothing more can be done inside a handler.
    }
    errno = saved;
}

}  // namespace

EndSignals::EndSignals(QObject* parent) : QObject(parent) {
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pipeEnds) != 0) return;
    notifier_ = new QSocketNotifier(pipeEnds[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &EndSignals::Read);
    struct sigaction action {};
    action.sa_handler = Note;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

EndSignals::~EndSignals() {
    signal(SIGTERM, SIG_DFL);
    signal(SIGHUP, SIG_DFL);
    for (int& end : pipeEnds) {
        if (end >= 0) ::close(end);
        end = -1;
    }
}

void EndSignals::Read() {
    unsigned char number = 0;
    if (::read(pipeEnds[1], &number, 1) == 1) emit Arrived(number);
}

}  // namespace tarnwick::gui
