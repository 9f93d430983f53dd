#include "core/project/coding_session.h"

#include <exception>
#include <memory>

#include "core/coding/navigation.h"
#include "core/coding/progress.h"
#include "core/coding/suggestions.h"
#include "core/project/notepad.h"
#include "core/project/paths.h"
#include "core/session/session.h"
#include "core/text/files.h"
#include "core/text/interface_texts.h"
#include "core/text/progress.h"

namespace tarnwick {

namespace {

// The memory beside the classification, when there is one; a damaged one is reported and left
// as it is, and the session goes on without it.
void ReadMemoryFile(Session& s) {
    const std::string path = MemoryFileOf(s.ClassificationPath);
    if (!FileExists(path)) return;
    std::string why;
    try {
        std::optional<CodingMemory> memory = CodingMemory::Parse(ReadWholeFile(path), &why);
        if (memory) {
            s.Memory = std::move(*memory);
            s.MemoryPath = path;
            s.AppendReportLine(msg::MemoryReportLine(path, s.Memory.AnswerCount()));
            return;
        }
    } catch (const IoError& e) {
        why = e.what();
    }
    s.AppendReportLine(msg::MemoryUnreadable(path, why));
    s.platform.ShowMessage(msg::MemoryUnreadable(path, why));
}

// Builds the engine and teaches the memory the codes read from the working file. Cancelling
// only leaves the session without suggestions.
void PrepareSuggestions(Session& s) {
    ReadMemoryFile(s);
    const WorkProgress progress{
        [&s](int percent) { return s.platform.Progress(msg::kProgressSuggestions, percent); }};
    try {
        auto engine = std::make_unique<SuggestionEngine>(s.Clf, progress.Part(0, 50));
        const auto& rs = s.Cases.Respondents;
        ProgressMeter meter(progress.Part(50, 100), rs.size());
        for (size_t r = 0; r < rs.size(); ++r) {
            for (size_t f = 0; f < rs[r].Occupations.size(); ++f) {
                const std::string& code = rs[r].Occupations[f].Code;
                if (!IsLearntCode(s, code)) continue;
                s.Memory.Learn(CaseTexts(s, static_cast<int>(r), static_cast<int>(f)), code);
            }
            meter.Advance(r + 1);
        }
        meter.Finish();
        s.Suggester = std::move(engine);
    } catch (const WorkCancelled&) {
        s.Suggester.reset();
    }
}

}  // namespace

void StartCodingSession(Session& s) {
    LoadNotepad(s);
    PrepareSuggestions(s);
    s.ShowPage(Page::Coding);
    ShowCodingProgress(s);
    s.SessionStarted = true;
    s.ReturnToCodingVisible = false;
    GoToFirstNotCoded(s);
}

}  // namespace tarnwick
