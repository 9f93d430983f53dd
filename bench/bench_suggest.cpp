// The suggestion engine on large models: building it for a 5,000-category classification,
// ranking one case against it with a memory of 200,000 answers (some answers with typos, some
// identical to a remembered one), with the learnt model and without, building that model, reading
// that memory from its file, and learning the codes of a 1,000,000-record project.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/project/memory_file.h"
#include "core/project/opening.h"
#include "core/suggest/suggest.h"
#include "project_generator.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

constexpr size_t kCategories = 5000;
constexpr size_t kMemoryAnswers = 200000;

struct Model {
    Classification clf;
    std::vector<std::string> codes;
    std::vector<std::string> words;  // the key words' words
    CodingMemory memory;
    std::vector<std::vector<std::string>> queries;

    Model() {
        const std::string text = bench::GenerateClassificationText(kCategories, &codes);
        int width = 0;
        std::vector<std::string> errors;
        if (!LoadClassificationText(text, "bench.clf", width, clf, errors)) std::abort();
        for (int i = 0; i < clf.Count(); ++i) {
            for (const std::string& key : clf.Category(i).KeyTexts) {
                size_t from = 0;
                while (from < key.size()) {
                    size_t blank = key.find(' ', from);
                    if (blank == std::string::npos) blank = key.size();
                    if (blank > from) words.push_back(key.substr(from, blank - from));
                    from = blank + 1;
                }
            }
        }
        uint64_t state = 2026;
        auto below = [&](size_t n) {
            state = state * 6364136223846793005ULL + 1442695040888963407ULL;
            return static_cast<size_t>((state >> 33) % n);
        };
        auto answer = [&] {
            std::string title;
            for (size_t k = 0, n = 1 + below(3); k < n; ++k) {
                title += (k ? " " : "") + words[below(words.size())];
            }
            return std::vector<std::string>{title, words[below(words.size())] + " daily",
                                            "Industry " + std::to_string(below(20))};
        };
        while (memory.AnswerCount() < kMemoryAnswers) {
            memory.Learn(answer(), codes[below(codes.size())]);
        }
        for (int i = 0; i < 1000; ++i) {
            std::vector<std::string> q = answer();
            if (i % 3 == 1 && q[0].size() > 4) std::swap(q[0][2], q[0][3]);  // a typo
            queries.push_back(std::move(q));
        }
    }
};

Model& TheModel() {
    static Model model;
    return model;
}

void BM_BuildEngine(benchmark::State& state) {
    const Model& m = TheModel();
    for (auto _ : state) {
        SuggestionEngine engine(m.clf);
        benchmark::DoNotOptimize(engine.CategoryCount());
    }
}
BENCHMARK(BM_BuildEngine)->Unit(benchmark::kMillisecond);

void BM_RankOneCase(benchmark::State& state) {
    const Model& m = TheModel();
    const SuggestionEngine engine(m.clf);
    size_t i = 0;
    for (auto _ : state) {
        auto ranked = engine.Rank(m.queries[i++ % m.queries.size()], m.memory, 10);
        benchmark::DoNotOptimize(ranked.data());
    }
    state.counters["memory_answers"] = static_cast<double>(m.memory.AnswerCount());
}
BENCHMARK(BM_RankOneCase)->Unit(benchmark::kMillisecond);

// The learnt model of that memory, as the window's worker builds it, and its size.
void BM_BuildModel(benchmark::State& state) {
    const Model& m = TheModel();
    const SuggestionEngine engine(m.clf);
    const ModelSource source = m.memory.ModelSnapshot();
    for (auto _ : state) {
        auto model = engine.BuildModel(source);
        state.counters["model_MB"] = static_cast<double>(model->Bytes()) / (1 << 20);
        state.counters["documents"] = static_cast<double>(model->Documents());
    }
}
BENCHMARK(BM_BuildModel)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_RankOneCaseWithModel(benchmark::State& state) {
    Model& m = TheModel();
    const SuggestionEngine engine(m.clf);
    engine.RefreshModel(m.memory);
    size_t i = 0;
    for (auto _ : state) {
        auto ranked = engine.Rank(m.queries[i++ % m.queries.size()], m.memory, 10);
        benchmark::DoNotOptimize(ranked.data());
    }
    state.counters["with_model"] = m.memory.Model() != nullptr ? 1 : 0;
}
BENCHMARK(BM_RankOneCaseWithModel)->Unit(benchmark::kMillisecond);

// Reading the memory file of those 200,000 answers, as the window does before suggesting.
void BM_ReadMemoryFile(benchmark::State& state) {
    const std::string text = TheModel().memory.Format();
    for (auto _ : state) {
        std::string error;
        auto memory = CodingMemory::Parse(text, &error, {});
        if (!memory) std::abort();
        benchmark::DoNotOptimize(memory->AnswerCount());
    }
    state.counters["megabytes"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(BM_ReadMemoryFile)->Unit(benchmark::kMillisecond);

// A generated project of 1,000,000 records (TARNWICK_BENCH_RECORDS overrides), about half of its
// cases coded by the working file.
void BM_LearnProject(benchmark::State& state) {
    size_t records = 1000000;
    if (const char* env = std::getenv("TARNWICK_BENCH_RECORDS")) {
        records = std::strtoull(env, nullptr, 10);
    }
    const std::string folder = (std::filesystem::temp_directory_path() /
                                ("tarnwick_bench_suggest_" + std::to_string(::getpid())))
                                   .string();
    bench::ProjectSpec plan;
    plan.folder = folder;
    plan.records = records;
    const bench::GeneratedProject project = bench::GenerateProject(plan);
    ScriptedPlatform platform;
    Session session(platform);
    platform.fileAnswers = {project.paramsPath, project.classificationPath, project.dataPath};
    OpenProject(session);
    if (!session.ProjectOpen()) std::abort();
    size_t learnt = 0;
    CodingMemory memory;
    for (auto _ : state) {
        state.PauseTiming();
        memory = CodingMemory();
        state.ResumeTiming();
        learnt = LearnCodedCases(session, memory);
    }
    state.counters["cases_learnt"] = static_cast<double>(learnt);
    state.counters["distinct_answers"] = static_cast<double>(memory.AnswerCount());
    // What the window's thread does before the model is built on a worker: the snapshot of the
    // answers the model learns.
    const auto started = std::chrono::steady_clock::now();
    const ModelSource source = memory.ModelSnapshot(SuggestionEngine::kModelMostAnswers);
    state.counters["snapshot_ms"] =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
            .count();
    state.counters["snapshot_answers"] = static_cast<double>(source.answers.size());
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_LearnProject)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
