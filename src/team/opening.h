#pragma once
// Open team project: one operation for the window, the console and the tests.

#include <memory>
#include <string>

#include "team/sync.h"

namespace tarnwick {
class Session;
}

namespace tarnwick::team {

struct TeamLogin {
    std::string conninfo;  // libpq connection string of the project's database
    std::string password;  // empty: ~/.pgpass or PGPASSWORD, as libpq finds it
    std::string coder;
    std::string folder;  // this computer's copy and outbox; empty: TeamLink::FolderFor
};

struct OpenedTeamProject {
    // Attached to the session when the project opened; none otherwise.
    std::unique_ptr<TeamLink> link;
    // The database could not be reached or refused the coder.
    bool databaseFault = false;
};

// Connects as the coder, sends what an earlier session on this computer left unsent, writes the
// copy of the project that this coder is to see and opens it in `session` as any project opens,
// its files given in place of the dialogs' answers. Codes of an earlier session that were sent
// are told in a message at once; once the project is open, the session report says so too, and
// as whom the project was opened. A database fault is shown as a fault message; faults of the copy
// go to the error page. Throws IoError when a file on this computer cannot be read or written.
OpenedTeamProject OpenTeamProject(Session& session, const TeamLogin& login);

}  // namespace tarnwick::team
