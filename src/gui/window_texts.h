#pragma once
// The window's own texts beside the table of interface texts: the menus, dialogs and pages that
// the window added (the exports, the team project).

namespace tarnwick::msg {

// The Export as... menu.
inline constexpr const char* kExportMenu = "Export as...";
inline constexpr const char* kExportSavItem = "SPSS data file (.sav)";
inline constexpr const char* kExportDtaItem = "Stata data file (.dta)";
inline constexpr const char* kExportCsvItem = "CSV with a CSV of the labels (.csv)";

// Opening a team project, and its page.
inline constexpr const char* kOpenTeamProjectMenu = "Open &team project";
inline constexpr const char* kTeamPageMenu = "Tea&m";
inline constexpr const char* kTeamLoginTitle = "Open team project";
inline constexpr const char* kTeamConninfoLabel = "Database (connection string):";
inline constexpr const char* kTeamCoderLabel = "Coder:";
inline constexpr const char* kTeamPasswordNote =
    "The password comes from ~/.pgpass or PGPASSWORD, or is asked for; Tarnwick never stores "
    "it.";
inline constexpr const char* kTeamPasswordPrompt = "Password for the team database:";
inline constexpr const char* kTeamPageTitle = "Team: progress, coders and double coding";
inline constexpr const char* kTeamDisagreementsHeading =
    "Disagreements (record field respondent: coder code, coder code):";
inline constexpr const char* kTeamSettleRecord = "Record:";
inline constexpr const char* kTeamSettleField = "Field:";
inline constexpr const char* kTeamSettleCode = "Final code:";
inline constexpr const char* kTeamSettleButton = "Settle";

}  // namespace tarnwick::msg
