#include <algorithm>
#include <filesystem>
#include <ostream>

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
           bool progressLine) {
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
            ExportFinalOutput(session, name == "sav"   ? ExportFormat::Sav
                                       : name == "dta" ? ExportFormat::Dta
                                                       : ExportFormat::Csv);
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

}  // namespace tarnwick::cli
