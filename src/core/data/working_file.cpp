#include "core/data/working_file.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/data/line_cursor.h"
#include "core/data/model.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
#include "core/text/files.h"
#include "core/text/text.h"

namespace tarnwick {

namespace {

constexpr const char* kBreaks = " **** THIS ERROR BREAKS THE EXECUTION OF THE PROGRAM ****";
constexpr const char* kQ = "\"";

// The backup holds every line of the working file as found, each ended by CR LF.
void WriteBackup(const Session& session, std::string_view workingFile) {
    std::string content;
    content.reserve(workingFile.size() + LineCursor::CountLines(workingFile) + 2);
    LineCursor cursor(workingFile);
    std::string_view line;
    while (cursor.Next(line)) AppendCrLf(content, line);
    WriteFileAtomic(session.DataFilePath(kExtBackup), content);
}

std::string MessageHead(const Session& session) {
    return "When processing previously coded symbols from file: " + session.DataStem + kExtWorking;
}

}  // namespace

bool BackupWorkingFile(Session& session) {
    const std::string path = session.DataFilePath(kExtWorking);
    if (!FileExists(path)) return false;
    WriteBackup(session, ReadWholeFile(path));
    return true;
}

bool ReadWorkingFile(Session& session) { return ReadWorkingFile(session, session.Cases); }

bool ReadWorkingFile(Session& session, CaseModel& cases) {
    session.WorkingFileRead = false;
    const std::string path = session.DataFilePath(kExtWorking);
    if (!FileExists(path)) return true;
    // Read once: the same bytes go to the backup and into the merge.
    const std::string data = ReadWholeFile(path);
    WriteBackup(session, data);

    const Classification& clf = session.Clf;
    const int idWidth = session.Params.RespIdWidth;
    const int codeWidth = session.Params.CodeWidth;
    const std::string dataName = session.DataStem + session.DataExt;
    LineCursor cursor(data);
    std::string_view line;
    for (size_t i = 0; i < cases.Respondents.size(); ++i) {
        TOsoba& r = cases.Respondents[i];
        if (!cursor.Next(line)) {
            session.platform.ShowMessage(
                "**** ERROR IN DATA FILES **** " + MessageHead(session) +
                " the number of data records has been detected to be lower than" +
                " in original input data file " + dataName + kBreaks);
            return false;
        }
        const std::string_view id = line.substr(0, static_cast<size_t>(std::max(idWidth, 0)));
        if (id != r.RespondentId) {
            session.platform.ShowMessage(
                "**** FATAL ERROR IN DATA FILES **** " + MessageHead(session) +
                " it has been detected in data record No " + std::to_string(i + 1) +
                " that the respondent's ID " + kQ + std::string(id) + kQ + " differs from" +
                " respondent's ID number " + kQ + r.RespondentId + kQ +
                " read from the data input file:" + dataName + kBreaks);
            return false;
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
            c.ToCode = c.Code != clf.NotApplicableCode;
            if (c.Code == clf.NotApplicableCode) {
                c.CodeName = clf.NotApplicableName;
            } else if (c.Code == clf.MissingDataCode) {
                c.CodeName = clf.MissingDataName;
            } else if (!c.Code.empty()) {
                const int index = clf.IndexOf(c.Code);
                if (index < 0) {
                    session.platform.ShowMessage(
                        "**** FATAL ERROR IN DATA FILES **** " + MessageHead(session) +
                        " a symbol " + kQ + std::string(v) + kQ + " has been found, which" +
                        " does not exist in classification " + kClassificationName + kBreaks);
                    return false;
                }
                c.CodeName = clf.Category(index).Name;
            }
        }
    }
    session.WorkingFileRead = true;
    return true;
}

void SaveWorkingFile(Session& session) {
    const std::string path = session.DataFilePath(kExtWorking);
    const CaseModel& cases = session.Cases;
    const size_t codeWidth = static_cast<size_t>(std::max(session.Params.CodeWidth, 0));
    const std::string blanks(codeWidth, ' ');
    size_t total = 0;
    if (!cases.Respondents.empty()) {
        const TOsoba& first = cases.Respondents.front();
        total = cases.Respondents.size() *
                (first.RespondentId.size() + first.Occupations.size() * codeWidth + 2);
    }
    std::string content;
    content.reserve(total);
    for (const TOsoba& r : cases.Respondents) {
        content.append(r.RespondentId);
        for (const TZawod& c : r.Occupations) content.append(c.Code.empty() ? blanks : c.Code);
        content.append("\r\n");
    }
    WriteFileAtomic(path, content);

    session.ResultsModified = false;
    session.WorkingFileSaved = true;
    session.AppendReportLine(" ");
    session.AppendReportLine("*** " + DateTimeText(kEnglish, session.platform.Now()));
    session.AppendReportLine("Working file of occupations coded was saved as: " + path);
}

void SaveResults(Session& session) { SaveWorkingFile(session); }

}  // namespace tarnwick
