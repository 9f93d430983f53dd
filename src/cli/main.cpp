#include <unistd.h>

#include <CLI/CLI.hpp>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"

int main(int argc, char** argv) {
    // A write past the file-size limit must fail with an error, not end the program.
    std::signal(SIGXFSZ, SIG_IGN);
    using namespace tarnwick::cli;
    CLI::App app{"tarnwick-cli: the Tarnwick core from a terminal"};
    app.require_subcommand(1);
    int code = kOk;
    // The progress line of long work is for a person watching, never for a log or a pipe.
    const bool progressLine = ::isatty(STDERR_FILENO) != 0;

    std::string paramsFile;
    auto* checkParams = app.add_subcommand("check-params", "Parse a coding parameters file");
    checkParams->add_option("FILE", paramsFile, "coding parameters file, read as named")
        ->required();
    checkParams->callback([&] { code = CheckParams(paramsFile, std::cout, std::cerr); });

    std::string clfFile;
    auto* checkClf =
        app.add_subcommand("check-classification", "Load and check a classification file");
    checkClf->add_option("FILE", clfFile, "classification file, read as named")->required();
    checkClf->callback([&] { code = CheckClassification(clfFile, std::cout, std::cerr); });

    auto* session = app.add_subcommand("session", "Run a coding session from commands on stdin");
    session->callback([&] {
        EndOnSignals();
        code = SessionConsole(std::cin, std::cout, std::cerr, progressLine);
    });

    std::string exportParams, exportClf, exportData;
    std::vector<std::string> exportFormats;
    auto* exportCmd = app.add_subcommand(
        "export", "Open a project and write its final output data file and SPSS script");
    exportCmd->add_option("PARAMS", exportParams, "coding parameters file")->required();
    exportCmd->add_option("CLASSIFICATION", exportClf, "classification file")->required();
    exportCmd->add_option("DATA", exportData, "survey data file")->required();
    exportCmd
        ->add_option("--format", exportFormats,
                     "write this export instead of the .asc and .sps (repeatable)")
        ->check(CLI::IsMember({"sav", "dta", "csv"}));
    exportCmd->callback([&] {
        code = Export(exportParams, exportClf, exportData, std::cout, std::cerr, exportFormats,
                      progressLine);
    });

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int rc = app.exit(e);
        return rc == 0 ? kOk : kIoOrUsage;
    }
    return code;
}
