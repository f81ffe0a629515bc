// The catalog window's HTML Gallery command.
#pragma once

#include "app/ui/commands/CommandTable.h"

void AddGalleryCommands(CommandRowAdder& add);
