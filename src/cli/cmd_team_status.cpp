// tarnwick-cli team status: progress, coders and agreement.

#include <iostream>
#include <memory>
#include <ostream>
#include <string>

#include "cli/team_command.h"
#include "team/status_text.h"
#include "team/store.h"

namespace tarnwick::cli {

int TeamStatus(const std::string& db, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        for (const std::string& line : team::StatusLines(team::ReadStatus(*connection))) {
            out << line << '\n';
        }
        return kOk;
    });
}

void AddTeamStatusCommand(CLI::App& team, CommandRun& run) {
    auto db = std::make_shared<std::string>();
    auto* cmd = team.add_subcommand("status", "Progress, coders and agreement");
    AddDbOption(*cmd, *db);
    cmd->callback([db, &run] { run.code = TeamStatus(*db, std::cout, std::cerr); });
}

}  // namespace tarnwick::cli
