// The catalog window's commands that work on the view and its items without a dialog of their
// own: Delete and Move to Recycle Bin, Revert, Show Last Import, showing and assigning labels,
// Actual Size, the moves and Move Again, Rebuild Item, playback and the slide-show timing bytes,
// the side panel, Find Missing Items, and the ids that only need their enabling.
#pragma once

#include "app/ui/commands/CommandTable.h"

void AddItemCommands(CommandRowAdder& add);
