#pragma once
// The menu bar: every command of the window, each action named after its old menu item
// (mainMenuKodowanie ...), shown as the session allows.

#include <QObject>
#include <array>

class QAction;
class QMenu;
class QMenuBar;

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

class MainMenu : public QObject {
    Q_OBJECT
  public:
    // In the order of the menu bar.
    enum class Command {
        ReturnToCoding,
        Notepad,
        Report,
        TeamPage,
        OpenProject,
        OpenTeamProject,
        Options,
        FindNotCoded,
        AutoCode,
        Review,
        LeaveReview,
        SaveResults,
        ExportSav,
        ExportZsav,
        ExportDta,
        ExportCsv,
        About,
        Quit,
        UserGuide,
        Shortcuts,
        Count
    };
    explicit MainMenu(QMenuBar* bar);
    // What may be chosen now: a project open or not, in a team, read-only, in review.
    void Render(const Session& session, bool team);
    QAction* Action(Command command) const { return actions_[static_cast<size_t>(command)]; }

  private:
    QAction* Add(QMenuBar* bar, QMenu* menu, Command command, const char* name,
                 const QString& text);

    std::array<QAction*, static_cast<size_t>(Command::Count)> actions_{};
    QMenu* autoCoding_ = nullptr;  // mainMenuAutomatic
    QMenu* exports_ = nullptr;     // mainMenuEksport
};

}  // namespace tarnwick::gui
