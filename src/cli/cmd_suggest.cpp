// tarnwick-cli suggest: ranks the answers of a CSV file against a classification.

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <ostream>

#include "cli/command.h"
#include "cli/commands.h"
#include "cli/csv.h"
#include "cli/suggest_inputs.h"
#include "core/suggest/confidence.h"
#include "core/suggest/suggest.h"
#include "core/text/cp1250.h"

namespace tarnwick::cli {

int Suggest(const std::string& clfFile, const std::string& answersFile,
            const std::string& memoryFile, size_t top, std::ostream& out, std::ostream& err,
            const std::string& calibrationFile) {
    int code = kOk;
    Inputs in;
    if (!LoadInputs(clfFile, memoryFile, answersFile, false, in, out, err, code)) return code;
    Answers labelled;
    if (!calibrationFile.empty() && !ReadAnswers(calibrationFile, true, labelled, err, code)) {
        return code;
    }
    const Classification& clf = in.clf;
    CodingMemory& memory = in.memory;
    const Answers& answers = in.answers;
    const SuggestionEngine engine(clf);
    std::optional<ConfidenceCalibration> calibration;
    if (!calibrationFile.empty()) {
        calibration =
            ConfidenceCalibration::Fit(LeaveOneOut(engine, memory, LabelledCases(labelled)));
    }
    engine.RefreshModel(memory);
    out << "id,rank,code,score,reason,confidence\n";
    for (size_t i = 0; i < answers.ids.size(); ++i) {
        const std::vector<Suggestion> lines = engine.Rank(answers.texts[i], memory, top);
        // The calibration learnt from rankings without the model: it speaks for the first
        // suggestion only where that ranking agrees.
        DetailedRanking ranked;
        if (calibration && !lines.empty()) {
            ranked = engine.RankDetailed(answers.texts[i], memory, 1, false);
            if (ranked.suggestions.empty() || ranked.suggestions[0].code != lines[0].code) {
                ranked.features.ranked = false;
            }
        }
        for (size_t r = 0; r < lines.size(); ++r) {
            out << CsvField(answers.ids[i]) << ',' << r + 1 << ',' << CsvField(lines[r].code) << ','
                << lines[r].score << ',' << CsvField(Cp1250ToUtf8(lines[r].reason)) << ',';
            // Only the first suggestion is what automatic coding would give.
            if (r == 0 && calibration && ranked.features.ranked) {
                char confidence[32];
                std::snprintf(confidence, sizeof confidence, "%.4f",
                              calibration->Confidence(ranked.features));
                out << confidence;
            }
            out << '\n';
        }
    }
    return kOk;
}

void AddSuggestCommand(CLI::App& app, CommandRun& run) {
    struct Options {
        std::string clf, answers, memory, calibration;
        size_t top = 10;
    };
    auto o = std::make_shared<Options>();
    auto* cmd = app.add_subcommand(
        "suggest", "Rank the categories of a classification for each answer of a CSV file");
    cmd->add_option("CLASSIFICATION", o->clf, "classification file")->required();
    cmd->add_option("ANSWERS", o->answers, "UTF-8 CSV: id and text columns")->required();
    cmd->add_option("--memory", o->memory, "coding memory file");
    cmd->add_option("--top", o->top, "suggestions per answer")->check(CLI::Range(1, 1000));
    cmd->add_option("--calibration", o->calibration,
                    "labelled CSV (id, code, texts) that calibrates the confidence column");
    cmd->callback([o, &run] {
        run.code =
            Suggest(o->clf, o->answers, o->memory, o->top, std::cout, std::cerr, o->calibration);
    });
}

}  // namespace tarnwick::cli
