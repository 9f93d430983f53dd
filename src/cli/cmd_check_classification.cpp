#include <iostream>
#include <memory>
#include <ostream>

#include "cli/command.h"
#include "cli/commands.h"
#include "core/classification/loader.h"
#include "core/classification/profile.h"
#include "core/io/files.h"

namespace tarnwick::cli {

int CheckClassification(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!ReadInputFile(file, text, err)) return kIoOrUsage;
    // Projects declare four-digit codes, unless the classification's profile gives its own.
    int codeWidth = 4;
    Classification clf;
    std::vector<std::string> errorPage;
    std::shared_ptr<const ClassificationProfile> profile;
    try {
        if (!ReadProfileBeside(file, profile, errorPage)) {
            for (const std::string& line : errorPage) out << line << '\n';
            return kFaults;
        }
    } catch (const IoError& e) {
        err << e.what() << '\n';
        return kIoOrUsage;
    }
    if (!LoadClassificationText(text, file, codeWidth, clf, errorPage, true, profile)) {
        for (const std::string& line : errorPage) out << line << '\n';
        return kFaults;
    }
    for (const std::string& line : clf.FullListLines) out << line << '\n';
    return kOk;
}

void AddCheckClassificationCommand(CLI::App& app, CommandRun& run) {
    auto file = std::make_shared<std::string>();
    auto* cmd = app.add_subcommand("check-classification", "Load and check a classification file");
    cmd->add_option("FILE", *file, "classification file, read as named")->required();
    cmd->callback([file, &run] { run.code = CheckClassification(*file, std::cout, std::cerr); });
}

}  // namespace tarnwick::cli
