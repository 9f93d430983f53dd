#include "gui/coding_commands.h"

#include "core/coding/actions.h"
#include "core/coding/category_lists.h"
#include "core/coding/navigation.h"
#include "core/coding/suggestions.h"
#include "core/project/review.h"
#include "core/session/session.h"

namespace tarnwick::gui {

int SelectedLine(const CodingView& v, CategoryTab tab) {
    switch (tab) {
        case CategoryTab::Suggestions:
            return v.SuggestionSelected;
        case CategoryTab::Full:
            return v.FullSelected;
        case CategoryTab::Preselected:
            break;
    }
    return v.PreselectedSelected;
}

void SelectLine(Session& s, CategoryTab tab, int row) {
    switch (tab) {
        case CategoryTab::Suggestions:
            SelectSuggestionLine(s, row);
            return;
        case CategoryTab::Full:
            SelectFullListLine(s, row);
            return;
        case CategoryTab::Preselected:
            SelectPreselectedLine(s, row);
            return;
    }
}

void CodeLineOf(Session& s, CategoryTab tab, int row) {
    // In review the automatic code confirms the case and any other recodes it.
    if (InReview(s)) {
        ReviewCodeLine(s, tab, row);
        return;
    }
    switch (tab) {
        case CategoryTab::Suggestions:
            CodeSuggestionLine(s, row);
            return;
        case CategoryTab::Full:
            CodeFullListLine(s, row);
            return;
        case CategoryTab::Preselected:
            CodePreselectedLine(s, row);
            return;
    }
}

void ApplyMove(Session& s, NavigationBar::Move move) {
    switch (move) {
        case NavigationBar::Move::PreviousRecord:
            PreviousRecord(s);
            return;
        case NavigationBar::Move::NextRecord:
            NextRecord(s);
            return;
        case NavigationBar::Move::PreviousOccupation:
            PreviousOccupation(s);
            return;
        case NavigationBar::Move::NextOccupation:
            NextOccupation(s);
            return;
    }
}

void ApplyAction(Session& s, CodingActionsPane::Action action) {
    switch (action) {
        case CodingActionsPane::Action::Code:
            InReview(s) ? ReviewCodeSelected(s) : CodeSelected(s);
            return;
        case CodingActionsPane::Action::NotApplicable:
            MarkNotApplicable(s);
            return;
        case CodingActionsPane::Action::Missing:
            MarkMissing(s);
            return;
        case CodingActionsPane::Action::Repeat:
            RepeatLastCode(s);
            return;
        case CodingActionsPane::Action::Cancel:
            ClearCode(s);
            return;
    }
}

}  // namespace tarnwick::gui
