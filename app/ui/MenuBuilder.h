// wx menus and accelerator tables from the menu and accelerator resources.
#pragma once

#include "app/MenuResource.h"

#include <wx/accel.h>
#include <wx/menu.h>

// The menu bar of menu resource id; null when the resource cannot be read.
wxMenuBar* BuildMenuBar(long menuId);
// Sub-menu `index` of the menu resource (the pop-up menus); null when missing.
wxMenu* BuildPopupMenu(long menuId, std::size_t index);
// The accelerator table of a table resource; keys the toolkit cannot read are left out.
wxAcceleratorTable BuildAcceleratorTable(long tableId);
// The sub-menu of the bar that holds an item with the command, depth first; null when none.
wxMenu* FindMenuContaining(wxMenuBar* bar, int command);
