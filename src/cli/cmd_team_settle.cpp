// tarnwick-cli team settle: a supervisor gives a double-coded case its final code.

#include <iostream>
#include <memory>
#include <ostream>
#include <string>

#include "cli/team_command.h"
#include "team/store.h"

namespace tarnwick::cli {

int TeamSettle(const std::string& db, int record, int field, const std::string& code,
               const std::string& supervisor, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        team::Settle(*connection, record - 1, field - 1, code, supervisor);
        out << "Record " << record << ", field " << field << ": final code " << code << '\n';
        return kOk;
    });
}

void AddTeamSettleCommand(CLI::App& team, CommandRun& run) {
    struct Options {
        std::string db, code;
        std::string supervisor = "supervisor";
        int record = 0, field = 0;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = team.add_subcommand("settle", "Give a double-coded case its final code");
    AddDbOption(*cmd, o->db);
    cmd->add_option("RECORD", o->record, "record number, from 1")
        ->required()
        ->check(CLI::PositiveNumber);
    cmd->add_option("FIELD", o->field, "occupation field number, from 1")
        ->required()
        ->check(CLI::PositiveNumber);
    cmd->add_option("CODE", o->code, "the final code")->required();
    cmd->add_option("--supervisor", o->supervisor, "name noted with the final code");
    cmd->callback([o, &run] {
        run.code =
            TeamSettle(o->db, o->record, o->field, o->code, o->supervisor, std::cout, std::cerr);
    });
}

}  // namespace tarnwick::cli
