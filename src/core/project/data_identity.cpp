#include "core/project/data_identity.h"

#include <charconv>

#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/strings.h"

namespace tarnwick {

namespace {

constexpr std::string_view kTag = "D1 ";

// FNV-1a, 64 bits, over each identifier and a separator: a stable hash that any build computes
// the same way.
std::uint64_t HashIdentifiers(const CaseModel& cases) {
    std::uint64_t h = 14695981039346656037ull;
    const auto add = [&h](unsigned char c) {
        h ^= c;
        h *= 1099511628211ull;
    };
    for (const TOsoba& r : cases.Respondents) {
        for (const char c : r.RespondentId) add(static_cast<unsigned char>(c));
        add('\n');
    }
    return h;
}

std::string Described(const DataIdentity& d) {
    return d.name + " (" + std::to_string(d.records) + (d.records == 1 ? " record)" : " records)");
}

}  // namespace

DataIdentity IdentityOf(std::string name, const CaseModel& cases) {
    return {std::move(name), cases.Respondents.size(), HashIdentifiers(cases)};
}

std::string FormatDataIdentity(const DataIdentity& d) {
    char hex[17];
    const auto end = std::to_chars(hex, hex + 16, d.respondents, 16).ptr;
    return std::string(kTag) + std::to_string(d.records) + ' ' + std::string(hex, end) + ' ' +
           d.name + "\r\n";
}

std::optional<DataIdentity> ParseDataIdentity(std::string_view text) {
    if (text.substr(0, kTag.size()) != kTag) return std::nullopt;
    text.remove_prefix(kTag.size());
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    DataIdentity d;
    const size_t gap1 = text.find(' ');
    const size_t gap2 = gap1 == std::string_view::npos ? gap1 : text.find(' ', gap1 + 1);
    if (gap2 == std::string_view::npos || gap2 + 1 >= text.size()) return std::nullopt;
    const std::string_view records = text.substr(0, gap1);
    const std::string_view hash = text.substr(gap1 + 1, gap2 - gap1 - 1);
    if (std::from_chars(records.data(), records.data() + records.size(), d.records).ptr !=
            records.data() + records.size() ||
        std::from_chars(hash.data(), hash.data() + hash.size(), d.respondents, 16).ptr !=
            hash.data() + hash.size()) {
        return std::nullopt;
    }
    d.name = std::string(text.substr(gap2 + 1));
    if (d.name.find_first_of("\r\n") != std::string::npos) return std::nullopt;
    return d;
}

bool WorkingFileBelongsHere(Session& s, const CaseModel& cases) {
    const std::string path = s.DataFilePath(kExtDataOf);
    if (!PathTaken(path)) return true;  // saved before the side file existed
    const std::optional<DataIdentity> saved = ParseDataIdentity(ReadOwnFile(path));
    if (!saved) {
        s.AppendReportLine(path + " is damaged; it is written again at the next save.");
        return true;
    }
    const DataIdentity now = IdentityOf(s.DataStem + s.DataExt, cases);
    // The same data file, changed or not: what no longer fits is set aside by the merge. Another
    // name may be another wave of a panel, with the same respondents and other answers.
    if (saved->name == now.name) return true;
    const std::string question =
        s.DataStem + kExtWorking + " holds the codes saved for data file " + Described(*saved) +
        "; the data file opened now is " + Described(now) +
        (saved->respondents == now.respondents ? "" : ", whose respondents differ") +
        ". Codes of one data file given to another land on other answers. Merge them all the "
        "same? (No stops the opening and changes nothing; a data file of its own goes in a "
        "folder of its own.)";
    if (s.platform.Ask(question, false) == Answer::Yes) {
        s.AppendReportLine(question + " Yes.");
        return true;
    }
    return false;
}

void WriteDataIdentity(Session& s) {
    WriteFileAtomic(s.DataFilePath(kExtDataOf),
                    FormatDataIdentity(IdentityOf(s.DataStem + s.DataExt, s.Cases)));
}

}  // namespace tarnwick
