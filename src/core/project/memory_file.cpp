#include "core/project/memory_file.h"

#include <algorithm>
#include <filesystem>

#include "core/coding/suggestions.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/opening.h"
#include "core/project/unattended_platform.h"
#include "core/text/strings.h"

namespace tarnwick {

std::optional<CodingMemory> LoadMemoryFile(const std::string& path, std::string& error,
                                           const WorkProgress& progress) {
    const std::string text = ReadWholeFile(path);
    std::string why;
    auto memory = CodingMemory::Parse(text, &why, progress);
    if (!memory) error = path + ": " + why;
    return memory;
}

void SaveMemoryFile(const std::string& path, const CodingMemory& memory,
                    const WorkProgress& progress) {
    WriteFileAtomic(path, memory.Format(), progress);
}

size_t LearnCodedCases(const Session& session, CodingMemory& memory, const WorkProgress& progress) {
    const auto& fields = session.Params.DokumList;
    size_t learnt = 0;
    const auto& respondents = session.Cases.Respondents;
    memory.Reserve(static_cast<size_t>(std::max(0, session.Cases.CodedCount)));
    ProgressMeter meter(progress, respondents.size());
    CaseAnswerNormaliser normalise;
    for (size_t r = 0; r < respondents.size(); ++r) {
        meter.Advance(r);
        const TOsoba& person = respondents[r];
        for (size_t d = 0; d < person.Occupations.size() && d < fields.size(); ++d) {
            const TZawod& z = person.Occupations[d];
            // The engine never suggests the standard codes, so they teach it nothing.
            if (!IsLearntCode(session, z.Code)) continue;
            memory.LearnNormalised(normalise.View(fields[d], person.Record), z.Code);
            ++learnt;
        }
    }
    meter.Finish();
    return learnt;
}

std::optional<size_t> LearnProject(const std::string& params, const std::string& classification,
                                   const std::string& data, CodingMemory& memory,
                                   std::vector<std::string>& faults) {
    UnattendedPlatform platform;
    Session session(platform);
    if (!OpenProjectFiles(session, platform, params, classification, data, faults)) {
        return std::nullopt;
    }
    return LearnCodedCases(session, memory);
}

}  // namespace tarnwick
