#include <ostream>

#include "cli/commands.h"
#include "core/io/files.h"
#include "core/params/parser.h"

namespace tarnwick::cli {

bool ReadInputFile(const std::string& file, std::string& text, std::ostream& err) {
    try {
        text = ReadWholeFile(file);
        return true;
    } catch (const IoError& e) {
        err << e.what() << '\n';
        return false;
    }
}

int CheckParams(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    if (!ReadInputFile(file, text, err)) return kIoOrUsage;
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
