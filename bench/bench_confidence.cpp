// Confidence at the scale of a large survey: the leave-one-out calibration over 10,000 coded cases
// (ranking each case without it and learning it back, then fitting the map) and choosing the
// codes of 100,000 distinct answers against the memory of those cases.
//
// The classification is synthetic: 5,000 categories whose names and key words are drawn from a
// vocabulary of made-up words, a few words of their own and some common ones shared by many
// ("assistant", "senior"), as occupation titles are. The generated classification of the other
// benchmarks draws every key word from 35 words, so that each word stands in a third of the
// categories: a worst case for ranking, not a classification that calibration is meant for.
// Answers use a category's key words, now and then a word of another category or a common word,
// and are coded as their category 24 times in 25.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

#include "core/classification/loader.h"
#include "core/suggest/confidence.h"

namespace tarnwick {
namespace {

constexpr size_t kCategories = 5000;
constexpr size_t kCoded = 10000;
constexpr size_t kDistinctAnswers = 100000;

class Rng {
  public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    size_t Below(size_t n) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<size_t>((state_ >> 33) % n);
    }

  private:
    uint64_t state_;
};

struct Model {
    Classification clf;
    std::unique_ptr<SuggestionEngine> engine;
    std::vector<std::string> codes;
    std::vector<std::vector<std::string>> ownWords;  // by category
    std::vector<std::string> common;
    std::vector<CodedCase> coded;
    CodingMemory memory;
    std::vector<CandidateCase> candidates;
    Rng rng{2026};

    std::string Word() {
        static const char* const kSyllables[] = {"ka",  "lo",  "mi",  "ne",  "ru",  "sa",  "te",
                                                 "vo",  "pi",  "da",  "gor", "lin", "mar", "sel",
                                                 "tor", "ban", "fer", "hul", "wen", "zi"};
        std::string w;
        for (size_t k = 0, n = 2 + rng.Below(3); k < n; ++k) w += kSyllables[rng.Below(20)];
        return w;
    }

    // 1 to 3 of the category's own words, sometimes with a common one.
    std::string Phrase(size_t c) {
        std::string p;
        for (size_t k = 0, n = 1 + rng.Below(3); k < n; ++k) {
            p += (k ? " " : "") + ownWords[c][rng.Below(ownWords[c].size())];
        }
        if (rng.Below(3) == 0) p = common[rng.Below(common.size())] + " " + p;
        return p;
    }

    std::vector<std::string> Answer(size_t c) {
        std::string title = Phrase(c);
        if (rng.Below(7) == 0) title += " " + ownWords[rng.Below(kCategories)][0];
        return {title, ownWords[c][rng.Below(ownWords[c].size())] + " daily",
                "Industry " + std::to_string(rng.Below(20))};
    }

    Model() {
        for (int i = 0; i < 60; ++i) common.push_back(Word());
        std::string text = "Synthetic classification for the confidence benchmark\r\n";
        for (size_t c = 0; c < kCategories; ++c) {
            // No code ending in 0, which would stand above the codes after it.
            codes.push_back(std::to_string(10001 + c + c / 9));
            ownWords.emplace_back();
            for (int k = 0; k < 6; ++k) ownWords.back().push_back(Word());
            text += "#C " + codes.back() + "\r\n#N " + Phrase(c) + "\r\n#D " + Phrase(c) + " " +
                    Phrase(c) + " {";
            for (int k = 0; k < 8; ++k) text += "[" + Phrase(c) + "] ";
            text += "}\r\n";
        }
        text += "#CM 99998\r\n#N Missing\r\n#D Not known\r\n";
        text += "#CN 99999\r\n#N Not applicable\r\n#D Not asked\r\n";
        int width = 0;
        std::vector<std::string> errors;
        if (!LoadClassificationText(text, "bench.clf", width, clf, errors, false)) std::abort();
        engine = std::make_unique<SuggestionEngine>(clf);
        for (size_t i = 0; i < kCoded; ++i) {
            const size_t c = rng.Below(kCategories);
            const std::string& code = rng.Below(25) == 0 ? codes[rng.Below(kCategories)] : codes[c];
            coded.push_back({Answer(c), code});
            memory.Learn(coded.back().texts, code);
        }
        std::unordered_set<std::string> seen;
        while (seen.size() < kDistinctAnswers) {
            auto texts = Answer(rng.Below(kCategories));
            if (seen.insert(NormaliseAnswer(texts)).second) {
                candidates.push_back({std::move(texts), true, false});
            }
        }
    }
};

Model& TheModel() {
    static Model model;
    return model;
}

ConfidenceCalibration Calibrate(Model& m) {
    return ConfidenceCalibration::Fit(LeaveOneOut(*m.engine, m.memory, m.coded));
}

void BM_CalibrateOnCodedCases(benchmark::State& state) {
    Model& m = TheModel();
    size_t right = 0;
    for (auto _ : state) {
        const auto pairs = LeaveOneOut(*m.engine, m.memory, m.coded);
        const auto calibration = ConfidenceCalibration::Fit(pairs);
        benchmark::DoNotOptimize(calibration.CaseCount());
        right = 0;
        for (const auto& p : pairs) right += p.right ? p.weight : 0;
    }
    state.counters["coded_cases"] = static_cast<double>(m.coded.size());
    state.counters["first_right"] = static_cast<double>(right) / static_cast<double>(kCoded);
}
BENCHMARK(BM_CalibrateOnCodedCases)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_PlanAutoCoding(benchmark::State& state) {
    Model& m = TheModel();
    const ConfidenceCalibration calibration = Calibrate(m);
    constexpr double kTarget = 0.05;
    if (!ChooseThreshold(calibration, kTarget).Promised()) {
        state.SkipWithError("the calibration promises nothing: the run would rank nothing");
        return;
    }
    AutoCodingPlan plan;
    for (auto _ : state) {
        plan = PlanAutoCoding(*m.engine, m.memory, calibration, m.candidates, kTarget);
        benchmark::DoNotOptimize(plan.casesChosen);
    }
    state.counters["distinct_answers"] = static_cast<double>(plan.answers.size());
    state.counters["chosen_share"] =
        static_cast<double>(plan.casesChosen) / static_cast<double>(plan.casesConsidered);
}
BENCHMARK(BM_PlanAutoCoding)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
