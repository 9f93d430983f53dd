#pragma once
// The core operations behind the coding page's requests, one switch each: which list's line, which
// move, which action. In review a coded line confirms or recodes the case under review.

#include "core/session/coding_view.h"
#include "gui/coding_actions_pane.h"
#include "gui/navigation_bar.h"

namespace tarnwick {
class Session;
}

namespace tarnwick::gui {

int SelectedLine(const CodingView& view, CategoryTab tab);  // -1: none
void SelectLine(Session& session, CategoryTab tab, int row);
void CodeLineOf(Session& session, CategoryTab tab, int row);
void ApplyMove(Session& session, NavigationBar::Move move);
void ApplyAction(Session& session, CodingActionsPane::Action action);

}  // namespace tarnwick::gui
