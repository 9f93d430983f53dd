#include "core/session/opening.h"

#include "core/classification/loader.h"
#include "core/data/reader.h"
#include "core/params/parser.h"
#include "core/session/session.h"
#include "core/session/session_start.h"
#include "core/text/datetime.h"
#include "core/text/text.h"

namespace tarnwick {

std::string FolderOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string NameOf(std::string_view path) {
    const size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string StemOf(std::string_view name) {
    const size_t dot = name.find('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(0, dot));
}

std::string ExtensionOf(std::string_view name) {
    const size_t dot = name.find('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

namespace {

constexpr const char* kBreaks = " **** THIS ERROR BREAKS THE EXECUTION OF THE PROGRAM ****";

bool ParamsStep(Session& s) {
    s.AppendReportLine(">>> REPORT FROM A SESSION OF CODING OCCUPATIONS <<<");
    s.AppendReportLine(" ");
    s.SessionStart = s.platform.Now();
    s.AppendReportLine("*** " + DateTimeText(kEnglish, *s.SessionStart));
    s.AppendReportLine("Session of coding occupations was started.");

    FileRequest request{"Open a coding parameters file", "parameter files (*.zpa)|*.ZPA", "", true};
    const auto chosen = s.platform.ChooseFile(request);
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
    FileRequest request{"Open a classification file", "classification files (*.clf)|*.CLF",
                        s.ProjectFolder, false};
    const auto chosen = s.platform.ChooseFile(request);
    if (!chosen) return false;
    s.ClassificationPath = *chosen;
    if (!LoadClassification(s, s.ClassificationPath)) {
        s.ShowPage(Page::Error);
        return false;
    }
    s.ClassificationLoaded = true;
    return true;
}

// The extensions of the files that the program writes beside the data file, named after it. A
// data file of such a name would be overwritten by one of them (the backup is written at the
// very opening), so it is refused; letter case does not count, as on the file systems of
// memory sticks.
bool IsWrittenExtension(std::string_view ext) {
    const char* const written[] = {kExtWorking, kExtBackup, kExtOutput,
                                   kExtScript,  kExtNotepad, kExtReport};
    for (const char* own : written) {
        if (CompareNoCase(ext, own) == 0) return true;
    }
    return false;
}

bool DataStep(Session& s) {
    FileRequest request{"Open an input data file", "data files (*.dat)|*.DAT", s.ProjectFolder,
                        false};
    const auto chosen = s.platform.ChooseFile(request);
    if (!chosen) return false;
    const std::string name = NameOf(*chosen);
    s.DataExt.clear();
    s.DataStem = StemOf(name);
    s.DataExt = ExtensionOf(name);
    if (IsWrittenExtension(s.DataExt)) {
        s.platform.ShowMessage("**** ERROR IN INPUT DATA FILE **** Input data file " + s.DataPath() +
                               " has the extension of a file that the program writes: " +
                               s.DataExt + kBreaks);
        return false;
    }
    if (!ReadInputData(s)) return false;
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
}

}  // namespace tarnwick
