// tarnwick-cli evaluate: measures the ranking against answers with known codes.

#include <algorithm>
#include <cstdio>
#include <iostream>
#include <limits>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "cli/cli_texts.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/suggest_inputs.h"
#include "core/suggest/confidence.h"
#include "core/suggest/suggest.h"
#include "core/text/interface_texts.h"

namespace tarnwick::cli {

namespace {

// "n/a" for a share of nothing: no first suggestion scored that high, which 0 % would misstate.
std::string Percent(size_t part, size_t whole) {
    if (whole == 0) return "n/a";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.2f %%",
                  100.0 * static_cast<double>(part) / static_cast<double>(whole));
    return buffer;
}

std::string Percent1(double share) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.1f", 100.0 * share);
    return buffer;
}

// 0 to n - 1 in a fixed shuffle, the same on every platform (the standard distributions are not).
std::vector<size_t> Shuffled(size_t n) {
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    std::mt19937 random(2026);
    for (size_t i = n; i > 1; --i) std::swap(order[i - 1], order[random() % i]);
    return order;
}

// Which rows an occupation split learns: whole groups in a fixed shuffle until `share` rows are
// learnt, so that no evaluated title finds another title of its occupation in the memory. A row
// without a group stands alone. Returns the number of groups learnt.
size_t LearnWholeGroups(const std::vector<std::string>& groups, size_t share,
                        std::vector<char>& learn) {
    std::vector<size_t> groupOf(groups.size());
    std::unordered_map<std::string, size_t> index;
    size_t count = 0;
    for (size_t i = 0; i < groups.size(); ++i) {
        if (groups[i].empty()) {
            groupOf[i] = count++;
            continue;
        }
        const auto [at, added] = index.emplace(groups[i], count);
        if (added) ++count;
        groupOf[i] = at->second;
    }
    std::vector<size_t> rows(count, 0);
    for (const size_t g : groupOf) ++rows[g];
    std::vector<char> chosen(count, 0);
    size_t learnt = 0;
    size_t chosenGroups = 0;
    for (const size_t g : Shuffled(count)) {
        if (learnt >= share) break;
        chosen[g] = 1;
        learnt += rows[g];
        ++chosenGroups;
    }
    for (size_t i = 0; i < groups.size(); ++i) learn[i] = chosen[groupOf[i]];
    return chosenGroups;
}

// An evaluated answer as the calibration sees it.
struct Ranked {
    RankFeatures features;
    bool right = false;
};

// For each target error, what the calibration answers promise and how the others bear it out.
void PrintAutoCoding(const std::vector<Ranked>& ranked, size_t calibrating, std::ostream& out) {
    std::vector<CalibrationPair> pairs;
    for (size_t k = 0; k < calibrating; ++k) pairs.push_back({ranked[k].features, ranked[k].right});
    const ConfidenceCalibration calibration = ConfidenceCalibration::Fit(pairs);
    std::vector<double> confidence;
    for (size_t k = calibrating; k < ranked.size(); ++k) {
        confidence.push_back(calibration.Confidence(ranked[k].features));
    }
    const size_t coding = ranked.size() - calibrating;
    out << "calibration: " << calibrating << " answers, " << coding << " auto-coded\n";
    for (const int percent : {2, 3, 5, 10}) {
        const ThresholdChoice choice = ChooseThreshold(calibration, percent / 100.0);
        char head[32];
        std::snprintf(head, sizeof head, "auto %4.1f %%: ", static_cast<double>(percent));
        out << head;
        switch (choice.outcome) {
            case ThresholdOutcome::Promised: {
                size_t covered = 0;
                size_t wrong = 0;
                for (size_t j = 0; j < coding; ++j) {
                    // A ranking without a first suggestion codes nothing, whatever the threshold.
                    const Ranked& r = ranked[calibrating + j];
                    if (!r.features.ranked || !ReachesThreshold(confidence[j], choice.threshold))
                        continue;
                    ++covered;
                    wrong += r.right ? 0 : 1;
                }
                char line[160];
                std::snprintf(line, sizeof line, "threshold %.3f, coverage ", choice.threshold);
                out << line << Percent1(static_cast<double>(covered) / static_cast<double>(coding))
                    << " % (" << covered << " of " << coding << "), realised error "
                    << (covered == 0
                            ? std::string("n/a")
                            : Percent1(static_cast<double>(wrong) / static_cast<double>(covered)) +
                                  " %")
                    << ", promised " << Percent1(choice.interval.low) << "-"
                    << Percent1(choice.interval.high) << " %\n";
                break;
            }
            case ThresholdOutcome::TooFewCases:
                out << "too few calibration answers, about " << choice.moreCases
                    << " more needed\n";
                break;
            case ThresholdOutcome::Unreachable:
            case ThresholdOutcome::BadTarget:
                out << "unreachable: even the most confident answers err more often\n";
                break;
        }
    }
}

}  // namespace

int Evaluate(const std::string& clfFile, const std::string& labelledFile,
             const std::string& memoryFile, double learnShare, size_t sample, std::ostream& out,
             std::ostream& err, double calibrationShare, LearnSplit split) {
    int code = kOk;
    Inputs in;
    if (!LoadInputs(clfFile, memoryFile, labelledFile, true, in, out, err, code)) return code;
    const Classification& clf = in.clf;
    CodingMemory& memory = in.memory;
    const Answers& answers = in.answers;
    const size_t n = answers.ids.size();
    // A file without rows has nothing to evaluate, which is said below.
    if (split == LearnSplit::Occupation && n > 0 && answers.groups.empty()) {
        err << labelledFile << ": " << msg::kLearnSplitNeedsGroup << '\n';
        return kIoOrUsage;
    }
    std::vector<size_t> order(n);
    for (size_t i = 0; i < n; ++i) order[i] = i;
    if (learnShare > 0) order = Shuffled(n);
    // Written so that a share that is not a number learns nothing rather than past the end.
    const size_t share = learnShare >= 1.0 ? n
                         : learnShare > 0.0
                             ? static_cast<size_t>(static_cast<double>(n) * learnShare)
                             : 0;
    std::vector<char> learn(n, 0);
    size_t learntGroups = 0;
    if (split == LearnSplit::Occupation) {
        learntGroups = LearnWholeGroups(answers.groups, share, learn);
    } else {
        for (size_t k = 0; k < share; ++k) learn[order[k]] = 1;
    }
    // The rows left are evaluated in the shuffled order, so that a sample of them is fair.
    size_t learnt = 0;
    std::vector<size_t> rest;
    for (const size_t i : order) {
        if (learn[i]) {
            memory.Learn(answers.texts[i], answers.codes[i]);
            ++learnt;
        } else {
            rest.push_back(i);
        }
    }
    const SuggestionEngine engine(clf);
    engine.RefreshModel(memory);
    if (const LearntModel* model = memory.Model()) {
        err << msg::LearntModelBuilt(model->Documents(), model->Bytes(), model->seconds) << '\n';
    }
    const size_t kTops[] = {1, 3, 5, 10};
    const int kScores[] = {50, 70, 90};
    size_t hits[4] = {};
    size_t covered[3] = {};
    size_t right[3] = {};
    size_t evaluated = 0;
    size_t unknown = 0;
    // Only with a calibration share: ranking with the features costs more.
    const bool calibrate = calibrationShare > 0.0;
    std::vector<Ranked> detailed;
    for (size_t k = 0; k < rest.size() && (sample == 0 || evaluated < sample); ++k) {
        const size_t i = rest[k];
        ++evaluated;
        if (clf.IndexOf(answers.codes[i]) < 0) ++unknown;
        std::vector<Suggestion> ranked;
        if (calibrate) {
            DetailedRanking d = engine.RankDetailed(answers.texts[i], memory, 10);
            ranked = std::move(d.suggestions);
            detailed.push_back({d.features, !ranked.empty() && ranked[0].code == answers.codes[i]});
        } else {
            ranked = engine.Rank(answers.texts[i], memory, 10);
        }
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
    // As the learnt share: a share that is not a number calibrates on nothing.
    const size_t calibrating =
        !calibrate ? 0
        : calibrationShare >= 1.0
            ? evaluated
            : static_cast<size_t>(static_cast<double>(evaluated) * calibrationShare);
    if (calibrate && calibrating == evaluated) {
        err << labelledFile << ": " << msg::NothingToAutoCode(evaluated) << '\n';
        return kIoOrUsage;
    }
    out << "answers: " << evaluated << " evaluated";
    if (learnt > 0) out << ", " << learnt << " learnt into the memory first";
    if (learntGroups > 0) {
        out << " (" << learntGroups
            << (learntGroups == 1 ? " whole occupation)" : " whole occupations)");
    }
    out << '\n';
    if (unknown > 0) out << "codes not in the classification: " << unknown << '\n';
    for (size_t t = 0; t < 4; ++t) {
        out << "top-" << kTops[t] << " accuracy: " << Percent(hits[t], evaluated) << '\n';
    }
    for (size_t s = 0; s < 3; ++s) {
        out << "score >= " << kScores[s] << ": accuracy " << Percent(right[s], covered[s])
            << ", coverage " << Percent(covered[s], evaluated) << '\n';
    }
    if (calibrate) PrintAutoCoding(detailed, calibrating, out);
    return kOk;
}

void AddEvaluateCommand(CLI::App& app, CommandRun& run) {
    struct Options {
        std::string clf, labelled, memory;
        double share = 0;
        size_t sample = 0;
        double calibration = 0;
        std::string split = "title";
    };
    auto o = std::make_shared<Options>();
    auto* cmd =
        app.add_subcommand("evaluate", "Measure the suggestions against answers with known codes");
    cmd->add_option("CLASSIFICATION", o->clf, "classification file")->required();
    cmd->add_option("LABELLED", o->labelled, "UTF-8 CSV: id, code and text columns")->required();
    cmd->add_option("--memory", o->memory, "coding memory file");
    cmd->add_option("--learn-share", o->share,
                    "share of the rows (fixed shuffle) learnt into the memory first")
        ->check(Share());
    cmd->add_option("--learn-split", o->split,
                    "what the learnt share keeps whole: title (each row) or occupation (every "
                    "row of a group, by the `group` column)")
        ->check(CLI::IsMember({"title", "occupation"}));
    cmd->add_option("--sample", o->sample, "evaluate at most this many of the other rows (0: all)")
        ->check(CLI::Range(0, 1000000000));
    cmd->add_option("--calibration-share", o->calibration,
                    "share of the evaluated rows that calibrate the confidence, the others "
                    "auto-coded (0: none)")
        ->check(Share());
    cmd->callback([o, &run] {
        run.code = Evaluate(o->clf, o->labelled, o->memory, o->share, o->sample, std::cout,
                            std::cerr, o->calibration,
                            o->split == "occupation" ? LearnSplit::Occupation : LearnSplit::Title);
    });
}

}  // namespace tarnwick::cli
