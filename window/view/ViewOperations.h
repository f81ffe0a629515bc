// Operations on a view's selected (or all shown) items: the item loop with its wait cursor or
// progress window, rotating and flipping, labels, moving in the catalog order, removal and
// Move to Recycle Bin, and rebuilding one item.
#pragma once

#include "window/view/ViewRec.h"

// The per-item procedure of an item loop: a non-zero answer ends the loop and is its result;
// userCanceledErr is a user cancel.
using ItemActionProc = OSErr (*)(void* refCon, CatalogRec* catalog, SInt32 item, long parameter);

inline constexpr SInt16 kItemLoopThreshold = 100;

// Sets the label (0..9, 0 removes it) of the selected items; beeps when none is selected.
void ViewAssignLabel(ViewRec* view, UInt8 label);
