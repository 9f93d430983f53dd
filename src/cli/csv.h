#pragma once
// Comma-separated values as other programs write them (RFC 4180): fields in double quotes may
// hold commas, quotes (doubled) and line ends; lines end with LF or CR LF; a UTF-8 byte order
// mark at the start is skipped.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwick::cli {

using CsvRows = std::vector<std::vector<std::string>>;

// Every row of the text; a blank line is no row. On a fault returns nothing and `error` says
// on which line and why.
std::optional<CsvRows> ParseCsv(std::string_view text, std::string* error);

// The field as CSV writes it: in quotes when it holds a comma, a quote or a line end.
std::string CsvField(std::string_view text);

}  // namespace tarnwick::cli
