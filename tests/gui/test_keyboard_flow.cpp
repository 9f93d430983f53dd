// The coding page by keyboard alone, undo and redo by their keys, and leaving the exit questions
// with Cancel: all through the real widgets of an active window.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QtTest>
#include <fstream>
#include <sstream>

#include "core/text/interface_texts.h"
#include "gui/main_window.h"
#include "window_helpers.h"

using tarnwick::Answer;
using tarnwick::gui::TForm1;
using namespace tarnwick::testing;

class TestKeyboardFlow : public QObject {
    Q_OBJECT

    // Keys go where the coder's keys go: to the widget with the focus, through the shortcuts.
    static void Press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target);
        QTest::keyClick(target, key, modifiers);
    }
    static void Type(const char* text) {
        QWidget* target = QApplication::focusWidget();
        QVERIFY(target);
        QTest::keyClicks(target, QString::fromLatin1(text));
    }
    static std::string CodeOf(TForm1& w, int record) {
        return w.session().Cases.Respondents[static_cast<size_t>(record)].Occupations[0].Code;
    }
    static QString Progress(TForm1& w) { return w.findChild<QLabel*>("StatusPanel1")->text(); }
    static void Open(TForm1& w, SmallProject& project) {
        w.resize(1200, 800);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        OpenProjectThroughDialogs(w, project);
        QVERIFY(w.session().SessionStarted);
    }

  private slots:
    // A case costs the key word and two keys: Enter, Enter or Down, Enter.
    void codesWithTheKeyWordAndTwoKeys() {
        SmallProject project;
        TForm1 w;
        QStringList messages;
        w.platform().messageHook = [&](const QString& m) { messages << m; };
        Open(w, project);
        auto* edit1 = w.findChild<QLineEdit*>("Edit1");
        QCOMPARE(QApplication::focusWidget(), edit1);

        Type("category1112");
        Press(Qt::Key_Return);  // the first line, its description shown, nothing coded yet
        QCOMPARE(QApplication::focusWidget(), w.findChild<QListView*>("ListBox1"));
        QVERIFY(w.findChild<QPlainTextEdit*>("Memo1")->toPlainText().contains("category1112"));
        QCOMPARE(CodeOf(w, 0), std::string());
        Press(Qt::Key_Return);
        QCOMPARE(CodeOf(w, 0), std::string("1112"));

        // The next case has the focus back in the box, the old word selected: typing replaces it.
        QCOMPARE(QApplication::focusWidget(), edit1);
        Type("category1113");
        QCOMPARE(edit1->text(), QString("category1113"));
        Press(Qt::Key_Down);
        QCOMPARE(CodeOf(w, 1), std::string());
        Press(Qt::Key_Return);
        QCOMPARE(CodeOf(w, 1), std::string("1113"));

        // Up on the first line returns to the box; Escape empties it.
        Type("category");
        Press(Qt::Key_Down);
        Press(Qt::Key_Up);
        QCOMPARE(QApplication::focusWidget(), edit1);
        Press(Qt::Key_Escape);
        QCOMPARE(edit1->text(), QString());
        QVERIFY(messages.isEmpty());
    }

    void undoAndRedoByTheirKeys() {
        SmallProject project;
        TForm1 w;
        Open(w, project);
        const QString before = Progress(w);
        Type("category1112");
        Press(Qt::Key_Return);
        Press(Qt::Key_Return);
        const QString after = Progress(w);
        QCOMPARE(CodeOf(w, 0), std::string("1112"));
        QVERIFY(w.findChild<QLabel*>("StatusPanel2")->text().startsWith("33 % coded"));

        Press(Qt::Key_Z, Qt::ControlModifier);  // from the key-word box, which has the focus
        QCOMPARE(CodeOf(w, 0), std::string());
        QCOMPARE(Progress(w), before);
        QCOMPARE(w.session().CurrentRecord, 0);
        Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(CodeOf(w, 0), std::string("1112"));
        QCOMPARE(Progress(w), after);
        QCOMPARE(w.findChild<QPlainTextEdit*>("RichEdit11")->toPlainText(), QString("1112"));
    }

    // The Suggestions page is in front; Ctrl+N codes line N, one undo takes it back, and "Code
    // all identical" asks before it codes.
    void suggestionsByTheirKeys() {
        SmallProject project;
        WriteFile(project.data,
                  "000001 1 category 1112       work      \r\n"
                  "000002 1 category 1112       work      \r\n");
        TForm1 w;
        QStringList questions;
        w.platform().questionHook = [&](const QString& q, bool) {
            questions << q;
            return Answer::No;
        };
        Open(w, project);
        auto* tabs = w.findChild<QTabWidget*>("PageControl2");
        // They are prepared on a worker while the first case is already shown.
        auto* list = w.findChild<QListView*>("SuggestionsList");
        QTRY_VERIFY(list->model()->rowCount() >= 2);
        QCOMPARE(tabs->currentWidget()->objectName(), QString("SuggestionsPage"));
        const QString second = list->model()->index(1, 0).data().toString();
        Press(Qt::Key_2, Qt::ControlModifier);
        QVERIFY(second.startsWith("2  "));  // the key's number in front
        QVERIFY(second.contains(QString::fromStdString(" " + CodeOf(w, 0) + " ")));
        Press(Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(CodeOf(w, 0).empty());
        Press(Qt::Key_1, Qt::ControlModifier);
        QVERIFY(!CodeOf(w, 0).empty());
        Press(Qt::Key_F11);  // back to the first respondent, now coded
        QCOMPARE(w.session().CurrentRecord, 0);
        Press(Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(questions.size(), 1);
        QVERIFY(questions[0].startsWith("Code 1 more case with the same answer as "));
        QVERIFY(CodeOf(w, 1).empty());
    }

    void aWordThatMatchesNothingSaysSo() {
        SmallProject project;
        TForm1 w;
        Open(w, project);
        Type("category1112");
        auto* list = w.findChild<QListView*>("ListBox1");
        QCOMPARE(list->model()->rowCount(), 1);
        auto* note = w.findChild<QLabel*>("ListNote");
        QVERIFY(!note->isVisible());
        Type("zz");  // found only as a shorter beginning: listed, with a note that says so
        QCOMPARE(list->model()->rowCount(), 1);
        QVERIFY(note->isVisible());
        QVERIFY(note->text().startsWith("matched as"));
        w.findChild<QLineEdit*>("Edit1")->selectAll();
        Type("qqqq");
        QCOMPARE(list->model()->rowCount(), 0);
        QVERIFY(note->isVisible());
        QVERIFY(note->text().startsWith("No category matches"));
        Press(Qt::Key_Return);  // nothing to go to: the focus stays in the box
        QCOMPARE(QApplication::focusWidget(), w.findChild<QLineEdit*>("Edit1"));
    }

    // The keyboard comes back where the coder types: after a save, which disables the window
    // while it runs, and after a menu left with Escape, whose letters must not take what is typed.
    void theFocusComesBackAfterASaveAndAMenu() {
        SmallProject project;
        TForm1 w;
        Open(w, project);
        auto* edit1 = w.findChild<QLineEdit*>("Edit1");
        Type("cat");
        Press(Qt::Key_S, Qt::ControlModifier);
        QTRY_COMPARE(QApplication::focusWidget(), edit1);
        Type("egory1112");
        QCOMPARE(edit1->text(), QString("category1112"));

        Press(Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        // The menu bar keeps nothing; the offscreen platform leaves the closed menu active.
        QTRY_COMPARE(w.focusWidget(), edit1);
        QTest::keyClicks(w.focusWidget(), QStringLiteral("x"));
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QCOMPARE(edit1->text(), QString("category1112x"));
    }

    // A note typed after a menu left with Escape goes into the notepad, never to the menus whose
    // letters it holds (O for Options, S for Save results).
    void typingInTheNotepadStaysThere() {
        SmallProject project;
        TForm1 w;
        Open(w, project);
        w.findChild<QAction*>("mainMenuNotatnik")->trigger();
        auto* notepad = w.findChild<QPlainTextEdit*>("RichEdit13");
        notepad->setFocus();
        Press(Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() != nullptr);
        QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
        QTRY_COMPARE(w.focusWidget(), notepad);
        QTest::keyClicks(w.focusWidget(), QStringLiteral("000013 status 7 is not valid"));
        QCOMPARE(w.session().Notepad, std::vector<std::string>{"000013 status 7 is not valid"});
        QVERIFY(notepad->isVisible());
    }

    // What is typed in a list goes to the box that searches it: a digit never picks a line by
    // type-ahead for the next Enter to code.
    void typingInAListNeverCodes() {
        SmallProject project;
        TForm1 w;
        Open(w, project);
        auto* edit1 = w.findChild<QLineEdit*>("Edit1");
        Type("category111");
        Press(Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w.findChild<QListView*>("ListBox1"));
        Type("3");
        QCOMPARE(QApplication::focusWidget(), edit1);
        QCOMPARE(edit1->text(), QString("category1113"));
        QVERIFY(CodeOf(w, 0).empty());

        Press(Qt::Key_F, Qt::ControlModifier);  // the full list's search box, one key away
        auto* search = w.findChild<QLineEdit*>("FullListSearch");
        QCOMPARE(QApplication::focusWidget(), search);
        Press(Qt::Key_Down);
        QCOMPARE(QApplication::focusWidget(), w.findChild<QListView*>("ListBox2"));
        Type("52");
        QCOMPARE(QApplication::focusWidget(), search);
        QCOMPARE(search->text(), QString("52"));
        QVERIFY(CodeOf(w, 0).empty());
    }

    // Enter in the key-word box goes to the listed category that the ranking puts first, not to
    // the lowest code; the list keeps its order.
    void enterGoesToTheBestLine() {
        SmallProject project;
        WriteFile(project.data, "000001 1 category1113        work      \r\n");
        TForm1 w;
        w.platform().messageHook = [](const QString&) {};
        Open(w, project);
        QTRY_VERIFY(w.findChild<QListView*>("SuggestionsList")->model()->rowCount() > 0);
        w.findChild<QLineEdit*>("Edit1")->setFocus();
        Type("category111");
        auto* list = w.findChild<QListView*>("ListBox1");
        QVERIFY(list->model()->rowCount() >= 2);
        QVERIFY(list->model()->index(0, 0).data().toString().startsWith("1112"));
        Press(Qt::Key_Return);
        QVERIFY(list->currentIndex().data().toString().startsWith("1113"));
        QVERIFY(list->currentIndex().data(Qt::FontRole).value<QFont>().bold());
        Press(Qt::Key_Return);
        QCOMPARE(CodeOf(w, 0), std::string("1113"));
    }

    // Cancel on any exit question goes back to the session; the codes are kept and can be saved.
    void cancelOnAnExitQuestionKeepsTheSession() {
        SmallProject project;
        TForm1 w;
        Open(w, project);
        Type("category1112");
        Press(Qt::Key_Return);
        Press(Qt::Key_Return);
        w.session().NotepadModified = true;  // so that every question is asked
        const QStringList questions = {
            tarnwick::msg::kAskSaveWorking, tarnwick::msg::kAskSaveOutput,
            tarnwick::msg::kAskSaveNotepad, tarnwick::msg::kAskSaveReport};
        for (const QString& cancelled : questions) {
            QStringList asked;
            w.platform().questionHook = [&](const QString& q, bool) {
                asked << q;
                return q == cancelled ? Answer::Cancel : Answer::Yes;
            };
            w.close();
            QVERIFY2(asked.contains(cancelled), qPrintable(cancelled));
            QCOMPARE(asked.last(), cancelled);
            QVERIFY(w.isVisible());
            QCOMPARE(CodeOf(w, 0), std::string("1112"));
        }
        // The session goes on, and what it codes now is saved too.
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.findChild<QLineEdit*>("Edit1")->setFocus();
        Type("category1113");
        Press(Qt::Key_Return);
        Press(Qt::Key_Return);
        Press(Qt::Key_S, Qt::ControlModifier);
        QVERIFY(w.findChild<QLabel*>("StatusPanel0")->text().startsWith("Saved 2 codes to"));
        std::ifstream saved(project.folder.Path("wave.zda"));
        std::stringstream text;
        text << saved.rdbuf();
        QVERIFY(text.str().find("1112") != std::string::npos);
        QVERIFY(text.str().find("1113") != std::string::npos);
    }
};

QTEST_MAIN(TestKeyboardFlow)
#include "test_keyboard_flow.moc"
