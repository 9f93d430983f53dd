// Times what the coder feels in the window on a generated project of a million records:
// Open project (the three steps and the first drawing of the coding page), the suggestions
// learnt from the project's coded answers, a move and a code with them shown, typing a key word
// letter by letter, the arrow buttons, refilling the respondent selector, and the peak memory
// against the data file. Runs offscreen.
//
//   window_bench [RECORDS] [open]   (default 1000000; the project goes to a temporary folder;
//                                    "open" stops after the first case, for a profile of it)

#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <utility>
#include <vector>

#include "gui/main_window.h"
#include "project_generator.h"

namespace {

double Ms(QElapsedTimer& t) { return static_cast<double>(t.nsecsElapsed()) / 1e6; }

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tarnwick::bench::ProjectSpec plan;
    plan.records = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1000000;
    plan.folder = (std::filesystem::temp_directory_path() / "tarnwick-window-bench").string();
    std::filesystem::remove_all(plan.folder);
    const auto project = tarnwick::bench::GenerateProject(plan);
    std::printf("project: %zu records, %.1f MB data\n", plan.records, project.dataBytes / 1e6);

    tarnwick::gui::TForm1 w;
    w.resize(1200, 900);
    w.show();
    QStringList files = {QString::fromStdString(project.paramsPath),
                         QString::fromStdString(project.classificationPath),
                         QString::fromStdString(project.dataPath)};
    w.platform().fileHook = [&](const tarnwick::FileRequest&) -> std::optional<QString> {
        return files.isEmpty() ? std::nullopt : std::optional<QString>(files.takeFirst());
    };
    w.platform().messageHook = [](const QString&) {};

    QElapsedTimer t;
    t.start();
    w.findChild<QAction*>("mainMenuDane")->trigger();
    QCoreApplication::processEvents();
    std::printf("open project, first case drawn: %.0f ms\n", Ms(t));
    if (!w.session().SessionStarted) {
        std::printf("the project did not open\n");
        return 1;
    }
    if (argc > 2 && std::string_view(argv[2]) == "open") {
        std::filesystem::remove_all(plan.folder);
        return 0;
    }

    tarnwick::Session& s = w.session();
    while ((s.SuggestionsPending || !s.Suggester) && t.elapsed() < 600000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    std::printf("suggestions ready: %.0f ms after the data file was chosen (%zu answers learnt)\n",
                Ms(t), s.Memory.AnswerCount());

    // With the suggestions shown: what a move and a code cost, the worst of twenty each.
    w.activateWindow();
    // The median and the worst of fifty.
    auto timesOf = [&](auto step) {
        std::vector<double> ms;
        for (int i = 0; i < 50; ++i) {
            t.restart();
            step();
            QCoreApplication::processEvents();
            ms.push_back(Ms(t));
        }
        std::sort(ms.begin(), ms.end());
        return std::pair{ms[ms.size() / 2], ms.back()};
    };
    const auto moves = timesOf([&] { w.findChild<QToolButton*>("BitBtn1")->click(); });
    std::printf("next occupation with suggestions: median %.2f ms, worst %.2f ms\n", moves.first,
                moves.second);
    const size_t learnt = s.Memory.AnswerCount();
    const auto codes = timesOf([&] {
        QWidget* at = QApplication::focusWidget();
        QTest::keyClick(at != nullptr ? at : &w, Qt::Key_1, Qt::ControlModifier);
    });
    std::printf(
        "code with suggestion 1 (Ctrl+1): median %.2f ms, worst %.2f ms (%zu answers "
        "learnt from the codes)\n",
        codes.first, codes.second, s.Memory.AnswerCount() - learnt);

    // The learnt model, built on a worker once the coder pauses; the window's thread only takes
    // the memory's snapshot. The longest the window's thread was held meanwhile.
    t.restart();
    double held = 0;
    while (s.Memory.Model() == nullptr && t.elapsed() < 300000) {
        QElapsedTimer one;
        one.start();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        held = std::max(held, Ms(one));
    }
    if (s.Memory.Model() != nullptr) {
        std::printf(
            "learnt model in use: %.0f ms after the last code; the window's thread held "
            "at most %.1f ms meanwhile\n",
            Ms(t), held);
        std::printf("next occupation with the model: median %.2f ms\n",
                    timesOf([&] { w.findChild<QToolButton*>("BitBtn1")->click(); }).first);
    }

    auto* edit1 = w.findChild<QLineEdit*>("Edit1");
    double worst = 0;
    for (const char* word : {"cat", "cate", "categ", "categor", "category", "word1", "word12"}) {
        edit1->clear();
        t.restart();
        QTest::keyClicks(edit1, word);
        QCoreApplication::processEvents();
        const double per = Ms(t) / static_cast<double>(std::strlen(word));
        if (per > worst) worst = per;
    }
    std::printf("typing a key word: worst %.2f ms per keystroke (search, list and page drawn)\n",
                worst);

    auto time = [&](const char* name, const char* what) {
        t.restart();
        w.findChild<QToolButton*>(name)->click();
        QCoreApplication::processEvents();
        std::printf("%s: %.2f ms\n", what, Ms(t));
    };
    time("BitBtn1", "next occupation");
    time("BitBtn3", "next record");
    time("BitBtn4", "previous record");

    t.restart();
    w.findChild<QAction*>("mainMenuZnajdz")->trigger();
    std::printf("find non-coded: %.2f ms\n", Ms(t));

    t.restart();
    w.findChild<QRadioButton*>("RadioGroup1Item1")->click();
    w.findChild<QAction*>("mainMenuKodowanie")->trigger();
    QCoreApplication::processEvents();
    std::printf("refill the respondent selector (%d entries): %.1f ms\n",
                w.findChild<QComboBox*>("ComboBox1")->count(), Ms(t));

    t.restart();
    w.findChild<QAction*>("mainMenuZapisz")->trigger();
    std::printf("save results: %.0f ms\n", Ms(t));

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    std::printf("peak memory: %.0f MB, %.2f x the data file\n", peak / 1e6,
                peak / static_cast<double>(project.dataBytes));

    std::filesystem::remove_all(plan.folder);
    return 0;
}
