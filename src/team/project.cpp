#include "team/project.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

#include "core/classification/loader.h"
#include "core/classification/profile.h"
#include "core/data/cases.h"
#include "core/data/journal.h"
#include "core/data/output.h"
#include "core/data/provenance.h"
#include "core/data/working_file.h"
#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/params/parser.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/safekeeping.h"
#include "core/project/unattended_platform.h"
#include "core/session/session.h"

namespace tarnwick::team {

std::optional<ProjectOnDisk> ReadProjectOnDisk(const std::string& params, const std::string& clf,
                                               const std::string& data,
                                               std::vector<std::string>& faults) {
    UnattendedPlatform platform;
    Session session(platform);
    if (!OpenProjectFiles(session, platform, params, clf, data, faults)) {
        ReleaseProject(session);
        return std::nullopt;
    }
    ProjectOnDisk project;
    project.Files.ParamsName = NameOf(params);
    project.Files.ParamsBytes = ReadWholeFile(params);
    project.Files.ClassificationName = NameOf(clf);
    project.Files.ClassificationBytes = ReadWholeFile(clf);
    project.Files.DataName = NameOf(data);
    project.Files.DataBytes = ReadWholeFile(data);
    // The profile that the opening read, the one beside the classification.
    if (session.Clf.Profile) {
        project.Files.ProfileName = NameOf(session.Clf.Profile->Path);
        project.Files.ProfileBytes = ReadWholeFile(session.Clf.Profile->Path);
    }
    for (int i = 0; i < session.Clf.Categories.Count(); ++i)
        project.Files.Codes.push_back(session.Clf.Categories[i].Code);
    const auto& respondents = session.Cases.Respondents;
    for (size_t r = 0; r < respondents.size(); ++r) {
        const TOsoba& o = respondents[r];
        for (size_t f = 0; f < o.Occupations.size(); ++f) {
            const TZawod& z = o.Occupations[f];
            project.Cases.push_back(
                {static_cast<int>(r), static_cast<int>(f), z.ToCode, o.RespondentId, z.Code});
        }
    }
    // A recovered journal is saved by the opening; nothing else is left to keep.
    ReleaseProject(session);
    return project;
}

namespace {

void WriteIfChanged(const std::string& path, const std::string& bytes) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0 && st.st_size == static_cast<off_t>(bytes.size()) &&
        ReadWholeFile(path) == bytes) {
        return;
    }
    WriteFileAtomic(path, bytes);
}

}  // namespace

std::optional<LocalCopy> WriteLocalCopy(const ProjectFiles& files,
                                        const std::vector<CaseState>& states,
                                        const std::string& folderIn,
                                        std::vector<std::string>& faults,
                                        const std::vector<std::optional<Provenance>>* origins) {
    std::string folder = folderIn;
    if (folder.empty() || folder.back() != '/') folder += '/';
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) throw IoError(IoErrorText(folder, error.value()));

    const LocalCopy copy{folder + files.ParamsName, folder + files.ClassificationName,
                         folder + files.DataName};
    CodingParams params;
    std::string reportLine;
    if (!ParseCodingParamsText(files.ParamsBytes, copy.ParamsPath, params, faults, reportLine)) {
        return std::nullopt;
    }
    int codeWidth = params.CodeWidth;
    Classification clf;
    // The profile goes where the opening of the local copy looks for it.
    const std::string profilePath = ProfilePathFor(copy.ClassificationPath);
    std::shared_ptr<ClassificationProfile> profile;
    if (!files.ProfileName.empty()) {
        profile = std::make_shared<ClassificationProfile>();
        if (!ParseProfileText(files.ProfileBytes, profilePath, *profile, faults)) {
            return std::nullopt;
        }
    }
    if (!LoadClassificationText(files.ClassificationBytes, copy.ClassificationPath, codeWidth, clf,
                                faults, true, profile) ||
        !CheckOutputFits(params, clf, copy.ParamsPath, copy.ClassificationPath, faults)) {
        return std::nullopt;
    }
    params.CodeWidth = codeWidth;
    CaseModel cases;
    if (auto fault = ReadCases(files.DataBytes, params, clf, copy.DataPath,
                               StemOf(files.ParamsName), cases)) {
        faults.push_back(*fault);
        return std::nullopt;
    }
    ReplayJournal(states, clf, cases, faults);
    if (!faults.empty()) return std::nullopt;

    WriteIfChanged(copy.ParamsPath, files.ParamsBytes);
    WriteIfChanged(copy.ClassificationPath, files.ClassificationBytes);
    WriteIfChanged(copy.DataPath, files.DataBytes);
    if (profile) {
        WriteIfChanged(profilePath, files.ProfileBytes);
    } else if (PathTaken(profilePath)) {
        // A profile left from another project would make the copy another classification.
        std::filesystem::remove(profilePath, error);
        if (error) throw IoError(IoErrorText(profilePath, error.value()));
    }
    // The provenance first, as a save writes them.
    if (origins) {
        ProvenanceBook book;
        for (size_t i = 0; i < states.size() && i < origins->size(); ++i) {
            book.Put(states[i].Record, states[i].Field, (*origins)[i]);
        }
        AtomicFile file(folder + StemOf(files.DataName) + kExtProvenance);
        WriteProvenanceFile(file, cases, book);
        file.Commit();
    }
    WriteFileAtomic(folder + StemOf(files.DataName) + kExtWorking,
                    FormatWorkingFile(cases, params.CodeWidth));
    return copy;
}

}  // namespace tarnwick::team
