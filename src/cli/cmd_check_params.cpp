#include <ostream>

#include "cli/commands.h"
#include "core/params/parser.h"
#include "core/text/files.h"

namespace tarnwick::cli {

int CheckParams(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    try {
        text = ReadWholeFile(file);
    } catch (const IoError& e) {
        err << e.what() << '\n';
        return kIoOrUsage;
    }
    CodingParams params;
    std::vector<std::string> errors;
    std::string report;
    if (!ParseCodingParamsText(text, file, params, errors, report)) {
        for (const std::string& line : errors) out << line << '\n';
        return kFaults;
    }
    out << report << '\n';
    return kOk;
}

}  // namespace tarnwick::cli
