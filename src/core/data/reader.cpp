#include "core/data/reader.h"

#include <sys/mman.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <utility>

#include "core/data/line_cursor.h"
#include "core/data/working_file.h"
#include "core/session/session.h"
#include "core/text/files.h"
#include "core/text/text.h"

namespace tarnwick {

OccupationCounts CountOccupations(const CaseModel& cases) {
    OccupationCounts counts;
    for (const TOsoba& r : cases.Respondents) {
        bool any = false;
        for (const TZawod& z : r.Occupations) {
            if (!z.ToCode) continue;
            any = true;
            ++counts.toCode;
            if (z.Code.empty()) ++counts.notCoded;
        }
        if (any) ++counts.respondents;
    }
    return counts;
}

void UpdateHasToCode(TOsoba& respondent) {
    respondent.HasToCode = std::any_of(respondent.Occupations.begin(), respondent.Occupations.end(),
                                       [](const TZawod& z) { return z.ToCode; });
}

std::string InfoText(const TDokumZaw& d, std::string_view record, int n) {
    if (n < 1 || n > kInfoFields || d.InfoPos[n] <= 0) return {};
    const std::string_view v = CutField(record, d.InfoPos[n], d.InfoWidth[n]);
    const LabelList& labels = d.InfoLabels[n];
    if (labels.Empty()) return std::string(v);
    std::string code = NormaliseCode(v, d.InfoWidth[n]);
    const int i = labels.Find(code);
    if (i >= 0) return labels[i].Text;
    return code;
}

int MinimumRecordLength(const CodingParams& params) {
    if (params.DokumList.empty()) return 0;
    long long longest = static_cast<long long>(params.RespIdPos) + params.RespIdWidth - 1;
    for (const TDokumZaw& d : params.DokumList) {
        for (int n = 1; n <= kInfoFields; ++n) {
            if (d.InfoPos[n] > 0) {
                longest =
                    std::max(longest, static_cast<long long>(d.InfoPos[n]) + d.InfoWidth[n] - 1);
            }
        }
    }
    return static_cast<int>(std::clamp<long long>(longest, 0, INT_MAX));
}

namespace {

constexpr const char* kBreaks = " **** THIS ERROR BREAKS THE EXECUTION OF THE PROGRAM ****";

std::string ShortRecordMessage(const Session& session, const std::string& path, int minimum,
                               size_t length) {
    return "*** ERROR IN DATA FILE " + session.ParamStem + " *** When reading input data" +
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

}  // namespace

bool ReadInputData(Session& session) {
    const std::string path = session.DataPath();
    session.ShowProgressText("Reading input data from file " + path);
    // A model from an earlier failed attempt is never used again; the new one is built aside
    // and takes its place only when everything has succeeded.
    session.Cases = CaseModel{};
#ifdef __GLIBC__
    // Give the freed cases of an earlier attempt back before the file is read again.
    ::malloc_trim(0);
#endif

    CaseModel cases;
    cases.DataBuffer = ReadWholeFile(path);
    const CodingParams& params = session.Params;
    const Classification& clf = session.Clf;
    const int minimum = MinimumRecordLength(params);
    const size_t fields = params.DokumList.size();

    const size_t records = LineCursor::CountLines(cases.DataBuffer);
    cases.Respondents.reserve(records);
    AdviseLargePages(cases.Respondents.data(), cases.Respondents.capacity() * sizeof(TOsoba));
    if (records > 0 && fields > 0) {
        const size_t bytes = records * fields * sizeof(TZawod);
        cases.Arena = std::make_unique<CaseArena>(bytes);
        AdviseLargePages(cases.Arena->data(), bytes);
    }
    std::pmr::memory_resource* arena =
        cases.Arena ? cases.Arena->resource() : std::pmr::get_default_resource();
    LineCursor cursor(cases.DataBuffer);
    std::string_view record;
    while (cursor.Next(record)) {
        if (record.size() < static_cast<size_t>(minimum)) {
            session.platform.ShowMessage(ShortRecordMessage(session, path, minimum, record.size()));
            return false;
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

    if (!ReadWorkingFile(session, cases)) return false;

    for (TOsoba& r : cases.Respondents) UpdateHasToCode(r);
    const OccupationCounts counts = CountOccupations(cases);
    cases.CodedAtStart = counts.toCode - counts.notCoded;
    cases.CodedCount = cases.CodedAtStart;
    cases.ToCodeCount = counts.toCode;

    if (counts.respondents == 0) {
        session.platform.ShowMessage(
            "**** ERROR IN INPUT DATA FILE **** There is nothing to be coded in input data file: " +
            path + kBreaks);
        return false;
    }

    cases.SelectorRecords.reserve(static_cast<size_t>(counts.respondents));
    for (size_t i = 0; i < cases.Respondents.size(); ++i) {
        if (cases.Respondents[i].HasToCode) cases.SelectorRecords.push_back(static_cast<int>(i));
    }

    session.AppendReportLine("Coding data successfully read-in from file: " + path);
    session.AppendReportLine("Data set contains " + std::to_string(cases.Respondents.size()) +
                             " data records.");
    if (session.WorkingFileRead) {
        session.AppendReportLine("Occupations coded so far read-in from file: " +
                                 session.DataFilePath(kExtWorking));
    }
    session.AppendReportLine("The total of " + std::to_string(counts.respondents) +
                             " respondents have occupations for coding. ");
    std::string last =
        "Data set contains " + std::to_string(counts.toCode) + " occupations for coding";
    if (counts.notCoded > 0) {
        last += ", of which " + std::to_string(counts.notCoded) + " occupations are not yet coded.";
    } else {
        last += ". All occupations have been coded.";
    }
    session.AppendReportLine(std::move(last));

    session.Cases = std::move(cases);
    return true;
}

}  // namespace tarnwick
