// The coding journal: what one coding action costs with its entry flushed to disk (fdatasync),
// and the replay of a journal of 100,000 actions at opening (read, checked, applied). The
// journal is written in a fresh folder under TMPDIR: point it at the disk the projects live on.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "core/data/journal.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"

namespace tarnwick {
namespace {

constexpr int kRespondents = 100000;
constexpr int kCategories = 500;

std::string Folder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarnwick-bench-journal-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return pattern;
}

std::string Id(int i) {
    std::string id = std::to_string(i);
    return std::string(8 - id.size(), '0') + id;
}

void BM_CodingActionWithFlushedEntry(benchmark::State& state) {
    const std::string folder = Folder();
    {
        JournalFile journal(folder + "/wave.zjn");
        int n = 0;
        for (auto _ : state) {
            journal.Append({n % kRespondents, 0, true, Id(n % kRespondents), "2310"});
            ++n;
        }
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_CodingActionWithFlushedEntry)->Unit(benchmark::kMicrosecond);

struct Project {
    Classification clf;
    CaseModel cases;
    std::string journal;  // 100,000 entries
};

Project Make() {
    Project p;
    std::vector<SortedStringList<TKat>::Entry> cats;
    for (int i = 0; i < kCategories; ++i) {
        TKat k(std::to_string(1000 + i), 4);
        k.Name = "Category " + std::to_string(i);
        cats.push_back({k.Code, k});
    }
    p.clf.Categories.Assign(std::move(cats));
    p.clf.MissingDataCode = "9998";
    p.clf.NotApplicableCode = "9999";
    p.cases.Respondents.resize(kRespondents);
    for (int i = 0; i < kRespondents; ++i) {
        TOsoba& r = p.cases.Respondents[static_cast<size_t>(i)];
        r.RespondentId = Id(i);
        r.Occupations.assign(2, TZawod(true));
    }
    for (int n = 0; n < kRespondents; ++n) {
        const int record = (n * 7919) % kRespondents;
        p.journal += FormatJournalEntry(
            {record, n % 2, true, Id(record), std::to_string(1000 + n % kCategories)});
    }
    return p;
}

void BM_Replay100000Actions(benchmark::State& state) {
    Project p = Make();
    const std::string folder = Folder();
    const std::string path = folder + "/wave.zjn";
    WriteFileAtomic(path, p.journal);
    for (auto _ : state) {
        const JournalReading reading = ReadJournalText(ReadWholeFile(path));
        std::vector<std::string> faults;
        const int changed = ReplayJournal(reading.Entries, p.clf, p.cases, faults);
        benchmark::DoNotOptimize(changed);
        state.PauseTiming();
        for (TOsoba& r : p.cases.Respondents) {
            for (TZawod& z : r.Occupations) z.Code.clear();
        }
        state.ResumeTiming();
    }
    std::filesystem::remove_all(folder);
}
BENCHMARK(BM_Replay100000Actions)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
