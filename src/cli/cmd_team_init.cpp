// tarnwick-cli team init: a project on disk becomes a team project in a database.

#include <iostream>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/team_command.h"
#include "team/project.h"
#include "team/store.h"

namespace tarnwick::cli {

int TeamInit(const std::string& params, const std::string& clf, const std::string& data,
             const std::string& db, double doubleShare, unsigned long long seed, std::ostream& out,
             std::ostream& err) {
    return Guarded(err, [&] {
        std::vector<std::string> faults;
        const auto project = team::ReadProjectOnDisk(params, clf, data, faults);
        if (!project) {
            for (const std::string& line : faults) out << line << '\n';
            return kFaults;
        }
        team::Connection connection(db);
        team::Migrate(connection);
        team::InitProject(connection, project->Files, project->Cases, doubleShare, seed);
        long long toCode = 0, coded = 0;
        for (const team::CaseState& c : project->Cases) {
            toCode += c.ToCode;
            coded += c.ToCode && !c.Code.empty();
        }
        out << "Team project made from " << project->Files.DataName << ": " << toCode
            << " cases to code, " << coded << " coded already\n";
        return kOk;
    });
}

void AddTeamInitCommand(CLI::App& team, CommandRun& run) {
    struct Options {
        std::string params, clf, data, db;
        double share = 0.1;
        unsigned long long seed = 1;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = team.add_subcommand(
        "init", "Load a project (and the codes of its working file) into a database");
    cmd->add_option("PARAMS", o->params, "coding parameters file")->required();
    cmd->add_option("CLASSIFICATION", o->clf, "classification file")->required();
    cmd->add_option("DATA", o->data, "survey data file")->required();
    AddDbOption(*cmd, o->db);
    cmd->add_option("--double-share", o->share, "share of the cases coded by two coders")
        ->check(Share());
    cmd->add_option("--seed", o->seed, "seed of the double-coding sample");
    cmd->callback([o, &run] {
        run.code =
            TeamInit(o->params, o->clf, o->data, o->db, o->share, o->seed, std::cout, std::cerr);
    });
}

}  // namespace tarnwick::cli
