// Opening a large project (survey data read and working file merged), saving the working file
// and writing the final output and its exports (.sav, .dta, CSV), on a generated project of a
// million records.
//
// The number of records comes from TARNWICK_BENCH_RECORDS (default 1000000); the project is
// generated into a temporary folder once per run. Besides the times, the counters give the
// process's peak resident memory (getrusage) and its ratio to the survey data file's size.

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "core/classification/loader.h"
#include "core/data/cases.h"
#include "core/data/output.h"
#include "core/data/working_file.h"
#include "core/io/files.h"
#include "core/params/parser.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "project_generator.h"
#include "support/scripted_platform.h"

namespace {

using namespace tarnwick;

double PeakRssMb() {
    struct rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

double CurrentRssMb() {
    std::ifstream statm("/proc/self/statm");
    long pages = 0;
    long resident = 0;
    statm >> pages >> resident;
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) /
           (1024.0 * 1024.0);
}

struct Fixture {
    bench::GeneratedProject project;
    std::string folder;
    ScriptedPlatform platform;
    std::unique_ptr<Session> session;

    Fixture() {
        size_t records = 1000000;
        if (const char* env = std::getenv("TARNWICK_BENCH_RECORDS")) {
            records = std::strtoull(env, nullptr, 10);
        }
        folder = (std::filesystem::temp_directory_path() /
                  ("tarnwick_bench_data_" + std::to_string(::getpid())))
                     .string();
        bench::ProjectSpec plan;
        plan.folder = folder;
        plan.records = records;
        project = bench::GenerateProject(plan);

        session = std::make_unique<Session>(platform);
        Session& s = *session;
        s.ProjectFolder = folder + "/";
        s.ParamStem = "bench";
        s.DataStem = "bench";
        s.DataExt = ".dat";
        if (!ParseCodingParams(s) || !LoadClassification(s, project.classificationPath)) {
            std::abort();
        }
    }
    ~Fixture() { std::filesystem::remove_all(folder); }
};

Fixture& Project() {
    static Fixture fixture;
    return fixture;
}

void Counters(benchmark::State& state, const Fixture& f) {
    state.counters["records"] = static_cast<double>(f.session->Cases.Respondents.size());
    state.counters["data_MB"] = static_cast<double>(f.project.dataBytes) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = PeakRssMb();
    state.counters["rss_MB"] = CurrentRssMb();
    state.counters["peak_per_data_byte"] =
        PeakRssMb() * 1024.0 * 1024.0 / static_cast<double>(f.project.dataBytes);
}

void BM_OpenData(benchmark::State& state) {
    Fixture& f = Project();
    Session& s = *f.session;
    double firstPeak = 0;
    for (auto _ : state) {
        s.Report.clear();
        if (!ReadInputData(s)) {
            state.SkipWithError(f.platform.messages.empty() ? "read failed"
                                                            : f.platform.messages.back().c_str());
            return;
        }
        benchmark::DoNotOptimize(s.Cases.Respondents.data());
        // The first opening in this process is the one a coder meets.
        if (firstPeak == 0) firstPeak = PeakRssMb();
    }
    state.counters["first_open_peak_MB"] = firstPeak;
    state.counters["first_open_peak_per_data_byte"] =
        firstPeak * 1024.0 * 1024.0 / static_cast<double>(f.project.dataBytes);
    state.counters["to_code"] = s.Cases.ToCodeCount;
    state.counters["coded"] = s.Cases.CodedAtStart;
    Counters(state, f);
}
BENCHMARK(BM_OpenData)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SaveWorkingFile(benchmark::State& state) {
    Fixture& f = Project();
    for (auto _ : state) SaveWorkingFile(*f.session);
    Counters(state, f);
}
BENCHMARK(BM_SaveWorkingFile)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_WriteFinalOutput(benchmark::State& state) {
    Fixture& f = Project();
    for (auto _ : state) WriteFinalOutput(*f.session);
    Counters(state, f);
}
BENCHMARK(BM_WriteFinalOutput)->Unit(benchmark::kMillisecond)->Iterations(3);

// Each export for statistical software. Run after the opening, the process's peak resident
// memory shows whether an export needs more than the opening did.
void BM_Export(benchmark::State& state) {
    Fixture& f = Project();
    const auto format = static_cast<ExportFormat>(state.range(0));
    std::string path;
    for (auto _ : state) path = ExportFinalOutput(*f.session, format).front();
    state.SetLabel(ExportExtension(format));
    // The bytes an export holds at its peak, beside the opened project.
    state.counters["file_MB"] =
        static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    Counters(state, f);
}
BENCHMARK(BM_Export)
    ->Arg(static_cast<int>(ExportFormat::Sav))
    ->Arg(static_cast<int>(ExportFormat::Dta))
    ->Arg(static_cast<int>(ExportFormat::Csv))
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
