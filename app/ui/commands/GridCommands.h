// The catalog window's commands that the grid view serves itself: Undo in an edit field, Cut,
// Copy and Paste of items (with the text or picture of the view mode), Show Media File and
// Move to Location.
#pragma once

#include "app/ui/commands/CommandTable.h"

void AddGridCommands(CommandRowAdder& add);
