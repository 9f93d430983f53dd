#pragma once
// What the window tests share: the visible menus and opening a project through scripted dialogs.

#include <QAbstractItemModelTester>
#include <QAbstractItemView>
#include <QAction>
#include <QComboBox>
#include <QMenuBar>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <QStringList>
#include <QTemporaryDir>

#include "../core/project_fixture.h"
#include "gui/main_window.h"

namespace tarnwick::testing {

// The window keeps its size in QSettings: a test program reads and writes settings of its own,
// in a folder that starts empty and goes away with the program, never the user's.
struct OwnSettingsFolder {
    OwnSettingsFolder() {
        QStandardPaths::setTestModeEnabled(true);
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder.path());
    }
    QTemporaryDir folder;
};
inline OwnSettingsFolder ownSettingsFolder;

inline QStringList VisibleMenus(gui::TForm1& w) {
    QStringList names;
    for (QAction* a : w.menuBar()->actions()) {
        if (a->isVisible()) names << a->objectName();
    }
    return names;
}

// Watches every item model of the window (lists and the respondent selector) from now on: a model
// that breaks the rules of Qt's item models fails the running test.
inline void WatchItemModels(gui::TForm1& w) {
    QSet<QAbstractItemModel*> models;
    for (auto* view : w.findChildren<QAbstractItemView*>()) models.insert(view->model());
    for (auto* combo : w.findChildren<QComboBox*>()) models.insert(combo->model());
    for (QAbstractItemModel* model : models) {
        new QAbstractItemModelTester(model, QAbstractItemModelTester::FailureReportingMode::QtTest,
                                     model);
    }
}

// Shows the window at a size where every list has room, its models watched; false when it never
// appears.
inline bool ShowWatched(gui::TForm1& w) {
    WatchItemModels(w);
    w.resize(1200, 900);
    w.show();
    return QTest::qWaitForWindowExposed(&w);
}

// Answers the three file dialogs of Open project with the project's files, then cancels.
inline void OpenProjectThroughDialogs(gui::TForm1& w, SmallProject& p) {
    QStringList files = {QString::fromStdString(p.params), QString::fromStdString(p.classification),
                         QString::fromStdString(p.data)};
    w.platform().fileHook = [files](const FileRequest&) mutable -> std::optional<QString> {
        if (files.isEmpty()) return std::nullopt;
        return files.takeFirst();
    };
    w.findChild<QAction*>("mainMenuDane")->trigger();
}

}  // namespace tarnwick::testing
