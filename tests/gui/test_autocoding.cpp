// Code automatically... through its dialogs, the review it offers, and one Ctrl+Z for all of it.

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QtTest>
#include <functional>

#include "core/classification/loader.h"
#include "core/project/safekeeping.h"
#include "gui/main_window.h"
#include "window_helpers.h"

using tarnwick::gui::TForm1;
using namespace tarnwick::testing;
using namespace Qt::StringLiterals;

namespace {

// A project of 240 respondents who give four answers in turn, the first 180 coded by a person,
// each answer with the category its key word names: enough to promise a low error for the rest.
struct CodedProject {
    SmallProject files;  // its parameters and classification; the data are written here
    std::vector<std::string> codes;
    bool made = false;

    CodedProject() {
        tarnwick::Classification clf;
        int width = 0;
        std::vector<std::string> errors;
        const std::string text = tarnwick::testing::ReadFileText(files.classification);
        if (!tarnwick::LoadClassificationText(text, files.classification, width, clf, errors,
                                              false)) {
            return;
        }
        for (int i = 0; i < clf.Count() && codes.size() < 4; ++i) {
            const tarnwick::TKat& k = clf.Category(i);
            if (k.IsLowest && !k.IsMissingData && !k.IsNotApplicable) codes.push_back(k.Code);
        }
        if (codes.size() < 4) return;
        std::string data;
        for (int r = 0; r < 240; ++r) {
            char line[64];
            std::snprintf(line, sizeof line, "%06d 1 %-20s%-10s\r\n", r + 1,
                          ("category" + codes[r % 4]).c_str(), "work");
            data += line;
        }
        WriteFile(files.data, data);
        tarnwick::ScriptedPlatform platform;
        platform.fileAnswers = {files.params, files.classification, files.data};
        tarnwick::Session s(platform);
        tarnwick::OpenProject(s);
        if (!s.ProjectOpen()) return;
        for (int r = 0; r < 180; ++r) {
            auto& z = s.Cases.Respondents[static_cast<size_t>(r)].Occupations[0];
            z.Code = codes[r % 4];
        }
        tarnwick::SaveWorkingFile(s);
        tarnwick::ReleaseProject(s);
        made = true;
    }
};

}  // namespace

class TestAutoCoding : public QObject {
    Q_OBJECT

    static QDialog* Modal(const char* name) {
        auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        return d && d->objectName() == QLatin1String(name) ? d : nullptr;
    }
    static int Coded(TForm1& w) { return w.session().Cases.CodedCount; }
    // Runs `act` on the dialog `name` once it is the modal one in front.
    static void WhenShown(QObject* owner, const char* name, std::function<void(QDialog*)> act) {
        auto* poll = new QTimer(owner);
        QObject::connect(poll, &QTimer::timeout, owner, [poll, name, act] {
            if (QDialog* d = Modal(name)) {
                poll->deleteLater();
                poll->stop();
                act(d);
            }
        });
        poll->start(20);
    }

  private slots:
    // Nothing changes before Code; then a review of the size chosen, whose Enter confirms and
    // whose Escape leaves it; one Ctrl+Z takes every automatic code back, and the calibration
    // stays to say how sure the first suggestion of each case is.
    void codesAfterTheFiguresReviewsAndUndoesInOneStep() {
        CodedProject project;
        QVERIFY(project.made);
        TForm1 w;
        QStringList messages;
        w.platform().messageHook = [&](const QString& m) { messages << m; };
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        OpenProjectThroughDialogs(w, project.files);
        QVERIFY(w.session().SessionStarted);
        QTRY_VERIFY(w.session().Suggester && !w.session().SuggestionsPending);
        QCOMPARE(Coded(w), 180);

        QString figures;
        bool codeWasOffAtFirst = false;
        int codedBeforeCode = 0;
        WhenShown(&w, "AutoCodingDialog", [&](QDialog* d) {
            auto* code = d->findChild<QPushButton*>("AutoCodingCode");
            codeWasOffAtFirst = !code->isEnabled();
            d->findChild<QPushButton*>("AutoCodingEstimate")->click();
            figures = d->findChild<QLabel*>("AutoCodingFigures")->text();
            codedBeforeCode = Coded(w);
            code->click();
        });
        // The review offered next: two cases.
        WhenShown(&w, "ReviewOfferDialog", [](QDialog* offer) {
            offer->findChild<QSpinBox*>("ReviewSampleSize")->setValue(2);
            offer->findChild<QPushButton*>("ReviewNow")->click();
        });
        w.findChild<QAction*>("mainMenuAutoCode")->trigger();
        QVERIFY(codeWasOffAtFirst);
        QCOMPARE(codedBeforeCode, 180);  // the figures change nothing
        QVERIFY2(figures.startsWith(u"60 of 60 cases can be coded automatically"_s),
                 qPrintable(figures));
        QCOMPARE(Coded(w), 240);

        auto* banner = w.findChild<QLabel*>("ReviewBanner");
        QVERIFY(banner->isVisible());
        QVERIFY2(banner->text().contains(u"case 1 of 2"_s), qPrintable(banner->text()));
        auto* edit1 = w.findChild<QLineEdit*>("Edit1");
        w.activateWindow();  // as the desktop does when the dialogs have gone
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(QApplication::focusWidget(), edit1);
        QTest::keyClick(edit1, Qt::Key_Return);
        QVERIFY2(banner->text().contains(u"case 2 of 2"_s), qPrintable(banner->text()));
        QTest::keyClick(edit1, Qt::Key_Escape);
        QVERIFY(!banner->isVisible());
        QCOMPARE(w.session().Review.Active, false);

        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Coded(w), 180);
        const auto& lines = w.session().View.SuggestionLines;
        QVERIFY(!lines.empty());
        QVERIFY2(QString::fromStdString(lines[0]).contains(u"% sure"_s), lines[0].c_str());
        QVERIFY2(messages.isEmpty(), qPrintable(messages.join(u'\n')));
    }
};

QTEST_MAIN(TestAutoCoding)
#include "test_autocoding.moc"
