// tarnwick-cli team ...: a project shared by a team of coders in PostgreSQL.

#include <filesystem>
#include <istream>
#include <ostream>

#include "cli/commands.h"
#include "core/io/files.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/project/unattended_platform.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "team/opening.h"
#include "team/project.h"
#include "team/status_text.h"
#include "team/store.h"
#include "team/sync.h"
#include "team/team_texts.h"

namespace tarnwick::cli {

namespace {

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
std::unique_ptr<team::Connection> OpenTeamDb(const std::string& db) {
    auto connection = std::make_unique<team::Connection>(db);
    if (team::SchemaVersion(*connection) == 0) {
        throw team::TeamError(msg::kTeamNoProject);
    }
    return connection;
}

}  // namespace

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

int TeamExport(const std::string& db, const std::string& folder, std::ostream& out,
               std::ostream& err) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        long long unsettled = 0;
        const std::vector<team::CaseState> states = team::FinalStates(*connection, &unsettled);
        const team::ProjectFiles files = team::ReadProjectFiles(*connection);
        std::vector<std::string> faults;
        const auto copy = team::WriteLocalCopy(files, states, folder, faults);
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
             {ExportFormat::Sav, ExportFormat::Dta, ExportFormat::Csv}) {
            ExportFinalOutput(session, format);
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

int TeamStatus(const std::string& db, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        for (const std::string& line : team::StatusLines(team::ReadStatus(*connection))) {
            out << line << '\n';
        }
        return kOk;
    });
}

int TeamDisagreements(const std::string& db, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        for (const std::string& line : team::DisagreementLines(team::Disagreements(*connection))) {
            out << line << '\n';
        }
        return kOk;
    });
}

int TeamSettle(const std::string& db, int record, int field, const std::string& code,
               const std::string& supervisor, std::ostream& out, std::ostream& err) {
    return Guarded(err, [&] {
        const auto connection = OpenTeamDb(db);
        team::Settle(*connection, record - 1, field - 1, code, supervisor);
        out << "Record " << record << ", field " << field << ": final code " << code << '\n';
        return kOk;
    });
}

int TeamCode(const std::string& db, const std::string& coder, const std::string& folder,
             std::istream& in, std::ostream& out, std::ostream& err, bool progressLine) {
    return Guarded(err, [&] {
        std::unique_ptr<team::TeamLink> link;
        bool databaseFault = false;
        ConsoleHooks hooks;
        hooks.open = [&](Session& s, std::ostream&) {
            team::OpenedTeamProject opened = team::OpenTeamProject(s, {db, "", coder, folder});
            link = std::move(opened.link);
            databaseFault = opened.databaseFault;
        };
        hooks.between = [&](Session&, std::ostream& o) {
            if (const int taken = link->Poll(); taken > 0) {
                o << "team: " << taken << " codes from other coders\n";
            }
        };
        hooks.end = [&](Session&) {
            if (link) link->Detach();
        };
        const int code = SessionConsole(in, out, err, progressLine, &hooks);
        return databaseFault ? kIoOrUsage : code;
    });
}

}  // namespace tarnwick::cli
