// tarnwick-cli team code: a console coding session on a team project.

#include <iostream>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/team_command.h"
#include "core/project/opening.h"
#include "core/project/scripted_platform.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "team/sync.h"

namespace tarnwick::cli {

int TeamCode(const std::string& db, const std::string& coder, const std::string& folderIn,
             std::istream& in, std::ostream& out, std::ostream& err, bool progressLine) {
    return Guarded(err, [&] {
        const std::string folder =
            folderIn.empty() ? team::TeamLink::FolderFor(db, coder) : folderIn;
        team::TeamLink link(db, "", coder, folder);
        std::vector<std::string> faults;
        const auto copy = link.Prepare(faults);
        if (!copy) {
            for (const std::string& line : faults) out << line << '\n';
            return kFaults;
        }
        if (link.SentAtPrepare() > 0)
            out << "message: " << msg::TeamSentAtOpening(link.SentAtPrepare()) << '\n';
        ConsoleHooks hooks;
        hooks.open = [&](Session& s, std::ostream& o) {
            auto& platform = static_cast<ScriptedPlatform&>(s.platform);
            for (const std::string* file :
                 {&copy->ParamsPath, &copy->ClassificationPath, &copy->DataPath}) {
                platform.fileAnswers.push_back(*file);
            }
            link.Attach(s);
            try {
                OpenProject(s);
            } catch (const IoError& e) {
                o << "message: " << e.what() << '\n';
            }
            if (!s.SessionStarted) link.Detach();
        };
        hooks.between = [&](Session&, std::ostream& o) {
            if (const int taken = link.Poll(); taken > 0) {
                o << "team: " << taken << " codes from other coders\n";
            }
        };
        hooks.end = [&](Session&) { link.Detach(); };
        return SessionConsole(in, out, err, progressLine, &hooks);
    });
}

void AddTeamCodeCommand(CLI::App& team, CommandRun& run) {
    struct Options {
        std::string db, coder, folder;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = team.add_subcommand(
        "code", "Code a team project from commands on stdin, as the session console does");
    AddDbOption(*cmd, o->db);
    cmd->add_option("--coder", o->coder, "the coder's name")->required();
    cmd->add_option("--folder", o->folder,
                    "folder for this computer's copy and outbox (default: under "
                    "~/.local/share/tarnwick/team)");
    cmd->callback([o, &run] {
        EndOnSignals();
        run.code =
            TeamCode(o->db, o->coder, o->folder, std::cin, std::cout, std::cerr, run.progressLine);
    });
}

}  // namespace tarnwick::cli
