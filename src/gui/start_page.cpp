#include "gui/start_page.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QStandardItemModel>
#include <QStandardPaths>
#include <QVBoxLayout>

#include "gui/widget_style.h"
#include "gui/window_state.h"

#ifndef TARNWICK_DEMO_SOURCE
#define TARNWICK_DEMO_SOURCE ""
#endif

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

constexpr int kRecentKept = 9;

void WriteRecent(const QList<ProjectFiles>& projects) {
    QSettings settings = ProgramSettings();
    settings.beginWriteArray(u"recent"_s, static_cast<int>(projects.size()));
    for (int i = 0; i < projects.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(u"params"_s, projects[i].params);
        settings.setValue(u"classification"_s, projects[i].classification);
        settings.setValue(u"data"_s, projects[i].data);
    }
    settings.endArray();
}

bool Same(const ProjectFiles& a, const ProjectFiles& b) {
    return a.params == b.params && a.classification == b.classification && a.data == b.data;
}

// Where the demo's files are: beside an installed program, else in the source tree it was
// built from.
QString DemoSource() {
    const QString installed = QCoreApplication::applicationDirPath() + u"/../share/tarnwick/demo"_s;
    if (QFileInfo::exists(installed + u"/demo.zpa"_s)) return installed;
    return QString::fromUtf8(TARNWICK_DEMO_SOURCE);
}

QPushButton* Button(const QString& text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    button->setMinimumWidth(260);
    button->setAutoDefault(true);  // Enter presses the button with the keyboard
    return button;
}

}  // namespace

QList<ProjectFiles> RecentProjects() {
    QSettings settings = ProgramSettings();
    QList<ProjectFiles> projects;
    const int n = settings.beginReadArray(u"recent"_s);
    for (int i = 0; i < n; ++i) {
        settings.setArrayIndex(i);
        ProjectFiles p{settings.value(u"params"_s).toString(),
                       settings.value(u"classification"_s).toString(),
                       settings.value(u"data"_s).toString()};
        if (!p.params.isEmpty() && !p.classification.isEmpty() && !p.data.isEmpty()) {
            projects.append(p);
        }
    }
    settings.endArray();
    return projects;
}

void RememberProject(const ProjectFiles& files) {
    QList<ProjectFiles> projects = RecentProjects();
    projects.removeIf([&](const ProjectFiles& p) { return Same(p, files); });
    projects.prepend(files);
    while (projects.size() > kRecentKept) projects.removeLast();
    WriteRecent(projects);
}

void ForgetProject(const ProjectFiles& files) {
    QList<ProjectFiles> projects = RecentProjects();
    projects.removeIf([&](const ProjectFiles& p) { return Same(p, files); });
    WriteRecent(projects);
}

std::optional<ProjectFiles> DemoProject(QString& error) {
    const QString source = DemoSource();
    const QString folder =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u"/demo"_s;
    if (!QDir().mkpath(folder)) {
        error = u"The demo project cannot be put in "_s + folder + u"."_s;
        return std::nullopt;
    }
    ProjectFiles files{folder + u"/demo.zpa"_s, folder + u"/demo.clf"_s, folder + u"/demo.dat"_s};
    // Copied once: the coder's work on the demo is there the next time.
    for (const QString& target : files.List()) {
        if (QFileInfo::exists(target)) continue;
        const QString from = source + u'/' + QFileInfo(target).fileName();
        if (source.isEmpty() || !QFile::copy(from, target)) {
            error =
                u"The demo project's file "_s + from + u" cannot be copied to "_s + folder + u"."_s;
            return std::nullopt;
        }
        QFile::setPermissions(target, QFile::permissions(target) | QFile::WriteOwner);
    }
    return files;
}

StartPage::StartPage(QWidget* parent) : QWidget(parent) {
    setObjectName("StartPage");
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(48, 32, 48, 32);
    auto* title = new QLabel(u"Tarnwick: coding occupations in survey data"_s, this);
    QFont big = Bold(title->font());
    big.setPointSizeF(big.pointSizeF() * 1.5);
    title->setFont(big);
    outer->addWidget(title);
    auto* about = new QLabel(
        u"A project is three files: the coding parameters (.zpa), which say where each "
        u"respondent's occupations stand in the data; the classification (.clf), with its codes "
        u"and key words; and the survey's fixed-width data file. Your codes are kept in a "
        u"working file beside the data, so you may stop at any time and go on where you left "
        u"off. When the coding is done, Save results and Quit session write the output data "
        u"file and the SPSS script that reads it."_s,
        this);
    about->setObjectName("StartAbout");
    about->setWordWrap(true);
    outer->addWidget(about);
    outer->addSpacing(16);
    recentCaption_ = new QLabel(this);
    recentCaption_->setFont(Bold(recentCaption_->font()));
    outer->addWidget(recentCaption_);
    // The model before the view: it outlives the view, whose end then resets nothing.
    recentModel_ = new QStandardItemModel(this);
    recent_ = new QListView(this);
    recent_->setObjectName("RecentProjects");
    recent_->setModel(recentModel_);
    recent_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    recent_->setMaximumHeight(200);
    recent_->installEventFilter(this);
    outer->addWidget(recent_);
    connect(recent_, &QListView::activated, this, [this] { OpenSelected(); });
    outer->addSpacing(8);
    auto* demo = Button(u"Open the demo project"_s, "OpenDemo", this);
    demo_ = demo;
    auto* open = Button(u"Open project: choose its three files\u2026"_s, "OpenProject", this);
    auto* team = Button(u"Open team project\u2026"_s, "OpenTeamProject", this);
    for (QPushButton* b : {demo, open, team}) outer->addWidget(b, 0, Qt::AlignLeft);
    outer->addStretch(1);
    connect(demo, &QPushButton::clicked, this, &StartPage::demoRequested);
    connect(open, &QPushButton::clicked, this, &StartPage::openWithDialogsRequested);
    connect(team, &QPushButton::clicked, this, &StartPage::openTeamRequested);
    Reload();
}

void StartPage::Reload() {
    shown_ = RecentProjects();
    recentModel_->clear();
    for (const ProjectFiles& p : shown_) {
        auto* item = new QStandardItem(QFileInfo(p.data).fileName() + u"   \u2014   "_s +
                                       QFileInfo(p.data).absolutePath());
        item->setToolTip(p.List().join(u'\n'));
        recentModel_->appendRow(item);
    }
    recent_->setVisible(!shown_.isEmpty());
    recentCaption_->setText(shown_.isEmpty()
                                ? u"No recent projects yet."_s
                                : u"Recent projects (Enter opens the one selected):"_s);
    if (!shown_.isEmpty()) recent_->setCurrentIndex(recentModel_->index(0, 0));
}

void StartPage::Focus() {
    if (!shown_.isEmpty()) {
        recent_->setFocus(Qt::OtherFocusReason);
    } else {
        demo_->setFocus(Qt::OtherFocusReason);
    }
}

void StartPage::OpenSelected() {
    const int row = recent_->currentIndex().row();
    if (row >= 0 && row < shown_.size()) emit openRequested(shown_[row]);
}

bool StartPage::eventFilter(QObject* watched, QEvent* event) {
    // Enter on the list opens the project even where the style does not activate items by it.
    if (watched == recent_ && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            OpenSelected();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarnwick::gui
