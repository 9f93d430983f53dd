// The main window's menus and pages once a project is open, and the questions on quitting.

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QAction>
#include <QElapsedTimer>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QRadioButton>
#include <QStackedWidget>
#include <QTimer>
#include <QtTest>
#include <csignal>

#include "core/io/files.h"
#include "core/session/project_lock.h"
#include "core/text/interface_texts.h"
#include "gui/main_window.h"
#include "window_helpers.h"

using tarnwick::Answer;
using tarnwick::FileRequest;
using tarnwick::gui::TForm1;
using namespace tarnwick::testing;
using tarnwick::testing::SmallProject;

class TestMenus : public QObject {
    Q_OBJECT

    static QString FrontPage(TForm1& w) {
        return w.findChild<QStackedWidget*>("PageControl1")->currentWidget()->objectName();
    }
    static void Click(TForm1& w, const char* name) { w.findChild<QAction*>(name)->trigger(); }

  private slots:
    // Long work shows its percent and what it does; Cancel stops it at the next report, and its
    // end takes the dialog away.
    void progressDialogShowsTheWorkAndItsCancelStopsIt() {
        TForm1 w;
        w.platform().showProgressAfterMs = 0;
        QVERIFY(w.platform().Progress("Reading the survey data", 10));
        auto* dialog = w.findChild<QProgressDialog*>("progressDialog");
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->value(), 10);
        QCOMPARE(dialog->labelText(), QString("Reading the survey data"));
        dialog->cancel();
        QVERIFY(!w.platform().Progress("Reading the survey data", 20));
        QVERIFY(w.platform().Progress("Reading the survey data", 100));
        QTRY_VERIFY(!w.findChild<QProgressDialog*>("progressDialog"));
    }

    // A project that another program codes opens read-only when the coder says so: nothing that
    // would code or save can be reached, and the other program's lock stays.
    void aLockedProjectOpensReadOnly() {
        SmallProject project;
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        const std::string lockPath = project.folder.Path("wave.zlk");
        const std::string lock = tarnwick::FormatLockText(
            {"someone", host, static_cast<long long>(::getppid()), "2026-12-08 08:00:00"});
        WriteFile(lockPath, lock);
        const int fd = ::open(lockPath.c_str(), O_RDONLY);  // alive: its holder keeps the flock
        QVERIFY(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0);
        {
            TForm1 w;
            QStringList questions;
            w.platform().questionHook = [&](const QString& q, bool) {
                questions << q;
                return Answer::Yes;
            };
            OpenProjectThroughDialogs(w, project);
            QVERIFY(w.session().SessionStarted);
            QVERIFY(w.session().ReadOnly);
            QCOMPARE(questions.size(), 1);
            QVERIFY(questions[0].contains("someone"));
            QVERIFY(!w.findChild<QWidget*>("GroupBox4")->isEnabled());
            QVERIFY(!w.findChild<QWidget*>("CodeAllIdentical")->isEnabled());
            QVERIFY(!w.findChild<QAction*>("mainMenuZapisz")->isEnabled());
        }
        QCOMPARE(tarnwick::ReadWholeFile(lockPath), lock);
        ::close(fd);
    }

    void menusFollowThePages() {
        SmallProject project;
        TForm1 w;
        OpenProjectThroughDialogs(w, project);
        QVERIFY(w.session().SessionStarted);
        QCOMPARE(FrontPage(w), QString("TabSheet3"));
        QCOMPARE(
            VisibleMenus(w),
            QStringList({"mainMenuNotatnik", "mainMenuRaport", "mainMenuOpcje", "mainMenuZnajdz",
                         "mainMenuAutomatic", "mainMenuZapisz", "mainMenuEksport", "mainMenuInfo",
                         "mainMenuZakoncz", "mainMenuHelp"}));

        // An export is written beside the data file and said in a message.
        QStringList messages;
        w.platform().messageHook = [&messages](const QString& text) { messages << text; };
        Click(w, "mainMenuEksportCsv");
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].endsWith(
            "wave.csv " + QString::fromStdString(project.folder.Path("wave_labels.csv"))));
        QVERIFY(QFile::exists(QString::fromStdString(project.folder.Path("wave_labels.csv"))));

        Click(w, "mainMenuOpcje");
        QCOMPARE(FrontPage(w), QString("TabSheet7"));
        QVERIFY(VisibleMenus(w).contains("mainMenuKodowanie"));
        Click(w, "mainMenuNotatnik");
        QCOMPARE(FrontPage(w), QString("TabSheet1"));
        Click(w, "mainMenuKodowanie");
        QCOMPARE(FrontPage(w), QString("TabSheet3"));
        QVERIFY(!VisibleMenus(w).contains("mainMenuKodowanie"));

        // Find non-coded from the Options page keeps Return to coding session.
        Click(w, "mainMenuOpcje");
        Click(w, "mainMenuZnajdz");
        QCOMPARE(FrontPage(w), QString("TabSheet3"));
        QVERIFY(VisibleMenus(w).contains("mainMenuKodowanie"));

        Click(w, "mainMenuRaport");
        QCOMPARE(FrontPage(w), QString("TabSheet8"));
        const QString report = w.findChild<QPlainTextEdit*>("RichEdit14")->toPlainText();
        QVERIFY(report.startsWith(">>> REPORT FROM A SESSION OF CODING OCCUPATIONS <<<\n \n*** "));
        QVERIFY(report.contains("Coding parameters successfully read-in from file: "));
    }

    void editsOfReportAndNotepadReachTheSession() {
        SmallProject project;
        TForm1 w;
        OpenProjectThroughDialogs(w, project);
        Click(w, "mainMenuNotatnik");
        auto* notepad = w.findChild<QPlainTextEdit*>("RichEdit13");
        QVERIFY(!w.session().NotepadModified);
        notepad->setFocus();
        QTest::keyClicks(notepad, "call back");
        QVERIFY(w.session().NotepadModified);
        QCOMPARE(w.session().Notepad, std::vector<std::string>{"call back"});

        Click(w, "mainMenuRaport");
        auto* report = w.findChild<QPlainTextEdit*>("RichEdit14");
        report->moveCursor(QTextCursor::End);
        QTest::keyClicks(report, " checked");
        QVERIFY(w.session().Report.back().ends_with(" checked"));
    }

    void quittingAsksAndNoKeepsTheWindow() {
        SmallProject project;
        TForm1 w;
        w.show();
        OpenProjectThroughDialogs(w, project);
        QStringList asked;
        w.platform().questionHook = [&](const QString& q, bool) {
            asked << q;
            return Answer::No;
        };
        Click(w, "mainMenuZakoncz");
        QCOMPARE(asked, QStringList({tarnwick::msg::kAskExit}));
        QVERIFY(w.isVisible());

        asked.clear();
        w.platform().questionHook = [&](const QString& q, bool) {
            asked << q;
            return q == tarnwick::msg::kAskExit ? Answer::Yes : Answer::No;
        };
        w.close();
        QVERIFY(!w.isVisible());
        QCOMPARE(asked, QStringList({tarnwick::msg::kAskExit, tarnwick::msg::kAskSaveReport}));
    }

    void optionsPageSetsTheOptions() {
        SmallProject project;
        TForm1 w;
        OpenProjectThroughDialogs(w, project);
        Click(w, "mainMenuOpcje");
        w.findChild<QRadioButton*>("RadioGroup2Item2")->click();
        QCOMPARE(w.session().AfterCoding, tarnwick::AfterCodingMode::Stay);
        w.findChild<QRadioButton*>("RadioGroup1Item1")->click();
        QVERIFY(w.session().ShowNotApplicable);
        // Leaving the page keeps the choice.
        Click(w, "mainMenuKodowanie");
        Click(w, "mainMenuOpcje");
        QVERIFY(w.findChild<QRadioButton*>("RadioGroup2Item2")->isChecked());
    }
    // A kill while a long command's message box waits for the coder (at a logout, before the
    // SIGKILL that follows): the box goes, the work ends and the lock is let go at once.
    void aSignalDuringALongCommandsBoxEndsTheProgram() {
        SmallProject project;
        // A working file cut short in its second line: the opening tells so in a box.
        tarnwick::testing::WriteFile(project.folder.Path("wave.zda"), "000001    \r\n0000");
        TForm1 w;
        bool signalled = false, heldOpen = false;
        QElapsedTimer clock;
        clock.start();
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            QWidget* box = QApplication::activeModalWidget();
            if (!box) return;
            if (!signalled) {
                signalled = true;
                w.EndOnSignal(SIGTERM);
            } else if (clock.elapsed() > 10000) {
                heldOpen = true;
                box->close();
            }
        });
        watch.start(50);
        OpenProjectThroughDialogs(w, project);
        QVERIFY(signalled);
        QVERIFY(!heldOpen);
        QVERIFY(!tarnwick::FileExists(project.folder.Path("wave.zlk")));
    }
};

QTEST_MAIN(TestMenus)
#include "test_menus.moc"
