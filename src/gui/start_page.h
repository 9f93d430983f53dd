#pragma once
// What the window shows before a project is open: the recent projects (Enter reopens the one
// selected), the demo project, Open project and Open team project, and what a project is.

#include <QStringList>
#include <QWidget>
#include <optional>

class QLabel;
class QListView;
class QPushButton;
class QStandardItemModel;

namespace tarnwick::gui {

// The three files of a project, in the order Open project asks for them.
struct ProjectFiles {
    QString params, classification, data;
    QStringList List() const { return {params, classification, data}; }
};

// The recent projects, newest first, kept in the program's settings.
QList<ProjectFiles> RecentProjects();
void RememberProject(const ProjectFiles& files);
void ForgetProject(const ProjectFiles& files);
// The demo project in a folder of the user's own (copied there on first use, so that its working
// file is written where the user may write); nullopt with `error` set when it cannot be.
std::optional<ProjectFiles> DemoProject(QString& error);

class StartPage : public QWidget {
    Q_OBJECT
  public:
    explicit StartPage(QWidget* parent);
    // Reads the recent projects again and puts the keyboard on the newest.
    void Reload();
    void Focus();

  signals:
    void openRequested(const tarnwick::gui::ProjectFiles& files);
    void demoRequested();
    void openWithDialogsRequested();
    void openTeamRequested();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void OpenSelected();

    QLabel* recentCaption_ = nullptr;
    QPushButton* demo_ = nullptr;  // OpenDemo: the keyboard's place while no project is recent
    QStandardItemModel* recentModel_ = nullptr;
    QListView* recent_ = nullptr;  // RecentProjects
    QList<ProjectFiles> shown_;
};

}  // namespace tarnwick::gui
