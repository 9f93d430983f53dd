#include "core/project/saving.h"

#include <optional>
#include <string>

#include "core/data/exports.h"
#include "core/data/output.h"
#include "core/data/provenance.h"
#include "core/data/working_file.h"
#include "core/io/atomic_file.h"
#include "core/io/file_stamp.h"
#include "core/io/files.h"
#include "core/io/progress.h"
#include "core/project/data_identity.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
#include "core/text/interface_texts.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

// The blank line and the time stamp that open every entry of a save in the report.
void ReportMoment(Session& s) {
    s.AppendReportLine(" ");
    s.AppendReportLine("*** " + DateTimeText(kEnglish, s.platform.Now()));
}

// The progress bar of writing the file at `path`.
WorkProgress Writing(Session& s, const std::string& path) {
    std::string what = std::string(msg::kProgressWriting) + " " + path;
    return {
        [&s, what = std::move(what)](int percent) { return s.platform.Progress(what, percent); }};
}

// The end of a write, reported once the file is on disk and in place.
void Finished(const WorkProgress& writing) { ProgressMeter(writing.Part(99, 100), 0).Finish(); }

}  // namespace

bool SaveWorkingFile(Session& s, bool askOnDataChange) {
    if (s.ReadOnly) {
        s.platform.ShowMessage(msg::ReadOnlyNoSaving(s.ReadOnlyReason), Severity::Information);
        return false;
    }
    // The working file must line up with the data: a data file changed by another program
    // since the opening is the coder's to judge before the codes are written against it.
    // A data file that cannot be found now leaves nothing to compare; the save goes on.
    const std::optional<FileStamp> data = StampOf(s.DataPath());
    if (s.DataStamp && data && data != s.DataStamp) {
        ReportMoment(s);
        s.AppendReportLine(msg::DataChanged(s.DataPath()));
        if (!askOnDataChange ||
            s.platform.Ask(msg::DataChanged(s.DataPath()) + msg::kAskSaveDespiteDataChange,
                           false) != Answer::Yes) {
            s.AppendReportLine(msg::kNotSavedDataChanged);
            return false;
        }
        s.DataStamp = data;
    }
    const std::string path = s.DataFilePath(kExtWorking);
    // Both files are made whole before either replaces its old one, the provenance first: an
    // interruption between the two renames leaves provenance the working file's codes do not
    // match, which the opening drops, and the journal, emptied only after both, gives it back.
    // A project without provenance gets no such file.
    const std::string provenancePath = s.DataFilePath(kExtProvenance);
    std::optional<AtomicFile> provenance;
    if (s.Provenance.Size() > 0 || PathTaken(provenancePath)) {
        provenance.emplace(provenancePath);
        WriteProvenanceFile(*provenance, s.Cases, s.Provenance);
    }
    AtomicFile file(path);
    WriteWorkingFile(file, s.Cases, s.Params.CodeWidth);
    if (provenance) provenance->Commit();
    file.Commit();
    WriteDataIdentity(s);
    s.ResultsModified = false;
    s.WorkingFileSaved = true;
    ReportMoment(s);
    s.AppendReportLine(std::string(UiText(Ui::WorkingFileSavedAs)) + " " + path);
    // Everything the journal held is in the working file now.
    if (s.Journal) s.Journal->Clear();
    return true;
}

void SaveResults(Session& s) {
    if (!SaveWorkingFile(s)) return;
    const DateTime now = s.platform.Now();
    s.SetStatusNotice(
        msg::SavedCodes(s.Cases.CodedCount, s.DataStem + kExtWorking, now.hour, now.minute));
}

bool WriteFinalOutput(Session& s) {
    const std::string ascPath = s.DataFilePath(kExtOutput);
    const std::string spsPath = s.DataFilePath(kExtScript);
    try {
        AtomicFile file(ascPath);
        const WorkProgress writing = Writing(s, ascPath);
        WriteOutputData(file, s.Params, s.Clf, s.Cases, writing.Part(0, 99));
        file.Commit();
        Finished(writing);
    } catch (const WorkCancelled&) {
        return false;
    }
    WriteLinesAtomic(spsPath, SpssScriptLines(s.Params, s.Clf, ascPath));

    const OccupationCounts counts = CountOccupations(s.Cases);
    ReportMoment(s);
    s.AppendReportLine(std::string(UiText(Ui::OutputWrittenAs)) + " " + ascPath);
    s.AppendReportLine(std::string(UiText(Ui::ScriptWrittenInto)) + " " + spsPath);
    std::string last = "File contains " + std::to_string(counts.toCode) + " occupations.";
    if (counts.notCoded > 0) {
        last += ' ' + std::to_string(counts.notCoded) + " occupations are yet to be coded.";
    } else {
        last += " All occupations have been coded.";
    }
    s.AppendReportLine(std::move(last));
    return true;
}

const char* ExportExtension(ExportFormat format) {
    switch (format) {
        case ExportFormat::Sav:
            return ".sav";
        case ExportFormat::Zsav:
            return ".zsav";
        case ExportFormat::Dta:
            return ".dta";
        case ExportFormat::Csv:
            break;
    }
    return ".csv";
}

std::vector<std::string> ExportFinalOutput(Session& s, ExportFormat format, bool withProvenance) {
    if (s.ReadOnly) throw IoError(msg::ReadOnlyNoSaving(s.ReadOnlyReason));
    std::vector<std::string> paths = {s.DataFilePath(ExportExtension(format))};
    if (format == ExportFormat::Csv) paths.push_back(s.DataFilePath(kCsvLabelsEnding));
    // A survey data file named like an export (wave.csv) must never be overwritten by it.
    for (const std::string& path : paths) {
        if (CompareNoCase(path, s.DataPath()) == 0) {
            throw IoError(std::string(msg::kExportOverData) + path);
        }
    }
    try {
        // Each export streams into its temporary file: it never holds the whole file.
        AtomicFile file(paths.front());
        const WorkProgress writing = Writing(s, paths.front());
        const WorkProgress making = writing.Part(0, 99);
        std::string fault;
        const ProvenanceBook* book = withProvenance ? &s.Provenance : nullptr;
        if (format == ExportFormat::Sav || format == ExportFormat::Zsav) {
            fault = FormatSav(file, s.Params, s.Clf, s.Cases, making, book,
                              format == ExportFormat::Zsav);
        }
        if (format == ExportFormat::Dta) {
            fault = FormatDta(file, s.Params, s.Clf, s.Cases, making, book);
        }
        if (format == ExportFormat::Csv) FormatCsv(file, s.Params, s.Clf, s.Cases, making, book);
        if (!fault.empty()) throw IoError(paths.front() + ": " + fault);
        file.Commit();
        Finished(writing);
    } catch (const WorkCancelled&) {
        return {};
    }
    if (format == ExportFormat::Csv)
        WriteFileAtomic(paths.back(), FormatCsvLabels(s.Params, s.Clf, withProvenance));

    ReportMoment(s);
    for (const std::string& path : paths) {
        s.AppendReportLine(std::string(msg::kExportWrittenAs) + " " + path);
    }
    return paths;
}

}  // namespace tarnwick
