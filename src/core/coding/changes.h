#pragma once
// Undo and redo of the coding actions, as deep as the whole run. Every change a coding action
// makes to a case goes through ChangeCase, which keeps it (Session::UndoList); a new change
// empties the redo list.

#include <string>
#include <string_view>
#include <vector>

#include "core/data/provenance.h"

namespace tarnwick {

class Session;

// A project opened read-only takes no coding action: true, after saying so, when it is one.
bool RefusedReadOnly(Session& session);

// Gives case (record, field) this code, name and ToCode as a coding action does: the counters,
// the record's HasToCode, ResultsModified and the progress text follow, and the change can be
// undone. False, and nothing kept, when the case held exactly that already (without provenance,
// or from a source of the same kind: a coder's CODE over an automatic code of the same category
// makes it the coder's) or does not exist, or the project is open read-only. The change reaches the
// coding journal first; a journal that cannot be written throws IoError and the case stays as it
// was. Changes of one action share a non-zero `group` and are undone together. The coding memory
// forgets the case's old code and learns its new one. `origin` says where the code came from: the
// case's provenance adds the coder's name (Session::CoderName), the time and, for the case on
// screen, how long it was shown; a case left without code has none. Undo and redo give back either
// side's provenance exactly.
bool ChangeCase(Session& session, int record, int field, std::string_view code,
                std::string_view name, bool toCode, int group = 0, const CodeOrigin& origin = {});

// One case's new state among the many that one action gives.
struct CaseEdit {
    int record = 0;
    int field = 0;
    std::string code;
    std::string_view name;  // classification-owned
    bool toCode = true;
    CodeOrigin origin;
};

// The changes of one action over many cases (Code all identical, automatic coding): as
// ChangeCase each, but journaled together with one flush to disk before any case shows them, and
// undone together. Edits that change nothing are left out. Returns the number of cases changed;
// throws IoError (nothing changed) when the journal cannot be written.
// `homeRecord` and `homeField` name the case the coder was on, where its undo returns (-1: the
// first changed case).
int ChangeCases(Session& session, const std::vector<CaseEdit>& edits, int homeRecord = -1,
                int homeField = -1);

// A change that another coder of a shared project made: the case takes it as a coding action's
// change would (counters, memory), but it is neither journaled, sent nor undoable. Its
// provenance is `origin` given by `coder`, dated when it arrived. False when the case held that
// already, does not exist, or the code is not in the classification.
bool TakeChangeFromElsewhere(Session& session, int record, int field, std::string_view code,
                             bool toCode, const CodeOrigin& origin = {},
                             std::string_view coder = {});

// Puts the last change (or group of changes) back (Undo) or makes the last undone one again
// (Redo), then makes that case current and shows it. False, after the "Nothing to ..." message,
// when there is nothing to do.
bool Undo(Session& session);
bool Redo(Session& session);
bool CanUndo(const Session& session);
bool CanRedo(const Session& session);

}  // namespace tarnwick
