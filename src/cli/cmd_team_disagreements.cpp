// tarnwick-cli team disagreements: the double-coded cases whose two codes differ.

#include <iostream>
#include <memory>
#include <ostream>
#include <string>

#include "cli/team_command.h"
#include "team/status_text.h"
#include "team/store.h"

namespace tarnwick::cli {

int TeamDisagreements(const std::string& db, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        for (const std::string& line : team::DisagreementLines(team::Disagreements(*connection))) {
            out << line << '\n';
        }
        return kOk;
    });
}

void AddTeamDisagreementsCommand(CLI::App& team, CommandRun& run) {
    auto db = std::make_shared<std::string>();
    auto* cmd = team.add_subcommand("disagreements", "Double-coded cases whose two codes differ");
    AddDbOption(*cmd, *db);
    cmd->callback([db, &run] { run.code = TeamDisagreements(*db, std::cout, std::cerr); });
}

}  // namespace tarnwick::cli
