// Coding through the real widgets of the coding page: a key word, a line, CODE.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

#include "gui/main_window.h"
#include "window_helpers.h"

using tarnwick::FileRequest;
using tarnwick::gui::TForm1;
using namespace tarnwick::testing;
using tarnwick::testing::SmallProject;

class TestCodingPage : public QObject {
    Q_OBJECT

    template <class T>
    static T* Get(TForm1& w, const char* name) {
        T* widget = w.findChild<T*>(name);
        if (!widget) qFatal("no widget %s", name);
        return widget;
    }
    static QString Text(TForm1& w, const char* box) {
        return Get<QPlainTextEdit>(w, box)->toPlainText();
    }
    static void ClickLine(QListView* list, int row) {
        const QRect r = list->visualRect(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }

  private slots:
    void codesCasesWithKeyWordLineAndCode() {
        SmallProject project;
        TForm1 w;
        QVERIFY(ShowWatched(w));
        QStringList messages;
        w.platform().messageHook = [&](const QString& m) { messages << m; };
        OpenProjectThroughDialogs(w, project);
        QVERIFY(w.session().SessionStarted);

        // The first case: respondent 000001, its information fields shown.
        QCOMPARE(Get<QLabel>(w, "Label12")->text(), QString("Occupation"));
        QCOMPARE(Get<QComboBox>(w, "ComboBox1")->currentText(), QString("000001"));
        QCOMPARE(Text(w, "RichEdit1").trimmed(), QString("teacher"));
        QCOMPARE(Get<QLabel>(w, "Label1")->text(), QString("Job title"));
        QVERIFY(Get<QPlainTextEdit>(w, "RichEdit2")->isVisible());
        QVERIFY(!Get<QPlainTextEdit>(w, "RichEdit3")->isVisible());
        QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(),
                 QString("0 occupations have been coded. 3 are yet to be coded."));

        // CODE without a selection refuses.
        QTest::mouseClick(Get<QPushButton>(w, "BitBtn5"), Qt::LeftButton);
        QCOMPARE(messages, QStringList({"No category selected"}));

        // A key word narrows the list; a click selects; CODE codes and moves on.
        QTest::keyClicks(Get<QLineEdit>(w, "Edit1"), "category1112");
        auto* list1 = Get<QListView>(w, "ListBox1");
        QCOMPARE(list1->model()->rowCount(), 1);
        QCOMPARE(list1->model()->index(0, 0).data().toString(), QString("1112 Category 1112"));
        ClickLine(list1, 0);
        QCOMPARE(w.session().SelectedCategory, w.session().Clf.IndexOf("1112"));
        QVERIFY(Text(w, "Memo1").contains("Work of category1112 and worker"));
        QTest::mouseClick(Get<QPushButton>(w, "BitBtn5"), Qt::LeftButton);

        QCOMPARE(w.session().Cases.Respondents[0].Occupations[0].Code, std::string("1112"));
        QCOMPARE(Get<QLineEdit>(w, "Edit2")->text(), QString("1112"));
        QCOMPARE(Get<QComboBox>(w, "ComboBox1")->currentText(), QString("000002"));
        QCOMPARE(Text(w, "RichEdit1").trimmed(), QString("nurse"));
        QCOMPARE(Get<QLineEdit>(w, "Edit1")->text(), QString());
        QCOMPARE(list1->model()->rowCount(), 0);
        QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(),
                 QString("1 occupation has been coded. 2 are yet to be coded."));

        // REPEAT gives the same code to the next case.
        QTest::mouseClick(Get<QPushButton>(w, "Button3"), Qt::LeftButton);
        QCOMPARE(w.session().Cases.Respondents[1].Occupations[0].Code, std::string("1112"));
        // The not-applicable respondent is skipped: 000004 is next.
        QCOMPARE(Get<QComboBox>(w, "ComboBox1")->currentText(), QString("000004"));

        // The full classification: a click shows its line's description; switching to the
        // pre-selected page carries the category over.
        auto* tabs = Get<QTabWidget>(w, "PageControl2");
        tabs->setCurrentWidget(Get<QWidget>(w, "TabSheet6"));
        auto* list2 = Get<QListView>(w, "ListBox2");
        QCOMPARE(list2->model()->rowCount(), w.session().Clf.Count());
        const int row = w.session().Clf.IndexOf("1113");
        list2->scrollTo(list2->model()->index(row, 0));
        ClickLine(list2, row);
        QCOMPARE(w.session().SelectedCategory, row);
        QVERIFY(Text(w, "Memo3").contains("category1113"));
        tabs->setCurrentWidget(Get<QWidget>(w, "TabSheet5"));
        QCOMPARE(list1->model()->rowCount(), 1);
        QCOMPARE(list1->model()->index(0, 0).data().toString(), QString("1113 Category 1113"));
        // MISSING codes the last case; all are coded now.
        QTest::mouseClick(Get<QPushButton>(w, "Button2"), Qt::LeftButton);
        QCOMPARE(w.findChild<QLabel*>("StatusPanel1")->text(),
                 QString("All occupations have been coded (3)"));
        QCOMPARE(messages.last(), QString("All cases are already coded"));
        QCOMPARE(Text(w, "RichEdit11"), QString("9997"));
    }

    void selectionIsCarriedToTheFullListAndCentred() {
        SmallProject project;
        TForm1 w;
        QVERIFY(ShowWatched(w));
        OpenProjectThroughDialogs(w, project);
        QTest::keyClicks(Get<QLineEdit>(w, "Edit1"), "category8412");
        auto* list1 = Get<QListView>(w, "ListBox1");
        QCOMPARE(list1->model()->rowCount(), 1);
        ClickLine(list1, 0);
        const int selected = w.session().Clf.IndexOf("8412");
        QCOMPARE(w.session().SelectedCategory, selected);

        Get<QTabWidget>(w, "PageControl2")->setCurrentWidget(Get<QWidget>(w, "TabSheet6"));
        QCoreApplication::processEvents();
        auto* list2 = Get<QListView>(w, "ListBox2");
        // The list taking the focus must not select its first line instead.
        QCOMPARE(w.session().SelectedCategory, selected);
        QCOMPARE(list2->currentIndex().row(), selected);
        const QRect line = list2->visualRect(list2->currentIndex());
        QVERIFY(list2->viewport()->rect().contains(line));
        QVERIFY(line.top() > list2->viewport()->height() / 4);
        QVERIFY(Text(w, "Memo3").contains("category8412"));
    }

    // A double-click codes the line in the pre-selected list as it does in the full list.
    void doubleClickOnAPreselectedLineCodesIt() {
        SmallProject project;
        TForm1 w;
        QVERIFY(ShowWatched(w));
        OpenProjectThroughDialogs(w, project);
        QTest::keyClicks(Get<QLineEdit>(w, "Edit1"), "category1112");
        auto* list1 = Get<QListView>(w, "ListBox1");
        QCOMPARE(list1->model()->rowCount(), 1);
        const QPoint line = list1->visualRect(list1->model()->index(0, 0)).center();
        // Through the window, so that the application makes the double-click from two clicks.
        QTest::mouseDClick(w.windowHandle(), Qt::LeftButton, {},
                           list1->viewport()->mapTo(&w, line));
        QCOMPARE(w.session().Cases.Respondents[0].Occupations[0].Code, std::string("1112"));
    }

    void arrowButtonsAndSelector() {
        SmallProject project;
        TForm1 w;
        WatchItemModels(w);
        QStringList messages;
        w.platform().messageHook = [&](const QString& m) { messages << m; };
        OpenProjectThroughDialogs(w, project);
        QTest::mouseClick(Get<QToolButton>(w, "BitBtn3"), Qt::LeftButton);
        QCOMPARE(Get<QComboBox>(w, "ComboBox1")->currentText(), QString("000002"));
        QTest::mouseClick(Get<QToolButton>(w, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(Get<QComboBox>(w, "ComboBox1")->currentText(), QString("000004"));
        QTest::mouseClick(Get<QToolButton>(w, "BitBtn1"), Qt::LeftButton);
        QCOMPARE(messages.last(), QString("This is the last occupation in data file"));
        QTest::mouseClick(Get<QToolButton>(w, "BitBtn4"), Qt::LeftButton);
        QCOMPARE(Get<QComboBox>(w, "ComboBox1")->currentText(), QString("000002"));

        auto* combo = Get<QComboBox>(w, "ComboBox1");
        QCOMPARE(combo->count(), 3);  // 000003 has nothing to code
        combo->lineEdit()->setText("000001");
        QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
        QCOMPARE(w.session().CurrentRecord, 0);
        QCOMPARE(combo->currentText(), QString("000001"));
    }
};

QTEST_MAIN(TestCodingPage)
#include "test_coding_page.moc"
