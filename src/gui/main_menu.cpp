#include "gui/main_menu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "core/project/review.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "gui/convert.h"
#include "gui/shortcuts.h"
#include "gui/window_texts.h"

namespace tarnwick::gui {

using namespace Qt::StringLiterals;

namespace {

QString Text(Ui ui) { return FromBytes(UiText(ui)); }

QMenu* Submenu(QMenuBar* bar, const char* name, const QString& title) {
    auto* menu = new QMenu(title, bar);
    menu->setObjectName(QString::fromLatin1(name) + u"Menu"_s);
    menu->menuAction()->setObjectName(name);
    bar->addMenu(menu);
    return menu;
}

}  // namespace

QAction* MainMenu::Add(QMenuBar* bar, QMenu* menu, Command command, const char* name,
                       const QString& text) {
    QAction* action = menu != nullptr ? menu->addAction(text) : bar->addAction(text);
    action->setObjectName(name);
    actions_[static_cast<size_t>(command)] = action;
    return action;
}

MainMenu::MainMenu(QMenuBar* bar) : QObject(bar) {
    using C = Command;
    Add(bar, nullptr, C::ReturnToCoding, "mainMenuKodowanie", Text(Ui::ReturnToCodingMenu));
    Add(bar, nullptr, C::Notepad, "mainMenuNotatnik", Text(Ui::NotepadMenu));
    Add(bar, nullptr, C::Report, "mainMenuRaport", Text(Ui::ReportMenu));
    Add(bar, nullptr, C::TeamPage, "mainMenuTeam", FromBytes(msg::kTeamPageMenu));
    Add(bar, nullptr, C::OpenProject, "mainMenuDane", Text(Ui::OpenProjectMenu));
    Add(bar, nullptr, C::OpenTeamProject, "mainMenuTeamOpen", FromBytes(msg::kOpenTeamProjectMenu));
    Add(bar, nullptr, C::Options, "mainMenuOpcje", Text(Ui::OptionsMenu));
    Add(bar, nullptr, C::FindNotCoded, "mainMenuZnajdz", Text(Ui::FindNotCodedMenu))
        ->setShortcut(KeysOf(Key::FindNotCoded));
    // Automatic coding stands beside Find non-coded, the other way of getting through the cases.
    autoCoding_ = Submenu(bar, "mainMenuAutomatic", FromBytes(msg::kAutoCodingMenu));
    Add(bar, autoCoding_, C::AutoCode, "mainMenuAutoCode", FromBytes(msg::kAutoCodeItem))
        ->setShortcut(KeysOf(Key::CodeAutomatically));
    Add(bar, autoCoding_, C::Review, "mainMenuReview", FromBytes(msg::kReviewItem))
        ->setShortcut(KeysOf(Key::Review));
    Add(bar, autoCoding_, C::LeaveReview, "mainMenuLeaveReview", FromBytes(msg::kLeaveReviewItem));
    Add(bar, nullptr, C::SaveResults, "mainMenuZapisz", Text(Ui::SaveResultsMenu))
        ->setShortcut(KeysOf(Key::SaveResults));
    // The exports stand beside Save results.
    exports_ = Submenu(bar, "mainMenuEksport", FromBytes(msg::kExportMenu));
    Add(bar, exports_, C::ExportSav, "mainMenuEksportSav", FromBytes(msg::kExportSavItem));
    Add(bar, exports_, C::ExportZsav, "mainMenuEksportZsav", FromBytes(msg::kExportZsavItem));
    Add(bar, exports_, C::ExportDta, "mainMenuEksportDta", FromBytes(msg::kExportDtaItem));
    Add(bar, exports_, C::ExportCsv, "mainMenuEksportCsv", FromBytes(msg::kExportCsvItem));
    Add(bar, nullptr, C::About, "mainMenuInfo", Text(Ui::InfoMenu));
    Add(bar, nullptr, C::Quit, "mainMenuZakoncz", Text(Ui::QuitSessionMenu));
    QMenu* help = Submenu(bar, "mainMenuHelp", u"&Help"_s);
    Add(bar, help, C::UserGuide, "mainMenuGuide", u"&User guide"_s);
    Add(bar, help, C::Shortcuts, "mainMenuShortcuts", u"&Keyboard shortcuts"_s)
        ->setShortcut(KeysOf(Key::Help));
}

void MainMenu::Render(const Session& s, bool team) {
    const bool started = s.SessionStarted;
    using C = Command;
    Action(C::ReturnToCoding)->setVisible(started && s.ReturnToCodingVisible);
    for (C c : {C::Notepad, C::Report, C::Options, C::FindNotCoded, C::SaveResults}) {
        Action(c)->setVisible(started);
    }
    Action(C::OpenProject)->setVisible(!started);
    Action(C::OpenTeamProject)->setVisible(!started);
    Action(C::TeamPage)->setVisible(started && team);
    autoCoding_->menuAction()->setVisible(started);
    Action(C::Review)->setEnabled(!s.ReadOnly && !InReview(s));
    Action(C::LeaveReview)->setEnabled(InReview(s));
    // A coder of a team sees only their own side of the double-coded cases: the team's
    // results come from tarnwick-cli team export.
    exports_->menuAction()->setVisible(started && !team);
    // A project open read-only (another coder holds it) takes no coding and no save.
    Action(C::SaveResults)->setEnabled(!s.ReadOnly);
    exports_->menuAction()->setEnabled(!s.ReadOnly);
}

}  // namespace tarnwick::gui
