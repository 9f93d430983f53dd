#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QIcon>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "core/classification/profile.h"
#include "core/coding/navigation.h"
#include "core/coding/options.h"
#include "core/coding/pages.h"
#include "core/project/exit.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/review.h"
#include "core/project/safekeeping.h"
#include "core/project/saving.h"
#include "core/text/interface_texts.h"
#include "gui/about_box.h"
#include "gui/autocoding_dialog.h"
#include "gui/background_work.h"
#include "gui/coding_page.h"
#include "gui/convert.h"
#include "gui/focus_keeper.h"
#include "gui/shortcuts.h"
#include "gui/side_pages.h"
#include "gui/start_page.h"
#include "gui/status_line.h"
#include "gui/team_mode.h"
#include "gui/user_guide.h"
#include "gui/window_state.h"
#include "team/opening.h"
#include "team/sync.h"

// Resources of a static library must be registered by hand (outside any namespace).
static void InitTarnwickResources() { Q_INIT_RESOURCE(tarnwick); }

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), platform_(this), session_(std::make_unique<Session>(platform_)) {
    setObjectName("TForm1");
    InitTarnwickResources();
    setWindowIcon(QIcon(u":/tarnwick/tarnwick.png"_s));
    runner_ = std::make_unique<CommandRunner>(
        *session_, platform_,
        CommandRunner::Hooks{[this] { Refresh(); }, [this](bool on) { AllowInput(on); },
                             [this] {
                                 focus_->ReturnAfterLongWork();
                                 if (pendingSignal_ != 0) EndOnSignal(pendingSignal_);
                             }});
    menu_ = new MainMenu(menuBar());
    ConnectMenu();
    status_ = new StatusLine(statusBar());
    platform_.statusHook = [this] { status_->Draw(*session_); };
    background_ = new BackgroundWork(*runner_, this);
    connect(background_, &BackgroundWork::suggestionsProgress, status_,
            &StatusLine::ShowSuggestionsProgress);
    connect(background_, &BackgroundWork::suggestionsInstalled, this, &TForm1::Refresh);
    connect(background_, &BackgroundWork::modelInstalled, this,
            [this] { status_->Draw(*session_); });
    BuildPages();
    ConnectPages();
    setWindowTitle(FromBytes(UiText(Ui::WindowTitle)));
    session_->SetStatusNotice(kStatusNotice);
    // The keyboard's home: the key-word box while coding, else the start page's list.
    focus_ = new FocusKeeper(this, [this] {
        if (codingPage_->isVisible()) codingPage_->FocusKeyWords();
        if (startPage_->isVisible()) startPage_->Focus();
        return codingPage_->isVisible() || startPage_->isVisible();
    });

    // Other machines sharing the folder see from the lock's time that this program is alive.
    lockHeartbeat_ = new QTimer(this);
    lockHeartbeat_->setInterval(60 * 1000);
    connect(lockHeartbeat_, &QTimer::timeout, this, [this] {
        if (session_->Lock) session_->Lock->Heartbeat();
    });
    lockHeartbeat_->start();
    // A team project's codes travel between commands, never in the middle of one.
    teamPoll_ = new QTimer(this);
    teamPoll_->setInterval(2000);
    connect(teamPoll_, &QTimer::timeout, this, &TForm1::PollTeam);

    RestoreWindowState(*this);
    Refresh();
    startPage_->Focus();
}

// The workers read the session, which goes before the window's child objects do.
TForm1::~TForm1() { background_->Stop(); }

void TForm1::BuildPages() {
    // The start page stands where the pages will be until a project is open.
    auto* centre = new QWidget(this);
    centre->setObjectName("CentralArea");
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    startPage_ = new StartPage(centre);
    pages_ = new QStackedWidget(centre);
    pages_->setObjectName("PageControl1");
    layout->addWidget(startPage_);
    layout->addWidget(pages_);
    setCentralWidget(centre);
    codingPage_ = new CodingPage(*runner_, pages_);
    notepadPage_ = new TextPage(TextPage::Kind::Notepad, pages_);
    reportPage_ = new TextPage(TextPage::Kind::Report, pages_);
    optionsPage_ = new OptionsPage(pages_);
    errorPage_ = new ErrorPage(pages_);
    teamPage_ = new TeamPage(pages_);
    for (QWidget* page : std::initializer_list<QWidget*>{teamPage_, codingPage_, notepadPage_,
                                                         reportPage_, optionsPage_, errorPage_}) {
        pages_->addWidget(page);
    }
    pages_->setVisible(false);
}

void TForm1::ConnectPages() {
    auto run = [this](auto&& f) { runner_->Run(f); };
    connect(notepadPage_, &TextPage::edited, this, [run](const QString& text) {
        run([&](Session& s) { SetNotepad(s, SplitToLines(text)); });
    });
    connect(reportPage_, &TextPage::edited, this, [run](const QString& text) {
        run([&](Session& s) { SetReport(s, SplitToLines(text)); });
    });
    connect(optionsPage_, &OptionsPage::showNotApplicableChosen, this,
            [run](bool show) { run([&](Session& s) { SetShowNotApplicable(s, show); }); });
    connect(optionsPage_, &OptionsPage::afterCodingChosen, this, [run](int index) {
        run([&](Session& s) {
            if (const auto mode = AfterCodingModeOf(index)) SetAfterCodingMode(s, *mode);
        });
    });
    connect(optionsPage_, &OptionsPage::identicalTextOnlyChosen, this, [run](bool textOnly) {
        run([&](Session& s) { SetIdenticalTextFieldsOnly(s, textOnly); });
    });
    connect(teamPage_, &TeamPage::settleRequested, this,
            [this](int record, int field, const QString& code) {
                if (!team_) return;
                runner_->Run([&](Session&) {
                    teamPage_->Settle(*team_, record, field, code, [this](const std::string& e) {
                        platform_.ShowMessage(e, Severity::Fault);
                    });
                });
            });
    connect(startPage_, &StartPage::openRequested, this, &TForm1::OpenGivenProject);
    connect(startPage_, &StartPage::demoRequested, this, &TForm1::OpenDemoProject);
    connect(startPage_, &StartPage::openWithDialogsRequested, this, &TForm1::OpenProjectCommand);
    connect(startPage_, &StartPage::openTeamRequested, this, &TForm1::OpenTeamProjectCommand);
}

void TForm1::ConnectMenu() {
    using C = MainMenu::Command;
    auto page = [this](Page p) { runner_->Run([p](Session& s) { ShowSidePage(s, p); }); };
    const std::pair<C, std::function<void()>> commands[] = {
        {C::ReturnToCoding, [this] { ReturnToCodingCommand(); }},
        {C::Notepad, [page] { page(Page::Notepad); }},
        {C::Report, [page] { page(Page::Report); }},
        {C::Options, [page] { page(Page::Options); }},
        {C::TeamPage,
         [this, page] {
             if (!team_) return;
             page(Page::Team);
             teamPage_->Reload(*team_);
         }},
        {C::OpenProject, [this] { OpenProjectCommand(); }},
        {C::OpenTeamProject, [this] { OpenTeamProjectCommand(); }},
        {C::FindNotCoded, [this] { FindNotCodedCommand(); }},
        {C::AutoCode, [this] { AutoCodeCommand(); }},
        {C::Review, [this] { CodingCommand([](Session& s) { StartReview(s); }); }},
        {C::LeaveReview, [this] { CodingCommand([](Session& s) { LeaveReview(s); }); }},
        {C::SaveResults, [this] { SaveResultsCommand(); }},
        {C::ExportSav, [this] { ExportCommand(ExportFormat::Sav); }},
        {C::ExportZsav, [this] { ExportCommand(ExportFormat::Zsav); }},
        {C::ExportDta, [this] { ExportCommand(ExportFormat::Dta); }},
        {C::ExportCsv, [this] { ExportCommand(ExportFormat::Csv); }},
        {C::About, [this] { ShowAboutCommand(); }},
        {C::Quit, [this] { QuitCommand(); }},
        {C::UserGuide, [this] { UserGuide(this).exec(); }},
        {C::Shortcuts, [this] { ShowShortcutTable(this); }}};
    for (const auto& [command, run] : commands) {
        connect(menu_->Action(command), &QAction::triggered, this, run);
    }
}

void TForm1::Refresh() {
    Session& s = *session_;
    // A classification of its own names itself in the title; without one it is VKT-2009's.
    const QString title = s.ClassificationLoaded && s.Clf.Profile
                              ? FromBytes(std::string(msg::kWindowTitleOwnClassification) +
                                          ClassificationDisplayName(s.Clf))
                              : FromBytes(UiText(Ui::WindowTitle));
    if (windowTitle() != title) setWindowTitle(title);
    menu_->Render(s, team_ != nullptr);
    codingPage_->SetReadOnly(s.ReadOnly);
    startPage_->setVisible(!s.PageAreaVisible && !s.SessionStarted);
    pages_->setVisible(s.PageAreaVisible);
    QWidget* front = nullptr;
    switch (s.FrontPage) {
        case Page::Coding:
            front = codingPage_;
            break;
        case Page::Notepad:
            front = notepadPage_;
            break;
        case Page::Report:
            front = reportPage_;
            break;
        case Page::Options:
            front = optionsPage_;
            break;
        case Page::Error:
            front = errorPage_;
            break;
        case Page::Team:
            front = teamPage_;
            break;
        case Page::None:
            break;
    }
    if (front != nullptr) pages_->setCurrentWidget(front);
    errorPage_->Render(s);
    notepadPage_->Render(s);
    reportPage_->Render(s);
    optionsPage_->Render(s);
    if (s.SessionStarted) codingPage_->Render(s);
    status_->Draw(s);
}

void TForm1::CodingCommand(void (*command)(Session&)) {
    if (!session_->SessionStarted) return;
    runner_->Run(command);
    codingPage_->FocusKeyWords();
}

void TForm1::ReturnToCodingCommand() {
    CodingCommand([](Session& s) { ReturnToCoding(s); });
}

void TForm1::FindNotCodedCommand() {
    CodingCommand([](Session& s) {
        FindNotCoded(s);
        FollowReview(s);
    });
}

void TForm1::OpenProjectCommand() {
    const std::string progressBefore = session_->ProgressText;
    runner_->RunLong([](Session& s) { OpenProject(s); });
    // A step that failed leaves the rest of a recent project's files: the next Open asks.
    session_->GivenFiles.clear();
    if (session_->SessionStarted) {
        RememberProject({FromBytes(ParamsPath(*session_)), FromBytes(session_->ClassificationPath),
                         FromBytes(session_->DataPath())});
        ProjectOpened();
    } else if (session_->ProgressText != progressBefore) {
        // Nothing is being read any more: "Reading input data ..." would say otherwise.
        session_->ProgressText = progressBefore;
        status_->Draw(*session_);
    }
}

void TForm1::OpenGivenProject(const ProjectFiles& files) {
    if (runner_->Busy() || session_->SessionStarted) return;
    for (const QString& file : files.List()) {
        if (!QFileInfo::exists(file)) {
            platform_.ShowMessage(ToBytes(u"The project's file "_s + file +
                                          u" is no longer there; it is taken off the list."_s),
                                  Severity::Information);
            ForgetProject(files);
            startPage_->Reload();
            return;
        }
    }
    session_->GivenFiles.clear();
    for (const QString& file : files.List()) session_->GivenFiles.push_back(ToBytes(file));
    OpenProjectCommand();
}

void TForm1::OpenDemoProject() {
    QString error;
    if (const std::optional<ProjectFiles> files = DemoProject(error)) {
        OpenGivenProject(*files);
    } else {
        platform_.ShowMessage(ToBytes(error), Severity::Fault);
    }
}

void TForm1::ProjectOpened() {
    background_->StartSuggestions();
    codingPage_->FocusKeyWords();
}

void TForm1::OpenTeamProjectCommand() {
    if (runner_->Busy() || session_->SessionStarted) return;
    const std::optional<TeamLogin> login = AskTeamLogin(this);
    if (!login) return;
    team::OpenedTeamProject opened;
    runner_->RunLong([&](Session& s) {
        opened = team::OpenTeamProject(
            s, {ToBytes(login->conninfo), ToBytes(login->password), ToBytes(login->coder), ""});
    });
    if (!opened.link) return;
    team_ = std::move(opened.link);
    teamPoll_->start();
    Refresh();
    ProjectOpened();
}

void TForm1::PollTeam() {
    // Not while a dialog of this window is open: the codes wait for the next tick.
    if (!team_ || QApplication::activeModalWidget()) return;
    int taken = 0;
    if (!runner_->RunBare([&] { taken = team_->Poll(); })) return;
    if (taken > 0 || session_->StatusNotice != lastTeamNotice_) Refresh();
    lastTeamNotice_ = session_->StatusNotice;
    // The supervisor watching the Team page sees the figures move, every ten seconds.
    if (session_->FrontPage == Page::Team && session_->PageAreaVisible && ++teamTicks_ % 5 == 0) {
        teamPage_->Reload(*team_);
    }
}

void TForm1::EndTeam() {
    if (!team_) return;
    teamPoll_->stop();
    team_->Detach();
    team_.reset();
}

void TForm1::AutoCodeCommand() {
    if (runner_->Busy() || !session_->SessionStarted) return;
    RunAutoCoding(this, *runner_, [this] { codingPage_->FocusKeyWords(); });
}

void TForm1::SaveResultsCommand() {
    runner_->RunLong([](Session& s) { SaveResults(s); });
}

void TForm1::ExportCommand(ExportFormat format) {
    runner_->RunLong([this, format](Session& s) {
        std::string written = msg::kExportWrittenAs;
        const std::vector<std::string> paths = ExportFinalOutput(s, format);
        if (paths.empty()) return;  // cancelled on the progress bar
        for (const std::string& path : paths) written += " " + path;
        platform_.ShowMessage(written, Severity::Information);
    });
}

void TForm1::ShowAboutCommand() {
    if (runner_->Busy()) return;
    TAboutBox box(this);
    box.exec();
}

void TForm1::QuitCommand() { close(); }

void TForm1::closeEvent(QCloseEvent* event) {
    bool mayEnd = false;
    // While a load runs the coder can close once it has ended.
    if (!runner_->Run([&](Session& s) { mayEnd = MayEnd(s); }) || !mayEnd) {
        event->ignore();
        return;
    }
    EndTeam();
    SaveWindowState(*this);
    event->accept();
}

void TForm1::EndOnSignal(int signal) {
    // Work on the worker thread is stopped at its next progress report (cancelling it loses
    // nothing) and the program ends when it has returned: leaving now would leave the worker
    // waiting for this thread.
    if (runner_->LongWorkRunning()) {
        pendingSignal_ = signal;
        platform_.stopWork = true;
        // A box the work waits on would hold the end until someone closed it (at a logout,
        // until SIGKILL): closed, it answers as Escape does, and no other box opens.
        if (QWidget* box = QApplication::activeModalWidget()) box->close();
        return;
    }
    // While a command waits in a dialog, its state is half-way: the journal holds every code.
    if (!runner_->Busy()) SaveOnSignal(*session_);
    EndTeam();
    ReleaseProject(*session_);
    QCoreApplication::exit(128 + signal);
}

void TForm1::AllowInput(bool allow) {
    // Disabling the window takes the focus away; it is given back when the work is done.
    if (!allow) focus_->HoldForLongWork();
    centralWidget()->setEnabled(allow);
    menuBar()->setEnabled(allow);
}

}  // namespace tarnwick::gui
