#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>

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
    AddAutoCodeCommand(app, run);
    AddTeamCommand(app, run);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? kOk : kIoOrUsage;
    }
    return run.code;
}
