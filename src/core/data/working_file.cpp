#include "core/data/working_file.h"

#include <algorithm>
#include <cstdint>

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
                                            const WorkProgress& progress) {
    const std::string head = "When processing previously coded symbols from file: " + workingName;
    const int idWidth = params.RespIdWidth;
    const int codeWidth = params.CodeWidth;
    LineCursor cursor(text);
    std::string_view line;
    ProgressMeter meter(progress, cases.Respondents.size());
    for (size_t i = 0; i < cases.Respondents.size(); ++i) {
        meter.Advance(i);
        TOsoba& r = cases.Respondents[i];
        if (!cursor.Next(line)) {
            return "**** ERROR IN DATA FILES **** " + head +
                   " the number of data records has been detected to be lower than" +
                   " in original input data file " + dataName + msg::kBreaksExecution;
        }
        const std::string_view id = line.substr(0, static_cast<size_t>(std::max(idWidth, 0)));
        if (id != r.RespondentId) {
            return "**** FATAL ERROR IN DATA FILES **** " + head +
                   " it has been detected in data record No " + std::to_string(i + 1) +
                   " that the respondent's ID " + kQ + std::string(id) + kQ + " differs from" +
                   " respondent's ID number " + kQ + r.RespondentId + kQ +
                   " read from the data input file:" + dataName + msg::kBreaksExecution;
        }
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
