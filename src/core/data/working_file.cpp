#include "core/data/working_file.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "core/text/interface_texts.h"
#include "core/text/lines.h"
#include "core/text/text.h"

namespace tarnwick {

namespace {

constexpr const char* kQ = "\"";

// The name and the name of the stored text of a code read from the working file; false when the
// classification lacks it.
bool Decode(const Classification& clf, TZawod& c) {
    c.ToCode = c.Code != clf.NotApplicableCode;
    if (c.Code == clf.NotApplicableCode) {
        c.CodeName = clf.NotApplicableName;
    } else if (c.Code == clf.MissingDataCode) {
        c.CodeName = clf.MissingDataName;
    } else if (!c.Code.empty()) {
        const int index = clf.IndexOf(c.Code);
        if (index < 0) return false;
        c.CodeName = clf.Category(index).Name;
    }
    return true;
}

}  // namespace

std::string BackupText(std::string_view workingFile) {
    std::string content;
    content.reserve(workingFile.size() + LineCursor::CountLines(workingFile) + 2);
    LineCursor cursor(workingFile);
    for (std::string_view line; cursor.Next(line);) AppendCrLf(content, line);
    return content;
}

std::optional<std::string> MergeWorkingFile(std::string_view text, const CodingParams& params,
                                            const Classification& clf,
                                            const std::string& workingName,
                                            const std::string& dataName, CaseModel& cases,
                                            const WorkProgress& progress, SetAsideLines* aside) {
    const std::string head = "When processing previously coded symbols from file: " + workingName;
    const int idWidth = params.RespIdWidth;
    const int codeWidth = params.CodeWidth;
    const size_t idSize = static_cast<size_t>(std::max(idWidth, 0));
    const std::vector<std::string_view> lines = SplitLines(text);
    const size_t records = cases.Respondents.size();
    // The codes of a line from `field` on, at the code width; counts the non-blank ones.
    const auto codesFrom = [&](std::string_view line, size_t field) {
        int n = 0;
        if (codeWidth <= 0) return n;
        for (size_t at = idSize + field * static_cast<size_t>(codeWidth); at < line.size();
             at += static_cast<size_t>(codeWidth)) {
            if (!IsBlank(line.substr(at, static_cast<size_t>(codeWidth)))) ++n;
        }
        return n;
    };
    const auto idOf = [&](std::string_view line) { return line.substr(0, idSize); };
    std::vector<bool> taken(lines.size(), false);
    // Built only when an identifier is found out of place: line numbers by identifier, in order.
    std::unordered_map<std::string_view, std::vector<size_t>> byId;
    ProgressMeter meter(progress, records);
    for (size_t i = 0; i < records; ++i) {
        meter.Advance(i);
        TOsoba& r = cases.Respondents[i];
        if (i >= lines.size()) {
            return "**** ERROR IN DATA FILES **** " + head +
                   " the number of data records has been detected to be lower than" +
                   " in original input data file " + dataName + msg::kBreaksExecution;
        }
        size_t at = i;
        if (taken[i] || idOf(lines[i]) != r.RespondentId) {
            if (byId.empty()) {
                for (size_t n = lines.size(); n-- > 0;) byId[idOf(lines[n])].push_back(n);
            }
            at = lines.size();
            const auto found = byId.find(r.RespondentId);
            if (found != byId.end()) {
                std::vector<size_t>& ats = found->second;
                while (!ats.empty() && taken[ats.back()]) ats.pop_back();
                if (!ats.empty()) at = ats.back();
            }
            if (at == lines.size()) continue;  // no line for it: its codes are still to give
        }
        taken[at] = true;
        const std::string_view line = lines[at];
        for (size_t k = 0; k < r.Occupations.size(); ++k) {
            TZawod& c = r.Occupations[k];
            const long long column =
                static_cast<long long>(idWidth) + 1 + static_cast<long long>(k) * codeWidth;
            const std::string_view v = column > INT32_MAX
                                           ? std::string_view()
                                           : CutField(line, static_cast<int>(column), codeWidth);
            if (IsBlank(v)) {
                c.Code.clear();
                c.CodeName = {};
            } else {
                c.Code.assign(v);
            }
            if (!Decode(clf, c)) {
                return "**** FATAL ERROR IN DATA FILES **** " + head + " a symbol " + kQ +
                       std::string(v) + kQ + " has been found, which" +
                       " does not exist in classification " + kClassificationName +
                       msg::kBreaksExecution;
            }
        }
        // Codes of occupation fields that the parameters no longer declare.
        if (const int past = codesFrom(line, r.Occupations.size()); past > 0 && aside) {
            aside->Lines.emplace_back(line);
            aside->Codes += past;
        }
    }
    if (aside) {
        for (size_t n = 0; n < lines.size(); ++n) {
            if (taken[n]) continue;
            if (const int codes = codesFrom(lines[n], 0); codes > 0) {
                aside->Lines.emplace_back(lines[n]);
                aside->Codes += codes;
            }
        }
    }
    meter.Finish();
    return std::nullopt;
}

std::string FormatWorkingFile(const CaseModel& cases, int codeWidth) {
    const size_t width = static_cast<size_t>(std::max(codeWidth, 0));
    const std::string blanks(width, ' ');
    size_t total = 0;
    if (!cases.Respondents.empty()) {
        const TOsoba& first = cases.Respondents.front();
        total = cases.Respondents.size() *
                (first.RespondentId.size() + first.Occupations.size() * width + 2);
    }
    std::string content;
    content.reserve(total);
    for (const TOsoba& r : cases.Respondents) {
        content.append(r.RespondentId);
        for (const TZawod& c : r.Occupations) content.append(c.Code.empty() ? blanks : c.Code);
        content.append("\r\n");
    }
    return content;
}

}  // namespace tarnwick
