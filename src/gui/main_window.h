#pragma once
// The main window TForm1: menu bar, page area and status bar. It forwards every event to one
// core operation and then draws what the session holds.

#include <QMainWindow>
#include <functional>
#include <memory>

#include "core/session/session.h"
#include "gui/qt_platform.h"

class QAction;
class QLabel;
class QPlainTextEdit;
class QStackedWidget;
class QButtonGroup;

namespace tarnwick::gui {

class CodingPage;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    Session& session() { return *session_; }
    QtPlatform& platform() { return platform_; }

    // Runs one command: holds it back while another runs (status updates let events through),
    // shows an input/output failure in a message box, then redraws the window.
    void RunCommand(const std::function<void()>& command);
    // Draws the whole window from the session.
    void Refresh();

public slots:
    void mainMenuKodowanieClick();
    void mainMenuNotatnikClick();
    void mainMenuRaportClick();
    void mainMenuDaneClick();
    void mainMenuOpcjeClick();
    void mainMenuZnajdzClick();
    void mainMenuZapiszClick();
    void mainMenuInfoClick();
    void mainMenuZakonczClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void SetUiTexts();
    void BuildMenus();
    void BuildPages();
    void DrawStatus();

    QtPlatform platform_;
    std::unique_ptr<Session> session_;
    bool busy_ = false;
    bool closing_ = false;

    QAction* mainMenuKodowanie_ = nullptr;
    QAction* mainMenuNotatnik_ = nullptr;
    QAction* mainMenuRaport_ = nullptr;
    QAction* mainMenuDane_ = nullptr;
    QAction* mainMenuOpcje_ = nullptr;
    QAction* mainMenuZnajdz_ = nullptr;
    QAction* mainMenuZapisz_ = nullptr;
    QAction* mainMenuInfo_ = nullptr;
    QAction* mainMenuZakoncz_ = nullptr;

    QStackedWidget* pages_ = nullptr;
    CodingPage* codingPage_ = nullptr;
    QWidget* notepadPage_ = nullptr;
    QWidget* reportPage_ = nullptr;
    QWidget* optionsPage_ = nullptr;
    QWidget* errorPage_ = nullptr;
    QPlainTextEdit* memo2_ = nullptr;      // error lines
    QPlainTextEdit* richEdit13_ = nullptr; // notepad
    QPlainTextEdit* richEdit14_ = nullptr; // session report
    QButtonGroup* radioGroup1_ = nullptr;
    QButtonGroup* radioGroup2_ = nullptr;
    QLabel* statusNotice_ = nullptr;
    QLabel* statusProgress_ = nullptr;
    size_t shownErrorLines_ = 0;
    bool drawingEdits_ = false;
};

}  // namespace tarnwick::gui
