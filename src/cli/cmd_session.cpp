// tarnwick-cli session: a console that drives the coding page's operations, one command a line.

#include <charconv>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/commands.h"
#include "cli/terminal_progress.h"
#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/history.h"
#include "core/coding/navigation.h"
#include "core/coding/options.h"
#include "core/coding/search.h"
#include "core/coding/suggestions.h"
#include "core/project/exit.h"
#include "core/project/opening.h"
#include "core/project/saving.h"
#include "core/project/scripted_platform.h"
#include "core/project/suggestions.h"
#include "core/session/session.h"
#include "core/text/files.h"

namespace tarnwick::cli {

namespace {

struct Console {
    Console(std::ostream& out, std::ostream& err, bool progressLine)
        : out(out), err(err), progress(platform, err, progressLine) {
        platform.onMessage = [this](const std::string& text) {
            progress.Clear();
            this->out << "message: " << text << '\n';
        };
    }
    std::ostream& out;
    std::ostream& err;
    ScriptedPlatform platform;
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
    if (answers[2].empty() || !args.empty()) {
        c.Error("usage: open PARAMS CLF DATA (- cancels that dialog)");
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
    try {
        OpenProject(s);
        if (s.SessionStarted) PrepareSuggestions(s);
    } catch (const IoError& e) {
        c.out << "message: " << e.what() << '\n';
    }
    c.platform.fileAnswers.clear();
    // The error page of a failed step, as far as it has not been printed yet.
    for (; c.errorLinesShown < s.ErrorLines.size(); ++c.errorLinesShown) {
        c.err << s.ErrorLines[c.errorLinesShown] << '\n';
    }
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

void Suggestions(Console& c, std::string_view) {
    int n = 0;
    for (const std::string& line : c.session.View.SuggestionLines) {
        c.out << "suggestion " << ++n << ": " << line << '\n';
    }
}

void TakeSuggestion(Console& c, std::string_view args) {
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
    } else {
        c.Error("option show-na 0|1 or option after 0|1|2");
    }
}

void Save(Console& c, std::string_view) {
    try {
        SaveWorkingFile(c.session);
    } catch (const IoError& e) {
        c.out << "message: " << e.what() << '\n';
    }
}

// The answers to the exit questions, in the order asked: y, n or c, with or without blanks.
// The console ends when the program may end.
void Quit(Console& c, std::string_view args) {
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
            c.Error("quit answers are y, n or c");
            return;
        }
    }
    c.platform.onQuestion = [&c](const std::string& question, Answer answer) {
        c.progress.Clear();
        const char* word = answer == Answer::Yes ? "y" : (answer == Answer::No ? "n" : "c");
        c.out << "question: " << question << " -> " << word << '\n';
    };
    try {
        c.ended = MayEnd(c.session);
    } catch (const IoError& e) {
        c.out << "message: " << e.what() << '\n';
    }
    c.platform.onQuestion = nullptr;
}

void Notepad(Console& c, std::string_view text) {
    c.session.Notepad.emplace_back(text);
    c.session.NotepadModified = true;
}

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
    {"find", true, [](Console& c, std::string_view) { FindNonCoded(c.session); }},
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

int SessionConsole(std::istream& in, std::ostream& out, std::ostream& err, bool progressLine) {
    Console console(out, err, progressLine);
    std::string line;
    while (!console.ended && std::getline(in, line)) {
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
        command->run(console, rest);
        console.progress.Clear();
    }
    return console.failed ? kFaults : kOk;
}

}  // namespace tarnwick::cli
