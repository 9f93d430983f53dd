// Loading a large classification: 5,000 categories with about 20 key words each.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/classification/loader.h"
#include "core/classification/scales.h"

namespace {

using namespace tarnwick;

// A small deterministic generator, so every run loads the same text.
class Rng {
  public:
    uint32_t Next() {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<uint32_t>(state_ >> 33);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

  private:
    uint64_t state_ = 20260;
};

std::string MakeWord(Rng& rng) {
    static const char* const kSyllables[] = {"ka", "ro",  "mel", "tan", "vi",  "sor", "pra",
                                             "le", "dun", "ke",  "mo",  "str", "ai",  "gen",
                                             "ol", "ber", "ti",  "nax", "ump", "ce",  "wa"};
    std::string word;
    const uint32_t parts = 2 + rng.Below(3);
    for (uint32_t i = 0; i < parts; ++i) word += kSyllables[rng.Below(std::size(kSyllables))];
    return word;
}

bool Subordinate(const std::string& a, const std::string& b) { return IsSubordinate(a, b); }

// Every code of the scales table plus further codes up to `count`, each lowest-level category with
// a two-line description of about 20 key words, some hidden in braces.
std::string MakeClassification(size_t count) {
    std::set<std::string> codes;
    for (const std::string& c : BuiltInScaleCodes()) codes.insert(c);
    for (int n = 1; n < 9998 && codes.size() < count - 2; n += 2) {
        char buf[16];
        std::snprintf(buf, sizeof buf, "%04d", n);
        codes.insert(buf);
    }
    std::vector<std::string> list(codes.begin(), codes.end());
    list.push_back("9998");
    list.push_back("9999");

    // A vocabulary shared by many categories, as real key words are.
    Rng rng;
    std::vector<std::string> vocabulary;
    for (int i = 0; i < 20000; ++i) vocabulary.push_back(MakeWord(rng));

    std::string text = "Generated classification for the loading benchmark\r\n\r\n";
    for (size_t i = 0; i < list.size(); ++i) {
        const std::string& code = list[i];
        const char* marker = code == "9998" ? "#CM " : code == "9999" ? "#CN " : "#C ";
        text += marker + code + "\r\n";
        text += "#N Category " + code + " of the generated classification\r\n";
        text += "#S Category " + code + "\r\n";
        const bool lowest = i + 1 == list.size() || !Subordinate(code, list[i + 1]);
        if (!lowest) continue;
        text += "#D Workers of category " + code + ":";
        for (int k = 0; k < 20; ++k) {
            if (k == 10) text += "\r\n   and also";
            const std::string& w = vocabulary[rng.Below(vocabulary.size())];
            text += k % 7 == 3 ? " {[" + w + "]}" : " [" + w + "],";
        }
        text += " and others.\r\n";
    }
    return text;
}

void BM_LoadClassification(benchmark::State& state) {
    const std::string text = MakeClassification(5000);
    size_t keys = 0;
    size_t categories = 0;
    for (auto _ : state) {
        int width = 4;
        Classification clf;
        std::vector<std::string> errors;
        if (!LoadClassificationText(text, "bench.clf", width, clf, errors)) {
            state.SkipWithError("the generated classification has faults");
            return;
        }
        keys = static_cast<size_t>(clf.KeyWords.Count());
        categories = static_cast<size_t>(clf.Count());
        benchmark::DoNotOptimize(clf);
    }
    state.counters["categories"] = static_cast<double>(categories);
    state.counters["keys"] = static_cast<double>(keys);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_LoadClassification)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
