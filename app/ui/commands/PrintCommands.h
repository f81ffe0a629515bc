// The catalog window's printing command: Print (enabled while the catalog shows items).
#pragma once

#include "app/ui/commands/CommandTable.h"

void AddPrintCommands(CommandRowAdder& add);
