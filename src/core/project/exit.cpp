#include "core/project/exit.h"

#include "core/io/atomic_file.h"
#include "core/project/notepad.h"
#include "core/project/paths.h"
#include "core/project/safekeeping.h"
#include "core/project/saving.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

namespace {

// '0' and ' ' as chars: GCC 12 at -O3 warns falsely (-Wrestrict) on "0" + std::string.
std::string TwoDigits(int n) { return n < 10 ? '0' + std::to_string(n) : std::to_string(n); }

}  // namespace

std::string DurationText(long long seconds) {
    if (seconds < 0) seconds = 0;  // a clock set back during the session
    const long long hours = seconds / 3600;
    const long long minutes = (seconds % 3600) / 60;
    std::string text;
    if (hours > 0) text = ' ' + std::to_string(hours) + " hrs";
    return text + " " + std::to_string(minutes) + " minutes";
}

std::string ReportFileStamp(const DateTime& m) {
    return std::to_string(m.year) + TwoDigits(m.month) + TwoDigits(m.day) + TwoDigits(m.hour) +
           TwoDigits(m.minute);
}

std::vector<std::string> ReportClosingLines(const DateTime& start, const DateTime& end,
                                            int codedDuring) {
    return {" ", "*** " + DateTimeText(kEnglish, end), UiText(Ui::SessionTerminated),
            std::string(UiText(Ui::SessionLasted)) +
                DurationText(SecondsSinceEpoch(end) - SecondsSinceEpoch(start)),
            std::to_string(codedDuring) + " " +
                (codedDuring == 1 ? "occupation was" : "occupations were") +
                " coded during the session."};
}

void WriteSessionReport(Session& s) {
    const OccupationCounts counts = CountOccupations(s.Cases);
    const int codedDuring = (counts.toCode - counts.notCoded) - s.Cases.CodedAtStart;
    const DateTime end = s.platform.Now();
    std::vector<std::string> report = s.Report;
    for (std::string& line : ReportClosingLines(s.SessionStart.value_or(end), end, codedDuring)) {
        report.push_back(std::move(line));
    }
    const auto given = [&s](CodeSource source) {
        return s.CodesGiven[static_cast<size_t>(source)];
    };
    report.push_back(msg::CodesGivenReportLine(
        given(CodeSource::Coder), given(CodeSource::Automatic), given(CodeSource::Identical),
        given(CodeSource::Recovered), given(CodeSource::Supervisor)));
    // Written before the lines join the session's report: when the file cannot be written the
    // session goes on, and its closing lines come again, with their time, at a later end.
    WriteLinesAtomic(s.ProjectFolder + ReportFileStamp(end) + kExtReport, report);
    s.Report = std::move(report);
}

bool RunExitSequence(Session& s) {
    Platform& p = s.platform;
    // Cancel, or closing the box, on any question stops quitting: the coder goes back to the
    // session with whatever this sequence already wrote.
    const auto ask = [&p](const char* question) { return p.Ask(question, true); };
    if (ask(msg::kAskExit) != Answer::Yes) return false;
    bool workingDeclined = false;
    if (s.ResultsModified) {
        const Answer a = ask(msg::kAskSaveWorking);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes) {
            if (!SaveWorkingFile(s)) return false;
        } else {
            workingDeclined = true;
        }
    }
    if (!workingDeclined && (s.ResultsModified || s.WorkingFileSaved)) {
        const Answer a = ask(msg::kAskSaveOutput);
        if (a == Answer::Cancel) return false;
        // Cancelling the output's progress stops the sequence, as a failed write does.
        if (a == Answer::Yes && !WriteFinalOutput(s)) return false;
    }
    // A read-only opener's notepad would replace the one of the coder who holds the project.
    if (s.NotepadModified && !s.ReadOnly) {
        const Answer a = ask(msg::kAskSaveNotepad);
        if (a == Answer::Cancel) return false;
        if (a == Answer::Yes) SaveNotepad(s);
    }
    const Answer a = ask(msg::kAskSaveReport);
    if (a == Answer::Cancel) return false;
    if (a == Answer::Yes) WriteSessionReport(s);
    return true;
}

bool MayEnd(Session& s) {
    if (!s.ProjectOpen()) return true;
    if (!RunExitSequence(s)) return false;
    // The session ended as the coder chose: codes declined at the save are not to come back as
    // recovered at the next opening.
    if (s.Journal) s.Journal->Clear();
    ReleaseProject(s);
    return true;
}

}  // namespace tarnwick
