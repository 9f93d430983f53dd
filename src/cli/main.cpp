#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/command.h"

int main(int argc, char** argv) {
    // A write past the file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    using namespace tarnwick::cli;
    CLI::App app{"tarnwick-cli: the Tarnwick core from a terminal"};
    app.require_subcommand(1);
    CommandRun run;
    run.progressLine = ::isatty(STDERR_FILENO) != 0;

    AddCheckParamsCommand(app, run);
    AddCheckClassificationCommand(app, run);
    AddSessionCommand(app, run);
    AddExportCommand(app, run);

    AddSuggestCommand(app, run);
    AddEvaluateCommand(app, run);
    AddLearnCommand(app, run);

    // A project shared by a team in PostgreSQL; --db is a libpq connection string.
    auto* teamCmd = app.add_subcommand("team", "A project coded by a team in PostgreSQL");
    teamCmd->require_subcommand(1);
    std::string teamDb, teamParams, teamClf, teamData, teamFolder, teamCoder, teamCode;
    std::string teamSupervisor = "supervisor";
    double teamShare = 0.1;
    unsigned long long teamSeed = 1;
    int teamRecord = 0, teamField = 0;
    auto dbOption = [&](CLI::App* cmd) {
        cmd->add_option("--db", teamDb, "libpq connection string of the project's database")
            ->required();
    };
    auto* teamInit = teamCmd->add_subcommand(
        "init", "Load a project (and the codes of its working file) into a database");
    teamInit->add_option("PARAMS", teamParams, "coding parameters file")->required();
    teamInit->add_option("CLASSIFICATION", teamClf, "classification file")->required();
    teamInit->add_option("DATA", teamData, "survey data file")->required();
    dbOption(teamInit);
    teamInit->add_option("--double-share", teamShare, "share of the cases coded by two coders")
        ->check(Share());
    teamInit->add_option("--seed", teamSeed, "seed of the double-coding sample");
    teamInit->callback([&] {
        run.code = TeamInit(teamParams, teamClf, teamData, teamDb, teamShare, teamSeed, std::cout,
                            std::cerr);
    });
    auto* teamExport = teamCmd->add_subcommand(
        "export", "Write the working file, output, SPSS script and exports into a folder");
    dbOption(teamExport);
    teamExport->add_option("FOLDER", teamFolder, "folder to write into")->required();
    teamExport->callback([&] { run.code = TeamExport(teamDb, teamFolder, std::cout, std::cerr); });
    auto* teamStatus = teamCmd->add_subcommand("status", "Progress, coders and agreement");
    dbOption(teamStatus);
    teamStatus->callback([&] { run.code = TeamStatus(teamDb, std::cout, std::cerr); });
    auto* teamDis =
        teamCmd->add_subcommand("disagreements", "Double-coded cases whose two codes differ");
    dbOption(teamDis);
    teamDis->callback([&] { run.code = TeamDisagreements(teamDb, std::cout, std::cerr); });
    auto* teamSettle = teamCmd->add_subcommand("settle", "Give a double-coded case its final code");
    dbOption(teamSettle);
    teamSettle->add_option("RECORD", teamRecord, "record number, from 1")
        ->required()
        ->check(CLI::PositiveNumber);
    teamSettle->add_option("FIELD", teamField, "occupation field number, from 1")
        ->required()
        ->check(CLI::PositiveNumber);
    teamSettle->add_option("CODE", teamCode, "the final code")->required();
    teamSettle->add_option("--supervisor", teamSupervisor, "name noted with the final code");
    teamSettle->callback([&] {
        run.code = TeamSettle(teamDb, teamRecord, teamField, teamCode, teamSupervisor, std::cout,
                              std::cerr);
    });
    auto* teamCodeCmd = teamCmd->add_subcommand(
        "code", "Code a team project from commands on stdin, as the session console does");
    dbOption(teamCodeCmd);
    teamCodeCmd->add_option("--coder", teamCoder, "the coder's name")->required();
    teamCodeCmd->add_option("--folder", teamFolder,
                            "folder for this computer's copy and outbox (default: under "
                            "~/.local/share/tarnwick/team)");
    teamCodeCmd->callback([&] {
        EndOnSignals();
        run.code = TeamCode(teamDb, teamCoder, teamFolder, std::cin, std::cout, std::cerr,
                            run.progressLine);
    });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? kOk : kIoOrUsage;
    }
    return run.code;
}
