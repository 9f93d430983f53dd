#include "core/project/saving.h"

#include <string>

#include "core/data/output.h"
#include "core/data/working_file.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
#include "core/text/files.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

// The blank line and the time stamp that open every entry of a save in the report.
void ReportMoment(Session& s) {
    s.AppendReportLine(" ");
    s.AppendReportLine("*** " + DateTimeText(kEnglish, s.platform.Now()));
}

}  // namespace

void SaveWorkingFile(Session& s) {
    const std::string path = s.DataFilePath(kExtWorking);
    WriteFileAtomic(path, FormatWorkingFile(s.Cases, s.Params.CodeWidth));
    s.ResultsModified = false;
    s.WorkingFileSaved = true;
    ReportMoment(s);
    s.AppendReportLine(Str(Ui::WorkingFileSavedAs) + " " + path);
}

void SaveResults(Session& s) {
    SaveWorkingFile(s);
    const DateTime now = s.platform.Now();
    s.SetStatusNotice(
        msg::SavedCodes(s.Cases.CodedCount, s.DataStem + kExtWorking, now.hour, now.minute));
}

void WriteFinalOutput(Session& s) {
    const std::string ascPath = s.DataFilePath(kExtOutput);
    const std::string spsPath = s.DataFilePath(kExtScript);
    WriteFileAtomic(ascPath, FormatOutputData(s.Params, s.Clf, s.Cases));
    WriteLinesAtomic(spsPath, SpssScriptLines(s.Params, s.Clf, ascPath));

    const OccupationCounts counts = CountOccupations(s.Cases);
    ReportMoment(s);
    s.AppendReportLine(Str(Ui::OutputWrittenAs) + " " + ascPath);
    s.AppendReportLine(Str(Ui::ScriptWrittenInto) + " " + spsPath);
    std::string last = "File contains " + std::to_string(counts.toCode) + " occupations.";
    if (counts.notCoded > 0) {
        last += ' ' + std::to_string(counts.notCoded) + " occupations are yet to be coded.";
    } else {
        last += " All occupations have been coded.";
    }
    s.AppendReportLine(std::move(last));
}

}  // namespace tarnwick
