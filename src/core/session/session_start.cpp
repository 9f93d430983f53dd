#include "core/session/session_start.h"

#include "core/coding/navigation.h"
#include "core/session/session.h"
#include "core/text/files.h"

namespace tarnwick {

void LoadNotepad(Session& s) {
    const std::string path = s.DataFilePath(kExtNotepad);
    if (!FileExists(path)) return;
    std::vector<std::string> lines = ReadLines(path);
    s.Notepad = std::move(lines);
    s.AppendReportLine("Notepad content read-in from file: " + path);
    s.NotepadModified = false;
}

void SaveNotepad(Session& s) { WriteLinesAtomic(s.DataFilePath(kExtNotepad), s.Notepad); }

std::string CodingProgressText(int coded, int toCode) {
    if (coded == toCode) return "All occupations have been coded (" + std::to_string(coded) + ")";
    return std::to_string(coded) + " " + (coded == 1 ? "occupation has" : "occupations have") +
           " been coded. " + std::to_string(toCode - coded) + " are yet to be coded.";
}

void ShowCodingProgress(Session& s, int coded, int toCode) {
    s.ShowProgressText(CodingProgressText(coded, toCode));
}

void StartCodingSession(Session& s) {
    LoadNotepad(s);
    s.ShowPage(Page::Coding);
    ShowCodingProgress(s, s.Cases.CodedCount, s.Cases.ToCodeCount);
    s.SessionStarted = true;
    s.ReturnToCodingVisible = false;
    GoToFirstNotCoded(s);
}

}  // namespace tarnwick
