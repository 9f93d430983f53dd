#pragma once
// The subcommands of tarnwick-cli as main() lists them. Each command's file declares its own
// CLI11 subcommand (options, checks, help) and sets the exit code in its callback.

#include <CLI/CLI.hpp>
#include <string>

#include "cli/commands.h"

namespace tarnwick::cli {

// What every command's callback shares: the exit code it sets and what main() knows of the
// terminal.
struct CommandRun {
    int code = kOk;
    // The progress line of long work is for a person watching, never for a log or a pipe.
    bool progressLine = false;
};

// A share from 0 to 1. CLI::Range alone lets "nan" through, as every comparison with it is false.
inline CLI::Validator Share() {
    return CLI::Validator(
        [](std::string& text) -> std::string {
            double v = 0;
            if (CLI::detail::lexical_cast(text, v) && v >= 0.0 && v <= 1.0) return {};
            return "Value " + text + " is not a share from 0 to 1";
        },
        "FLOAT in [0 - 1]");
}

// In the order of the program's --help.
void AddCheckParamsCommand(CLI::App& app, CommandRun& run);
void AddCheckClassificationCommand(CLI::App& app, CommandRun& run);
void AddSessionCommand(CLI::App& app, CommandRun& run);
void AddExportCommand(CLI::App& app, CommandRun& run);
void AddSuggestCommand(CLI::App& app, CommandRun& run);
void AddEvaluateCommand(CLI::App& app, CommandRun& run);
void AddLearnCommand(CLI::App& app, CommandRun& run);
void AddAutoCodeCommand(CLI::App& app, CommandRun& run);
// The `team` group and its subcommands.
void AddTeamCommand(CLI::App& app, CommandRun& run);

}  // namespace tarnwick::cli
