// The side panel's commands of the catalog window: Info Panel (202) and Organize Panel (203)
// show that pane, or hide the panel when it is the pane shown; each is checked while its pane
// is shown.
#pragma once

#include "app/ui/commands/CommandTable.h"

void AddSidePanelCommands(CommandRowAdder& add);
