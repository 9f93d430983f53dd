#include "core/data/cases.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>

#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/strings.h"

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

namespace {

// The data are gone through in windows of this size; a mapped file gives back each window's
// pages once it is passed, so that the file is never resident whole beside the model.
constexpr size_t kWindow = size_t{32} << 20;

size_t CountRecords(std::string_view data, const FileBytes* file) {
    size_t records = 0;
    for (size_t at = 0; at < data.size(); at += kWindow) {
        const size_t n = std::min(kWindow, data.size() - at);
        const char* p = data.data() + at;
        const char* end = p + n;
        while (p < end) {
            const void* nl = std::memchr(p, '\n', static_cast<size_t>(end - p));
            if (nl == nullptr) break;
            ++records;
            p = static_cast<const char*>(nl) + 1;
        }
        if (file != nullptr) file->Passed(at, at + n);
    }
    // A last record without a line end.
    if (!data.empty() && data.back() != '\n') ++records;
    return records;
}

// Builds the cases of `data` into `cases`, whose storage already holds the bytes.
std::optional<std::string> BuildCases(std::string_view data, const FileBytes* file,
                                      const CodingParams& params, const Classification& clf,
                                      const std::string& dataPath, const std::string& paramStem,
                                      CaseModel& cases, const WorkProgress& progress) {
    const int minimum = MinimumRecordLength(params);
    const size_t fields = params.DokumList.size();
    const size_t records = CountRecords(data, file);
    Reserve(cases, records, fields);
    ProgressMeter meter(progress, data.size());
    std::pmr::memory_resource* arena =
        cases.Arena ? cases.Arena->resource() : std::pmr::get_default_resource();

    LineCursor cursor(data);
    std::string_view record;
    size_t passed = 0;
    while (cursor.Next(record)) {
        const auto at = static_cast<size_t>(record.data() - data.data());
        if (at >= passed + kWindow) {
            meter.Advance(at);
            if (file != nullptr) file->Passed(passed, at);
            passed = at;
        }
        if (record.size() < static_cast<size_t>(minimum)) {
            return ShortRecordMessage(dataPath, paramStem, minimum, record.size());
        }
        // A NUL byte is never part of a survey's text: the file is something else.
        if (std::memchr(record.data(), '\0', record.size()) != nullptr) {
            return dataPath + ": " + msg::kNotText;
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
    if (file != nullptr) file->Passed(passed, data.size());
    meter.Finish();
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ReadCases(std::string buffer, const CodingParams& params,
                                     const Classification& clf, const std::string& dataPath,
                                     const std::string& paramStem, CaseModel& out,
                                     const WorkProgress& progress) {
    CaseModel cases;
    cases.DataBuffer = std::move(buffer);
    auto fault =
        BuildCases(cases.DataBuffer, nullptr, params, clf, dataPath, paramStem, cases, progress);
    if (!fault) out = std::move(cases);
    return fault;
}

std::optional<std::string> ReadCases(std::shared_ptr<const FileBytes> file,
                                     const CodingParams& params, const Classification& clf,
                                     const std::string& dataPath, const std::string& paramStem,
                                     CaseModel& out, const WorkProgress& progress) {
    CaseModel cases;
    cases.DataFile = std::move(file);
    auto fault = BuildCases(cases.DataFile->View(), cases.DataFile.get(), params, clf, dataPath,
                            paramStem, cases, progress);
    if (!fault) out = std::move(cases);
    return fault;
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
