// Times what the coder feels in the window on a generated project of a million records:
// Open project (the three steps and the first drawing of the coding page), typing a key word
// letter by letter, the arrow buttons, and refilling the respondent selector. Runs offscreen.
//
//   window_bench [RECORDS]      (default 1000000; the project goes to a temporary folder)

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <QToolButton>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

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

    std::filesystem::remove_all(plan.folder);
    return 0;
}
