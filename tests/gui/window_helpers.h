#pragma once
// What the window tests share: the visible menus and opening a project through scripted dialogs.

#include <QAction>
#include <QMenuBar>
#include <QStringList>

#include "../core/project_fixture.h"
#include "gui/main_window.h"

namespace tarnwick::testing {

inline QStringList VisibleMenus(gui::TForm1& w) {
    QStringList names;
    for (QAction* a : w.menuBar()->actions()) {
        if (a->isVisible()) names << a->objectName();
    }
    return names;
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
