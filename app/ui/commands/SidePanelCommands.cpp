#include "app/ui/commands/SidePanelCommands.h"

#include "app/ui/CMainFrame.h"
#include "app/ui/commands/CommandRules.h"
#include "window/ui/CGridContainer.h"
#include "window/ui/CSidePanel.h"

namespace {

CSidePanel* Panel(const CommandContext& c) {
    return c.frame && c.frame->GetGridContainer() ? c.frame->GetGridContainer()->GetSidePanel() : nullptr;
}

// Pane p = id - 201 (0: no panel): the pane shown already hides the panel (focus back to the
// grid); another is shown and focused. Leaving the Info pane stores its edits first.
void ShowPane(const CommandContext& c) {
    CSidePanel* panel = Panel(c);
    if (!panel) return;
    const int pane = c.id - 201;
    if (panel->GetShownPane() == 1) panel->SaveInfoChanges();
    if (panel->GetShownPane() == pane || pane == 0) {
        panel->ShowPane(0);
        c.frame->FocusGridView();
    } else {
        panel->ShowPane(pane);
        panel->FocusPane(true);
    }
    c.frame->GetGridContainer()->UpdateSidePanel();
}

const Rule kPaneShown([](const CommandContext& c) {
    CSidePanel* panel = Panel(c);
    return panel && panel->GetShownPane() == c.id - 201;
});

}  // namespace

void AddSidePanelCommands(CommandRowAdder& add) {
    add(201, 203, kHasView, kPaneShown, ShowPane);
}
