#pragma once
// The texts of a team project: the team store's faults and what a coder is told of the others.

#include <cstddef>
#include <string>
#include <string_view>

namespace tarnwick::msg {

// A team project in PostgreSQL.
inline constexpr const char* kTeamWorkingOffline =
    "The connection to the team database is lost. You can go on coding: your codes are kept on "
    "this computer and sent when the connection returns.";
// "1 code", "2 codes", after `before` and followed by `after`.
inline std::string TeamCodes(std::string_view before, size_t codes, std::string_view after) {
    std::string t(before);
    t += std::to_string(codes);
    t += codes == 1 ? " code" : " codes";
    t += after;
    return t;
}
inline std::string TeamOffline(size_t waiting) {
    return TeamCodes("Working offline: ", waiting, " waiting to be sent");
}
inline std::string TeamBack(size_t sent) {
    return TeamCodes("The team database is back: ", sent, " sent");
}
inline std::string TeamSentAtOpening(size_t sent) {
    return TeamCodes("", sent, " of an earlier session sent to the team database");
}
inline std::string TeamOpenedAs(std::string_view coder) {
    std::string t = "Team project opened from its database, coding as ";
    t += coder;
    return t;
}
inline constexpr const char* kTeamOfflineNext =
    "Working offline: the next case is taken from this computer's copy and may be one that "
    "another coder holds.";

inline constexpr const char* kTeamCoderNameRefused =
    "A coder's name may not be empty nor hold a line end, a tab or another control character: "
    "it is a line of the team's tables.";
inline constexpr const char* kTeamProjectExists =
    "The database already holds a team project: a second one needs a database of its own";
inline constexpr const char* kTeamNoProject = "The database holds no team project";
inline constexpr const char* kTeamNewerSchema =
    "The team project was made by a newer Tarnwick: its schema version is ";
inline std::string TeamActionRefused(const std::string& why, const std::string& path) {
    return "The team database refused a coding action, which is kept in " + path + ": " + why;
}
inline constexpr const char* kTeamStartedOffline =
    "The team database cannot be reached: the project opens from this computer's copy of the "
    "last session. Codes wait on this computer and are sent when the database is back.";
inline constexpr const char* kTeamConnectionLost = "The connection to the team database was lost: ";
inline std::string TeamServerSilent(int seconds) {
    return "the server sent nothing for " + std::to_string(seconds) + " seconds";
}
inline constexpr const char* kTeamNoCoderName = "A coder's name is needed";
inline constexpr const char* kTeamNoActionId = "A coding action needs its identifier";
inline constexpr const char* kTeamBadShare = "The share of double-coded cases must lie from 0 to 1";
inline std::string TeamNoSuchCase(int record, int field) {
    std::string t = "The team project has no case ";
    t += std::to_string(record) + '/' + std::to_string(field);
    return t;
}
inline std::string TeamNotToSettle(int record, int field) {
    std::string t = "Case ";
    t += std::to_string(record) + '/' + std::to_string(field);
    t += " is neither double-coded nor in conflict: only those take a supervisor's final code";
    return t;
}

}  // namespace tarnwick::msg
