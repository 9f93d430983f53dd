#include <algorithm>
#include <filesystem>
#include <iostream>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/terminal_progress.h"
#include "core/io/files.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/project/unattended_platform.h"
#include "core/session/session.h"

namespace tarnwick::cli {

int Export(const std::string& params, const std::string& clf, const std::string& data,
           std::ostream& out, std::ostream& err, const std::vector<std::string>& formats,
           bool progressLine, bool withProvenance) {
    UnattendedPlatform platform;
    Session session(platform);
    TerminalProgress progress(platform, err, progressLine);
    try {
        std::vector<std::string> faults;
        const bool opened = OpenProjectFiles(session, platform, params, clf, data, faults);
        progress.Clear();
        if (!opened) {
            // What the window would show: the error page, or the message boxes.
            for (const std::string& line : faults) out << line << '\n';
            return kFaults;
        }
        if (formats.empty()) WriteFinalOutput(session);
        // Each format once, in the order named.
        std::vector<std::string> done;
        for (const std::string& name : formats) {
            if (std::find(done.begin(), done.end(), name) != done.end()) continue;
            done.push_back(name);
            ExportFinalOutput(session,
                              name == "sav"    ? ExportFormat::Sav
                              : name == "zsav" ? ExportFormat::Zsav
                              : name == "dta"  ? ExportFormat::Dta
                                               : ExportFormat::Csv,
                              withProvenance);
        }
    } catch (const IoError& e) {
        progress.Clear();
        err << e.what() << '\n';
        return kIoOrUsage;
    } catch (const std::filesystem::filesystem_error& e) {
        progress.Clear();
        err << e.what() << '\n';
        return kIoOrUsage;
    }
    progress.Clear();
    for (const std::string& line : session.Report) out << line << '\n';
    return kOk;
}

void AddExportCommand(CLI::App& app, CommandRun& run) {
    struct Options {
        std::string params, clf, data;
        std::vector<std::string> formats;
        bool provenance = false;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "export", "Open a project and write its final output data file and SPSS script");
    cmd->add_option("PARAMS", o->params, "coding parameters file")->required();
    cmd->add_option("CLASSIFICATION", o->clf, "classification file")->required();
    cmd->add_option("DATA", o->data, "survey data file")->required();
    cmd->add_option("--format", o->formats,
                    "write this export instead of the .asc and .sps (repeatable)")
        ->check(CLI::IsMember({"sav", "zsav", "dta", "csv"}));
    cmd->add_flag("--provenance", o->provenance,
                  "the exports add each code's source and confidence variables");
    cmd->callback([o, &run] {
        run.code = Export(o->params, o->clf, o->data, std::cout, std::cerr, o->formats,
                          run.progressLine, o->provenance);
    });
}

}  // namespace tarnwick::cli
