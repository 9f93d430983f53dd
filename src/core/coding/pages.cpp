#include "core/coding/pages.h"

#include <utility>

namespace tarnwick {

void ShowSidePage(Session& s, Page page) {
    s.ShowPage(page);
    s.ReturnToCodingVisible = true;
}

void ReturnToCoding(Session& s) {
    s.ShowPage(Page::Coding);
    s.ReturnToCodingVisible = false;
}

void SetNotepad(Session& s, std::vector<std::string> lines) {
    s.Notepad = std::move(lines);
    s.NotepadModified = true;
}

void AddNotepadLine(Session& s, std::string_view line) {
    s.Notepad.emplace_back(line);
    s.NotepadModified = true;
}

void SetReport(Session& s, std::vector<std::string> lines) { s.Report = std::move(lines); }

}  // namespace tarnwick
