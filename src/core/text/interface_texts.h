#pragma once
// The table of interface texts (menus, captions, report phrases), which the core and the window
// both read, and the messages of the core. A message of one layer only (the team store, the
// window) stands with that layer.
//
// The table has 160 slots in pairs, slot 2k Polish and 2k+1 English, as Windows-1250 bytes. The
// program always uses the English slot of each pair; a pair is named by `Ui`.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwick {

inline constexpr int kUiTextSlots = 160;

// The text of a slot; empty for an unused slot or a number outside 0..159.
const char* UiTextSlot(int slot);

// The pairs of the table, numbered as the table stores them (pair k is slots 2k and 2k+1).
enum class Ui : int {
    WindowTitle = 0,
    ReturnToCodingMenu = 1,
    NotepadMenu = 2,
    ReportMenu = 3,
    OpenProjectMenu = 4,
    OptionsMenu = 5,
    FindNotCodedMenu = 6,
    SaveResultsMenu = 7,
    InfoMenu = 8,
    QuitSessionMenu = 9,
    FileNavigation = 11,
    ByDataRecords = 12,
    ByOccupations = 13,
    AssignedCategoryOf = 14,
    CodingActions = 15,
    NotApplicableButton = 16,
    MissingButton = 17,
    RepeatButton = 18,
    CancelButton = 19,
    CodeButton = 20,
    KeyWords = 21,
    FirstKeyWord = 22,
    SecondKeyWord = 23,
    PreselectedCategories = 25,
    FullClassification = 26,
    NotepadTitle = 30,
    NotepadLine1 = 31,
    NotepadLine2 = 32,
    ErrorMessages = 33,
    CodingOptions = 34,
    AccessibilityTitle = 35,
    AccessibilityLine1 = 36,
    AccessibilityLine2 = 37,
    AccessibilityLine3 = 38,
    AccessibilityLine4 = 39,
    HideNotApplicable = 40,
    ShowNotApplicable = 41,
    NavigationTitle = 42,
    NavigationLine1 = 43,
    NavigationLine2 = 44,
    NavigationLine3 = 45,
    NavigationLine4 = 46,
    NavigationLine5 = 47,
    NextInSameRecord = 48,
    SameInNextRecord = 49,
    StayInSameField = 50,
    ReportTitle = 53,
    // Report phrases.
    ReportHeading = 54,
    SessionStarted = 55,
    SessionTerminated = 56,
    SessionLasted = 57,
    OutputWrittenAs = 58,
    ParamsReadFrom = 59,
    DataReadFrom = 60,
    CodedSoFarReadFrom = 61,
    TheTotalOf = 62,
    RespondentsHaveOccupations = 63,
    AllOccupationsCodedEnd = 64,
    OfWhich = 65,
    OccupationsNotYetCoded = 66,
    DataSetContains = 67,
    OccupationsForCoding = 68,
    NotepadReadFrom = 69,
    WorkingFileSavedAs = 70,
    AllInDataFileCoded = 71,
    ScriptWrittenInto = 72,
};

// The English text of a pair, the one the program shows: the one way to read the table.
inline const char* UiText(Ui id) { return UiTextSlot(2 * static_cast<int>(id) + 1); }

// The classification's display name: English "VKT-2009", Polish "VKP-2009".
inline constexpr const char* kClassificationDisplayPolish = "VKP-2009";
inline constexpr const char* kClassificationDisplayEnglish = "VKT-2009";

// The messages of the core: message boxes, questions and fixed report texts.
namespace msg {

// The window's title with a classification that has a profile: its name follows.
inline constexpr const char* kWindowTitleOwnClassification = "Tarnwick: Coding occupations to ";

// Ends every message of a fault that stops the opening of a project.
inline constexpr const char* kBreaksExecution =
    " **** THIS ERROR BREAKS THE EXECUTION OF THE PROGRAM ****";

// Moves between cases.
inline constexpr const char* kAllCasesCoded = "All cases are already coded";
inline constexpr const char* kNoFurtherInField = "No further cases within this field are not-coded";
inline constexpr const char* kLastOccupation = "This is the last occupation in data file";
inline constexpr const char* kFirstOccupation = "This is the first occupation in data file";
inline constexpr const char* kLastRecord = "This is the last data record in data file";
inline constexpr const char* kFirstRecord = "This is the first data record in data file";

// Coding actions.
inline constexpr const char* kNoCategorySelected = "No category selected";
inline constexpr const char* kNothingToRepeat = "No category has been coded yet";

// Suggestions and the cases with an identical answer.
inline constexpr const char* kCodeThisCaseFirst =
    "Code this case first: its code is given to the cases with the same answer.";
inline constexpr const char* kNoIdenticalAnswers =
    "No other case of this occupation field has the same answer and no code.";
inline std::string CodeIdenticalQuestion(size_t count, std::string_view code,
                                         std::string_view name) {
    std::string t = "Code ";
    t += std::to_string(count);
    t += count == 1 ? " more case" : " more cases";
    t += " with the same answer as ";
    t += code;
    t += ' ';
    t += name;
    t += '?';
    return t;
}
inline std::string CodeThisAndIdenticalQuestion(size_t others, std::string_view code,
                                                std::string_view name) {
    std::string t = "Code this case and ";
    t += std::to_string(others);
    t += others == 1 ? " more case" : " more cases";
    t += " with the same answer as ";
    t += code;
    t += ' ';
    t += name;
    t += '?';
    return t;
}
inline std::string MemoryReportLine(std::string_view path, size_t answers) {
    std::string t = "Coding memory: ";
    t += path;
    t += " (";
    t += std::to_string(answers);
    t += answers == 1 ? " answer)" : " answers)";
    return t;
}
inline std::string MemoryUnreadable(std::string_view why) {
    std::string t = "The coding memory was not used: ";
    t += why;
    return t;
}

// Undo and redo of the coding actions.
inline constexpr const char* kNothingToUndo = "Nothing to undo";
inline constexpr const char* kNothingToRedo = "Nothing to redo";

// A search of the key words or of the full list that found nothing: No category matches "text".
inline std::string NoCategoryMatches(std::string_view text) {
    std::string t = "No category matches \"";
    t += text;
    t += '"';
    return t;
}

// Key words found only once cut back to a shorter beginning: "matched as PRO\x85", each key
// followed by the Windows-1250 ellipsis.
inline constexpr char kEllipsis = '\x85';
inline std::string MatchedAs(std::string_view keys) {
    std::string t = "matched as ";
    t += keys;
    return t;
}

// The respondent selector found no identifier beginning with the typed text.
inline std::string NoRespondentMatches(std::string_view text) {
    std::string t = "No respondent matches \"";
    t += text;
    t += '"';
    return t;
}

// Save results confirmed in the status bar: "Saved 1,234 codes to demo.zda at 10:42".
std::string SavedCodes(int codes, std::string_view fileName, int hour, int minute);

// The share coded and, once the session has run a minute, its pace: "34 % coded \xB7 120
// codes/hour" (0xB7 is the Windows-1250 middle dot); perHour < 0 leaves the pace out.
std::string CodingPace(int percent, long long perHour);

// The exit questions.
inline constexpr const char* kAskExit = "Exit coding session?";
inline constexpr const char* kAskSaveWorking = "Save cases already coded into a working file?";
inline constexpr const char* kAskSaveOutput =
    "Save data and documentation into a final output file?";
inline constexpr const char* kAskSaveNotepad = "Save the notepad content?";
inline constexpr const char* kAskSaveReport = "Save the session report?";

// The file dialogs of Open project: title and filter.
inline constexpr const char* kOpenParamsTitle = "Open a coding parameters file";
inline constexpr const char* kOpenParamsFilter = "parameter files (*.zpa)|*.ZPA";
inline constexpr const char* kOpenClassificationTitle = "Open a classification file";
inline constexpr const char* kOpenClassificationFilter = "classification files (*.clf)|*.CLF";
inline constexpr const char* kOpenDataTitle = "Open an input data file";
inline constexpr const char* kOpenDataFilter = "data files (*.dat)|*.DAT";

// The exports for statistical software.
inline constexpr const char* kExportFailed = "The file could not be made: ";
inline constexpr const char* kExportOverData = "The export would replace the survey data file: ";
inline constexpr const char* kExportWrittenAs = "Data exported as";

// Files refused for what they are; each follows the file's path and ": ".
inline constexpr const char* kNotAFile =
    "is not an ordinary file but a pipe, a device or a socket; the program neither reads nor "
    "replaces it";
inline constexpr const char* kIsALink =
    "is a symbolic link where the program keeps a file of its own; it is neither followed nor "
    "replaced. Remove the link, or move the project to a folder of your own";
// "belongs to another user (nobody); ...": whose file stands where the program keeps its own.
inline std::string OtherOwner(std::string_view owner) {
    std::string t = "belongs to another user (";
    t += owner;
    t += "); the program neither reads nor replaces a file of its own that someone else has put "
         "there. Ask them to remove it, or move the project to a folder of your own";
    return t;
}
// After a recovery: "3 codes of the coding journal could not be replayed ...".
inline std::string JournalEntriesNotReplayed(size_t entries, const std::string& copy) {
    return std::to_string(entries) + (entries == 1 ? " code" : " codes") +
           " of the coding journal could not be given back to their cases (the report says "
           "why); the journal is kept as it was in " +
           copy + ".";
}
inline constexpr const char* kJournalRefusesAction =
    "Nothing was changed: the coding journal, which keeps every code until it is saved, cannot "
    "be written: ";
inline constexpr const char* kJournalRemoved =
    "it was removed while the project was open, alone or with its folder; Save results keeps the "
    "codes given so far (once the folder is back, when it went too)";
inline constexpr const char* kNotText = "holds NUL bytes, so it is not a text file";
// The file is larger than the program reads: "is larger than the 8,192 MB that ...".
std::string FileTooLarge(size_t limitBytes);

// What the progress bar of long work says.
inline constexpr const char* kProgressReadingData = "Reading the survey data";
inline constexpr const char* kProgressMerging = "Merging the cases coded so far";
inline constexpr const char* kProgressSuggestions = "Preparing the suggestions";
inline constexpr const char* kProgressWriting = "Writing";  // followed by the file's path

// A memory file that cannot be read: "memory file, line 4: the count is not a whole number above
// 0".
inline std::string MemoryFileFault(size_t line, std::string_view why) {
    std::string t = "memory file, line " + std::to_string(line) + ": ";
    t += why;
    return t;
}
inline constexpr const char* kMemoryNoHeading =
    "not a coding memory (the first line must read \"Tarnwick coding memory 1\")";
inline constexpr const char* kMemoryNoTabs =
    "a line must hold a count, a tab, a code, a tab and the answer";
inline constexpr const char* kMemoryBadCount = "the count is not a whole number above 0";
inline constexpr const char* kMemoryBadCode = "the code is empty or has blanks around it";
inline constexpr const char* kMemoryBadAnswer =
    "the answer is empty or not in its normalised form (lower case, single blanks, fields "
    "joined by \" | \")";
inline constexpr const char* kMemoryRepeated = "this answer and code stand on an earlier line";

// The reasons of suggestions.
inline std::string CodedBefore(uint32_t times) {
    return times == 1 ? std::string("coded once as this before")
                      : "coded " + std::to_string(times) + " times as this before";
}
inline constexpr const char* kSimilarCodedBefore = "like answers coded before: ";
// The learnt model is in: what it learnt from, its size and how long it took.
std::string LearntModelBuilt(size_t documents, size_t bytes, double seconds);
inline std::string LearntFrom(uint32_t answers) {
    return answers == 1 ? std::string("learnt from 1 answer like this")
                        : "learnt from " + std::to_string(answers) + " answers like this";
}
// The project's lock: another program codes the project, or left its lock behind.
inline std::string ProjectLockedBy(std::string_view user, std::string_view host, long long pid,
                                   std::string_view since) {
    std::string t = "The project is open for coding by ";
    t += user;
    t += " on ";
    t += host;
    t += " (process " + std::to_string(pid) + ") since ";
    t += since;
    return t;
}
inline constexpr const char* kAskOpenReadOnly =
    ".\nOpen it read-only (no coding, no saving)? No cancels the opening.";
inline constexpr const char* kAskTakeOverLock =
    ", but that program is no longer running (or has shown no sign of life for a day).\n"
    "Take the project over? Its codes are safe in the working file and the coding journal.";
inline constexpr const char* kOpenedReadOnly = "Project opened read-only: ";
inline constexpr const char* kLockTakenOver = "Lock taken over from an ended session: ";
// Why a project is open read-only, in the messages that refuse coding and saving.
inline constexpr const char* kReadOnlyHeld = "another coder holds it";
inline constexpr const char* kReadOnlyFolder = "its folder cannot be written";
inline std::string ReadOnlyNoCoding(std::string_view why) {
    return "The project is open read-only (" + std::string(why.empty() ? kReadOnlyHeld : why) +
           "): coding is not possible";
}
inline std::string ReadOnlyNoSaving(std::string_view why) {
    return "The project is open read-only (" + std::string(why.empty() ? kReadOnlyHeld : why) +
           "): nothing can be saved";
}
// "The folder /data/wave/ cannot be written (Read-only file system): ..."
inline std::string FolderNotWritable(const std::string& folder, std::string_view reason) {
    return "The folder " + folder + " cannot be written (" + std::string(reason) +
           "): the project is opened read-only, to read and export, not to code";
}

// The coding journal: "12 coding actions recovered from an interrupted session".
inline std::string ActionsRecovered(int actions) {
    return std::to_string(actions) + (actions == 1 ? " coding action" : " coding actions") +
           " recovered from an interrupted session";
}
inline constexpr const char* kJournalKeptAs = "The coding journal as found is kept in ";
inline constexpr const char* kProvenanceKeptAs = "The provenance file as found is kept in ";

// The session report's count of the codes given, by source: "Codes given in this session: 120
// by coders, 412 automatically, 30 as identical answers." Sources without codes are left out.
inline std::string CodesGivenReportLine(int byCoders, int automatically, int identical,
                                        int recovered, int bySupervisor) {
    std::string t = "Codes given in this session:";
    auto part = [&t, first = true](int n, const char* one, const char* many) mutable {
        if (n <= 0) return;
        t += first ? " " : ", ";
        first = false;
        t += std::to_string(n);
        t += n == 1 ? one : many;
    };
    part(byCoders, " by a coder", " by coders");
    part(automatically, " automatically", " automatically");
    part(identical, " as an identical answer", " as identical answers");
    part(recovered, " recovered from the journal", " recovered from the journal");
    part(bySupervisor, " by the supervisor", " by the supervisor");
    if (byCoders + automatically + identical + recovered + bySupervisor <= 0) t += " none";
    return t + ".";
}

inline constexpr const char* kNoAutoCodingInTeam =
    "A team project is not coded automatically: its cases are claimed by one coder at a time. "
    "Code the project automatically before it is loaded into the team's database.";

// Automatic coding: "412 cases coded automatically at a confidence of at least 87.2 %;
// estimated error 3.1 % (95 %: 2.0-4.6 %)".
inline std::string AutoCodedReportLine(int cases, std::string_view threshold,
                                       std::string_view error, std::string_view interval) {
    return std::to_string(cases) + (cases == 1 ? " case" : " cases") +
           " coded automatically at a confidence of at least " + std::string(threshold) +
           "; estimated error " + std::string(error) + " (95 %: " + std::string(interval) + ")";
}

// Proposing automatic coding: what stops it, the progress bar, and what it would do.
inline constexpr const char* kAutoCodingNoSuggestions =
    "Automatic coding needs the suggestions, and this session has none.";
inline constexpr const char* kAutoCodingSuggestionsPending =
    "The suggestions are still being prepared (the bar in the status line); automatic coding "
    "can start once they are ready.";
inline constexpr const char* kAutoCodingInReview =
    "A review is in progress: leave it first (Escape).";
inline constexpr const char* kProgressCalibrating =
    "Learning how far the suggestions can be trusted";
inline constexpr const char* kProgressPlanning = "Choosing the cases to code automatically";
inline constexpr const char* kAutoCodingBadTarget =
    "The target error must be more than 0 % and less than 100 %.";
// "412 of 530 cases can be coded automatically; estimated error 4.1 % (95 %: 3.2-5.3 %), from
// 210 cases you coded." (the interval as AutoRange writes it)
inline std::string AutoCodingProposed(size_t chosen, size_t considered, std::string_view error,
                                      std::string_view interval, size_t calibration) {
    return std::to_string(chosen) + " of " + std::to_string(considered) +
           (considered == 1 ? " case" : " cases") +
           " can be coded automatically; estimated error " + std::string(error) +
           " (95 %: " + std::string(interval) + "), from " + std::to_string(calibration) +
           (calibration == 1 ? " case" : " cases") + " you coded.";
}
inline std::string AutoCodingTooFew(std::string_view target, size_t more, size_t calibration) {
    return "The cases coded so far cannot promise an error of " + std::string(target) +
           " yet: about " + std::to_string(more) + " more " + (more == 1 ? "case" : "cases") +
           " coded by hand would be needed (" + std::to_string(calibration) + " so far).";
}
inline std::string AutoCodingUnreachable(std::string_view target, size_t calibration) {
    return "Not even the most confident suggestions err as rarely as " + std::string(target) +
           " (from " + std::to_string(calibration) + (calibration == 1 ? " case" : " cases") +
           " you coded): choose a larger target error.";
}
inline constexpr const char* kAutoCodingNothingLeft =
    "No case to be coded is without a code and has a text: nothing to code automatically.";
inline std::string AutoCodingNoneReaches(size_t considered, std::string_view threshold) {
    return "None of the " + std::to_string(considered) + (considered == 1 ? " case" : " cases") +
           " without a code reaches the confidence needed (" + std::string(threshold) +
           "): nothing would be coded.";
}

// The first suggestion's confidence on its line of the Suggestions list: " \xB7 93 % sure".
inline std::string ConfidenceNote(int percent) {
    return " \xB7 " + std::to_string(percent) + " % sure";
}

// The review sample (<data stem>.zrv) and its faults: "review sample, line 4: ...".
inline std::string ReviewSampleFault(size_t line, std::string_view why) {
    std::string t = "review sample, line " + std::to_string(line) + ": ";
    t += why;
    return t;
}
inline constexpr const char* kReviewNoHeading =
    "not a review sample (the first line must read \"Tarnwick review sample 1\")";
inline constexpr const char* kReviewBadColumns = "a line must hold seven values separated by tabs";
inline constexpr const char* kReviewBadPlace =
    "the record and the field must be whole numbers from 1";
inline constexpr const char* kReviewBadEscape = "a % is not followed by two hexadecimal digits";
inline constexpr const char* kReviewNoCode = "the automatic code is empty";
inline constexpr const char* kReviewBadConfidence = "the confidence is not a number from 0 to 1";
inline constexpr const char* kReviewBadOutcome =
    "the outcome must be pending, confirmed, recoded or dropped";
inline constexpr const char* kReviewStrayCode = "only a recoded case has a new code";
inline constexpr const char* kReviewDamaged =
    "Some lines of the review sample are damaged; they are left out of the review and kept in "
    "the file as they are:";
inline constexpr const char* kNoReviewSample =
    "There is no review sample: Code automatically... offers one after coding.";
inline constexpr const char* kReviewNoVerdict = "No verdict of this review to take back.";
inline constexpr const char* kReviewVerdictBuried =
    "The last verdict cannot be taken back: other coding followed it.";
// "Review sample: 50 of 412 automatically coded cases drawn into /p/demo.zrv (seed 81...)".
inline std::string ReviewSampleDrawn(size_t drawn, size_t of, std::string_view path,
                                     unsigned long long seed) {
    return "Review sample: " + std::to_string(drawn) + " of " + std::to_string(of) +
           " automatically coded " + (of == 1 ? "case" : "cases") + " drawn into " +
           std::string(path) + " (seed " + std::to_string(seed) + ")";
}
inline constexpr const char* kReviewReplaced = "The review sample replaced held: ";
// "Review of automatic codes: 48 of 50 confirmed, 2 recoded; measured error 4.0 % (95 %:
// 1.1-13.5 %)", and what is left.
inline std::string ReviewResultText(size_t reviewed, size_t confirmed, size_t recoded,
                                    std::string_view error, std::string_view interval,
                                    size_t pending, size_t dropped) {
    std::string t = "Review of automatic codes: ";
    if (reviewed == 0) {
        t += "no case reviewed";
    } else {
        t += std::to_string(confirmed) + " of " + std::to_string(reviewed) + " confirmed, " +
             std::to_string(recoded) + " recoded; measured error " + std::string(error) +
             " (95 %: " + std::string(interval) + ")";
    }
    if (pending > 0) t += "; " + std::to_string(pending) + " still to review";
    if (dropped > 0) {
        t += "; " + std::to_string(dropped) + (dropped == 1 ? " case" : " cases") +
             " left out, no longer holding the automatic code";
    }
    return t;
}
// What the coding page says while a review is on.
inline std::string ReviewBanner(size_t k, size_t n, std::string_view code, std::string_view name,
                                int percent) {
    return "REVIEW of automatic codes: case " + std::to_string(k) + " of " + std::to_string(n) +
           ". Automatic code " + std::string(code) + " " + std::string(name) + ", " +
           std::to_string(percent) +
           " % sure.\nEnter confirms it, another code recodes the case, Ctrl+Z takes back the "
           "last verdict, Escape leaves the review.";
}

// Codes the working file holds that the data no longer take: "21 codes could not be merged
// with the data and were set aside in /p/demo-set-aside-202612081855.zda".
inline std::string CodesSetAside(int codes, std::string_view path) {
    std::string t = std::to_string(codes) + (codes == 1 ? " code" : " codes") +
                    " could not be merged with the data (records, occupation fields or "
                    "identifiers no longer match) and were set aside in ";
    t += path;
    return t;
}

// Lines of the working file that match no record and hold no code of the classification.
inline std::string LinesSetAside(int lines, std::string_view path) {
    std::string t =
        std::to_string(lines) + (lines == 1 ? " line of the working file that holds no code of the "
                                              "classification was set aside in "
                                            : " lines of the working file that hold no code of the "
                                              "classification were set aside in ");
    t += path;
    return t;
}

// A working file cut short or damaged, merged as far as it could be read: "3 data records found
// no line in working file wave.zda and 1 code in it could not be read: those occupations are to
// be coded again. The last backup is kept as /p/wave-backup-202612101830.~zd."
inline std::string WorkingFileDamaged(size_t unlined, int unreadable, std::string_view working,
                                      std::string_view backupCopy, std::string_view asidePath) {
    const std::string codes = std::to_string(unreadable) + (unreadable == 1 ? " code" : " codes");
    std::string t;
    if (unlined > 0) {
        t = std::to_string(unlined) + (unlined == 1 ? " data record" : " data records") +
            " found no line in working file " + std::string(working);
        if (unreadable > 0) t += " and " + codes + " in it could not be read";
    } else {
        t = codes + " in working file " + std::string(working) + " could not be read";
    }
    t += ": those occupations are to be coded again";
    if (!asidePath.empty()) {
        t += ". The lines set aside are in ";
        t += asidePath;
    }
    if (!backupCopy.empty()) {
        t += ". The last backup is kept as ";
        t += backupCopy;
    }
    t += ".";
    return t;
}

// A data file changed since the project was opened, found before the working file is saved.
inline std::string DataChanged(std::string_view path) {
    std::string t = "The data file ";
    t += path;
    t += " changed since the project was opened (size or modification time)";
    return t;
}
inline constexpr const char* kAskSaveDespiteDataChange = ".\nSave the working file all the same?";
inline constexpr const char* kNotSavedDataChanged =
    "The working file was not saved: the data file changed since the project was opened";

}  // namespace msg

}  // namespace tarnwick
