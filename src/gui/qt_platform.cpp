#include "gui/qt_platform.h"

#include <QCoreApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProgressDialog>
#include <QThread>
#include <string_view>

#include "gui/convert.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

void ShowBox(QWidget* parent, QMessageBox::Icon icon, const QString& text) {
    QMessageBox box(icon, QCoreApplication::applicationName(), text, QMessageBox::Ok, parent);
    box.exec();
}

}  // namespace

template <class F>
void QtPlatform::OnWindowThread(F&& f) {
    QObject* app = QCoreApplication::instance();
    if (QThread::currentThread() == app->thread()) {
        f();
        return;
    }
    QMetaObject::invokeMethod(app, std::forward<F>(f), Qt::BlockingQueuedConnection);
}

void QtPlatform::ShowMessage(const std::string& text, Severity severity) {
    OnWindowThread([&] { ShowMessageHere(text, severity); });
}

Answer QtPlatform::Ask(const std::string& question, bool withCancel) {
    Answer a = Answer::Cancel;
    OnWindowThread([&] { a = AskHere(question, withCancel); });
    return a;
}

std::optional<std::string> QtPlatform::ChooseFile(const FileRequest& request) {
    std::optional<std::string> chosen;
    OnWindowThread([&] { chosen = ChooseFileHere(request); });
    return chosen;
}

bool QtPlatform::Progress(std::string_view what, int percent) {
    // A worker's window thread is free to draw; only work on the window's own thread must let
    // the events in.
    const bool pump = QThread::currentThread() == QCoreApplication::instance()->thread();
    bool goOn = true;
    OnWindowThread([&] { goOn = ProgressHere(what, percent, pump); });
    return goOn;
}

void QtPlatform::ShowMessageHere(const std::string& text, Severity severity) {
    EndProgress();
    if (stopWork) return;  // the program ends: nobody waits for a box to be read
    const QString t = FromBytes(text);
    if (messageHook) {
        messageHook(t);
        return;
    }
    ShowBox(parent_, severity == Severity::Fault ? QMessageBox::Critical : QMessageBox::Information,
            t);
}

Answer QtPlatform::AskHere(const std::string& question, bool withCancel) {
    EndProgress();
    // The program ends: the answer that changes nothing, as Escape would give.
    if (stopWork) return withCancel ? Answer::Cancel : Answer::No;
    const QString q = FromBytes(question);
    if (questionHook) return questionHook(q, withCancel);
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Question, QCoreApplication::applicationName(), q, buttons,
                    parent_);
    box.setDefaultButton(QMessageBox::Yes);
    const int r = box.exec();
    if (r == QMessageBox::Yes) return Answer::Yes;
    if (r == QMessageBox::No) return Answer::No;
    return Answer::Cancel;
}

QString QtPlatform::QtFilter(const std::string& filter) {
    const size_t bar = filter.find('|');
    if (bar == std::string::npos) return FromBytes(filter);
    QString description = FromBytes(std::string_view(filter).substr(0, bar));
    const QString mask = FromBytes(std::string_view(filter).substr(bar + 1));
    // File names are case-sensitive here: offer the mask in both letter cases.
    const int open = description.indexOf(u'(');
    if (open >= 0) description = description.left(open).trimmed();
    return description + u" ("_s + mask.toLower() + u' ' + mask.toUpper() + u')';
}

std::optional<std::string> QtPlatform::ChooseFileHere(const FileRequest& request) {
    EndProgress();
    if (stopWork) return std::nullopt;
    std::optional<QString> chosen;
    if (fileHook) {
        chosen = fileHook(request);
    } else {
        QString start = FromPath(request.initialFolder);
        if (request.keepLastName && !lastParamsName_.isEmpty()) start = lastParamsName_;
        const QString name = QFileDialog::getOpenFileName(parent_, FromBytes(request.title), start,
                                                          QtFilter(request.filter));
        if (!name.isEmpty()) chosen = name;
    }
    if (!chosen) return std::nullopt;
    if (request.keepLastName) lastParamsName_ = *chosen;
    return ToPath(QFileInfo(*chosen).absoluteFilePath());
}

void QtPlatform::StatusChanged() {
    const bool pump = QThread::currentThread() == QCoreApplication::instance()->thread();
    OnWindowThread([&] {
        if (statusHook) statusHook();
        if (pump) QCoreApplication::processEvents();
    });
}

bool QtPlatform::ProgressHere(std::string_view what, int percent, bool pumpEvents) {
    if (percent >= 100) {
        EndProgress();
        return true;
    }
    if (!progressClock_.isValid()) progressClock_.start();
    if (!progressDialog_ && progressClock_.elapsed() >= showProgressAfterMs) {
        auto* dialog = new QProgressDialog(parent_);
        dialog->setObjectName(u"progressDialog"_s);
        dialog->setWindowTitle(QCoreApplication::applicationName());
        dialog->setWindowModality(Qt::WindowModal);
        dialog->setRange(0, 100);
        dialog->setMinimumDuration(0);
        dialog->setAutoReset(false);
        dialog->setAutoClose(false);
        progressDialog_ = dialog;
        dialog->show();
    }
    if (progressDialog_) {
        progressDialog_->setLabelText(FromBytes(what));
        progressDialog_->setValue(percent);
    }
    // Lets the window draw itself and the Cancel button be pressed.
    if (pumpEvents) QCoreApplication::processEvents();
    return !stopWork && !(progressDialog_ && progressDialog_->wasCanceled());
}

void QtPlatform::EndProgress() {
    progressClock_.invalidate();
    delete progressDialog_.data();
}

DateTime QtPlatform::Now() {
    DateTime now{};
    OnWindowThread([&] { now = clockHook ? clockHook() : LocalNow(); });
    return now;
}

}  // namespace tarnwick::gui
