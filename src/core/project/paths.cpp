#include "core/project/paths.h"

#include "core/session/session.h"
#include "core/text/strings.h"

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

std::string MemoryFileOf(std::string_view classificationPath) {
    return FolderOf(classificationPath) + StemOf(NameOf(classificationPath)) + kExtMemory;
}

std::string ExtensionOf(std::string_view name) {
    const size_t dot = name.find('.');
    return dot == std::string_view::npos ? std::string() : std::string(name.substr(dot));
}

bool IsWrittenExtension(std::string_view ext) {
    const char* const written[] = {kExtWorking,    kExtBackup,           kExtOutput,
                                   kExtScript,     kExtNotepad,          kExtReport,
                                   kExtLock,       kExtJournal,          kExtJournalBackup,
                                   kExtProvenance, kExtProvenanceBackup, kExtDataOf};
    for (const char* own : written) {
        if (CompareNoCase(ext, own) == 0) return true;
    }
    return false;
}

std::string ParamsPath(const Session& s) { return s.ProjectFolder + s.ParamStem + kExtParams; }

}  // namespace tarnwick
