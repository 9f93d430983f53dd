// tarnwick-cli session: a console that drives the coding page's operations, one command a line.

#include <signal.h>

#include <charconv>
#include <chrono>
#include <iostream>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/cli_texts.h"
#include "cli/command.h"
#include "cli/commands.h"
#include "cli/console_platform.h"
#include "cli/terminal_progress.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/changes.h"
#include "core/coding/navigation.h"
#include "core/coding/options.h"
#include "core/coding/pages.h"
#include "core/coding/search.h"
#include "core/coding/suggestions.h"
#include "core/io/files.h"
#include "core/project/exit.h"
#include "core/project/opening.h"
#include "core/project/safekeeping.h"
#include "core/project/saving.h"
#include "core/project/suggestions.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick::cli {

namespace {

// The signal (SIGTERM, SIGHUP) that asked the console to end; 0 while none did. Checked between
// commands: the handler itself does nothing else, as a signal handler must.
volatile sig_atomic_t endSignal = 0;

void NoteEndSignal(int signal) { endSignal = signal; }

struct Console {
    Console(std::ostream& out, std::ostream& err, bool progressLine)
        : out(out), err(err), progress(platform, err, progressLine) {
        platform.onMessage = [this](const std::string& text, Severity) {
            progress.Clear();
            this->out << "message: " << text << '\n';
        };
        platform.onQuestion = [this](const std::string& question, Answer answer) {
            progress.Clear();
            const char* word = answer == Answer::Yes ? "y" : (answer == Answer::No ? "n" : "c");
            this->out << "question: " << question << " -> " << word << '\n';
        };
    }
    std::ostream& out;
    std::ostream& err;
    ConsolePlatform platform;
    Session session{platform};
    TerminalProgress progress;
    bool failed = false;
    bool ended = false;  // the exit sequence let the program end
    size_t errorLinesShown = 0;

    void Error(std::string_view text) {
        out << "error: " << text << '\n';
        failed = true;
    }
};

// Splits off the first blank-separated word; `rest` keeps everything after that one blank.
std::string_view NextWord(std::string_view& rest) {
    const size_t blank = rest.find(' ');
    std::string_view word = rest.substr(0, blank);
    rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
    return word;
}

// Runs an opening as the window does: a file that cannot be read is shown as a message, and the
// error page of a failed step is printed as far as it has not been yet.
template <class Opening>
void RunOpening(Console& c, Opening opening) {
    try {
        opening();
    } catch (const IoError& e) {
        c.out << "message: " << e.what() << '\n';
    }
    const Session& s = c.session;
    for (; c.errorLinesShown < s.ErrorLines.size(); ++c.errorLinesShown) {
        c.err << s.ErrorLines[c.errorLinesShown] << '\n';
    }
}

// Queues the answers y, n or c (blanks between them count for nothing) to the questions that a
// command asks; false, with nothing queued, on another letter.
bool Answers(Console& c, std::string_view args) {
    c.platform.questionAnswers.clear();
    for (char a : args) {
        if (a == ' ') continue;
        if (a == 'y') {
            c.platform.questionAnswers.push_back(Answer::Yes);
        } else if (a == 'n') {
            c.platform.questionAnswers.push_back(Answer::No);
        } else if (a == 'c') {
            c.platform.questionAnswers.push_back(Answer::Cancel);
        } else {
            c.platform.questionAnswers.clear();
            return false;
        }
    }
    return true;
}

std::optional<int> Number(std::string_view text) {
    int value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

void Open(Console& c, std::string_view args) {
    Session& s = c.session;
    if (s.SessionStarted) {
        c.Error("a project is already open");
        return;
    }
    std::string_view answers[3];
    for (auto& a : answers) a = NextWord(args);
    // The answers to the questions of the opening (a lock held by another program), as quit's.
    if (answers[2].empty() || !Answers(c, args)) {
        c.Error("usage: open PARAMS CLF DATA [y|n|c...] (- cancels that dialog)");
        return;
    }
    // Each answer goes to its own step's dialog; steps already loaded ask nothing.
    const bool loaded[3] = {s.ParamsLoaded, s.ClassificationLoaded, s.DataLoaded};
    c.platform.fileAnswers.clear();
    for (int i = 0; i < 3; ++i) {
        if (loaded[i]) continue;
        if (answers[i] == "-") {
            c.platform.fileAnswers.push_back(std::nullopt);
        } else {
            c.platform.fileAnswers.emplace_back(std::string(answers[i]));
        }
    }
    RunOpening(c, [&s] { OpenProject(s); });
    c.platform.fileAnswers.clear();
    c.platform.questionAnswers.clear();
}

void Show(Console& c, std::string_view) {
    const Session& s = c.session;
    const CodingView& v = s.View;
    std::ostream& out = c.out;
    out << "case: " << s.CurrentRecord << ' ' << s.CurrentField << '\n';
    const auto& rs = s.Cases.Respondents;
    if (s.CurrentRecord >= 0 && s.CurrentRecord < static_cast<int>(rs.size())) {
        out << "respondent: " << rs[static_cast<size_t>(s.CurrentRecord)].RespondentId << '\n';
    }
    out << "caption: " << v.OccupationCaption << '\n';
    out << "code: " << v.CodeText << '\n';
    out << "label: " << v.LabelText << '\n';
    for (size_t n = 1; n < v.Info.size(); ++n) {
        if (v.Info[n].Visible) out << "info " << n << ": " << v.Info[n].Text << '\n';
    }
    out << "selected: " << s.SelectedCategory << '\n';
    if (!v.ListNote.empty()) out << "note: " << v.ListNote << '\n';
    for (const std::string& line : v.PreselectedLines) out << "pre: " << line << '\n';
    out << "progress: " << s.ProgressText << '\n';
}

// The suggestions are prepared when first asked for: a console that only codes, saves or
// exports opens as fast as the data allow.
void EnsureSuggestions(Console& c) {
    if (!c.session.Suggester) PrepareSuggestions(c.session);
}

void Suggestions(Console& c, std::string_view) {
    EnsureSuggestions(c);
    int n = 0;
    for (const std::string& line : c.session.View.SuggestionLines) {
        c.out << "suggestion " << ++n << ": " << line << '\n';
    }
}

void TakeSuggestion(Console& c, std::string_view args) {
    EnsureSuggestions(c);
    const auto n = Number(args);
    if (!n || *n < 1 || *n > static_cast<int>(c.session.Suggestions.size())) {
        c.Error("take N: N is the number of a suggestion that the list shows");
        return;
    }
    CodeSuggestionLine(c.session, *n - 1);
}

// The confirmation's answer follows the command: identical y, or identical n.
void Identical(Console& c, std::string_view args) {
    if (args != "y" && args != "n") {
        c.Error("identical y|n");
        return;
    }
    c.platform.questionAnswers.assign(1, args == "y" ? Answer::Yes : Answer::No);
    c.platform.onQuestion = [&c](const std::string& question, Answer answer) {
        c.out << "question: " << question << " -> " << (answer == Answer::Yes ? 'y' : 'n') << '\n';
    };
    const int coded = CodeAllIdentical(c.session);
    c.platform.onQuestion = nullptr;
    c.platform.questionAnswers.clear();
    if (coded > 0) c.out << "coded: " << coded << '\n';
}

void Pick(Console& c, std::string_view args) { PickRespondent(c.session, args); }

void ClickLine(Console& c, std::string_view args, bool full) {
    const auto line = Number(args);
    if (!line) {
        c.Error("a line number is expected");
        return;
    }
    const bool selected =
        full ? SelectFullListLine(c.session, *line) : SelectPreselectedLine(c.session, *line);
    if (!selected) c.Error("no line " + std::string(args) + " in the list");
}

void Tab(Console& c, std::string_view args) {
    if (args == "full") {
        ShowCategoryTab(c.session, CategoryTab::Full, kFullListVisibleLines);
    } else if (args == "pre") {
        ShowCategoryTab(c.session, CategoryTab::Preselected, kFullListVisibleLines);
    } else if (args == "suggestions") {
        EnsureSuggestions(c);
        ShowCategoryTab(c.session, CategoryTab::Suggestions, kFullListVisibleLines);
    } else {
        c.Error("tab full|pre|suggestions");
    }
}

void Second(Console& c, std::string_view args) {
    if (args == "on" || args == "off") {
        UseSecondKeyWord(c.session, args == "on");
    } else {
        c.Error("second on|off");
    }
}

void Option(Console& c, std::string_view args) {
    const std::string_view name = NextWord(args);
    const auto value = Number(args);
    const std::optional<AfterCodingMode> mode = value ? AfterCodingModeOf(*value) : std::nullopt;
    if (name == "show-na" && value && (*value == 0 || *value == 1)) {
        SetShowNotApplicable(c.session, *value == 1);
    } else if (name == "after" && mode) {
        SetAfterCodingMode(c.session, *mode);
    } else if (name == "identical" && (args == "text" || args == "all")) {
        SetIdenticalTextFieldsOnly(c.session, args == "text");
    } else {
        c.Error("option show-na 0|1, option after 0|1|2 or option identical text|all");
    }
}

// The answer to a question about a changed data file, as quit's: "save y".
void Save(Console& c, std::string_view args) {
    if (!Answers(c, args)) {
        c.Error("usage: save [y|n]");
        return;
    }
    try {
        SaveWorkingFile(c.session);
    } catch (const IoError& e) {
        c.out << "message: " << e.what() << '\n';
        c.failed = true;  // the exit status says that codes were not saved
    }
    c.platform.questionAnswers.clear();
}

// The answers to the exit questions, in the order asked: y, n or c, with or without blanks.
// The console ends when the program may end.
void Quit(Console& c, std::string_view args) {
    if (!Answers(c, args)) {
        c.Error("quit answers are y, n or c");
        return;
    }
    try {
        c.ended = MayEnd(c.session);
    } catch (const IoError& e) {
        c.out << "message: " << e.what() << '\n';
        c.failed = true;
    }
    c.platform.questionAnswers.clear();
}

void Notepad(Console& c, std::string_view text) { AddNotepadLine(c.session, text); }

using Handler = void (*)(Console&, std::string_view args);

struct ConsoleCommand {
    std::string_view name;
    bool needsProject;
    Handler run;
};

// clang-format off
constexpr ConsoleCommand kCommands[] = {
    {"open", false, Open},
    {"show", true, Show},
    {"next-occupation", true, [](Console& c, std::string_view) { NextOccupation(c.session); }},
    {"previous-occupation", true, [](Console& c, std::string_view) { PreviousOccupation(c.session); }},
    {"next-record", true, [](Console& c, std::string_view) { NextRecord(c.session); }},
    {"previous-record", true, [](Console& c, std::string_view) { PreviousRecord(c.session); }},
    {"pick", true, Pick},
    {"find", true, [](Console& c, std::string_view) { FindNotCoded(c.session); }},
    {"key1", true, [](Console& c, std::string_view a) { SetFirstKeyWord(c.session, a); }},
    {"key2", true, [](Console& c, std::string_view a) { SetSecondKeyWord(c.session, a); }},
    {"second", true, Second},
    {"select", true, [](Console& c, std::string_view a) { SearchSelectedText(c.session, a); }},
    {"full", true, [](Console& c, std::string_view a) { ClickLine(c, a, true); }},
    {"pre", true, [](Console& c, std::string_view a) { ClickLine(c, a, false); }},
    {"tab", true, Tab},
    {"suggestions", true, Suggestions},
    {"take", true, TakeSuggestion},
    {"identical", true, Identical},
    {"code", true, [](Console& c, std::string_view) { CodeSelected(c.session); }},
    {"missing", true, [](Console& c, std::string_view) { MarkMissing(c.session); }},
    {"na", true, [](Console& c, std::string_view) { MarkNotApplicable(c.session); }},
    {"repeat", true, [](Console& c, std::string_view) { RepeatLastCode(c.session); }},
    {"cancel", true, [](Console& c, std::string_view) { ClearCode(c.session); }},
    {"undo", true, [](Console& c, std::string_view) { Undo(c.session); }},
    {"redo", true, [](Console& c, std::string_view) { Redo(c.session); }},
    {"option", true, Option},
    {"save", true, Save},
    {"notepad", true, Notepad},
    {"quit", false, Quit},
};
// clang-format on

}  // namespace

void EndOnSignals() {
    struct sigaction action {};
    action.sa_handler = NoteEndSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a read of the input waiting for a line ends at once
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}

int SessionConsole(std::istream& in, std::ostream& out, std::ostream& err, bool progressLine,
                   const ConsoleHooks* hooks) {
    endSignal = 0;
    Console console(out, err, progressLine);
    if (hooks && hooks->clock) console.platform.clock = hooks->clock;
    if (hooks) console.session.CoderName = hooks->coder;
    if (hooks && hooks->open) {
        RunOpening(console, [&] { hooks->open(console.session, out); });
        if (!console.session.SessionStarted) return kFaults;
        Show(console, {});
        out.flush();
    }
    std::string line;
    auto lastBeat = std::chrono::steady_clock::now();
    while (!console.ended && endSignal == 0 && std::getline(in, line)) {
        if (endSignal != 0) break;
        // The lock stays young for other machines while the console is used.
        if (const auto now = std::chrono::steady_clock::now();
            console.session.Lock && now - lastBeat > std::chrono::seconds(60)) {
            console.session.Lock->Heartbeat();
            lastBeat = now;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::string_view rest = line;
        const std::string_view name = NextWord(rest);
        if (name.empty() || name.front() == '#') continue;
        const ConsoleCommand* command = nullptr;
        for (const ConsoleCommand& c : kCommands) {
            if (c.name == name) command = &c;
        }
        if (!command) {
            console.Error("unknown command '" + std::string(name) + "'");
            continue;
        }
        if (command->needsProject && !console.session.SessionStarted) {
            console.Error("no project is open");
            continue;
        }
        if (hooks && hooks->between) hooks->between(console.session, out);
        // A file that cannot be written (the journal on a full disk, a folder gone) refuses the
        // command, as the window's message box does; the session and its codes stay.
        try {
            command->run(console, rest);
        } catch (const IoError& e) {
            console.out << "message: " << e.what() << '\n';
            console.failed = true;
        }
        console.progress.Clear();
        // A program driving the console through a pipe reads each answer before it writes on.
        out.flush();
    }
    Session& s = console.session;
    if (hooks && hooks->end) hooks->end(s);
    // Where the codes not saved are: in the journal, unless it went with its folder.
    const auto unsaved = [&s] {
        return s.Journal && s.Journal->Removed() ? msg::kInputEndedJournalGone
                                                 : msg::kInputEndedUnsaved;
    };
    if (endSignal != 0) {
        // Saved when that can be done without a question; the journal holds them otherwise.
        const bool saved = SaveOnSignal(s);
        err << "message: " << msg::kEndedBySignal << (saved ? "" : "; ") << (saved ? "" : unsaved())
            << '\n';
        return 128 + endSignal;
    }
    if (!console.ended && s.SessionStarted && s.ResultsModified) {
        console.Error(unsaved());
    }
    return console.failed ? kFaults : kOk;
}

void AddSessionCommand(CLI::App& app, CommandRun& run) {
    auto* cmd = app.add_subcommand("session", "Run a coding session from commands on stdin");
    cmd->callback([&run] {
        EndOnSignals();
        run.code = SessionConsole(std::cin, std::cout, std::cerr, run.progressLine);
    });
}

}  // namespace tarnwick::cli
