#include "cli/suggest_inputs.h"

#include <ostream>

#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/csv.h"
#include "core/classification/loader.h"
#include "core/classification/profile.h"
#include "core/io/files.h"
#include "core/project/memory_file.h"
#include "core/text/cp1250.h"
#include "core/text/interface_texts.h"
#include "core/text/strings.h"

namespace tarnwick::cli {

bool LoadAnyClassification(const std::string& file, Classification& clf, std::ostream& out,
                           std::ostream& err, int& code) {
    std::string text;
    if (!ReadInputFile(file, text, err)) {
        code = kIoOrUsage;
        return false;
    }
    int width = 0;
    std::vector<std::string> errors;
    // A classification with a profile is read as a project reads it: its width and its
    // standard codes.
    std::shared_ptr<const ClassificationProfile> profile;
    try {
        if (!ReadProfileBeside(file, profile, errors)) {
            for (const std::string& line : errors) out << line << '\n';
            code = kFaults;
            return false;
        }
    } catch (const IoError& e) {
        err << e.what() << '\n';
        code = kIoOrUsage;
        return false;
    }
    if (!LoadClassificationText(text, file, width, clf, errors, false, profile)) {
        for (const std::string& line : errors) out << line << '\n';
        code = kFaults;
        return false;
    }
    return true;
}

bool ReadAnswers(const std::string& file, bool withCode, Answers& answers, std::ostream& err,
                 int& code) {
    std::string text;
    if (!ReadInputFile(file, text, err)) {
        code = kIoOrUsage;
        return false;
    }
    std::string error;
    auto rows = ParseCsv(text, &error);
    if (!rows) {
        err << file << ": " << error << '\n';
        code = kFaults;
        return false;
    }
    if (rows->empty()) {
        err << file << ": " << msg::kCsvEmpty << '\n';
        code = kFaults;
        return false;
    }
    const auto& heading = (*rows)[0];
    int idColumn = -1;
    int codeColumn = -1;
    int groupColumn = -1;
    std::vector<size_t> textColumns;
    for (size_t c = 0; c < heading.size(); ++c) {
        const std::string name = UpperCaseAscii(Trim(heading[c]));
        if (name == "ID" && idColumn < 0) {
            idColumn = static_cast<int>(c);
        } else if (withCode && name == "CODE" && codeColumn < 0) {
            codeColumn = static_cast<int>(c);
        } else if (name == "GROUP" && groupColumn < 0) {
            groupColumn = static_cast<int>(c);
        } else {
            textColumns.push_back(c);
        }
    }
    if (idColumn < 0 || (withCode && codeColumn < 0) || textColumns.empty()) {
        err << file << ": " << (withCode ? msg::kCsvColumnsWithCode : msg::kCsvColumns) << '\n';
        code = kFaults;
        return false;
    }
    auto cell = [](const std::vector<std::string>& row, size_t c) {
        return c < row.size() ? row[c] : std::string();
    };
    for (size_t r = 1; r < rows->size(); ++r) {
        const auto& row = (*rows)[r];
        answers.ids.push_back(cell(row, static_cast<size_t>(idColumn)));
        if (withCode) {
            answers.codes.emplace_back(Trim(cell(row, static_cast<size_t>(codeColumn))));
        }
        if (groupColumn >= 0) {
            answers.groups.emplace_back(Trim(cell(row, static_cast<size_t>(groupColumn))));
        }
        std::vector<std::string> texts;
        for (size_t c : textColumns) texts.push_back(Utf8ToCp1250(cell(row, c)));
        answers.texts.push_back(std::move(texts));
    }
    return true;
}

std::vector<CodedCase> LabelledCases(const Answers& labelled) {
    std::vector<CodedCase> coded;
    coded.reserve(labelled.ids.size());
    for (size_t i = 0; i < labelled.ids.size(); ++i) {
        coded.push_back({labelled.texts[i], labelled.codes[i]});
    }
    return coded;
}

bool LoadMemory(const std::string& file, CodingMemory& memory, std::ostream& err, int& code) {
    if (file.empty()) return true;
    try {
        std::string error;
        auto loaded = LoadMemoryFile(file, error);
        if (!loaded) {
            err << error << '\n';
            code = kFaults;
            return false;
        }
        memory = std::move(*loaded);
        return true;
    } catch (const IoError& e) {
        err << e.what() << '\n';
        code = kIoOrUsage;
        return false;
    }
}

bool LoadInputs(const std::string& clfFile, const std::string& memoryFile,
                const std::string& answersFile, bool withCode, Inputs& in, std::ostream& out,
                std::ostream& err, int& code) {
    return LoadAnyClassification(clfFile, in.clf, out, err, code) &&
           LoadMemory(memoryFile, in.memory, err, code) &&
           ReadAnswers(answersFile, withCode, in.answers, err, code);
}

}  // namespace tarnwick::cli
