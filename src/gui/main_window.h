#pragma once
// The main window TForm1: menu bar, page area and status bar. It forwards every event to one
// core operation and then draws what the session holds.

#include <QMainWindow>
#include <QPointer>
#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "core/data/exports.h"
#include "core/project/suggestions.h"
#include "core/session/session.h"
#include "gui/qt_platform.h"

class QAction;
class QMenu;
class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QStackedWidget;
class QButtonGroup;
class QTimer;

namespace tarnwick::team {
class TeamLink;
}

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
    // The same for work that may last (opening, saving, exporting): it runs on a worker thread
    // while the window keeps drawing itself and its progress bar, taking no other input.
    void RunLongCommand(const std::function<void()>& command);
    // Draws the whole window from the session.
    void Refresh();
    // SIGTERM or SIGHUP: writes the unsaved codes when no question is needed (the coding journal
    // holds them in any case), lets go of the project's lock and ends the program.
    void EndOnSignal(int signal);

  public slots:
    // The menu commands; the old menu items' names are the actions' objectNames.
    void ReturnToCodingCommand();  // mainMenuKodowanieClick
    void ShowNotepadCommand();     // mainMenuNotatnikClick
    void ShowReportCommand();      // mainMenuRaportClick
    void OpenProjectCommand();     // mainMenuDaneClick
    void ShowOptionsCommand();     // mainMenuOpcjeClick
    void FindNotCodedCommand();    // mainMenuZnajdzClick
    void SaveResultsCommand();     // mainMenuZapiszClick
    void ShowAboutCommand();       // mainMenuInfoClick
    void QuitCommand();            // mainMenuZakonczClick
    // A project shared by a team in PostgreSQL: opened from the database, and its Team page.
    void OpenTeamProjectCommand();
    void ShowTeamPageCommand();
    // Automatic coding: the target and the figures, the codes, then the offer of a review; the
    // review of the sample, and leaving it.
    void AutoCodeCommand();
    void ReviewCommand();
    void LeaveReviewCommand();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void KeepTypingFocus();
    // Gives the keyboard back to `preferred`, or where the coder last typed.
    void ReturnFocus(QWidget* preferred = nullptr);
    void SetUiTexts();
    void BuildMenus();
    void BuildPages();
    void ExportCommand(ExportFormat format);  // Export as..., one item per format
    void BuildNotepadPage();
    void BuildReportPage();
    void BuildOptionsPage();
    void BuildErrorPage();
    void DrawStatus();
    // Sends what waits and takes the other coders' codes (a timer, between commands).
    void PollTeam();
    void EndTeam();
    // Prepares the suggestions on a worker while the coder begins; installs them when ready.
    void StartSuggestions();
    void SuggestionsPrepared(const std::shared_ptr<PreparedSuggestions>& prepared);
    void StopSuggestions();
    // The learnt model beside the memory, rebuilt on a worker once the memory has stood still
    // for a moment; until it is in, the memory ranks alone.
    void ConsiderModel();
    void ModelBuilt(const std::shared_ptr<const LearntModel>& model);
    void StopModel();
    // Size, place and splitter positions of the last run, or a size that fits the screen.
    void RestoreWindowState();
    void SaveWindowState();

    QtPlatform platform_;
    std::unique_ptr<Session> session_;
    bool busy_ = false;
    QPointer<QWidget> typingFocus_;  // the last widget of this window with the keyboard
    bool longWork_ = false;          // a command runs on the worker thread
    int pendingSignal_ = 0;          // SIGTERM or SIGHUP came while it ran

    // Each action's objectName is its old menu item's name (mainMenuKodowanie ...).
    QAction* returnToCodingAction_ = nullptr;
    QAction* notepadAction_ = nullptr;
    QAction* reportAction_ = nullptr;
    QAction* openProjectAction_ = nullptr;
    QAction* optionsAction_ = nullptr;
    QAction* findNotCodedAction_ = nullptr;
    QAction* saveResultsAction_ = nullptr;
    QMenu* exportMenu_ = nullptr;  // mainMenuEksport: one action per format
    QAction* infoAction_ = nullptr;
    QAction* quitAction_ = nullptr;
    QAction* openTeamAction_ = nullptr;
    QAction* teamPageAction_ = nullptr;
    QMenu* autoCodingMenu_ = nullptr;  // mainMenuAutomatic
    QAction* autoCodeAction_ = nullptr;
    QAction* reviewAction_ = nullptr;
    QAction* leaveReviewAction_ = nullptr;

    QStackedWidget* pages_ = nullptr;  // PageControl1
    CodingPage* codingPage_ = nullptr;
    QWidget* notepadPage_ = nullptr;
    QWidget* reportPage_ = nullptr;
    QWidget* optionsPage_ = nullptr;
    QWidget* errorPage_ = nullptr;
    class TeamPage* teamPage_ = nullptr;
    std::unique_ptr<team::TeamLink> team_;
    QTimer* teamPoll_ = nullptr;
    std::string lastTeamNotice_;
    int teamTicks_ = 0;
    QPlainTextEdit* errorLinesEdit_ = nullptr;    // Memo2
    QPlainTextEdit* notepadEdit_ = nullptr;       // RichEdit13
    QPlainTextEdit* reportEdit_ = nullptr;        // RichEdit14, the session report
    QButtonGroup* notApplicableGroup_ = nullptr;  // RadioGroup1: show or hide not applicable
    QButtonGroup* afterCodingGroup_ = nullptr;    // RadioGroup2: where CODE moves on to
    QLabel* statusNotice_ = nullptr;
    QLabel* statusProgress_ = nullptr;
    QLabel* statusPace_ = nullptr;                 // share coded and codes per hour of this run
    QProgressBar* suggestionsProgress_ = nullptr;  // while the suggestions are prepared
    std::thread suggestionsWorker_;
    std::atomic<bool> stopSuggestions_{false};
    QTimer* modelTimer_ = nullptr;
    std::thread modelWorker_;
    std::atomic<bool> stopModel_{false};
    uint64_t modelSeen_ = 0;           // the memory's content hash at the last look
    QTimer* lockHeartbeat_ = nullptr;  // touches the project's lock every minute
    size_t shownErrorLines_ = 0;
    bool drawingEdits_ = false;
};

}  // namespace tarnwick::gui
