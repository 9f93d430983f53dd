#include "core/project/memory_file.h"

#include <filesystem>
#include <unordered_map>

#include "core/project/opening.h"
#include "core/project/scripted_platform.h"
#include "core/text/files.h"
#include "core/text/text.h"

namespace tarnwick {

std::string MemoryFilePathFor(const std::string& classificationPath) {
    std::filesystem::path p(classificationPath);
    p.replace_extension(".mem");
    return p.string();
}

std::optional<CodingMemory> LoadMemoryFile(const std::string& path, std::string& error) {
    const std::string text = ReadWholeFile(path);
    std::string why;
    auto memory = CodingMemory::Parse(text, &why);
    if (!memory) error = path + ": " + why;
    return memory;
}

void SaveMemoryFile(const std::string& path, const CodingMemory& memory,
                    const WorkProgress& progress) {
    WriteFileAtomic(path, memory.Format(), progress);
}

size_t LearnCodedCases(const Session& session, CodingMemory& memory, const WorkProgress& progress) {
    const auto& fields = session.Params.DokumList;
    struct Group {
        std::string_view record;  // the first record with this answer
        size_t field;
        std::string code;
        uint32_t count = 0;
    };
    // Key: the field, the raw bytes of its information fields and the code.
    std::unordered_map<std::string, Group> groups;
    std::string key;
    size_t learnt = 0;
    const auto& respondents = session.Cases.Respondents;
    ProgressMeter meter(progress.Part(0, 80), respondents.size());
    for (size_t r = 0; r < respondents.size(); ++r) {
        meter.Advance(r);
        const TOsoba& person = respondents[r];
        for (size_t d = 0; d < person.Occupations.size() && d < fields.size(); ++d) {
            const TZawod& z = person.Occupations[d];
            if (z.Code.empty()) continue;
            key.assign(1, static_cast<char>(d));
            for (int n = 1; n <= kInfoFields; ++n) {
                if (fields[d].InfoPos[n] <= 0) continue;
                key += CutField(person.Record, fields[d].InfoPos[n], fields[d].InfoWidth[n]);
                key += '\x01';
            }
            key += z.Code;
            auto [it, added] = groups.try_emplace(key);
            if (added) it->second = {person.Record, d, z.Code, 0};
            ++it->second.count;
            ++learnt;
        }
    }
    meter.Finish();
    ProgressMeter learning(progress.Part(80, 100), groups.size());
    size_t done = 0;
    for (const auto& [k, g] : groups) {
        learning.Advance(done++);
        memory.Learn(CaseInfoTexts(fields[g.field], g.record), g.code, g.count);
    }
    learning.Finish();
    return learnt;
}

std::optional<size_t> LearnProject(const std::string& params, const std::string& classification,
                                   const std::string& data, CodingMemory& memory,
                                   std::vector<std::string>& faults) {
    ScriptedPlatform platform;
    Session session(platform);
    for (const std::string* file : {&params, &classification, &data}) {
        platform.fileAnswers.push_back(std::filesystem::absolute(*file).string());
    }
    OpenProject(session);
    if (!session.ProjectOpen()) {
        faults = session.ErrorLines;
        faults.insert(faults.end(), platform.messages.begin(), platform.messages.end());
        return std::nullopt;
    }
    return LearnCodedCases(session, memory);
}

}  // namespace tarnwick
