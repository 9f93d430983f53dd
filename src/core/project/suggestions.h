#pragma once
// Preparing the suggestions of a coding session: the engine over the classification and the
// coding memory, taught the memory file beside the classification and every code read from the
// working file. On a million records this takes a moment, so the window prepares them on a
// worker thread while the coder already works: the preparation reads only what never changes
// during a session, and the memory's changes made meanwhile wait in the session until the
// prepared memory takes them over.

#include <memory>
#include <string>
#include <vector>

#include "core/suggest/suggest.h"
#include "core/text/progress.h"

namespace tarnwick {

class Session;

struct SuggestionSources {
    const Session* session = nullptr;  // read for its classification, parameters and records
    CodingMemory memory;               // the memory file's, when there is one
    struct CodedCase {
        int record = 0;
        int field = 0;
        std::string code;
    };
    std::vector<CodedCase> coded;  // the codes of the cases when the preparation began
};

struct PreparedSuggestions {
    std::unique_ptr<SuggestionEngine> engine;
    CodingMemory memory;
};

// On the session's thread: reads the memory file (reporting it), notes the codes given so far,
// and from now on keeps the memory's changes aside until InstallSuggestions or
// AbandonSuggestions.
SuggestionSources BeginSuggestions(Session& session);
// On any thread: builds the engine and teaches the memory. Throws WorkCancelled.
PreparedSuggestions BuildSuggestions(const SuggestionSources& sources,
                                     const WorkProgress& progress);
// On the session's thread: puts them in place together with the changes made meanwhile, and
// ranks the case shown.
void InstallSuggestions(Session& session, PreparedSuggestions prepared);
// The preparation was stopped: the session goes on without suggestions.
void AbandonSuggestions(Session& session);

// All of it at once, with the progress shown by the platform: for the console.
void PrepareSuggestions(Session& session);

}  // namespace tarnwick
