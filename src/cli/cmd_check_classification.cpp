#include <ostream>

#include "cli/commands.h"
#include "core/classification/loader.h"
#include "core/io/files.h"

namespace tarnwick::cli {

int CheckClassification(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!ReadInputFile(file, text, err)) return kIoOrUsage;
    // Projects always declare four-digit codes.
    int codeWidth = 4;
    Classification clf;
    std::vector<std::string> errorPage;
    if (!LoadClassificationText(text, file, codeWidth, clf, errorPage)) {
        for (const std::string& line : errorPage) out << line << '\n';
        return kFaults;
    }
    for (const std::string& line : clf.FullListLines) out << line << '\n';
    return kOk;
}

}  // namespace tarnwick::cli
