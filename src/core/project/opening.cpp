#include "core/project/opening.h"

#include <filesystem>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#include <cerrno>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "core/classification/loader.h"
#include "core/classification/profile.h"
#include "core/data/cases.h"
#include "core/data/output.h"
#include "core/data/working_file.h"
#include "core/io/atomic_file.h"
#include "core/io/file_stamp.h"
#include "core/io/files.h"
#include "core/io/mapped_file.h"
#include "core/io/progress.h"
#include "core/params/parser.h"
#include "core/project/coding_session.h"
#include "core/project/data_identity.h"
#include "core/project/paths.h"
#include "core/project/safekeeping.h"
#include "core/project/unattended_platform.h"
#include "core/session/session.h"
#include "core/text/datetime.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

bool ParseCodingParams(Session& s) {
    // The previous content goes first, so that a file that cannot be read leaves nothing behind.
    s.Params = EmptyCodingParams();
    const std::string path = ParamsPath(s);
    const std::string text = ReadWholeFile(path);
    std::vector<std::string> errors;
    std::string report;
    const bool ok = ParseCodingParamsText(text, path, s.Params, errors, report);
    for (std::string& line : errors) s.AppendErrorLine(std::move(line));
    if (ok) s.AppendReportLine(std::move(report));
    return ok;
}

bool LoadClassification(Session& s, const std::string& path) {
    const std::string text = ReadWholeFile(path);
    // Entries of the pre-selected list point into the old categories.
    s.PreselectedEntries.clear();
    Classification clf;
    std::vector<std::string> errors;
    std::shared_ptr<const ClassificationProfile> profile;
    // The width the parameters were read with stays for the next attempt: a profile's width is
    // taken only with a classification that fits.
    int width = s.Params.CodeWidth;
    const bool ok = ReadProfileBeside(path, profile, errors) &&
                    LoadClassificationText(text, path, width, clf, errors, true, profile) &&
                    CheckOutputFits(s.Params, clf, ParamsPath(s), path, errors);
    if (!ok) {
        s.Clf = Classification{};
        for (std::string& line : errors) s.AppendErrorLine(std::move(line));
        return false;
    }
    s.Params.CodeWidth = width;
    s.Clf = std::move(clf);
    return true;
}

namespace {

// The percents [from, to] of the data step's progress bar, under `what`.
WorkProgress DataStepPart(Session& s, const char* what, int from, int to) {
    return {[&s, what](int percent) { return s.platform.Progress(what, percent); }, from, to};
}

// Backs up and merges the working file, when there is one, into `cases`, collecting in `aside`
// what the data no longer take. False after a fault, already shown. The merge has the percents
// from `from` on.
bool MergeWorkingFileOf(Session& s, CaseModel& cases, int from, SetAsideLines& aside) {
    s.WorkingFileRead = false;
    const std::string path = s.DataFilePath(kExtWorking);
    // Anything at the name counts, so that a link or a pipe there is reported, not passed over.
    if (!PathTaken(path)) return true;
    // Read once: the same bytes go to the backup and into the merge. A link or another user's
    // file in its place is neither read nor copied into the backup.
    // Codes saved for another data file of the same stem would land on other answers.
    if (!WorkingFileBelongsHere(s, cases)) return false;
    const WorkProgress merging = DataStepPart(s, msg::kProgressMerging, from, 100);
    const FileBytes working(path, true);
    const std::string_view text = working.View();
    const std::optional<std::string> fault = MergeWorkingFile(
        text, s.Params, s.Clf, s.DataStem + kExtWorking, cases, merging.Part(0, 60), &aside);
    if (fault) {
        s.platform.ShowMessage(*fault, Severity::Fault);
        return false;
    }
    // Only a working file that merged whole replaces the backup: one refused here, cut short or
    // damaged must not take the place of the last good copy. A read-only session writes nothing.
    if (!s.ReadOnly && !aside.Damaged()) {
        AtomicFile backup(s.DataFilePath(kExtBackup));
        WriteBackup(backup, text, merging.Part(60, 100));
        backup.Commit();
    }
    s.WorkingFileRead = true;
    return true;
}

void ReportData(Session& s, const CaseModel& cases, const OccupationCounts& counts) {
    s.AppendReportLine(std::string(UiText(Ui::DataReadFrom)) + " " + s.DataPath());
    s.AppendReportLine(std::string(UiText(Ui::DataSetContains)) + " " +
                       std::to_string(cases.Respondents.size()) + " data records.");
    if (s.WorkingFileRead) {
        s.AppendReportLine(std::string(UiText(Ui::CodedSoFarReadFrom)) + " " +
                           s.DataFilePath(kExtWorking));
    }
    s.AppendReportLine(std::string(UiText(Ui::TheTotalOf)) + " " +
                       std::to_string(counts.respondents) + " " +
                       UiText(Ui::RespondentsHaveOccupations));
    std::string last = std::string(UiText(Ui::DataSetContains)) + " " +
                       std::to_string(counts.toCode) + " " + UiText(Ui::OccupationsForCoding);
    if (counts.notCoded > 0) {
        last += std::string(UiText(Ui::OfWhich)) + " " + std::to_string(counts.notCoded) + " " +
                UiText(Ui::OccupationsNotYetCoded);
    } else {
        last += UiText(Ui::AllOccupationsCodedEnd);
    }
    s.AppendReportLine(std::move(last));
}

}  // namespace

bool ReadInputData(Session& s) {
    const std::string path = s.DataPath();
    s.ShowProgressText("Reading input data from file " + path);
    // A model from an earlier failed attempt is never used again; the new one is built aside
    // and takes its place only when everything has succeeded.
    s.Cases = CaseModel{};
    s.Provenance.Clear();
    s.CodesGiven = {};
#ifdef __GLIBC__
    // Give the freed cases of an earlier attempt back before the file is read again.
    ::malloc_trim(0);
#endif
    // Without a working file, the survey data have the whole progress bar.
    const int merge = PathTaken(s.DataFilePath(kExtWorking)) ? 55 : 100;
    const WorkProgress reading = DataStepPart(s, msg::kProgressReadingData, 0, merge);
    s.DataStamp = StampOf(path);
    CaseModel cases;
    // Mapped, not copied: the records stay views into the file's pages.
    const std::optional<std::string> fault =
        ReadCases(std::make_shared<const FileBytes>(path), s.Params, s.Clf, path, s.ParamStem,
                  cases, reading);
    if (fault) {
        s.platform.ShowMessage(*fault, Severity::Fault);
        return false;
    }
    SetAsideLines aside;
    if (!MergeWorkingFileOf(s, cases, merge, aside)) return false;
    ProvenanceBook provenance;
    ReadProvenanceOf(s, cases, provenance);
    ReplayJournalOf(s, cases, provenance);
    const OccupationCounts counts = CountAndListCases(cases);
    if (counts.respondents == 0) {
        s.platform.ShowMessage(
            "**** ERROR IN INPUT DATA FILE **** There is nothing to be coded in input data file: " +
                path + msg::kBreaksExecution,
            Severity::Fault);
        return false;
    }
    // Only a project that opens puts codes aside: a failed opening leaves the working file
    // as it is, every code still in it.
    const std::string asidePath = KeepSetAsideLines(s, aside);
    KeepBackupOfDamagedFile(s, aside, asidePath);
    ReportData(s, cases, counts);
    s.Cases = std::move(cases);
    s.Provenance = std::move(provenance);
    return true;
}

namespace {

// A file of the project: the next given one, else the coder's choice in a dialog.
std::optional<std::string> ChooseProjectFile(Session& s, const FileRequest& request) {
    if (s.GivenFiles.empty()) return s.platform.ChooseFile(request);
    std::string file = std::move(s.GivenFiles.front());
    s.GivenFiles.pop_front();
    return file;
}

bool ParamsStep(Session& s) {
    s.AppendReportLine(UiText(Ui::ReportHeading));
    s.AppendReportLine(" ");
    s.SessionStart = s.platform.Now();
    s.AppendReportLine("*** " + DateTimeText(kEnglish, *s.SessionStart));
    s.AppendReportLine(UiText(Ui::SessionStarted));

    const FileRequest request{msg::kOpenParamsTitle, msg::kOpenParamsFilter, "", true};
    const auto chosen = ChooseProjectFile(s, request);
    if (!chosen) return false;
    s.ProjectFolder = FolderOf(*chosen);
    s.ParamStem = StemOf(NameOf(*chosen));
    if (!ParseCodingParams(s)) {
        s.ShowPage(Page::Error);
        return false;
    }
    s.ParamsLoaded = true;
    return true;
}

bool ClassificationStep(Session& s) {
    const FileRequest request{msg::kOpenClassificationTitle, msg::kOpenClassificationFilter,
                              s.ProjectFolder, false};
    const auto chosen = ChooseProjectFile(s, request);
    if (!chosen) return false;
    s.ClassificationPath = *chosen;
    if (!LoadClassification(s, s.ClassificationPath)) {
        s.ShowPage(Page::Error);
        return false;
    }
    s.ClassificationLoaded = true;
    return true;
}

bool DataStep(Session& s) {
    const FileRequest request{msg::kOpenDataTitle, msg::kOpenDataFilter, s.ProjectFolder, false};
    const auto chosen = ChooseProjectFile(s, request);
    if (!chosen) return false;
    struct {
        std::string DataStem, DataExt, ProgressText;
    } before{s.DataStem, s.DataExt, s.ProgressText};
    const std::string name = NameOf(*chosen);
    s.DataStem = StemOf(name);
    s.DataExt = ExtensionOf(name);
    // A data file of such a name would be overwritten by a file written beside it (the backup at
    // the very opening).
    if (IsWrittenExtension(s.DataExt)) {
        s.platform.ShowMessage(
            "**** ERROR IN INPUT DATA FILE **** Input data file " + s.DataPath() +
                " has the extension of a file that the program writes: " + s.DataExt +
                msg::kBreaksExecution,
            Severity::Fault);
        return false;
    }
    // The lock first: a second program must not even merge what the first is coding. A data
    // file that is not there is the fault to tell, rather than a lock that cannot be written.
    if (!StampOf(s.DataPath())) throw IoError(IoErrorText(s.DataPath(), errno));
    if (!TakeProjectLock(s)) return false;
    try {
        if (!ReadInputData(s)) {
            ReleaseProject(s);
            return false;
        }
        StartJournal(s);
    } catch (const WorkCancelled&) {
        // Cancelling loses nothing: the session is again as it was before this step.
        ReleaseProject(s);
        s.Cases = CaseModel{};
        s.WorkingFileRead = false;
        s.DataStem = std::move(before.DataStem);
        s.DataExt = std::move(before.DataExt);
        s.ShowProgressText(std::move(before.ProgressText));
        return false;
    } catch (...) {
        ReleaseProject(s);
        throw;
    }
    s.DataLoaded = true;
    return true;
}

}  // namespace

void OpenProject(Session& s) {
    if (s.SessionStarted) return;
    if (!s.ParamsLoaded && !ParamsStep(s)) return;
    if (!s.ClassificationLoaded && !ClassificationStep(s)) return;
    if (!s.DataLoaded && !DataStep(s)) return;
    StartCodingSession(s);
    FinishRecovery(s);
}

bool OpenProjectFiles(Session& s, UnattendedPlatform& platform, const std::string& params,
                      const std::string& clf, const std::string& data,
                      std::vector<std::string>& faults) {
    for (const std::string* file : {&params, &clf, &data}) {
        s.GivenFiles.push_back(std::filesystem::absolute(*file).string());
    }
    const size_t shownBefore = platform.messages.size();
    OpenProject(s);
    s.GivenFiles.clear();
    if (s.ProjectOpen()) return true;
    faults = s.ErrorLines;
    faults.insert(faults.end(), platform.messages.begin() + static_cast<long>(shownBefore),
                  platform.messages.end());
    return false;
}

}  // namespace tarnwick
