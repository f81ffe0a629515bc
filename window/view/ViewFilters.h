// Which items a view shows: the Show and Hide commands, label and text filters, the organize
// filters (fields' organize-list entries and folders) with their state history, and the one
// routine every change of the shown set ends in, which keeps the current item and the
// selection where possible and positions the view.
#pragma once

#include "window/view/ViewRec.h"

// Placement codes of ViewRebuild and ViewApplyVisibility: (current item still shown, gone).
enum : int {
    kPlaceTopTop = 1,
    kPlaceVisibleTop = 2,
    kPlaceKeepTop = 3,
    kPlaceTopKeep = 4,
    kPlaceVisibleKeep = 5,
    kPlaceKeepKeep = 6,
};

struct SavedSelection {
    UInt32 currentItem = 0;
    UInt32 currentId = 0;
    Handle ids = nullptr;   // unique ids of the selected items
};

// Label codes of ViewShowLabel besides 1..9.
enum : UInt8 { kLabelNone = 0, kLabelAny = 0xFF };

// Ids of the selected (true) or unselected (false) items in item order; a new handle.
Handle ViewCollectIds(const ViewRec* view, bool selected);
