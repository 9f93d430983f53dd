#include "core/project/notepad.h"

#include "core/io/atomic_file.h"
#include "core/io/files.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/interface_texts.h"
#include "core/text/lines.h"

namespace tarnwick {

void LoadNotepad(Session& s) {
    const std::string path = s.DataFilePath(kExtNotepad);
    // A folder or a pipe of that name is no notepad; a link or another user's file is refused.
    if (!FileExists(path)) return;
    const std::string text = ReadOwnFile(path);
    s.Notepad.clear();
    for (std::string_view line : SplitLines(text)) s.Notepad.emplace_back(line);
    s.AppendReportLine(std::string(UiText(Ui::NotepadReadFrom)) + " " + path);
    s.NotepadModified = false;
}

void SaveNotepad(Session& s) {
    WriteLinesAtomic(s.DataFilePath(kExtNotepad), s.Notepad);
    // Saved: a later end of the session need not ask again unless the notepad changes.
    s.NotepadModified = false;
}

}  // namespace tarnwick
