#include "core/project/suggestions.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "core/coding/suggestions.h"
#include "core/io/files.h"
#include "core/io/mapped_file.h"
#include "core/project/memory_file.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

// The memory beside the classification: a damaged one is left as it is, and the session goes on
// without it.
void ReadMemoryFile(const std::string& path, PreparedSuggestions& prepared,
                    const WorkProgress& progress) {
    std::string why;
    try {
        std::optional<CodingMemory> memory = LoadMemoryFile(path, why, progress);
        if (memory) {
            prepared.memory = std::move(*memory);
            prepared.memoryRead = path;
            prepared.memoryAnswers = prepared.memory.AnswerCount();
            return;
        }
    } catch (const IoError& e) {
        why = e.what();
    }
    // `why` names the file: "<path>: line 3: ...", or the system's reason.
    prepared.memoryFault = why;
}

}  // namespace

SuggestionSources BeginSuggestions(Session& s) {
    SuggestionSources sources;
    sources.session = &s;
    // A memory file named for the run (MemoryPath set beforehand) stands in for the one beside
    // the classification.
    const std::string path =
        s.MemoryPath.empty() ? MemoryFileOf(s.ClassificationPath) : s.MemoryPath;
    if (FileExists(path)) sources.memoryPath = path;
    const auto& rs = s.Cases.Respondents;
    std::unordered_map<std::string, uint32_t> numbers;
    const std::string* last = nullptr;  // a key of `numbers`, which stays put
    uint32_t lastNumber = 0;
    for (size_t r = 0; r < rs.size(); ++r) {
        const size_t fields = std::min(rs[r].Occupations.size(), s.Params.DokumList.size());
        for (size_t f = 0; f < fields; ++f) {
            const TZawod& z = rs[r].Occupations[f];
            if (!IsLearntCode(s, z.Code)) {
                if (z.ToCode && z.Code.empty()) ++sources.uncoded;
                continue;
            }
            if (last == nullptr || z.Code != *last) {
                auto [it, added] =
                    numbers.try_emplace(z.Code, static_cast<uint32_t>(sources.codes.size()));
                if (added) sources.codes.push_back(z.Code);
                last = &it->first;
                lastNumber = it->second;
            }
            sources.coded.push_back({static_cast<int>(r), static_cast<uint32_t>(f), lastNumber});
        }
    }
    s.SuggestionsPending = true;
    s.PendingMemory.clear();
    return sources;
}

PreparedSuggestions BuildSuggestions(const SuggestionSources& sources, const WorkProgress& progress,
                                     std::unique_ptr<SuggestionEngine> engine) {
    const Session& s = *sources.session;
    PreparedSuggestions prepared;
    prepared.engine = engine ? std::move(engine)
                             : std::make_unique<SuggestionEngine>(s.Clf, progress.Part(0, 30));
    if (!sources.memoryPath.empty()) {
        ReadMemoryFile(sources.memoryPath, prepared, progress.Part(30, 60));
    }
    ProgressMeter meter(progress.Part(60, 100), sources.coded.size());
    // With room for the codes still to give: growing a memory of millions of answers by one
    // would copy them all while the coder waits on a code.
    prepared.memory.Reserve(sources.coded.size() + sources.uncoded);
    size_t done = 0;
    CaseAnswerNormaliser normalise;
    // The records are read once, in file order: their pages go back behind the reading, so that
    // a large data file is not kept resident beside the memory that learns from it.
    const std::shared_ptr<const FileBytes> file = s.Cases.DataFile;
    const char* const base = file ? file->View().data() : nullptr;
    constexpr size_t kReleaseEvery = size_t{16} << 20;
    size_t passed = 0;
    for (const SuggestionSources::CodedCase& c : sources.coded) {
        const std::string_view record = s.Cases.Respondents[static_cast<size_t>(c.record)].Record;
        const TDokumZaw& d = s.Params.DokumList[c.field];
        prepared.memory.LearnNormalised(normalise.View(d, record), sources.codes[c.code]);
        meter.Advance(++done);
        if (base != nullptr && record.data() >= base &&
            record.data() < base + file->View().size()) {
            const auto at = static_cast<size_t>(record.data() - base);
            if (at >= passed + kReleaseEvery) {
                file->Passed(passed, at);
                passed = at;
            }
        }
    }
    meter.Finish();
    return prepared;
}

void InstallSuggestions(Session& s, PreparedSuggestions prepared) {
    if (!prepared.memoryRead.empty()) {
        s.MemoryPath = prepared.memoryRead;
        s.AppendReportLine(msg::MemoryReportLine(prepared.memoryRead, prepared.memoryAnswers));
    }
    if (!prepared.memoryFault.empty()) {
        s.AppendReportLine(msg::MemoryUnreadable(prepared.memoryFault));
        s.platform.ShowMessage(msg::MemoryUnreadable(prepared.memoryFault), Severity::Information);
    }
    s.Memory = std::move(prepared.memory);
    s.SuggestionsPending = false;
    for (const MemoryChange& c : s.PendingMemory) TeachMemory(s, c.Record, c.Field, c.Old, c.New);
    s.PendingMemory.clear();
    s.Suggester = std::move(prepared.engine);
    // The coder may have begun with the key words meanwhile: the suggestions then wait behind.
    const bool untouched = s.View.Key1.empty() && s.SelectedCategory < 0;
    RefreshSuggestions(s);
    if (untouched && s.View.ActiveTab == CategoryTab::Preselected) {
        s.View.ActiveTab = CategoryTab::Suggestions;
    }
}

void AbandonSuggestions(Session& s) {
    s.SuggestionsPending = false;
    s.PendingMemory.clear();
}

void PrepareSuggestions(Session& s) {
    SuggestionSources sources = BeginSuggestions(s);
    const WorkProgress progress{
        [&s](int percent) { return s.platform.Progress(msg::kProgressSuggestions, percent); }};
    try {
        InstallSuggestions(s, BuildSuggestions(sources, progress));
    } catch (const WorkCancelled&) {
        AbandonSuggestions(s);
    }
}

}  // namespace tarnwick
