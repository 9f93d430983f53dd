#include "core/data/cases.h"

#include <sys/mman.h>

#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>

#include "core/text/lines.h"
#include "core/text/text.h"

namespace tarnwick {

namespace {

std::string ShortRecordMessage(const std::string& path, const std::string& paramStem, int minimum,
                               size_t length) {
    return "*** ERROR IN DATA FILE " + paramStem + " *** When reading input data" +
           " from file: " + path + " a data record has been found with a length" +
           " shorter than expected maximum location of a data field=" + std::to_string(minimum) +
           " (length of current data record=" + std::to_string(length) + ").";
}

// A million records make a model of hundreds of megabytes; large pages spare the system most of
// the page faults of filling it. Only a hint: nothing changes where it is not supported.
void AdviseLargePages(const void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kLarge = uintptr_t{2} << 20;
    const auto begin = (reinterpret_cast<uintptr_t>(data) + kLarge - 1) & ~(kLarge - 1);
    const auto end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(kLarge - 1);
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

// Room for every respondent and, in one block, for all their cases.
void Reserve(CaseModel& cases, size_t records, size_t fields) {
    cases.Respondents.reserve(records);
    AdviseLargePages(cases.Respondents.data(), cases.Respondents.capacity() * sizeof(TOsoba));
    if (records > 0 && fields > 0) {
        const size_t bytes = records * fields * sizeof(TZawod);
        cases.Arena = std::make_unique<CaseArena>(bytes);
        AdviseLargePages(cases.Arena->data(), bytes);
    }
}

}  // namespace

std::optional<std::string> ReadCases(std::string buffer, const CodingParams& params,
                                     const Classification& clf, const std::string& dataPath,
                                     const std::string& paramStem, CaseModel& out,
                                     const WorkProgress& progress) {
    CaseModel cases;
    cases.DataBuffer = std::move(buffer);
    const int minimum = MinimumRecordLength(params);
    const size_t fields = params.DokumList.size();
    const size_t records = LineCursor::CountLines(cases.DataBuffer);
    Reserve(cases, records, fields);
    ProgressMeter meter(progress, records);
    std::pmr::memory_resource* arena =
        cases.Arena ? cases.Arena->resource() : std::pmr::get_default_resource();

    LineCursor cursor(cases.DataBuffer);
    std::string_view record;
    while (cursor.Next(record)) {
        meter.Advance(cases.Respondents.size());
        if (record.size() < static_cast<size_t>(minimum)) {
            return ShortRecordMessage(dataPath, paramStem, minimum, record.size());
        }
        TOsoba& r = cases.Respondents.emplace_back(
            TOsoba{std::string(CutField(record, params.RespIdPos, params.RespIdWidth)), false,
                   std::pmr::vector<TZawod>(arena), record});
        r.Occupations.reserve(fields);
        for (const TDokumZaw& d : params.DokumList) {
            TZawod& z = r.Occupations.emplace_back(IsApplicable(d, record));
            if (!z.ToCode) {
                z.Code = clf.NotApplicableCode;
                z.CodeName = clf.NotApplicableName;
            }
        }
    }
    meter.Finish();
    out = std::move(cases);
    return std::nullopt;
}

OccupationCounts CountAndListCases(CaseModel& cases) {
    for (TOsoba& r : cases.Respondents) UpdateHasToCode(r);
    const OccupationCounts counts = CountOccupations(cases);
    cases.CodedAtStart = counts.toCode - counts.notCoded;
    cases.CodedCount = cases.CodedAtStart;
    cases.ToCodeCount = counts.toCode;
    cases.SelectorRecords.clear();
    cases.SelectorRecords.reserve(static_cast<size_t>(counts.respondents));
    for (size_t i = 0; i < cases.Respondents.size(); ++i) {
        if (cases.Respondents[i].HasToCode) cases.SelectorRecords.push_back(static_cast<int>(i));
    }
    return counts;
}

}  // namespace tarnwick
