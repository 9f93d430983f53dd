// Counts what coding costs the coder's hands in the window: the demo's first 50 cases, each
// coded with its job title typed as the key word (the code it should get is in
// examples/demo/KEYWORDS.txt), once with the mouse flow (click the key-word box, type, click the
// line, click CODE) and once by keyboard alone (type, then the fewest keys). Runs offscreen on a
// copy of the demo; prints keys and clicks per coded case.
//
//   window_keys [DEMO_FOLDER]      (default: the source tree's examples/demo)

#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "gui/main_window.h"

namespace {

constexpr int kCases = 50;

struct Tally {
    int coded = 0;
    int wordKeys = 0;   // the typed key words
    int otherKeys = 0;  // every other key
    int clicks = 0;
    int unknownTitles = 0;
};

// Job title (lower case) -> code, from the demo's KEYWORDS.txt (tab between code and title).
std::map<QString, QString> ReadTitles(const std::filesystem::path& file) {
    std::map<QString, QString> titles;
    std::ifstream in(file);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const size_t tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos) continue;
        titles.emplace(QString::fromLatin1(line.substr(tab + 1)).toLower(),
                       QString::fromLatin1(line.substr(0, tab)));
    }
    return titles;
}

int RowOf(QListView* list, const QString& code) {
    for (int r = 0; r < list->model()->rowCount(); ++r) {
        if (list->model()->index(r, 0).data().toString().startsWith(code + u' ')) return r;
    }
    return -1;
}

class Run {
  public:
    Run(const std::filesystem::path& demo, const std::map<QString, QString>& titles)
        : titles_(titles) {
        std::filesystem::copy(demo, folder_.path().toStdString(),
                              std::filesystem::copy_options::recursive);
        const std::string dir = folder_.path().toStdString() + "/";
        QStringList files = {QString::fromStdString(dir + "demo.zpa"),
                             QString::fromStdString(dir + "demo.clf"),
                             QString::fromStdString(dir + "demo.dat")};
        w_.platform().fileHook = [files](const tarnwick::FileRequest&) mutable {
            return files.isEmpty() ? std::nullopt : std::optional<QString>(files.takeFirst());
        };
        w_.platform().messageHook = [](const QString&) {};
        w_.resize(1366, 740);
        w_.show();
        if (!QTest::qWaitForWindowActive(&w_)) std::fprintf(stderr, "window not active\n");
        w_.findChild<QAction*>("mainMenuDane")->trigger();
        box_ = w_.findChild<QLineEdit*>("Edit1");
        list_ = w_.findChild<QListView*>("ListBox1");
    }

    // The title of the case in front and the code it should get; false for a title that
    // KEYWORDS.txt does not know.
    bool Expected(QString& title, QString& code) {
        title = w_.findChild<QPlainTextEdit*>("RichEdit1")->toPlainText().trimmed().toLower();
        const auto it = titles_.find(title);
        if (it == titles_.end()) return false;
        code = it->second;
        return true;
    }

    std::string CurrentCode() {
        const tarnwick::Session& s = w_.session();
        return s.Cases.Respondents[static_cast<size_t>(s.CurrentRecord)]
            .Occupations[static_cast<size_t>(s.CurrentField)]
            .Code;
    }

    // Click the box, type, click the line (a wheel turn of three lines counts as a click when
    // the line lies below the visible part), click CODE.
    bool ByMouse(Tally& t, const QString& title, const QString& code) {
        QTest::mouseClick(box_, Qt::LeftButton);
        ++t.clicks;
        box_->selectAll();  // the old text goes on typing (a double click would also do)
        QTest::keyClicks(box_, title);
        t.wordKeys += static_cast<int>(title.size());
        const int row = RowOf(list_, code);
        if (row < 0) return false;
        const int line = std::max(1, list_->sizeHintForRow(0));
        const int visible = list_->viewport()->height() / line;
        if (row >= visible) t.clicks += (row - visible) / 3 + 1;
        list_->scrollTo(list_->model()->index(row, 0));
        QTest::mouseClick(list_->viewport(), Qt::LeftButton, {},
                          list_->visualRect(list_->model()->index(row, 0)).center());
        ++t.clicks;
        QTest::mouseClick(w_.findChild<QPushButton*>("BitBtn5"), Qt::LeftButton);
        ++t.clicks;
        return true;
    }

    // Type into the box that has the focus (a click when it has not), then Enter, Down to the
    // line, Enter.
    bool ByKeyboard(Tally& t, const QString& title, const QString& code) {
        if (QApplication::focusWidget() != box_) {
            QTest::mouseClick(box_, Qt::LeftButton);
            ++t.clicks;
        }
        auto key = [&](Qt::Key k) {
            QTest::keyClick(QApplication::focusWidget(), k);
            ++t.otherKeys;
        };
        QTest::keyClicks(QApplication::focusWidget(), title);
        t.wordKeys += static_cast<int>(title.size());
        const int row = RowOf(list_, code);
        if (row < 0) return false;
        key(Qt::Key_Return);
        for (int i = 0; i < row; ++i) key(Qt::Key_Down);
        key(Qt::Key_Return);
        return true;
    }

    template <class Flow>
    Tally Code(Flow flow) {
        Tally t;
        for (int n = 0; n < kCases; ++n) {
            QString title, code;
            const int record = w_.session().CurrentRecord, field = w_.session().CurrentField;
            if (!Expected(title, code) || !(this->*flow)(t, title, code)) {
                ++t.unknownTitles;
                w_.findChild<QPushButton*>("Button2")->click();  // MISSING, not counted
                continue;
            }
            const auto& z = w_.session()
                                .Cases.Respondents[static_cast<size_t>(record)]
                                .Occupations[static_cast<size_t>(field)];
            if (QString::fromStdString(z.Code) == code) ++t.coded;
        }
        return t;
    }

  private:
    QTemporaryDir folder_;
    const std::map<QString, QString>& titles_;
    tarnwick::gui::TForm1 w_;
    QLineEdit* box_ = nullptr;
    QListView* list_ = nullptr;
};

void Report(const char* name, const Tally& t) {
    const double n = std::max(1, t.coded);
    std::printf(
        "%-9s coded %d of %d; per coded case: %.1f keys of key word + %.2f other keys, "
        "%.2f clicks (%d titles unknown or not found)\n",
        name, t.coded, kCases, t.wordKeys / n, t.otherKeys / n, t.clicks / n, t.unknownTitles);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Never the user's own window settings.
    QStandardPaths::setTestModeEnabled(true);
    QTemporaryDir settings;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
    QApplication app(argc, argv);
    const std::filesystem::path demo = argc > 1 ? argv[1] : TARNWICK_DEMO;
    const auto titles = ReadTitles(demo / "KEYWORDS.txt");

    const Tally before = Run(demo, titles).Code(&Run::ByMouse);
    const Tally after = Run(demo, titles).Code(&Run::ByKeyboard);
    Report("mouse", before);
    Report("keyboard", after);
    return before.coded == after.coded && after.coded > 0 ? 0 : 1;
}
