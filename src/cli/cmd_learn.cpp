// tarnwick-cli learn: fills a memory file from the coded answers of a project.

#include <iostream>
#include <memory>
#include <ostream>

#include "cli/cli_texts.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/suggest_inputs.h"
#include "core/io/files.h"
#include "core/project/memory_file.h"
#include "core/text/interface_texts.h"

namespace tarnwick::cli {

int Learn(const std::string& params, const std::string& clf, const std::string& data,
          const std::string& memoryFile, std::ostream& out, std::ostream& err) {
    try {
        CodingMemory memory;
        int code = kOk;
        if (FileExists(memoryFile) && !LoadMemory(memoryFile, memory, err, code)) return code;
        std::vector<std::string> faults;
        const auto learnt = LearnProject(params, clf, data, memory, faults);
        if (!learnt) {
            for (const std::string& line : faults) out << line << '\n';
            return kFaults;
        }
        SaveMemoryFile(memoryFile, memory);
        out << msg::MemoryLearnt(memoryFile, *learnt, memory.AnswerCount()) << '\n';
        return kOk;
    } catch (const IoError& e) {
        err << e.what() << '\n';
        return kIoOrUsage;
    }
}

void AddLearnCommand(CLI::App& app, CommandRun& run) {
    struct Options {
        std::string params, clf, data, memory;
    };
    auto o = std::make_shared<Options>();
    auto* cmd =
        app.add_subcommand("learn", "Add the coded answers of a project to a coding memory file");
    cmd->add_option("PARAMS", o->params, "coding parameters file")->required();
    cmd->add_option("CLASSIFICATION", o->clf, "classification file")->required();
    cmd->add_option("DATA", o->data, "survey data file")->required();
    cmd->add_option("MEMORY", o->memory, "memory file, created when missing")->required();
    cmd->callback([o, &run] {
        run.code = Learn(o->params, o->clf, o->data, o->memory, std::cout, std::cerr);
    });
}

}  // namespace tarnwick::cli
