#include "cli/csv.h"

#include "cli/cli_texts.h"
#include "core/text/interface_texts.h"

namespace tarnwick::cli {

std::optional<CsvRows> ParseCsv(std::string_view text, std::string* error) {
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    CsvRows rows;
    std::vector<std::string> row;
    std::string field;
    size_t line = 1;
    size_t i = 0;
    bool any = false;  // the row has begun
    auto endRow = [&] {
        if (any) {
            row.push_back(std::move(field));
            rows.push_back(std::move(row));
        }
        row.clear();
        field.clear();
        any = false;
    };
    while (i < text.size()) {
        const char c = text[i];
        if (c == '"' && field.empty()) {
            any = true;
            const size_t start = line;
            ++i;
            for (;;) {
                if (i >= text.size()) {
                    if (error != nullptr) {
                        *error = "line " + std::to_string(start) + ": " + msg::kCsvOpenQuote;
                    }
                    return std::nullopt;
                }
                if (text[i] == '"') {
                    if (i + 1 < text.size() && text[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (text[i] == '\n') ++line;
                field += text[i++];
            }
            if (i < text.size() && text[i] != ',' && text[i] != '\n' && text[i] != '\r') {
                if (error != nullptr) {
                    *error = "line " + std::to_string(line) + ": " + msg::kCsvAfterQuote;
                }
                return std::nullopt;
            }
            continue;
        }
        if (c == ',') {
            any = true;
            row.push_back(std::move(field));
            field.clear();
        } else if (c == '\n') {
            endRow();
            ++line;
        } else if (c == '\r') {
            if (i + 1 >= text.size() || text[i + 1] != '\n') {
                endRow();
                ++line;
            }
        } else {
            any = true;
            field += c;
        }
        ++i;
    }
    endRow();
    return rows;
}

std::string CsvField(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) {
        if (c == '"') out += '"';
        out += c;
    }
    out += '"';
    return out;
}

}  // namespace tarnwick::cli
