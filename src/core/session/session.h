#pragma once
// The whole state of one run: one project per run, owned by one Session object. Every command of
// the window is an operation on it; the window only renders what it holds.

#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/classification/model.h"
#include "core/data/journal.h"
#include "core/data/model.h"
#include "core/data/provenance.h"
#include "core/data/review_sample.h"
#include "core/io/file_stamp.h"
#include "core/params/model.h"
#include "core/session/case_sync.h"
#include "core/session/coding_view.h"
#include "core/session/platform.h"
#include "core/session/project_lock.h"
#include "core/suggest/confidence.h"
#include "core/suggest/suggest.h"
#include "core/text/datetime.h"

namespace tarnwick {

// Pages of the main window's page area.
enum class Page { None, Error, Coding, Notepad, Report, Options, Team };

// What follows a coding action: the next case without code (the next occupation of the record,
// then the next records), the same occupation field in the next record, or nothing.
enum class AfterCodingMode { NextCase = 0, SameFieldNextRecord = 1, Stay = 2 };

inline constexpr const char* kStatusNotice = "Tarnwick";

// One change that a coding action made to a case: enough to put either side back. The counters
// and the record's HasToCode follow from the case, so they are recounted rather than kept.
struct CaseChange {
    int Record = 0;
    int Field = 0;
    std::string OldCode;
    std::string NewCode;
    std::string_view OldName;  // classification-owned, like TZawod::CodeName
    std::string_view NewName;
    bool OldToCode = false;
    bool NewToCode = false;
    // Changes of one action that touched many cases share a group (non-zero) and are undone
    // and redone together.
    int Group = 0;
    // Where each side's code came from; none for no code or one of unknown source.
    std::optional<Provenance> OldProvenance;
    std::optional<Provenance> NewProvenance;
    // The case the coder was on when the action was taken, where undo and redo return (-1: the
    // changed case itself).
    int HomeRecord = -1;
    int HomeField = -1;
};

// A case's code changed from Old to New: what the coding memory is to learn.
struct MemoryChange {
    int Record = 0;
    int Field = 0;
    std::string Old;
    std::string New;
};

// A review of automatically coded cases under way (project/review.h): the sample as its file
// holds it, and the verdicts of this walk, so that the last can be taken back.
struct ReviewWalk {
    bool Active = false;
    std::string Path;
    std::vector<ReviewCase> Cases;
    std::vector<std::string> Unreadable;  // damaged lines of the file, written back as found
    size_t Current = 0;                   // the case under review: the first one pending
    // The walk moves on by itself, so a coding action stays on its case meanwhile; the option
    // comes back when the review ends.
    AfterCodingMode AfterCodingBefore = AfterCodingMode::NextCase;
    struct Verdict {
        size_t index = 0;      // into Cases
        size_t undoDepth = 0;  // a recode: the undo list's length just after it
    };
    std::vector<Verdict> Verdicts;
};

class Session {
  public:
    explicit Session(Platform& platform) : platform(platform) {}
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Platform& platform;

    // Project files.
    std::string ProjectFolder;  // ends with '/'
    std::string ParamStem;
    std::string ClassificationPath;
    std::string DataStem;
    std::string DataExt;
    // Files of a project opened without dialogs (a team project's copy, a project named on the
    // command line): each step of Open project takes the next one instead of asking.
    std::deque<std::string> GivenFiles;
    bool ParamsLoaded = false;
    bool ClassificationLoaded = false;
    bool DataLoaded = false;
    std::optional<DateTime> SessionStart;
    bool ProjectOpen() const { return ParamsLoaded && ClassificationLoaded && DataLoaded; }
    // The coding session has begun: notepad read, coding page shown, menus switched.
    bool SessionStarted = false;

    // Models.
    CodingParams Params;
    Classification Clf;
    CaseModel Cases;
    // Where each case's code came from, for the cases whose source is known.
    ProvenanceBook Provenance;
    // The name under which this session's codes are given: the team coder's, else the login
    // user's, as the lock names it (made when first needed).
    std::string CoderName;
    // The codes given in this session, by CodeSource, an undone one taken off again: the line of
    // the session report.
    std::array<int, kCodeSources> CodesGiven{};

    // The project's lock and coding journal while it is open for coding; a project opened
    // read-only (another program holds its lock) has neither and refuses coding and saving.
    std::unique_ptr<ProjectLock> Lock;
    std::unique_ptr<JournalFile> Journal;
    bool ReadOnly = false;
    std::string ReadOnlyReason;  // why, when not another coder's lock
    // A team project's local copy is this coder's own on this computer: a lock left there by a
    // program of this computer that is gone is taken over without a question.
    bool TakeOverOwnStaleLock = false;
    // The data file as it was read, to notice a change before the working file is saved.
    std::optional<FileStamp> DataStamp;
    // Coding actions of an interrupted session found in the journal at opening.
    int RecoveredActions = 0;
    // A team project's link to the other coders (owned by the team layer), none otherwise.
    CaseSync* Sync = nullptr;

    // Unsaved-work flags.
    bool WorkingFileRead = false;
    bool WorkingFileSaved = false;
    bool ResultsModified = false;
    bool NotepadModified = false;

    // The session report, the error page and the notepad, as line lists.
    std::vector<std::string> Report;
    std::vector<std::string> ErrorLines;
    std::vector<std::string> Notepad;

    // Status bar panels.
    std::string StatusNotice;
    std::string ProgressText;

    // Window state that the core decides.
    Page FrontPage = Page::None;
    bool PageAreaVisible = false;
    bool ReturnToCodingVisible = false;

    // Coding options, for the run only: are the cases that the filters leave out listed and
    // reachable, and what follows a coding action.
    bool ShowNotApplicable = false;
    AfterCodingMode AfterCoding = AfterCodingMode::NextCase;
    // Code all identical compares the answer's text fields only (title and tasks), not the
    // fields answered from a list (status, sector).
    bool IdenticalTextFieldsOnly = true;

    // The current case, the category selected in either list and the last code given with CODE.
    int CurrentRecord = 0;
    int CurrentField = 0;
    int SelectedCategory = -1;
    // The line that selected it, which a code given with CODE names.
    CodeLine SelectedLine = CodeLine::None;
    int SelectedSuggestion = 0;  // 1.. with CodeLine::Suggestion
    // The case ShowCurrentCase last showed and since when (SecondsSinceEpoch of the platform's
    // clock): a coder's code says how long its case was on screen.
    int ShownRecord = -1;
    int ShownField = -1;
    long long ShownSince = 0;
    std::vector<TIndeks> PreselectedEntries;  // one per line of View.PreselectedLines
    std::string LastCode;
    std::string LastCodeName;
    // What the coding page shows.
    CodingView View;
    // The changes of the coding actions of the run, oldest first, and those undone since the
    // last action, the last undone at the back.
    std::vector<CaseChange> UndoList;
    std::vector<CaseChange> RedoList;
    int LastChangeGroup = 0;

    // Suggestions: the engine over the classification (none until the coding session builds
    // it), the coding memory it learns into, and the ranked categories of the current case.
    std::unique_ptr<SuggestionEngine> Suggester;
    CodingMemory Memory;
    // The memory file the suggestions use, empty when there is none; set before the suggestions
    // are prepared, the file to use instead of the one beside the classification.
    std::string MemoryPath;
    std::vector<Suggestion> Suggestions;
    // While the suggestions are prepared on a worker, the memory's changes wait here.
    bool SuggestionsPending = false;
    std::vector<MemoryChange> PendingMemory;
    // How far a first suggestion can be trusted, as the last calibration on this project's
    // coded cases learnt it (Code automatically...); none before one.
    std::optional<ConfidenceCalibration> Calibration;
    ReviewWalk Review;

    void AppendReportLine(std::string line) { Report.push_back(std::move(line)); }
    void AppendErrorLine(std::string line) { ErrorLines.push_back(std::move(line)); }
    void SetStatusNotice(std::string text);
    void ShowProgressText(std::string text);
    // Shows the page area with `page` in front.
    void ShowPage(Page page);

    // File names formed from the folder and stems.
    std::string DataPath() const { return ProjectFolder + DataStem + DataExt; }
    std::string DataFilePath(const char* ext) const { return ProjectFolder + DataStem + ext; }
};

}  // namespace tarnwick
