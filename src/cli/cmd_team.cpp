// tarnwick-cli team ...: a project shared by a team of coders in PostgreSQL.

#include "cli/team_command.h"
#include "team/team_texts.h"

namespace tarnwick::cli {

std::unique_ptr<team::Connection> OpenTeamDb(const std::string& db) {
    auto connection = std::make_unique<team::Connection>(db);
    if (team::SchemaVersion(*connection) == 0) {
        throw team::TeamError(msg::kTeamNoProject);
    }
    return connection;
}

void AddDbOption(CLI::App& cmd, std::string& db) {
    cmd.add_option("--db", db, "libpq connection string of the project's database")->required();
}

void AddTeamCommand(CLI::App& app, CommandRun& run) {
    // A project shared by a team in PostgreSQL; --db is a libpq connection string.
    auto* team = app.add_subcommand("team", "A project coded by a team in PostgreSQL");
    team->require_subcommand(1);
    AddTeamInitCommand(*team, run);
    AddTeamExportCommand(*team, run);
    AddTeamStatusCommand(*team, run);
    AddTeamDisagreementsCommand(*team, run);
    AddTeamSettleCommand(*team, run);
    AddTeamCodeCommand(*team, run);
}

}  // namespace tarnwick::cli
