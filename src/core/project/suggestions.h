#pragma once
// Preparing the suggestions of a coding session: the engine over the classification and the
// coding memory, taught the memory file beside the classification and every code read from the
// working file. On a million records, or with a large memory file, this takes a moment, so the
// window prepares them on a worker thread while the coder already works: the preparation reads
// only what never changes during a session, and the memory's changes made meanwhile wait in the
// session until the prepared memory takes them over.

#include <memory>
#include <string>
#include <vector>

#include "core/io/progress.h"
#include "core/suggest/suggest.h"

namespace tarnwick {

class Session;

struct SuggestionSources {
    const Session* session = nullptr;  // read for its classification, parameters and records
    std::string memoryPath;            // the memory file beside the classification, if any
    // Millions of them in a large project: the code is a number into `codes`.
    struct CodedCase {
        int record = 0;
        uint32_t field = 0;
        uint32_t code = 0;
    };
    std::vector<CodedCase> coded;  // the codes of the cases when the preparation began
    std::vector<std::string> codes;
    size_t uncoded = 0;  // the cases still to code then, which the memory will learn next
};

struct PreparedSuggestions {
    std::unique_ptr<SuggestionEngine> engine;
    CodingMemory memory;
    std::string memoryRead;    // the memory file read, when it was
    size_t memoryAnswers = 0;  // the answers it held
    std::string memoryFault;   // why the memory file could not be used, when it could not
};

// On the session's thread: looks for the memory file, notes the codes given so far, and from
// now on keeps the memory's changes aside until InstallSuggestions or AbandonSuggestions.
SuggestionSources BeginSuggestions(Session& session);
// On any thread: builds the engine (or takes `engine`, one built before for the session's
// classification), reads the memory file and teaches the memory. Throws WorkCancelled.
PreparedSuggestions BuildSuggestions(const SuggestionSources& sources, const WorkProgress& progress,
                                     std::unique_ptr<SuggestionEngine> engine = nullptr);
// On the session's thread: reports the memory file (a damaged one with a message too), puts
// them in place together with the changes made meanwhile, and ranks the case shown.
void InstallSuggestions(Session& session, PreparedSuggestions prepared);
// The preparation was stopped: the session goes on without suggestions.
void AbandonSuggestions(Session& session);

// All of it at once, with the progress shown by the platform: for the console.
void PrepareSuggestions(Session& session);

}  // namespace tarnwick
