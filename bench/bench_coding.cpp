// The coding page's operations on large models: a key-word search in a 5,000-category
// classification with about 20 key words each, the longest navigation walks over 1,000,000
// respondents, and rebuilding the respondent selector.

#include <benchmark/benchmark.h>

#include <memory>
#include <random>
#include <string>
#include <vector>

#include "core/coding/actions.h"
#include "core/coding/navigation.h"
#include "core/coding/search.h"
#include "core/session/session.h"
#include "core/text/strings.h"
#include "support/scripted_platform.h"

namespace tarnwick {
namespace {

constexpr int kCategories = 5000;
constexpr int kKeysPerCategory = 20;
constexpr int kRecords = 1000000;
constexpr int kFields = 3;

struct Fixture {
    ScriptedPlatform platform;
    Session s{platform};
    std::vector<std::string> words;  // the key words, as generated
};

std::string Code(int i) {
    // Four-digit codes 1000..; every tenth a higher level one ending in 0.
    std::string c = std::to_string(1000 + i);
    return c;
}

// A classification built in memory, indexed as the loader does: every beginning of at least
// three characters of every key word and of every code.
void BuildClassification(Fixture& f) {
    Classification& clf = f.s.Clf;
    std::mt19937 rng(2026);
    std::uniform_int_distribution<int> letter(0, 25);
    std::uniform_int_distribution<int> length(5, 11);
    std::vector<SortedStringList<TKat>::Entry> cats;
    for (int i = 0; i < kCategories; ++i) {
        TKat k(Code(i), 4);
        k.Name = "Category number " + std::to_string(i) + " of the generated classification";
        k.Description = "Description of category " + std::to_string(i);
        cats.push_back({k.Code, k});
    }
    clf.Categories.Assign(std::move(cats));
    clf.MissingDataCode = "9998";
    clf.MissingDataName = "Missing data";
    clf.NotApplicableCode = "9999";
    clf.NotApplicableName = "Not applicable";

    // Key words are shared: a pool of words, each category taking 20 of them.
    std::vector<std::string> pool;
    for (int w = 0; w < kCategories * kKeysPerCategory / 4; ++w) {
        std::string word;
        const int n = length(rng);
        for (int j = 0; j < n; ++j) word += static_cast<char>('A' + letter(rng));
        pool.push_back(word);
    }
    std::uniform_int_distribution<size_t> pick(0, pool.size() - 1);
    std::vector<SortedStringList<TKatKlucz>::Entry> keys;
    std::vector<std::pair<std::string, int>> pairs;
    for (int i = 0; i < kCategories; ++i) {
        const std::string& code = clf.Category(i).Code;
        for (size_t len = 3; len <= code.size(); ++len) pairs.emplace_back(code.substr(0, len), i);
        // One word that every category has: the widest list a search can give.
        const std::string common = "PRACOWNIK";
        for (size_t len = 3; len <= common.size(); ++len)
            pairs.emplace_back(common.substr(0, len), i);
        for (int k = 0; k < kKeysPerCategory; ++k) {
            const std::string& word = pool[pick(rng)];
            for (size_t len = 3; len <= word.size(); ++len)
                pairs.emplace_back(word.substr(0, len), i);
        }
    }
    std::sort(pairs.begin(), pairs.end());
    for (size_t j = 0; j < pairs.size();) {
        TKatKlucz key{pairs[j].first, {}};
        size_t e = j;
        for (; e < pairs.size() && pairs[e].first == pairs[j].first; ++e) {
            if (key.Entries.empty() || key.Entries.back().Index != pairs[e].second) {
                key.Entries.push_back(TIndeks{pairs[e].second});
            }
        }
        keys.push_back({key.Key, std::move(key)});
        j = e;
    }
    clf.KeyWords.Assign(std::move(keys));
    f.words = std::move(pool);
}

Fixture& SearchFixture() {
    static std::unique_ptr<Fixture> f = [] {
        auto p = std::make_unique<Fixture>();
        BuildClassification(*p);
        return p;
    }();
    return *f;
}

void BM_SearchOneWord(benchmark::State& state) {
    Fixture& f = SearchFixture();
    size_t i = 0;
    for (auto _ : state) {
        // A word typed a little too long: one shortening, a handful of categories.
        SearchKeyWords(f.s, f.words[i++ % f.words.size()] + "S");
        benchmark::DoNotOptimize(f.s.View.PreselectedLines.data());
    }
    state.counters["lines"] = static_cast<double>(f.s.View.PreselectedLines.size());
}
BENCHMARK(BM_SearchOneWord)->Unit(benchmark::kMicrosecond);

void BM_SearchThreeLetters(benchmark::State& state) {
    // The widest search: a three-letter beginning shared by many key words.
    Fixture& f = SearchFixture();
    for (auto _ : state) {
        SearchKeyWords(f.s, "aaa");
        benchmark::DoNotOptimize(f.s.View.PreselectedLines.data());
    }
    state.counters["lines"] = static_cast<double>(f.s.View.PreselectedLines.size());
}
BENCHMARK(BM_SearchThreeLetters)->Unit(benchmark::kMicrosecond);

void BM_SearchEveryCategory(benchmark::State& state) {
    // A word of every category: 5,000 lines.
    Fixture& f = SearchFixture();
    for (auto _ : state) {
        SearchKeyWords(f.s, "pracownicy");
        benchmark::DoNotOptimize(f.s.View.PreselectedLines.data());
    }
    state.counters["lines"] = static_cast<double>(f.s.View.PreselectedLines.size());
}
BENCHMARK(BM_SearchEveryCategory)->Unit(benchmark::kMicrosecond);

void BM_SearchCodePrefix(benchmark::State& state) {
    // "100" is the beginning of a hundred codes.
    Fixture& f = SearchFixture();
    for (auto _ : state) {
        SearchKeyWords(f.s, "100");
        benchmark::DoNotOptimize(f.s.View.PreselectedLines.data());
    }
    state.counters["lines"] = static_cast<double>(f.s.View.PreselectedLines.size());
}
BENCHMARK(BM_SearchCodePrefix)->Unit(benchmark::kMicrosecond);

void BM_SearchTwoWords(benchmark::State& state) {
    Fixture& f = SearchFixture();
    size_t i = 0;
    for (auto _ : state) {
        SearchKeyWords(f.s, f.words[i % f.words.size()] + " " +
                                f.words[(i + 7) % f.words.size()].substr(0, 4));
        ++i;
        benchmark::DoNotOptimize(f.s.View.PreselectedLines.data());
    }
}
BENCHMARK(BM_SearchTwoWords)->Unit(benchmark::kMicrosecond);

// 1,000,000 respondents with three occupation fields. Sparse: only the first and the last record
// have something to code, so every move crosses the whole file. Dense: every record has its
// second field to code, all coded but the first and the last, so the walks that look for a case
// without code read every case.
std::unique_ptr<Fixture> BuildWalkFixture(bool dense) {
    {
        auto p = std::make_unique<Fixture>();
        Session& s = p->s;
        s.Clf.NotApplicableCode = "9999";
        s.Clf.NotApplicableName = "Not applicable";
        s.Params.RespIdPos = 1;
        s.Params.RespIdWidth = 7;
        for (int d = 0; d < kFields; ++d) {
            TDokumZaw z("Z" + std::to_string(d + 1), "Occupation " + std::to_string(d + 1));
            z.InfoPos[1] = 8 + 20 * d;
            z.InfoWidth[1] = 20;
            z.InfoDescr[1] = "Title";
            s.Params.DokumList.push_back(z);
        }
        const size_t recordLength = 7 + 20 * kFields;
        CaseModel& cm = s.Cases;
        cm.DataBuffer.reserve(static_cast<size_t>(kRecords) * recordLength);
        for (int r = 0; r < kRecords; ++r) {
            std::string id = std::to_string(r);
            id.insert(0, 7 - id.size(), '0');
            cm.DataBuffer += id;
            for (int d = 0; d < kFields; ++d) {
                std::string text = "occupation " + std::to_string(r % 997);
                text.resize(20, ' ');
                cm.DataBuffer += text;
            }
        }
        cm.Respondents.resize(static_cast<size_t>(kRecords));
        for (int r = 0; r < kRecords; ++r) {
            TOsoba& o = cm.Respondents[static_cast<size_t>(r)];
            o.Record = std::string_view(cm.DataBuffer)
                           .substr(static_cast<size_t>(r) * recordLength, recordLength);
            o.RespondentId = std::string(o.Record.substr(0, 7));
            const bool edge = r == 0 || r == kRecords - 1;
            for (int d = 0; d < kFields; ++d) {
                TZawod z((edge || dense) && d == 1);
                if (!z.ToCode) {
                    z.Code = s.Clf.NotApplicableCode;
                    z.CodeName = s.Clf.NotApplicableName;
                } else if (!edge) {
                    z.Code = "1000";
                }
                o.Occupations.push_back(z);
            }
            o.HasToCode = edge || dense;
            if (o.HasToCode) cm.SelectorRecords.push_back(r);
        }
        cm.ToCodeCount = static_cast<int>(cm.SelectorRecords.size());
        return p;
    }
}

Fixture& WalkFixture() {
    static std::unique_ptr<Fixture> f = BuildWalkFixture(false);
    return *f;
}

Fixture& DenseFixture() {
    static std::unique_ptr<Fixture> f = BuildWalkFixture(true);
    return *f;
}

void Place(Session& s, int record, int field) {
    s.CurrentRecord = record;
    s.CurrentField = field;
}

void BM_NextOccupationAcrossTheFile(benchmark::State& state) {
    Fixture& f = WalkFixture();
    for (auto _ : state) {
        Place(f.s, 0, 1);
        benchmark::DoNotOptimize(NextOccupation(f.s));
        Place(f.s, kRecords - 1, 1);
        benchmark::DoNotOptimize(PreviousOccupation(f.s));
    }
    state.SetLabel("forward and back, 2 walks");
}
BENCHMARK(BM_NextOccupationAcrossTheFile)->Unit(benchmark::kMillisecond);

void BM_NextRecordAcrossTheFile(benchmark::State& state) {
    Fixture& f = WalkFixture();
    for (auto _ : state) {
        Place(f.s, 0, 1);
        benchmark::DoNotOptimize(NextRecord(f.s));
    }
}
BENCHMARK(BM_NextRecordAcrossTheFile)->Unit(benchmark::kMillisecond);

void BM_NextNotCodedRoundTheEnd(benchmark::State& state) {
    // From the first case to code, with the last one coded: to the end of the data without
    // finding one, then round to the first. Every case of the dense file is read.
    Fixture& f = state.range(0) ? DenseFixture() : WalkFixture();
    f.s.Cases.Respondents.back().Occupations[1].Code = "1000";
    for (auto _ : state) {
        Place(f.s, 0, 1);
        benchmark::DoNotOptimize(NextNotCoded(f.s));
    }
    f.s.Cases.Respondents.back().Occupations[1].Code.clear();
}
BENCHMARK(BM_NextNotCodedRoundTheEnd)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_NextNotCodedInField(benchmark::State& state) {
    Fixture& f = state.range(0) ? DenseFixture() : WalkFixture();
    for (auto _ : state) {
        Place(f.s, 0, 1);
        benchmark::DoNotOptimize(NextNotCodedInField(f.s));
    }
}
BENCHMARK(BM_NextNotCodedInField)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_GoToFirstNotCodedAllCoded(benchmark::State& state) {
    // Everything coded: a walk over the whole file, then one that stops at once.
    Fixture& f = state.range(0) ? DenseFixture() : WalkFixture();
    TZawod& first = f.s.Cases.Respondents.front().Occupations[1];
    TZawod& last = f.s.Cases.Respondents.back().Occupations[1];
    first.Code = last.Code = "1000";
    for (auto _ : state) {
        benchmark::DoNotOptimize(GoToFirstNotCoded(f.s));
        f.platform.messages.clear();
    }
    first.Code.clear();
    last.Code.clear();
}
BENCHMARK(BM_GoToFirstNotCodedAllCoded)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FindNotCoded(benchmark::State& state) {
    // The count over every case, then the walk to the last record's case.
    Fixture& f = state.range(0) ? DenseFixture() : WalkFixture();
    f.s.Cases.Respondents.front().Occupations[1].Code = "1000";
    for (auto _ : state) FindNotCoded(f.s);
    f.s.Cases.Respondents.front().Occupations[1].Code.clear();
}
BENCHMARK(BM_FindNotCoded)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_FillRespondentSelector(benchmark::State& state) {
    // All 1,000,000 records listed (show not-applicable cases), then the two listed ones.
    Fixture& f = WalkFixture();
    for (auto _ : state) {
        f.s.ShowNotApplicable = 1;
        FillRespondentSelector(f.s);
        benchmark::DoNotOptimize(f.s.Cases.SelectorRecords.data());
        f.s.ShowNotApplicable = 0;
        FillRespondentSelector(f.s);
    }
    state.SetLabel("1,000,000 entries then 2");
}
BENCHMARK(BM_FillRespondentSelector)->Unit(benchmark::kMillisecond);

void BM_SelectorPick(benchmark::State& state) {
    // Typing the last identifier: the selector's entries are searched in order.
    Fixture& f = WalkFixture();
    f.s.ShowNotApplicable = 1;
    FillRespondentSelector(f.s);
    const std::string last = f.s.Cases.Respondents.back().RespondentId;
    for (auto _ : state) {
        Place(f.s, 0, 1);
        PickRespondent(f.s, last);
    }
    f.s.ShowNotApplicable = 0;
    FillRespondentSelector(f.s);
}
BENCHMARK(BM_SelectorPick)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tarnwick

BENCHMARK_MAIN();
