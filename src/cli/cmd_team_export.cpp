// tarnwick-cli team export: the team's codes written as the files of a single-coder project.

#include <iostream>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/team_command.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/project/unattended_platform.h"
#include "core/session/session.h"
#include "team/project.h"
#include "team/store.h"

namespace tarnwick::cli {

int TeamExport(const std::string& db, const std::string& folder, std::ostream& out,
               std::ostream& err, bool withProvenance) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        long long unsettled = 0;
        std::vector<std::optional<Provenance>> origins;
        const std::vector<team::CaseState> states =
            team::FinalStates(*connection, &unsettled, &origins);
        const team::ProjectFiles files = team::ReadProjectFiles(*connection);
        std::vector<std::string> faults;
        const auto copy = team::WriteLocalCopy(files, states, folder, faults, &origins);
        if (!copy) {
            for (const std::string& line : faults) out << line << '\n';
            return kFaults;
        }
        // The folder now holds a single-coder project with the team's codes: the usual
        // opening and writing make the usual files.
        UnattendedPlatform platform;
        Session session(platform);
        if (!OpenProjectFiles(session, platform, copy->ParamsPath, copy->ClassificationPath,
                              copy->DataPath, faults)) {
            for (const std::string& line : faults) out << line << '\n';
            return kFaults;
        }
        WriteFinalOutput(session);
        for (const ExportFormat format :
             {ExportFormat::Sav, ExportFormat::Zsav, ExportFormat::Dta, ExportFormat::Csv}) {
            ExportFinalOutput(session, format, withProvenance);
        }
        for (const std::string& line : session.Report) out << line << '\n';
        if (unsettled > 0) {
            out << unsettled
                << " double-coded cases disagree and are not settled: their first code was "
                   "written\n";
        }
        return kOk;
    });
}

void AddTeamExportCommand(CLI::App& team, CommandRun& run) {
    struct Options {
        std::string db, folder;
        bool provenance = false;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = team.add_subcommand(
        "export", "Write the working file, output, SPSS script and exports into a folder");
    AddDbOption(*cmd, o->db);
    cmd->add_option("FOLDER", o->folder, "folder to write into")->required();
    cmd->add_flag("--provenance", o->provenance,
                  "the exports add each code's source and confidence variables");
    cmd->callback([o, &run] {
        run.code = TeamExport(o->db, o->folder, std::cout, std::cerr, o->provenance);
    });
}

}  // namespace tarnwick::cli
