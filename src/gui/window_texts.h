#pragma once
// The window's own texts beside the table of interface texts: the menus, dialogs and pages that
// the window added (the exports, the team project, automatic coding and its review).

#include <string>

namespace tarnwick::msg {

// The Export as... menu.
inline constexpr const char* kExportMenu = "E&xport as...";
inline constexpr const char* kExportSavItem = "SPSS data file (.sav)";
inline constexpr const char* kExportZsavItem = "SPSS compressed data file (.zsav)";
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

// Automatic coding and the review of its codes.
inline constexpr const char* kAutoCodingMenu = "&Automatic coding";
inline constexpr const char* kAutoCodeItem = "Code &automatically...";
inline constexpr const char* kReviewItem = "&Review the sample";
inline constexpr const char* kLeaveReviewItem = "&Leave the review";
inline constexpr const char* kAutoCodingTitle = "Code automatically";
inline constexpr const char* kAutoCodingIntro =
    "The cases whose first suggestion can be trusted enough are coded without you. How far a "
    "suggestion can be trusted is learnt from the cases you coded; the target error says how "
    "often an automatic code may be wrong. Nothing changes before you press Code, and one "
    "Ctrl+Z takes all of it back.";
inline constexpr const char* kAutoCodingTarget = "Target error:";
inline constexpr const char* kAutoCodingEstimate = "&Estimate";
inline constexpr const char* kAutoCodingPressEstimate =
    "Press Estimate to see how many cases can be coded at this target.";
inline constexpr const char* kAutoCodingCode = "&Code";
inline constexpr const char* kAutoCodingClose = "Close";
inline constexpr const char* kReviewOfferTitle = "Review the automatic codes";
// "412 cases were coded automatically. ..."
inline std::string ReviewOffer(int coded) {
    return std::to_string(coded) + (coded == 1 ? " case was" : " cases were") +
           " coded automatically. Review a sample of them by hand: you confirm each automatic "
           "code or recode the case, and the share you recode measures the real error.";
}
inline constexpr const char* kReviewSampleSize = "Cases to review:";
inline constexpr const char* kReviewNow = "&Review now";
inline constexpr const char* kReviewLater = "&Not now";

}  // namespace tarnwick::msg
