#pragma once
// Which data file a working file's codes belong to. The working file is named after the data's
// stem, which ends at the first dot, so wave.1.dat and wave.2.dat share wave.zda; the side file
// .zdo, written at every save, names the data file, its records and a hash of its respondents'
// identifiers, and the opening asks before it merges codes saved for other data.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "core/data/model.h"

namespace tarnwick {

class Session;

struct DataIdentity {
    std::string name;  // the data file's name, without its folder
    size_t records = 0;
    std::uint64_t respondents = 0;  // hash of the identifiers in record order
    friend bool operator==(const DataIdentity&, const DataIdentity&) = default;
};

DataIdentity IdentityOf(std::string name, const CaseModel& cases);
// "D1 <records> <hash in hex> <name>", one line.
std::string FormatDataIdentity(const DataIdentity& identity);
std::optional<DataIdentity> ParseDataIdentity(std::string_view text);

// At the opening, before the working file is merged into `cases`: true when it may be (no side
// file, the same data file's name, or the coder says so). A damaged side file is reported and
// passed over.
bool WorkingFileBelongsHere(Session& session, const CaseModel& cases);
// At a save, beside the working file.
void WriteDataIdentity(Session& session);

}  // namespace tarnwick
