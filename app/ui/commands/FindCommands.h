// The catalog window's commands of finding and going to items and of the general dialogs
// around them: Find, Find Again, Go To, Go Again, Show Duplicates, Catalog Finder,
// Preferences, Catalog Info and Check for Updates.
#pragma once

#include "app/ui/commands/CommandTable.h"

void AddFindCommands(CommandRowAdder& add);
