#pragma once
// The main window TForm1: the menu bar, the start page or the pages, and the status line. Each
// piece is a class of its own; the window puts them together, runs their commands through one
// command runner and keeps the keyboard where the coder types.

#include <QMainWindow>
#include <memory>
#include <string>

#include "core/data/exports.h"
#include "core/session/session.h"
#include "gui/command_runner.h"
#include "gui/main_menu.h"
#include "gui/qt_platform.h"

class QStackedWidget;
class QTimer;

namespace tarnwick::team {
class TeamLink;
}

namespace tarnwick::gui {

class BackgroundWork;
class CodingPage;
class ErrorPage;
class FocusKeeper;
class OptionsPage;
class StartPage;
class StatusLine;
class TeamPage;
class TextPage;
struct ProjectFiles;

class TForm1 : public QMainWindow {
    Q_OBJECT
  public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    Session& session() { return *session_; }
    QtPlatform& platform() { return platform_; }
    // Draws the whole window from the session.
    void Refresh();
    // SIGTERM or SIGHUP: writes the unsaved codes when no question is needed (the coding journal
    // holds them in any case), lets go of the project's lock and ends the program.
    void EndOnSignal(int signal);

  public slots:
    // The menu commands; the old menu items' names are the actions' objectNames.
    void ReturnToCodingCommand();  // mainMenuKodowanieClick
    void OpenProjectCommand();     // mainMenuDaneClick
    void FindNotCodedCommand();    // mainMenuZnajdzClick
    void SaveResultsCommand();     // mainMenuZapiszClick
    void ShowAboutCommand();       // mainMenuInfoClick
    void QuitCommand();            // mainMenuZakonczClick
    // A project shared by a team in PostgreSQL: opened from the database.
    void OpenTeamProjectCommand();
    // Automatic coding: the target and the figures, the codes, then the offer of a review.
    void AutoCodeCommand();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildPages();
    void ConnectPages();
    void ConnectMenu();
    // A command that ends on the coding page, the keyboard in the key-word box.
    void CodingCommand(void (*command)(Session&));
    void ExportCommand(ExportFormat format);  // Export as..., one item per format
    void OpenGivenProject(const ProjectFiles& files);
    void OpenDemoProject();
    void ProjectOpened();
    // Sends what waits and takes the other coders' codes (a timer, between commands).
    void PollTeam();
    void EndTeam();
    void AllowInput(bool allow);

    QtPlatform platform_;
    std::unique_ptr<Session> session_;
    std::unique_ptr<CommandRunner> runner_;
    int pendingSignal_ = 0;  // SIGTERM or SIGHUP came while long work ran

    FocusKeeper* focus_ = nullptr;
    MainMenu* menu_ = nullptr;
    StatusLine* status_ = nullptr;
    BackgroundWork* background_ = nullptr;
    StartPage* startPage_ = nullptr;
    QStackedWidget* pages_ = nullptr;  // PageControl1
    CodingPage* codingPage_ = nullptr;
    TextPage* notepadPage_ = nullptr;
    TextPage* reportPage_ = nullptr;
    OptionsPage* optionsPage_ = nullptr;
    ErrorPage* errorPage_ = nullptr;
    TeamPage* teamPage_ = nullptr;
    std::unique_ptr<team::TeamLink> team_;
    QTimer* teamPoll_ = nullptr;
    std::string lastTeamNotice_;
    int teamTicks_ = 0;
    QTimer* lockHeartbeat_ = nullptr;  // touches the project's lock every minute
};

}  // namespace tarnwick::gui
