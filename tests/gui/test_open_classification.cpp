// Opening a project whose classification is faulty, then retrying.

#include <QAction>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QtTest>

#include "gui/main_window.h"
#include "window_helpers.h"

using tarnwick::FileRequest;
using tarnwick::gui::TForm1;
using namespace tarnwick::testing;

class TestOpenClassification : public QObject {
    Q_OBJECT

  private slots:
    void faultyClassificationThenRetryStartsAtTheClassification() {
        SmallProject project;
        TForm1 w;
        QStringList titles;
        QStringList answers = {QString(TARNWICK_TEST_DATA "/gui/faulty.zpa"),  // fails
                               QString::fromStdString(project.params),
                               QString(TARNWICK_TEST_DATA "/gui/faulty.clf"),  // fails
                               QString::fromStdString(project.classification),
                               QString::fromStdString(project.data)};
        w.platform().fileHook = [&](const FileRequest& r) -> std::optional<QString> {
            titles << QString::fromStdString(r.title);
            if (answers.isEmpty()) return std::nullopt;
            return answers.takeFirst();
        };
        auto* open = w.findChild<QAction*>("mainMenuDane");
        auto* memo = w.findChild<QPlainTextEdit*>("Memo2");

        open->trigger();  // faulty parameters: six error lines
        QCOMPARE(memo->toPlainText().split('\n').size(), 6);

        open->trigger();  // good parameters, faulty classification
        QCOMPARE(titles,
                 QStringList({"Open a coding parameters file", "Open a coding parameters file",
                              "Open a classification file"}));
        const QStringList lines = memo->toPlainText().split('\n');
        // The classification's heading and errors stand below the earlier lines.
        QCOMPARE(lines.at(6), QString("Errors detected during opening the classification file '" +
                                      QString(TARNWICK_TEST_DATA "/gui/faulty.clf") + "'"));
        QVERIFY(lines.size() > 10);
        QVERIFY(lines.contains("*** Error in line 4: length of a code differs from 4."));
        QVERIFY(lines.contains("*** Definition of a basic VKT-2009 category 9100 is missing"));
        QCOMPARE(w.findChild<QStackedWidget*>("PageControl1")->currentWidget()->objectName(),
                 QString("TabSheet2"));
        QVERIFY(w.session().ParamsLoaded);
        QVERIFY(!w.session().ClassificationLoaded);

        // The retry asks for the classification, not for the parameters.
        open->trigger();
        QCOMPARE(titles.mid(3),
                 QStringList({"Open a classification file", "Open an input data file"}));
        QVERIFY(w.session().SessionStarted);
        QCOMPARE(w.findChild<QStackedWidget*>("PageControl1")->currentWidget()->objectName(),
                 QString("TabSheet3"));
        // The errors stay on their page for the rest of the run.
        QCOMPARE(memo->toPlainText().split('\n'), lines);
    }
};

QTEST_MAIN(TestOpenClassification)
#include "test_open_classification.moc"
