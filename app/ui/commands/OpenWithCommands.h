// Opening the selected items' files with another program: the desktop's default application for
// each file, or a helper application (Open With, ids 10001 to 10016), and the Define Helper
// Applications dialog.
#pragma once

#include "app/ui/commands/CommandTable.h"

#include <string>
#include <vector>

struct ViewRec;

void AddOpenWithCommands(CommandRowAdder& add);

// The files of the view's selected items in item order; items whose file cannot be found are
// left out.
std::vector<std::string> SelectedItemFiles(ViewRec* view);
// Starts helper h with the files, one start per file. A helper whose program is gone is taken
// out of the list (once) and every Open With menu is built again; answers whether all started.
bool OpenWithHelper(std::size_t helper, const std::vector<std::string>& files);
