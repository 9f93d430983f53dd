// tarnwick-cli learn: fills a memory file from the coded answers of a project.

#include <iostream>
#include <memory>
#include <ostream>
#include <vector>

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

int LearnLabelled(const std::string& clfFile, const std::string& labelledFile,
                  const std::string& memoryFile, std::ostream& out, std::ostream& err) {
    int code = kOk;
    Classification clf;
    Answers labelled;
    CodingMemory memory;
    if (!LoadAnyClassification(clfFile, clf, out, err, code) ||
        !ReadAnswers(labelledFile, true, labelled, err, code)) {
        return code;
    }
    try {
        if (FileExists(memoryFile) && !LoadMemory(memoryFile, memory, err, code)) return code;
        size_t learnt = 0;
        size_t unknown = 0;
        for (size_t i = 0; i < labelled.ids.size(); ++i) {
            const std::string& c = labelled.codes[i];
            // A code the classification lacks would only ever be suggested wrongly.
            if (clf.IndexOf(c) < 0 || c == clf.MissingDataCode || c == clf.NotApplicableCode) {
                ++unknown;
                continue;
            }
            memory.Learn(labelled.texts[i], c);
            ++learnt;
        }
        SaveMemoryFile(memoryFile, memory);
        out << msg::MemoryLearnt(memoryFile, learnt, memory.AnswerCount()) << '\n';
        if (unknown > 0) out << msg::LabelledNotLearnt(unknown) << '\n';
        return kOk;
    } catch (const IoError& e) {
        err << e.what() << '\n';
        return kIoOrUsage;
    }
}

void AddLearnCommand(CLI::App& app, CommandRun& run) {
    struct Options {
        std::vector<std::string> files;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "learn",
        "Add coded answers to a coding memory file: a project's (PARAMS CLASSIFICATION DATA "
        "MEMORY) or a labelled CSV file's (CLASSIFICATION LABELLED.csv MEMORY)");
    cmd->add_option("FILES", o->files,
                    "PARAMS CLASSIFICATION DATA MEMORY, or CLASSIFICATION LABELLED.csv MEMORY; "
                    "the memory file is created when missing")
        ->required()
        ->expected(3, 4);
    cmd->callback([o, &run] {
        const auto& f = o->files;
        run.code = f.size() == 4 ? Learn(f[0], f[1], f[2], f[3], std::cout, std::cerr)
                                 : LearnLabelled(f[0], f[1], f[2], std::cout, std::cerr);
    });
}

}  // namespace tarnwick::cli
