#pragma once
// What the subcommands of `tarnwick-cli team` share: each works on a database named by a libpq
// connection string, and a database or file fault ends it with kIoOrUsage.

#include <CLI/CLI.hpp>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>

#include "cli/command.h"
#include "cli/commands.h"
#include "core/io/files.h"
#include "team/store.h"

namespace tarnwick::cli {

// Runs one team command: a database or file fault is printed and gives kIoOrUsage.
template <class Work>
int Guarded(std::ostream& err, Work work) {
    try {
        return work();
    } catch (const team::TeamError& e) {
        err << "database: " << e.what() << '\n';
    } catch (const IoError& e) {
        err << e.what() << '\n';
    } catch (const std::filesystem::filesystem_error& e) {
        err << e.what() << '\n';
    }
    return kIoOrUsage;
}

// A connection to a project that the program's schema holds, brought up to its version.
std::unique_ptr<team::Connection> OpenTeamDb(const std::string& db);

// The --db option every team command requires.
void AddDbOption(CLI::App& cmd, std::string& db);

// The subcommands of `team`, in the order of its --help.
void AddTeamInitCommand(CLI::App& team, CommandRun& run);
void AddTeamExportCommand(CLI::App& team, CommandRun& run);
void AddTeamStatusCommand(CLI::App& team, CommandRun& run);
void AddTeamDisagreementsCommand(CLI::App& team, CommandRun& run);
void AddTeamSettleCommand(CLI::App& team, CommandRun& run);
void AddTeamCodeCommand(CLI::App& team, CommandRun& run);

}  // namespace tarnwick::cli
