// Opening a project in the window: the parameters step through a scripted file dialog.

#include <QAction>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QtTest>

#include "core/session/session.h"
#include "gui/main_window.h"
#include "gui/start_page.h"
#include "window_helpers.h"

using tarnwick::FileRequest;
using tarnwick::gui::TForm1;
using namespace tarnwick::testing;

class TestOpenParams : public QObject {
    Q_OBJECT

  private slots:
    void startsWithThreeMenusAndNoPages() {
        TForm1 w;
        QCOMPARE(VisibleMenus(w), QStringList({"mainMenuDane", "mainMenuTeamOpen", "mainMenuInfo",
                                               "mainMenuZakoncz", "mainMenuHelp"}));
        QCOMPARE(w.findChild<QAction*>("mainMenuDane")->text(), QString("Open &project"));
        QCOMPARE(w.findChild<QAction*>("mainMenuZakoncz")->text(), QString("&Quit session"));
        QVERIFY(!w.findChild<QStackedWidget*>("PageControl1")->isVisibleTo(&w));
        QCOMPARE(w.windowTitle(),
                 QString("Tarnwick: Coding occupations to Varden Classification of Occupations "
                         "VKT-2009"));
    }

    // The start page lists the projects opened before, the newest selected: Enter reopens it.
    void aRecentProjectOpensWithOneKey() {
        SmallProject project;
        tarnwick::gui::RememberProject({QString::fromStdString(project.params),
                                        QString::fromStdString(project.classification),
                                        QString::fromStdString(project.data)});
        TForm1 w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto* start = w.findChild<QWidget*>("StartPage");
        QVERIFY(start->isVisible());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(w.session().SessionStarted);
        QVERIFY(!start->isVisible());
        QCOMPARE(w.session().ClassificationPath, project.classification);
    }

    void faultyParametersShowTheErrorPage() {
        TForm1 w;
        QList<FileRequest> asked;
        w.platform().fileHook = [&](const FileRequest& r) -> std::optional<QString> {
            asked << r;
            return QString(TARNWICK_TEST_DATA "/gui/faulty.zpa");
        };
        w.findChild<QAction*>("mainMenuDane")->trigger();

        QCOMPARE(asked.size(), 1);
        QCOMPARE(QString::fromStdString(asked[0].title), QString("Open a coding parameters file"));
        auto* pages = w.findChild<QStackedWidget*>("PageControl1");
        QVERIFY(pages->isVisibleTo(&w));
        QCOMPARE(pages->currentWidget()->objectName(), QString("TabSheet2"));
        const QStringList lines = w.findChild<QPlainTextEdit*>("Memo2")->toPlainText().split('\n');
        QCOMPARE(lines, QStringList({" ", "*** Error in line 2 \"#J 1ZAW\":",
                                     "Var mnemo=\"1ZAW\" contains unaccepted characters or starts "
                                     "with a digit",
                                     " ", "*** Error in line 2 \"#J 1ZAW\":",
                                     "2nd parameter (var name) is missing"}));
        // Still no project: the menus stay as they were.
        QCOMPARE(VisibleMenus(w), QStringList({"mainMenuDane", "mainMenuTeamOpen", "mainMenuInfo",
                                               "mainMenuZakoncz", "mainMenuHelp"}));
        QVERIFY(!w.session().ParamsLoaded);
        // The report holds the opening block of the attempt.
        QCOMPARE(w.session().Report.at(0),
                 std::string(">>> REPORT FROM A SESSION OF CODING OCCUPATIONS <<<"));

        // A second attempt asks for the parameters again and appends below the first errors.
        w.findChild<QAction*>("mainMenuDane")->trigger();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(w.findChild<QPlainTextEdit*>("Memo2")->toPlainText().split('\n').size(), 12);
    }

    void unreadableFileShowsTheSystemErrorAndKeepsRunning() {
        TForm1 w;
        QStringList messages;
        w.platform().messageHook = [&](const QString& m) { messages << m; };
        w.platform().fileHook = [](const FileRequest&) -> std::optional<QString> {
            return QString("/nonexistent-folder/missing.zpa");
        };
        w.findChild<QAction*>("mainMenuDane")->trigger();
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains("No such file or directory"));
        QVERIFY(messages[0].contains("/nonexistent-folder/missing.zpa"));
        QVERIFY(!w.session().ParamsLoaded);
        QVERIFY(w.isEnabled());
    }

    void quitWithoutProjectClosesAtOnce() {
        TForm1 w;
        w.show();
        int questions = 0;
        w.platform().questionHook = [&](const QString&, bool) {
            ++questions;
            return tarnwick::Answer::No;
        };
        w.findChild<QAction*>("mainMenuZakoncz")->trigger();
        QVERIFY(!w.isVisible());
        QCOMPARE(questions, 0);
    }
};

QTEST_MAIN(TestOpenParams)
#include "test_open_params.moc"
