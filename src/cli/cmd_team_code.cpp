// tarnwick-cli team code: a console coding session on a team project.

#include <iostream>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/team_command.h"
#include "core/session/session.h"
#include "team/opening.h"
#include "team/sync.h"

namespace tarnwick::cli {

int TeamCode(const std::string& db, const std::string& coder, const std::string& folder,
             std::istream& in, std::ostream& out, std::ostream& err, bool progressLine) {
    return Guarded(err, [&] {
        std::unique_ptr<team::TeamLink> link;
        bool databaseFault = false;
        ConsoleHooks hooks;
        hooks.open = [&](Session& s, std::ostream&) {
            team::OpenedTeamProject opened = team::OpenTeamProject(s, {db, "", coder, folder});
            link = std::move(opened.link);
            databaseFault = opened.databaseFault;
        };
        hooks.between = [&](Session&, std::ostream& o) {
            if (const int taken = link->Poll(); taken > 0) {
                o << "team: " << taken << " codes from other coders\n";
            }
        };
        hooks.end = [&](Session&) {
            if (link) link->Detach();
        };
        const int code = SessionConsole(in, out, err, progressLine, &hooks);
        return databaseFault ? kIoOrUsage : code;
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
