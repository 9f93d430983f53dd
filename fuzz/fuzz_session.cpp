// The coding session on the demo project (copied to a scratch folder, so that saves never touch
// the repository). The input is a stream of commands, one a line: the session console's commands
// and a few more that only the window gives (entry N, dpre N, dfull N, tab full|pre|suggestions N,
// output, report). They drive the core's operations on a session that is checked after every
// command: the pre-selected list and its entries stay in step, the selected category and the
// current case exist, every stored code is one the classification knows, and a save, whether it
// succeeds or fails, keeps every code in memory and, when it succeeds, writes exactly those codes.
// The suggestions are prepared as the window does it, begun (begin) and installed later (install)
// while coding goes on; then the coding memory must hold exactly what the cases hold, whatever
// was coded from the suggestions (take N), coded for all identical answers, undone or redone.
//
// The demo is opened once; each input starts from a session made of that opening's models, as
// Open project leaves it, so that a run costs the commands and not the loading.

#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/coding/options.h"
#include "core/coding/search.h"
#include "core/coding/suggestions.h"
#include "core/io/files.h"
#include "core/project/coding_session.h"
#include "core/project/exit.h"
#include "core/project/memory_file.h"
#include "core/project/opening.h"
#include "core/project/paths.h"
#include "core/project/saving.h"
#include "core/project/suggestions.h"
#include "core/text/datetime.h"
#include "fuzz_common.h"
#include "support/scripted_platform.h"

using namespace tarnwick;
using namespace tarnwick::fuzz;

namespace {

std::string_view NextWord(std::string_view& rest) {
    const size_t blank = rest.find(' ');
    const std::string_view word = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return word;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return value;
}

// A save or a write of the exit sequence: whatever happens, the codes in memory stay.
template <class F>
void Writes(Session& s, F write) {
    const std::vector<CaseState> before = CaseStates(s.Cases);
    try {
        write();
    } catch (const IoError&) {
    }
    FUZZ_CHECK(CaseStates(s.Cases) == before);
}

// The memory holds what the cases hold once the suggestions are installed.
void CheckMemory(const Session& s) {
    if (!s.Suggester || s.SuggestionsPending) return;
    CodingMemory expected;
    LearnCodedCases(s, expected);
    FUZZ_CHECK(s.Memory == expected);
}

// One console command on our own session. False when the session has ended.
bool Command(ScriptedPlatform& platform, Session& s, std::optional<SuggestionSources>& preparing,
             std::unique_ptr<SuggestionEngine>& engine, std::string_view line) {
    std::string_view args = line;
    const std::string_view name = NextWord(args);
    const std::optional<int> n = Number(args);
    if (name == "next-occupation") {
        NextOccupation(s);
    } else if (name == "previous-occupation") {
        PreviousOccupation(s);
    } else if (name == "next-record") {
        NextRecord(s);
    } else if (name == "previous-record") {
        PreviousRecord(s);
    } else if (name == "pick") {
        PickRespondent(s, args);
    } else if (name == "entry" && n) {
        SelectRespondentEntry(s, *n);
    } else if (name == "find") {
        FindNotCoded(s);
    } else if (name == "key1") {
        SetFirstKeyWord(s, args);
    } else if (name == "key2") {
        SetSecondKeyWord(s, args);
    } else if (name == "second") {
        UseSecondKeyWord(s, args == "on");
    } else if (name == "select") {
        SearchSelectedText(s, args);
    } else if (name == "full" && n) {
        SelectFullListLine(s, *n);
    } else if (name == "pre" && n) {
        SelectPreselectedLine(s, *n);
    } else if (name == "dfull" && n) {
        CodeFullListLine(s, *n);
    } else if (name == "dpre" && n) {
        CodePreselectedLine(s, *n);
    } else if (name == "tab") {
        const std::string_view which = NextWord(args);
        const int visible = Number(args).value_or(kFullListVisibleLines);
        ShowCategoryTab(s,
                        which == "full"          ? CategoryTab::Full
                        : which == "suggestions" ? CategoryTab::Suggestions
                                                 : CategoryTab::Preselected,
                        visible);
    } else if (name == "begin") {
        if (!s.Suggester && !preparing) preparing = BeginSuggestions(s);
    } else if (name == "install") {
        if (preparing) InstallSuggestions(s, BuildSuggestions(*preparing, {}, std::move(engine)));
        preparing.reset();
    } else if (name == "sline" && n) {
        SelectSuggestionLine(s, *n);
    } else if (name == "take" && n) {
        CodeSuggestionLine(s, *n);
    } else if (name == "identical") {
        platform.questionAnswers = {args == "y" ? Answer::Yes : Answer::No};
        CodeAllIdentical(s);
        platform.questionAnswers.clear();
    } else if (name == "undo") {
        Undo(s);
    } else if (name == "redo") {
        Redo(s);
    } else if (name == "code") {
        CodeSelected(s);
    } else if (name == "missing") {
        MarkMissing(s);
    } else if (name == "na") {
        MarkNotApplicable(s);
    } else if (name == "repeat") {
        RepeatLastCode(s);
    } else if (name == "cancel") {
        ClearCode(s);
    } else if (name == "option") {
        const std::string_view which = NextWord(args);
        const int value = Number(args).value_or(-1);
        if (which == "show-na" && (value == 0 || value == 1)) SetShowNotApplicable(s, value == 1);
        if (which == "after" && AfterCodingModeOf(value)) {
            SetAfterCodingMode(s, *AfterCodingModeOf(value));
        }
    } else if (name == "save") {
        bool saved = false;
        Writes(s, [&] {
            SaveWorkingFile(s);
            saved = true;
        });
        if (saved) {
            FUZZ_CHECK(ReadBytes(s.DataFilePath(kExtWorking)) == ExpectedWorkingFile(s));
            FUZZ_CHECK(!s.ResultsModified && s.WorkingFileSaved);
        }
    } else if (name == "output") {
        Writes(s, [&] { WriteFinalOutput(s); });
    } else if (name == "report") {
        Writes(s, [&] { WriteSessionReport(s); });
    } else if (name == "notepad") {
        s.Notepad.emplace_back(args);
        s.NotepadModified = true;
    } else if (name == "quit") {
        platform.questionAnswers.clear();
        for (char a : args) {
            if (a == 'y') platform.questionAnswers.push_back(Answer::Yes);
            if (a == 'n') platform.questionAnswers.push_back(Answer::No);
            if (a == 'c') platform.questionAnswers.push_back(Answer::Cancel);
        }
        bool ended = false;
        Writes(s, [&] { ended = MayEnd(s); });
        platform.questionAnswers.clear();
        if (ended) return false;
    }
    return true;
}

// The demo project, opened once.
Session& Opened() {
    static ScriptedPlatform& platform = *new ScriptedPlatform;
    static Session& base = []() -> Session& {
        const std::string& dir = DemoCopy();
        Session& s = *new Session(platform);
        platform.fileAnswers = {dir + "demo.zpa", dir + "demo.clf", dir + "demo.dat"};
        OpenProject(s);
        FUZZ_CHECK(s.ProjectOpen());
        // Built once and lent to the runs that install suggestions: it dominated their time.
        s.Suggester = std::make_unique<SuggestionEngine>(s.Clf);
        return s;
    }();
    return base;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    Session& base = Opened();
    RemoveFilesExcept(DemoCopy(), kDemoFiles);

    ScriptedPlatform platform;
    Session s(platform);
    s.ProjectFolder = base.ProjectFolder;
    s.ParamStem = base.ParamStem;
    s.ClassificationPath = base.ClassificationPath;
    s.DataStem = base.DataStem;
    s.DataExt = base.DataExt;
    s.SessionStart = base.SessionStart;
    s.Report = base.Report;
    s.Params = base.Params;
    // The classification and the engine are lent for the run and given back at its end, whatever
    // happens: a search changes only the classification's hit flags, which every search sets
    // afresh, and ranking changes nothing of the engine.
    s.Clf = std::move(base.Clf);
    std::unique_ptr<SuggestionEngine> engine = std::move(base.Suggester);
    struct GiveBack {
        Session& from;
        Session& to;
        std::unique_ptr<SuggestionEngine>& engine;
        ~GiveBack() {
            to.Clf = std::move(from.Clf);
            to.Suggester = engine ? std::move(engine) : std::move(from.Suggester);
        }
    } giveBack{s, base, engine};
    s.Cases = base.Cases;
    for (TOsoba& r : s.Cases.Respondents) {
        for (TZawod& z : r.Occupations) z.CodeName = ExpectedCodeName(s.Clf, z.Code);
    }
    s.ParamsLoaded = s.ClassificationLoaded = s.DataLoaded = true;
    StartCodingSession(s);
    CheckSession(s);

    std::optional<SuggestionSources> preparing;
    size_t pos = 0;
    while (pos < input.size()) {
        size_t end = input.find('\n', pos);
        if (end == std::string_view::npos) end = input.size();
        std::string_view line = input.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const bool goesOn = Command(platform, s, preparing, engine, line);
        CheckSession(s);
        CheckMemory(s);
        if (!goesOn) break;
    }
    return 0;
}
