#include <QApplication>
#include <csignal>

#include "gui/main_window.h"

int main(int argc, char** argv) {
    // A write past the file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    tarnwick::gui::TForm1 window;
    window.show();
    return app.exec();
}
