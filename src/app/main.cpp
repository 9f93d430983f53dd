#include <QApplication>
#include <csignal>

#include "gui/end_signals.h"
#include "gui/main_window.h"

int main(int argc, char** argv) {
    // A write past the file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    tarnwick::gui::TForm1 window;
    // The end of the desktop session or a kill: codes saved, lock released, no word lost.
    tarnwick::gui::EndSignals endSignals;
    QObject::connect(&endSignals, &tarnwick::gui::EndSignals::Arrived, &window,
                     [&window](int signal) { window.EndOnSignal(signal); });
    window.show();
    return app.exec();
}
