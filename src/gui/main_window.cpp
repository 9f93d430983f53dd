#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProgressBar>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QSplitter>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>
#include <thread>

#include "core/classification/profile.h"
#include "core/coding/navigation.h"
#include "core/coding/options.h"
#include "core/coding/pages.h"
#include "core/coding/progress.h"
#include "core/io/files.h"
#include "core/project/autocoding_offer.h"
#include "core/project/exit.h"
#include "core/project/opening.h"
#include "core/project/review.h"
#include "core/project/safekeeping.h"
#include "core/project/saving.h"
#include "core/project/suggestions.h"
#include "core/text/interface_texts.h"
#include "gui/about_box.h"
#include "gui/autocoding_dialog.h"
#include "gui/coding_page.h"
#include "gui/convert.h"
#include "gui/shortcuts.h"
#include "gui/team_mode.h"
#include "gui/window_texts.h"
#include "team/opening.h"
#include "team/sync.h"
#include "team/team_texts.h"

// Resources of a static library must be registered by hand (outside any namespace).
static void InitTarnwickResources() { Q_INIT_RESOURCE(tarnwick); }

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

// Counts as a reader takes them in at a glance: "1,074,999 occupations", in the status line only
// (the report keeps the program's own texts).
QString GroupedDigits(const QString& text) {
    QString out;
    qsizetype total = 0;  // digits of the number the loop is in
    qsizetype left = 0;   // of them, this one and those after it
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isDigit() && (i == 0 || !text.at(i - 1).isDigit())) {
            total = 0;
            while (i + total < text.size() && text.at(i + total).isDigit()) ++total;
            left = total;
        }
        if (c.isDigit() && total > 3 && left < total && left % 3 == 0) out += u',';
        out += c;
        if (c.isDigit()) --left;
    }
    return out;
}

// A page's header strip: a bold caption over the page's width.
QLabel* HeaderStrip(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(Qt::AlignCenter);
    label->setFrameShape(QFrame::StyledPanel);
    label->setMargin(6);
    return label;
}

}  // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent), platform_(this), session_(std::make_unique<Session>(platform_)) {
    setObjectName("TForm1");
    InitTarnwickResources();
    setWindowIcon(QIcon(u":/tarnwick/tarnwick.png"_s));
    platform_.statusHook = [this] { DrawStatus(); };
    BuildMenus();
    BuildPages();

    statusNotice_ = new QLabel(this);
    statusNotice_->setObjectName("StatusPanel0");
    statusNotice_->setMinimumWidth(100);  // and wider for "Saved 1,234 codes to ..."
    statusProgress_ = new QLabel(this);
    statusProgress_->setObjectName("StatusPanel1");
    statusBar()->setObjectName("StatusBar1");
    statusBar()->addPermanentWidget(statusNotice_);
    statusBar()->addPermanentWidget(statusProgress_, 1);
    statusPace_ = new QLabel(this);
    statusPace_->setObjectName("StatusPanel2");
    statusBar()->addPermanentWidget(statusPace_);
    suggestionsProgress_ = new QProgressBar(this);
    suggestionsProgress_->setObjectName("SuggestionsProgress");
    suggestionsProgress_->setRange(0, 100);
    suggestionsProgress_->setFormat(FromBytes(msg::kProgressSuggestions) + u" %p%"_s);
    suggestionsProgress_->setMaximumWidth(260);
    suggestionsProgress_->hide();
    statusBar()->addPermanentWidget(suggestionsProgress_);
    statusBar()->setSizeGripEnabled(true);

    SetUiTexts();
    session_->SetStatusNotice(kStatusNotice);

    KeepTypingFocus();

    // Other machines sharing the folder see from the lock's time that this program is alive.
    lockHeartbeat_ = new QTimer(this);
    lockHeartbeat_->setInterval(60 * 1000);
    connect(lockHeartbeat_, &QTimer::timeout, this, [this] {
        if (session_->Lock) session_->Lock->Heartbeat();
    });
    lockHeartbeat_->start();

    modelTimer_ = new QTimer(this);
    modelTimer_->setInterval(2000);
    connect(modelTimer_, &QTimer::timeout, this, &TForm1::ConsiderModel);
    modelTimer_->start();

    // A team project's codes travel between commands, never in the middle of one.
    teamPoll_ = new QTimer(this);
    teamPoll_->setInterval(2000);
    connect(teamPoll_, &QTimer::timeout, this, &TForm1::PollTeam);

    RestoreWindowState();
    Refresh();
}

namespace {

// The window's size and splitter positions, kept between runs.
QSettings WindowSettings() { return QSettings(u"Tarnwick"_s, u"Tarnwick"_s); }

}  // namespace

void TForm1::RestoreWindowState() {
    QSettings settings = WindowSettings();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1366, 768);
    if (!restoreGeometry(settings.value(u"window/geometry"_s).toByteArray())) {
        // The first start fills most of the screen, never less than the page's own size; room
        // is left for the title bar and the frame that the window manager adds.
        const QSize least(944,
                          744 + menuBar()->sizeHint().height() + statusBar()->sizeHint().height());
        const QSize most = area.size() - QSize(16, 48);
        const QSize wanted = least.expandedTo(QSize(most.width() * 9 / 10, most.height() * 9 / 10));
        resize(wanted.boundedTo(most));
        move(area.center() - rect().center());
    }
    for (QSplitter* splitter : findChildren<QSplitter*>()) {
        splitter->restoreState(
            settings.value(u"splitters/"_s + splitter->objectName()).toByteArray());
    }
}

void TForm1::SaveWindowState() {
    QSettings settings = WindowSettings();
    settings.setValue(u"window/geometry"_s, saveGeometry());
    for (const QSplitter* splitter : findChildren<QSplitter*>()) {
        settings.setValue(u"splitters/"_s + splitter->objectName(), splitter->saveState());
    }
}

TForm1::~TForm1() { StopSuggestions(); }

void TForm1::StopSuggestions() {
    StopModel();
    stopSuggestions_ = true;
    if (suggestionsWorker_.joinable()) suggestionsWorker_.join();
}

void TForm1::StopModel() {
    stopModel_ = true;
    if (modelWorker_.joinable()) modelWorker_.join();
}

void TForm1::ConsiderModel() {
    Session& s = *session_;
    if (busy_ || modelWorker_.joinable() || suggestionsWorker_.joinable() || !s.Suggester) return;
    const uint64_t hash = s.Memory.ContentHash();
    const bool moved = hash != modelSeen_;
    modelSeen_ = hash;
    // While the coder codes, the memory changes every few seconds: a model of each state would
    // be out of date before it is in.
    if (moved || s.Memory.Model() != nullptr ||
        s.Memory.AnswerCount() < SuggestionEngine::kModelAnswers) {
        return;
    }
    auto source = std::make_shared<ModelSource>(s.Memory.ModelSnapshot());
    const SuggestionEngine* engine = s.Suggester.get();  // replaced only after StopModel
    stopModel_ = false;
    modelWorker_ = std::thread([this, source, engine] {
        const WorkProgress progress{[this](int) { return !stopModel_.load(); }};
        std::shared_ptr<const LearntModel> model;
        try {
            model = engine->BuildModel(*source, progress);
        } catch (const std::exception&) {
            // Stopped, or out of memory: the memory goes on ranking alone.
        }
        QMetaObject::invokeMethod(
            this, [this, model] { ModelBuilt(model); }, Qt::QueuedConnection);
    });
}

void TForm1::ModelBuilt(const std::shared_ptr<const LearntModel>& model) {
    if (busy_) {  // a command holds the session: come back when it is done
        QTimer::singleShot(50, this, [this, model] { ModelBuilt(model); });
        return;
    }
    if (modelWorker_.joinable()) modelWorker_.join();
    if (!model || !session_->Suggester) return;
    // Kept even when the memory moved on meanwhile: an undo may bring it back. The case shown
    // keeps its list; the next one is ranked with the model.
    session_->Memory.KeepModel(model);
    session_->SetStatusNotice(
        msg::LearntModelBuilt(model->Documents(), model->Bytes(), model->seconds));
    DrawStatus();
}

void TForm1::StartSuggestions() {
    StopSuggestions();
    stopSuggestions_ = false;
    auto sources = std::make_shared<SuggestionSources>(BeginSuggestions(*session_));
    suggestionsProgress_->setValue(0);
    suggestionsProgress_->show();
    suggestionsWorker_ = std::thread([this, sources] {
        const WorkProgress progress{[this](int percent) {
            QMetaObject::invokeMethod(
                this, [this, percent] { suggestionsProgress_->setValue(percent); },
                Qt::QueuedConnection);
            return !stopSuggestions_.load();
        }};
        std::shared_ptr<PreparedSuggestions> prepared;
        try {
            prepared = std::make_shared<PreparedSuggestions>(BuildSuggestions(*sources, progress));
        } catch (const std::exception&) {
            // Stopped, or out of memory: the session goes on without suggestions.
        }
        QMetaObject::invokeMethod(
            this, [this, prepared] { SuggestionsPrepared(prepared); }, Qt::QueuedConnection);
    });
}

void TForm1::SuggestionsPrepared(const std::shared_ptr<PreparedSuggestions>& prepared) {
    if (busy_) {  // a command holds the session: come back when it is done
        QTimer::singleShot(50, this, [this, prepared] { SuggestionsPrepared(prepared); });
        return;
    }
    if (suggestionsWorker_.joinable()) suggestionsWorker_.join();
    suggestionsProgress_->hide();
    if (prepared) {
        InstallSuggestions(*session_, std::move(*prepared));
    } else {
        AbandonSuggestions(*session_);
    }
    Refresh();
}

void TForm1::BuildMenus() {
    auto add = [this](QAction*& action, const char* name, void (TForm1::*slot)()) {
        action = menuBar()->addAction(QString());
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
    };
    add(returnToCodingAction_, "mainMenuKodowanie", &TForm1::ReturnToCodingCommand);
    add(notepadAction_, "mainMenuNotatnik", &TForm1::ShowNotepadCommand);
    add(reportAction_, "mainMenuRaport", &TForm1::ShowReportCommand);
    add(openProjectAction_, "mainMenuDane", &TForm1::OpenProjectCommand);
    add(optionsAction_, "mainMenuOpcje", &TForm1::ShowOptionsCommand);
    add(findNotCodedAction_, "mainMenuZnajdz", &TForm1::FindNotCodedCommand);
    add(saveResultsAction_, "mainMenuZapisz", &TForm1::SaveResultsCommand);
    add(infoAction_, "mainMenuInfo", &TForm1::ShowAboutCommand);
    add(quitAction_, "mainMenuZakoncz", &TForm1::QuitCommand);
    add(openTeamAction_, "mainMenuTeamOpen", &TForm1::OpenTeamProjectCommand);
    add(teamPageAction_, "mainMenuTeam", &TForm1::ShowTeamPageCommand);
    // Beside Open project, and the Team page beside the report.
    menuBar()->insertAction(optionsAction_, openTeamAction_);
    menuBar()->insertAction(openProjectAction_, teamPageAction_);
    openTeamAction_->setText(FromBytes(msg::kOpenTeamProjectMenu));
    teamPageAction_->setText(FromBytes(msg::kTeamPageMenu));
    findNotCodedAction_->setShortcut(KeysOf(Key::FindNotCoded));
    saveResultsAction_->setShortcut(KeysOf(Key::SaveResults));

    auto* help = menuBar()->addMenu(u"&Help"_s);
    help->menuAction()->setObjectName("mainMenuHelp");
    auto* keys = help->addAction(u"&Keyboard shortcuts"_s);
    keys->setObjectName("mainMenuShortcuts");
    keys->setShortcut(KeysOf(Key::Help));
    connect(keys, &QAction::triggered, this, [this] { ShowShortcutTable(this); });

    // Automatic coding stands beside Find non-coded, the other way of getting through the cases.
    autoCodingMenu_ = new QMenu(this);
    autoCodingMenu_->setObjectName("mainMenuAutomaticMenu");
    autoCodingMenu_->menuAction()->setObjectName("mainMenuAutomatic");
    menuBar()->insertMenu(saveResultsAction_, autoCodingMenu_);
    auto addItem = [this](QAction*& action, const char* name, void (TForm1::*slot)()) {
        action = autoCodingMenu_->addAction(QString());
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
    };
    addItem(autoCodeAction_, "mainMenuAutoCode", &TForm1::AutoCodeCommand);
    addItem(reviewAction_, "mainMenuReview", &TForm1::ReviewCommand);
    addItem(leaveReviewAction_, "mainMenuLeaveReview", &TForm1::LeaveReviewCommand);
    autoCodeAction_->setShortcut(KeysOf(Key::CodeAutomatically));
    reviewAction_->setShortcut(KeysOf(Key::Review));

    // The exports stand beside Save results, before Info.
    exportMenu_ = new QMenu(this);
    exportMenu_->setObjectName("mainMenuEksportMenu");
    exportMenu_->menuAction()->setObjectName("mainMenuEksport");
    menuBar()->insertMenu(infoAction_, exportMenu_);
    const std::pair<const char*, ExportFormat> formats[] = {
        {"mainMenuEksportSav", ExportFormat::Sav},
        {"mainMenuEksportDta", ExportFormat::Dta},
        {"mainMenuEksportCsv", ExportFormat::Csv}};
    for (const auto& [name, format] : formats) {
        QAction* action = exportMenu_->addAction(QString());
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, [this, f = format] { ExportCommand(f); });
    }
}

void TForm1::BuildPages() {
    pages_ = new QStackedWidget(this);
    pages_->setObjectName("PageControl1");
    setCentralWidget(pages_);

    codingPage_ = new CodingPage(this, pages_);
    BuildNotepadPage();
    BuildReportPage();
    BuildOptionsPage();
    BuildErrorPage();
    teamPage_ = new TeamPage(pages_);
    connect(teamPage_, &TeamPage::settleRequested, this,
            [this](int record, int field, const QString& code) {
                if (!team_) return;
                RunCommand([&] {
                    try {
                        team::Settle(team_->Db(), record - 1, field - 1, ToBytes(code),
                                     team_->Coder());
                    } catch (const team::TeamError& e) {
                        platform_.ShowMessage(e.what(), Severity::Fault);
                    }
                });
                teamPage_->Reload(*team_);
            });
    pages_->addWidget(teamPage_);
    pages_->addWidget(codingPage_);
    pages_->addWidget(notepadPage_);
    pages_->addWidget(reportPage_);
    pages_->addWidget(optionsPage_);
    pages_->addWidget(errorPage_);
    pages_->setVisible(false);
}

void TForm1::BuildNotepadPage() {
    notepadPage_ = new QWidget(pages_);
    notepadPage_->setObjectName("TabSheet1");
    auto* layout = new QVBoxLayout(notepadPage_);
    auto* header = new QWidget(notepadPage_);
    auto* hl = new QVBoxLayout(header);
    auto* title = HeaderStrip(QString(), header);
    title->setObjectName("NotepadTitle");
    auto* line1 = new QLabel(header);
    line1->setObjectName("NotepadLine1");
    auto* line2 = new QLabel(header);
    line2->setObjectName("NotepadLine2");
    hl->addWidget(title);
    hl->addWidget(line1);
    hl->addWidget(line2);
    layout->addWidget(header);
    notepadEdit_ = new QPlainTextEdit(notepadPage_);
    notepadEdit_->setObjectName("RichEdit13");
    notepadEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(notepadEdit_, 1);
    connect(notepadEdit_, &QPlainTextEdit::textChanged, this, [this] {
        if (drawingEdits_) return;
        SetNotepad(*session_, SplitToLines(notepadEdit_->toPlainText()));
    });
}

void TForm1::BuildReportPage() {
    reportPage_ = new QWidget(pages_);
    reportPage_->setObjectName("TabSheet8");
    auto* layout = new QVBoxLayout(reportPage_);
    auto* title = HeaderStrip(QString(), reportPage_);
    title->setObjectName("ReportTitle");
    layout->addWidget(title);
    reportEdit_ = new QPlainTextEdit(reportPage_);
    reportEdit_->setObjectName("RichEdit14");
    layout->addWidget(reportEdit_, 1);
    connect(reportEdit_, &QPlainTextEdit::textChanged, this, [this] {
        if (drawingEdits_) return;
        SetReport(*session_, SplitToLines(reportEdit_->toPlainText()));
    });
}

void TForm1::BuildOptionsPage() {
    optionsPage_ = new QWidget(pages_);
    optionsPage_->setObjectName("TabSheet7");
    auto* layout = new QVBoxLayout(optionsPage_);
    auto* title = HeaderStrip(QString(), optionsPage_);
    title->setObjectName("OptionsTitle");
    layout->addWidget(title);
    auto* row = new QHBoxLayout();
    layout->addLayout(row);
    auto makeGroup = [&](const char* name, QButtonGroup*& group, int items) {
        auto* box = new QGroupBox(optionsPage_);
        box->setObjectName(name);
        auto* bl = new QVBoxLayout(box);
        for (int i = 0; i < 5; ++i) {
            auto* l = new QLabel(box);
            l->setObjectName(QString::fromLatin1(name) + u"Line"_s + QString::number(i));
            bl->addWidget(l);
        }
        group = new QButtonGroup(box);
        for (int i = 0; i < items; ++i) {
            auto* rb = new QRadioButton(box);
            rb->setObjectName(QString::fromLatin1(name) + u"Item"_s + QString::number(i));
            group->addButton(rb, i);
            bl->addWidget(rb);
        }
        bl->addStretch(1);
        row->addWidget(box);
    };
    makeGroup("RadioGroup1", notApplicableGroup_, 2);
    makeGroup("RadioGroup2", afterCodingGroup_, 3);
    layout->addStretch(1);
    connect(notApplicableGroup_, &QButtonGroup::idClicked, this,
            [this](int id) { RunCommand([&] { SetShowNotApplicable(*session_, id == 1); }); });
    connect(afterCodingGroup_, &QButtonGroup::idClicked, this, [this](int id) {
        RunCommand([&] {
            if (const auto mode = AfterCodingModeOf(id)) SetAfterCodingMode(*session_, *mode);
        });
    });
}

void TForm1::BuildErrorPage() {
    errorPage_ = new QWidget(pages_);
    errorPage_->setObjectName("TabSheet2");
    auto* layout = new QVBoxLayout(errorPage_);
    auto* title = HeaderStrip(QString(), errorPage_);
    title->setObjectName("ErrorTitle");
    layout->addWidget(title);
    errorLinesEdit_ = new QPlainTextEdit(errorPage_);
    errorLinesEdit_->setObjectName("Memo2");
    errorLinesEdit_->setReadOnly(true);
    errorLinesEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont mono(u"Monospace"_s);
    mono.setStyleHint(QFont::TypeWriter);
    errorLinesEdit_->setFont(mono);
    layout->addWidget(errorLinesEdit_, 1);
}

void TForm1::SetUiTexts() {
    setWindowTitle(FromBytes(UiText(Ui::WindowTitle)));
    returnToCodingAction_->setText(FromBytes(UiText(Ui::ReturnToCodingMenu)));
    notepadAction_->setText(FromBytes(UiText(Ui::NotepadMenu)));
    reportAction_->setText(FromBytes(UiText(Ui::ReportMenu)));
    openProjectAction_->setText(FromBytes(UiText(Ui::OpenProjectMenu)));
    optionsAction_->setText(FromBytes(UiText(Ui::OptionsMenu)));
    findNotCodedAction_->setText(FromBytes(UiText(Ui::FindNotCodedMenu)));
    saveResultsAction_->setText(FromBytes(UiText(Ui::SaveResultsMenu)));
    autoCodingMenu_->setTitle(FromBytes(msg::kAutoCodingMenu));
    autoCodeAction_->setText(FromBytes(msg::kAutoCodeItem));
    reviewAction_->setText(FromBytes(msg::kReviewItem));
    leaveReviewAction_->setText(FromBytes(msg::kLeaveReviewItem));
    exportMenu_->setTitle(FromBytes(msg::kExportMenu));
    const QList<QAction*> exports = exportMenu_->actions();
    exports[0]->setText(FromBytes(msg::kExportSavItem));
    exports[1]->setText(FromBytes(msg::kExportDtaItem));
    exports[2]->setText(FromBytes(msg::kExportCsvItem));
    infoAction_->setText(FromBytes(UiText(Ui::InfoMenu)));
    quitAction_->setText(FromBytes(UiText(Ui::QuitSessionMenu)));
    notepadPage_->findChild<QLabel*>(u"NotepadTitle"_s)
        ->setText(FromBytes(UiText(Ui::NotepadTitle)));
    notepadPage_->findChild<QLabel*>(u"NotepadLine1"_s)
        ->setText(FromBytes(UiText(Ui::NotepadLine1)));
    notepadPage_->findChild<QLabel*>(u"NotepadLine2"_s)
        ->setText(FromBytes(UiText(Ui::NotepadLine2)));
    reportPage_->findChild<QLabel*>(u"ReportTitle"_s)->setText(FromBytes(UiText(Ui::ReportTitle)));
    optionsPage_->findChild<QLabel*>(u"OptionsTitle"_s)
        ->setText(FromBytes(UiText(Ui::CodingOptions)));
    errorPage_->findChild<QLabel*>(u"ErrorTitle"_s)->setText(FromBytes(UiText(Ui::ErrorMessages)));
    auto* g1 = optionsPage_->findChild<QGroupBox*>(u"RadioGroup1"_s);
    g1->setTitle(FromBytes(UiText(Ui::AccessibilityTitle)));
    const Ui accessibilityLines[] = {Ui::AccessibilityLine1, Ui::AccessibilityLine2,
                                     Ui::AccessibilityLine3, Ui::AccessibilityLine4};
    for (int i = 0; i < 4; ++i) {
        g1->findChild<QLabel*>(u"RadioGroup1Line"_s + QString::number(i))
            ->setText(FromBytes(UiText(accessibilityLines[i])));
    }
    g1->findChild<QLabel*>(u"RadioGroup1Line4"_s)->hide();
    auto* g2 = optionsPage_->findChild<QGroupBox*>(u"RadioGroup2"_s);
    g2->setTitle(FromBytes(UiText(Ui::NavigationTitle)));
    const Ui navigationLines[] = {Ui::NavigationLine1, Ui::NavigationLine2, Ui::NavigationLine3,
                                  Ui::NavigationLine4, Ui::NavigationLine5};
    for (int i = 0; i < 5; ++i) {
        g2->findChild<QLabel*>(u"RadioGroup2Line"_s + QString::number(i))
            ->setText(FromBytes(UiText(navigationLines[i])));
    }
    notApplicableGroup_->button(0)->setText(FromBytes(UiText(Ui::HideNotApplicable)));
    notApplicableGroup_->button(1)->setText(FromBytes(UiText(Ui::ShowNotApplicable)));
    // The table says "(on default)" here and "(default)" beside; the window says it one way.
    afterCodingGroup_->button(0)->setText(
        FromBytes(UiText(Ui::NextInSameRecord)).replace(u"(on default)"_s, u"(default)"_s));
    afterCodingGroup_->button(1)->setText(FromBytes(UiText(Ui::SameInNextRecord)));
    afterCodingGroup_->button(2)->setText(FromBytes(UiText(Ui::StayInSameField)));
    notApplicableGroup_->button(0)->setChecked(true);
    afterCodingGroup_->button(0)->setChecked(true);
}

void TForm1::DrawStatus() {
    statusNotice_->setText(FromBytes(session_->StatusNotice));
    statusProgress_->setText(GroupedDigits(FromBytes(session_->ProgressText)));
    statusPace_->setText(
        session_->SessionStarted ? GroupedDigits(FromBytes(CodingPaceText(*session_))) : QString());
}

namespace {

// Runs the command, turning a failure into its message box.
void RunShowingFailures(QtPlatform& platform, const std::function<void()>& command) {
    try {
        command();
    } catch (const IoError& e) {
        platform.ShowMessage(e.what(), Severity::Fault);
    } catch (const std::exception& e) {
        // A fault of the program itself: say so, keep the session and its codes.
        platform.ShowMessage(std::string("Unexpected error: ") + e.what(), Severity::Fault);
    } catch (...) {
        platform.ShowMessage("Unexpected error", Severity::Fault);
    }
}

}  // namespace

void TForm1::RunCommand(const std::function<void()>& command) {
    if (busy_) return;  // a status update let this event in while a command is still running
    busy_ = true;
    RunShowingFailures(platform_, command);
    platform_.EndProgress();
    busy_ = false;
    Refresh();
}

// Where the coder types is remembered, so that a menu left with Escape, or a command that
// disabled the window while it ran, gives the keyboard back there: the menu bar never keeps it,
// and no letter typed next opens a menu.
void TForm1::KeepTypingFocus() {
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        if (now != nullptr && now->window() == this && qobject_cast<QMenuBar*>(now) == nullptr) {
            typingFocus_ = now;
        }
    });
    for (QMenu* menu : menuBar()->findChildren<QMenu*>()) {
        connect(menu, &QMenu::aboutToHide, this,
                [this] { QTimer::singleShot(0, this, [this] { ReturnFocus(); }); });
    }
}

void TForm1::ReturnFocus(QWidget* preferred) {
    if (QApplication::activePopupWidget() != nullptr ||
        QApplication::activeModalWidget() != nullptr)
        return;
    QWidget* now = QApplication::focusWidget();
    if (preferred == nullptr && now != nullptr && qobject_cast<QMenuBar*>(now) == nullptr) return;
    QWidget* target = preferred != nullptr ? preferred : typingFocus_.data();
    if (target != nullptr && target->window() == this && target->isVisible() &&
        target->isEnabled()) {
        target->setFocus(Qt::OtherFocusReason);
    } else if (codingPage_->isVisible()) {
        codingPage_->FocusKeyWords();
    } else if (now != nullptr && qobject_cast<QMenuBar*>(now) != nullptr) {
        centralWidget()->setFocus(Qt::OtherFocusReason);
    }
}

void TForm1::RunLongCommand(const std::function<void()>& command) {
    if (busy_) return;
    busy_ = true;
    // Disabling the window takes the focus away; it is given back when the command is done.
    const QPointer<QWidget> typing = typingFocus_;
    // The window draws, and its dialogs and progress bar answer, while nothing else can start.
    centralWidget()->setEnabled(false);
    menuBar()->setEnabled(false);
    QEventLoop loop;
    longWork_ = true;
    std::thread worker([&] {
        RunShowingFailures(platform_, command);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    longWork_ = false;
    centralWidget()->setEnabled(true);
    menuBar()->setEnabled(true);
    platform_.EndProgress();
    busy_ = false;
    Refresh();
    ReturnFocus(typing.data());
    if (pendingSignal_ != 0) EndOnSignal(pendingSignal_);
}

void TForm1::Refresh() {
    Session& s = *session_;
    const bool started = s.SessionStarted;
    // A classification of its own names itself in the title; without one it is VKT-2009's.
    const QString title = s.ClassificationLoaded && s.Clf.Profile
                              ? FromBytes(std::string(msg::kWindowTitleOwnClassification) +
                                          ClassificationDisplayName(s.Clf))
                              : FromBytes(UiText(Ui::WindowTitle));
    if (windowTitle() != title) setWindowTitle(title);
    returnToCodingAction_->setVisible(started && s.ReturnToCodingVisible);
    notepadAction_->setVisible(started);
    reportAction_->setVisible(started);
    openProjectAction_->setVisible(!started);
    openTeamAction_->setVisible(!started);
    teamPageAction_->setVisible(started && team_ != nullptr);
    optionsAction_->setVisible(started);
    findNotCodedAction_->setVisible(started);
    saveResultsAction_->setVisible(started);
    autoCodingMenu_->menuAction()->setVisible(started);
    reviewAction_->setEnabled(!s.ReadOnly && !InReview(s));
    leaveReviewAction_->setEnabled(InReview(s));
    // A coder of a team sees only their own side of the double-coded cases: the team's
    // results come from tarnwick-cli team export.
    exportMenu_->menuAction()->setVisible(started && !team_);
    // A project open read-only (another coder holds it) takes no coding and no save.
    saveResultsAction_->setEnabled(!s.ReadOnly);
    exportMenu_->menuAction()->setEnabled(!s.ReadOnly);
    codingPage_->findChild<QWidget*>(u"GroupBox4"_s)->setEnabled(!s.ReadOnly);
    codingPage_->findChild<QWidget*>(u"CodeAllIdentical"_s)->setEnabled(!s.ReadOnly);
    infoAction_->setVisible(true);
    quitAction_->setVisible(true);

    pages_->setVisible(s.PageAreaVisible);
    switch (s.FrontPage) {
        case Page::Coding:
            pages_->setCurrentWidget(codingPage_);
            break;
        case Page::Notepad:
            pages_->setCurrentWidget(notepadPage_);
            break;
        case Page::Report:
            pages_->setCurrentWidget(reportPage_);
            break;
        case Page::Options:
            pages_->setCurrentWidget(optionsPage_);
            break;
        case Page::Error:
            pages_->setCurrentWidget(errorPage_);
            break;
        case Page::Team:
            pages_->setCurrentWidget(teamPage_);
            break;
        case Page::None:
            break;
    }

    // The error page only ever grows: append what is new.
    if (s.ErrorLines.size() < shownErrorLines_) shownErrorLines_ = 0, errorLinesEdit_->clear();
    if (s.ErrorLines.size() > shownErrorLines_) {
        const int firstNew = static_cast<int>(shownErrorLines_);
        // One append of all new lines: a line at a time lays the page out again each time,
        // which took a minute for the faults of a large damaged classification.
        QStringList lines;
        lines.reserve(static_cast<qsizetype>(s.ErrorLines.size() - shownErrorLines_));
        for (size_t i = shownErrorLines_; i < s.ErrorLines.size(); ++i) {
            lines.append(FromBytes(s.ErrorLines[i]));
        }
        errorLinesEdit_->appendPlainText(lines.join(u'\n'));
        // The coder reads the new errors from their first line on: put it at the top.
        QTextCursor at(errorLinesEdit_->document()->findBlockByNumber(firstNew));
        errorLinesEdit_->setTextCursor(at);
        errorLinesEdit_->verticalScrollBar()->setValue(firstNew);
    }
    shownErrorLines_ = s.ErrorLines.size();

    drawingEdits_ = true;
    const QString report = JoinLines(s.Report);
    if (reportEdit_->toPlainText() != report) reportEdit_->setPlainText(report);
    const QString notepad = JoinLines(s.Notepad);
    if (notepadEdit_->toPlainText() != notepad) notepadEdit_->setPlainText(notepad);
    drawingEdits_ = false;

    notApplicableGroup_->button(s.ShowNotApplicable ? 1 : 0)->setChecked(true);
    afterCodingGroup_->button(static_cast<int>(s.AfterCoding))->setChecked(true);

    if (s.SessionStarted) codingPage_->Render(s);
    DrawStatus();
}

void TForm1::EndOnSignal(int signal) {
    // Work on the worker thread is stopped at its next progress report (cancelling it loses
    // nothing) and the program ends when it has returned: leaving now would leave the worker
    // waiting for this thread.
    if (longWork_) {
        pendingSignal_ = signal;
        platform_.stopWork = true;
        return;
    }
    // While a command waits in a dialog, its state is half-way: the journal holds every code.
    if (!busy_) SaveOnSignal(*session_);
    EndTeam();
    ReleaseProject(*session_);
    QCoreApplication::exit(128 + signal);
}

void TForm1::ReturnToCodingCommand() {
    RunCommand([&] { ReturnToCoding(*session_); });
    codingPage_->FocusKeyWords();
}

void TForm1::ShowNotepadCommand() {
    RunCommand([&] { ShowSidePage(*session_, Page::Notepad); });
}

void TForm1::ShowReportCommand() {
    RunCommand([&] { ShowSidePage(*session_, Page::Report); });
}

void TForm1::OpenProjectCommand() {
    const std::string progressBefore = session_->ProgressText;
    RunLongCommand([&] { OpenProject(*session_); });
    if (session_->SessionStarted) {
        StartSuggestions();
        codingPage_->FocusKeyWords();
    } else if (session_->ProgressText != progressBefore) {
        // Nothing is being read any more: "Reading input data ..." would say otherwise.
        session_->ProgressText = progressBefore;
        DrawStatus();
    }
}

void TForm1::OpenTeamProjectCommand() {
    if (busy_ || session_->SessionStarted) return;
    const std::optional<TeamLogin> login = AskTeamLogin(this);
    if (!login) return;
    team::OpenedTeamProject opened;
    RunLongCommand([&] {
        opened = team::OpenTeamProject(
            *session_,
            {ToBytes(login->conninfo), ToBytes(login->password), ToBytes(login->coder), ""});
    });
    if (!opened.link) return;
    team_ = std::move(opened.link);
    teamPoll_->start();
    Refresh();
    StartSuggestions();
    codingPage_->FocusKeyWords();
}

void TForm1::ShowTeamPageCommand() {
    if (!team_) return;
    RunCommand([&] { ShowSidePage(*session_, Page::Team); });
    teamPage_->Reload(*team_);
}

void TForm1::PollTeam() {
    if (!team_ || busy_) return;
    // Not while a dialog of this window is open: the codes wait for the next tick.
    if (QApplication::activeModalWidget()) return;
    busy_ = true;
    const int taken = team_->Poll();
    busy_ = false;
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

void TForm1::ShowOptionsCommand() {
    RunCommand([&] { ShowSidePage(*session_, Page::Options); });
}

void TForm1::FindNotCodedCommand() {
    RunCommand([&] {
        FindNotCoded(*session_);
        FollowReview(*session_);
    });
    codingPage_->FocusKeyWords();
}

void TForm1::AutoCodeCommand() {
    if (busy_ || !session_->SessionStarted) return;
    if (const std::string refusal = AutoCodingRefusal(*session_); !refusal.empty()) {
        platform_.ShowMessage(refusal, Severity::Information);
        return;
    }
    std::optional<AutoCodingOffer> offer;
    auto estimate = [&](double target) -> std::optional<AutoCodingDialog::Estimate> {
        std::optional<AutoCodingOffer> made;
        // The first estimate learns from the cases coded so far; a new target reuses it.
        const bool calibrate = !offer;
        RunLongCommand([&] {
            try {
                made = OfferAutoCoding(*session_, target, calibrate);
            } catch (const WorkCancelled&) {
                // Stopped on the progress bar: the session is as it was.
            }
        });
        if (!made) return std::nullopt;
        offer = std::move(made);
        return AutoCodingDialog::Estimate{FromBytes(AutoCodingOfferText(*offer)), offer->CanCode()};
    };
    AutoCodingDialog dialog(this, estimate);
    if (dialog.exec() != QDialog::Accepted || !offer || !offer->CanCode()) return;
    int coded = 0;
    RunCommand([&] { coded = ApplyAutoCoding(*session_, offer->plan); });
    codingPage_->FocusKeyWords();
    if (coded <= 0) return;
    const std::optional<int> size = AskReviewSampleSize(this, coded);
    if (!size) return;
    const uint64_t seed = QRandomGenerator::global()->generate64();
    RunCommand([&] {
        if (DrawAndSaveReviewSample(*session_, offer->plan, static_cast<size_t>(*size), seed) > 0) {
            StartReview(*session_);
        }
    });
    codingPage_->FocusKeyWords();
}

void TForm1::ReviewCommand() {
    if (!session_->SessionStarted) return;
    RunCommand([&] { StartReview(*session_); });
    codingPage_->FocusKeyWords();
}

void TForm1::LeaveReviewCommand() {
    RunCommand([&] { LeaveReview(*session_); });
    codingPage_->FocusKeyWords();
}

void TForm1::SaveResultsCommand() {
    RunLongCommand([&] { SaveResults(*session_); });
}

void TForm1::ExportCommand(ExportFormat format) {
    RunLongCommand([&] {
        std::string written = msg::kExportWrittenAs;
        const std::vector<std::string> paths = ExportFinalOutput(*session_, format);
        if (paths.empty()) return;  // cancelled on the progress bar
        for (const std::string& path : paths) written += " " + path;
        platform_.ShowMessage(written, Severity::Information);
    });
}

void TForm1::ShowAboutCommand() {
    if (busy_) return;
    TAboutBox box(this);
    box.exec();
}

void TForm1::QuitCommand() { close(); }

void TForm1::closeEvent(QCloseEvent* event) {
    if (busy_) {  // a load is running; the coder can close once it has ended
        event->ignore();
        return;
    }
    bool mayEnd = false;
    RunCommand([&] { mayEnd = MayEnd(*session_); });
    if (mayEnd) {
        EndTeam();
        SaveWindowState();
        event->accept();
    } else {
        event->ignore();
    }
}

}  // namespace tarnwick::gui
