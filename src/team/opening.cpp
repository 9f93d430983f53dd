#include "team/opening.h"

#include <optional>
#include <utility>
#include <vector>

#include "core/project/opening.h"
#include "core/session/session.h"
#include "team/team_texts.h"

namespace tarnwick::team {

OpenedTeamProject OpenTeamProject(Session& s, const TeamLogin& login) {
    OpenedTeamProject opened;
    const std::string folder =
        login.folder.empty() ? TeamLink::FolderFor(login.conninfo, login.coder) : login.folder;
    std::unique_ptr<TeamLink> link;
    std::optional<LocalCopy> copy;
    std::vector<std::string> faults;
    try {
        link = std::make_unique<TeamLink>(login.conninfo, login.password, login.coder, folder);
        copy = link->Prepare(faults);
    } catch (const TeamError& e) {
        s.platform.ShowMessage(e.what(), Severity::Fault);
        opened.databaseFault = true;
        return opened;
    }
    if (link->StartedOffline())
        s.platform.ShowMessage(msg::kTeamStartedOffline, Severity::Information);
    // Sent whether or not the project then opens: the coder is told at once.
    const size_t sent = link->SentAtPrepare();
    if (sent > 0) s.platform.ShowMessage(msg::TeamSentAtOpening(sent), Severity::Information);
    for (const std::string& refused : link->RefusedAtPrepare())
        s.platform.ShowMessage(refused, Severity::Fault);
    if (!copy) {
        for (std::string& line : faults) s.AppendErrorLine(std::move(line));
        s.ShowPage(Page::Error);
        return opened;
    }
    s.GivenFiles = {copy->ParamsPath, copy->ClassificationPath, copy->DataPath};
    // A console or window of this coder killed on this computer left its lock on the copy.
    s.TakeOverOwnStaleLock = true;
    link->Attach(s);
    try {
        OpenProject(s);
    } catch (...) {
        s.GivenFiles.clear();
        link->Detach();
        throw;
    }
    s.GivenFiles.clear();
    if (!s.SessionStarted) {
        link->Detach();
        return opened;
    }
    if (sent > 0) s.AppendReportLine(msg::TeamSentAtOpening(sent));
    s.AppendReportLine(msg::TeamOpenedAs(login.coder));
    opened.link = std::move(link);
    return opened;
}

}  // namespace tarnwick::team
