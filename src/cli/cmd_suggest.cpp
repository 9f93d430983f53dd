// The suggestion commands: rank the answers of a CSV file, measure the ranking against labelled
// answers, and fill a memory file from a coded project.

#include <algorithm>
#include <cstdio>
#include <limits>
#include <ostream>
#include <random>

#include "cli/commands.h"
#include "cli/csv.h"
#include "core/classification/loader.h"
#include "core/io/files.h"
#include "core/project/memory_file.h"
#include "core/suggest/suggest.h"
#include "core/text/cp1250.h"
#include "core/text/interface_texts.h"
#include "core/text/strings.h"

namespace tarnwick::cli {

namespace {

// Any classification file, also one without the basic categories of the built-in scales table.
bool LoadAnyClassification(const std::string& file, Classification& clf, std::ostream& out,
                           std::ostream& err, int& code) {
    std::string text;
    if (!ReadInputFile(file, text, err)) {
        code = kIoOrUsage;
        return false;
    }
    int width = 0;
    std::vector<std::string> errors;
    if (!LoadClassificationText(text, file, width, clf, errors, false)) {
        for (const std::string& line : errors) out << line << '\n';
        code = kFaults;
        return false;
    }
    return true;
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

// The answers of a CSV file: an `id` column, a `code` column when asked for, and every other
// column a text, in the order of the information fields. Texts become Windows-1250.
struct Answers {
    std::vector<std::string> ids;
    std::vector<std::string> codes;
    std::vector<std::vector<std::string>> texts;
};

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
    std::vector<size_t> textColumns;
    for (size_t c = 0; c < heading.size(); ++c) {
        const std::string name = UpperCaseAscii(Trim(heading[c]));
        if (name == "ID" && idColumn < 0) {
            idColumn = static_cast<int>(c);
        } else if (withCode && name == "CODE" && codeColumn < 0) {
            codeColumn = static_cast<int>(c);
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
        std::vector<std::string> texts;
        for (size_t c : textColumns) texts.push_back(Utf8ToCp1250(cell(row, c)));
        answers.texts.push_back(std::move(texts));
    }
    return true;
}

// "n/a" for a share of nothing: no first suggestion scored that high, which 0 % would misstate.
std::string Percent(size_t part, size_t whole) {
    if (whole == 0) return "n/a";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f %%",
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return buffer;
}

// The three inputs of `suggest` and `evaluate`; false after saying what is wrong, `code` then
// holding the exit status.
struct Inputs {
    Classification clf;
    CodingMemory memory;
    Answers answers;
};
bool LoadInputs(const std::string& clfFile, const std::string& memoryFile,
                const std::string& answersFile, bool withCode, Inputs& in, std::ostream& out,
                std::ostream& err, int& code) {
    return LoadAnyClassification(clfFile, in.clf, out, err, code) &&
           LoadMemory(memoryFile, in.memory, err, code) &&
           ReadAnswers(answersFile, withCode, in.answers, err, code);
}

}  // namespace

int Suggest(const std::string& clfFile, const std::string& answersFile,
            const std::string& memoryFile, size_t top, std::ostream& out, std::ostream& err) {
    int code = kOk;
    Inputs in;
    if (!LoadInputs(clfFile, memoryFile, answersFile, false, in, out, err, code)) return code;
    const Classification& clf = in.clf;
    const CodingMemory& memory = in.memory;
    const Answers& answers = in.answers;
    const SuggestionEngine engine(clf);
    out << "id,rank,code,score,reason\n";
    for (size_t i = 0; i < answers.ids.size(); ++i) {
        const auto ranked = engine.Rank(answers.texts[i], memory, top);
        for (size_t r = 0; r < ranked.size(); ++r) {
            out << CsvField(answers.ids[i]) << ',' << r + 1 << ',' << CsvField(ranked[r].code)
                << ',' << ranked[r].score << ',' << CsvField(Cp1250ToUtf8(ranked[r].reason))
                << '\n';
        }
    }
    return kOk;
}

int Evaluate(const std::string& clfFile, const std::string& labelledFile,
             const std::string& memoryFile, double learnShare, size_t sample, std::ostream& out,
             std::ostream& err) {
    int code = kOk;
    Inputs in;
    if (!LoadInputs(clfFile, memoryFile, labelledFile, true, in, out, err, code)) return code;
    const Classification& clf = in.clf;
    CodingMemory& memory = in.memory;
    const Answers& answers = in.answers;
    const size_t n = answers.ids.size();
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    if (learnShare > 0) {
        // A fixed shuffle, the same on every platform (the standard distributions are not).
        std::mt19937 random(2026);
        for (size_t i = n; i > 1; --i) std::swap(order[i - 1], order[random() % i]);
    }
    // Written so that a share that is not a number learns nothing rather than past the end.
    const size_t learnt = learnShare >= 1.0 ? n
                          : learnShare > 0.0
                              ? static_cast<size_t>(static_cast<double>(n) * learnShare)
                              : 0;
    for (size_t i = 0; i < learnt; ++i) {
        memory.Learn(answers.texts[order[i]], answers.codes[order[i]]);
    }
    const SuggestionEngine engine(clf);
    const size_t kTops[] = {1, 3, 5, 10};
    const int kScores[] = {50, 70, 90};
    size_t hits[4] = {};
    size_t covered[3] = {};
    size_t right[3] = {};
    size_t evaluated = 0;
    size_t unknown = 0;
    for (size_t k = learnt; k < n && (sample == 0 || evaluated < sample); ++k) {
        const size_t i = order[k];
        ++evaluated;
        if (clf.IndexOf(answers.codes[i]) < 0) ++unknown;
        const auto ranked = engine.Rank(answers.texts[i], memory, 10);
        // Not found counts as no rank at all: a short list must not count as a hit.
        size_t at = std::numeric_limits<size_t>::max();
        for (size_t r = 0; r < ranked.size(); ++r) {
            if (ranked[r].code == answers.codes[i]) {
                at = r;
                break;
            }
        }
        for (size_t t = 0; t < 4; ++t) hits[t] += at < kTops[t] ? 1 : 0;
        for (size_t s = 0; s < 3; ++s) {
            if (!ranked.empty() && ranked[0].score >= kScores[s]) {
                ++covered[s];
                right[s] += at == 0 ? 1 : 0;
            }
        }
    }
    if (evaluated == 0) {
        err << labelledFile << ": " << msg::NothingToEvaluate(learnt) << '\n';
        return kIoOrUsage;
    }
    out << "answers: " << evaluated << " evaluated";
    if (learnt > 0) out << ", " << learnt << " learnt into the memory first";
    out << '\n';
    if (unknown > 0) out << "codes not in the classification: " << unknown << '\n';
    for (size_t t = 0; t < 4; ++t) {
        out << "top-" << kTops[t] << " accuracy: " << Percent(hits[t], evaluated) << '\n';
    }
    for (size_t s = 0; s < 3; ++s) {
        out << "score >= " << kScores[s] << ": accuracy " << Percent(right[s], covered[s])
            << ", coverage " << Percent(covered[s], evaluated) << '\n';
    }
    return kOk;
}

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

}  // namespace tarnwick::cli
