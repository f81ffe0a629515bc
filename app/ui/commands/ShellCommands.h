// The catalog window's commands that open the program's own small windows: Getting Started
// (the welcome page, then an import of a chosen folder or of the user's Pictures and Videos
// folders) and the catalog's Drop Folder.
#pragma once

#include "app/ui/commands/CommandTable.h"

void AddShellCommands(CommandRowAdder& add);
