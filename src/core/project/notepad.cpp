#include "core/project/notepad.h"

#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/files.h"
#include "core/text/interface_texts.h"

namespace tarnwick {

void LoadNotepad(Session& s) {
    const std::string path = s.DataFilePath(kExtNotepad);
    if (!FileExists(path)) return;
    s.Notepad = ReadLines(path);
    s.AppendReportLine(Str(Ui::NotepadReadFrom) + " " + path);
    s.NotepadModified = false;
}

void SaveNotepad(Session& s) {
    WriteLinesAtomic(s.DataFilePath(kExtNotepad), s.Notepad);
    // Saved: a later end of the session need not ask again unless the notepad changes.
    s.NotepadModified = false;
}

}  // namespace tarnwick
