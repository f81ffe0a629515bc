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

// What a duplicate scan compares.
struct DuplicateCriteria {
    bool sameName = false;
    long tolerance1 = 0;
    long tolerance2 = 0;
};

// Shows exactly the listed items (null: all) and places the view by the placement code.
void ViewApplyVisibility(ViewRec* view, Handle ids, int placement, bool keepOrder);
void ViewSaveSelection(const ViewRec* view, SavedSelection* saved);
// Brings the view up to date after the shown set changed; frees the saved selection's ids.
void ViewRebuild(ViewRec* view, int placement, SavedSelection* saved);
// The ids the filter set matches (each once, in set order), or null when the set is empty.
// Folders that no longer exist are skipped.
Handle ViewFilterItemIds(const ViewRec* view);
void ViewAddFilter(ViewRec* view, SInt32 kind, SInt32 key, SInt32 value, bool apply);
void ViewRemoveFilter(ViewRec* view, SInt32 kind, SInt32 key, SInt32 value);
void ViewClearFilters(ViewRec* view, bool record);
void ViewShowAll(ViewRec* view);
void ViewShowHidden(ViewRec* view);
void ViewShowSelected(ViewRec* view);
void ViewHideSelected(ViewRec* view);
void ViewShowLabel(ViewRec* view, UInt8 labelCode);
void ViewShowMatchingText(ViewRec* view, ConstStr255Param text);
void ViewShowOnlyItems(ViewRec* view, Handle ids, int placement, bool keepOrder);
void ViewShowLastImport(ViewRec* view);
void ViewShowDuplicates(ViewRec* view, bool selectedOnly, const DuplicateCriteria& criteria);
void ViewShowOrganizeSelection(ViewRec* view);
void ViewReapplyFilters(ViewRec* view);

bool ViewCanGoBack(const ViewRec* view);
bool ViewCanGoForward(const ViewRec* view);
void ViewGoBack(ViewRec* view);
void ViewGoForward(ViewRec* view);

// Sort codes besides field ids.
enum : UInt32 { kSortShuffle = 8000, kSortByDate = 8001, kSortReverse = 8002 };
inline constexpr UInt32 kSortDateField = 68;
// Sorts the shown items (textMode: kSortTextNatural or kSortTextByteOrder); true when the
// order changed.
bool ViewSortByField(ViewRec* view, UInt32 code, UInt8 textMode);
// Every filter entry takes over the catalog's present order of its items.
void ViewFiltersTakeOrder(ViewRec* view);

// ---- organize-list maintenance ----------------------------------------------------------------

// An entry was inserted into the Catalog Sets list at position p.
void ViewRenumberFilters(ViewRec* view, UInt32 position);
// Entry from of a field's list moved to position to (both as numbered before the move).
void ViewFilterEntryMoved(ViewRec* view, UInt32 fieldId, UInt32 from, UInt32 to);
// A folder node is being destroyed: its id leaves the live set and every snapshot. True when
// the live set changed (the window then shows the remaining filters' items again).
bool ViewForgetFolder(ViewRec* view, UInt32 nodeId);
void ViewRemoveOrganizeSelection(ViewRec* view);
void ViewRemoveFieldEntries(ViewRec* view, UInt32 fieldId);
bool ViewCanRemoveOrganizeSelection(const ViewRec* view);
FilterEntry ViewGetFirstFilter(const ViewRec* view);
// With value 0, whether any entry of that kind and key is in the set.
bool ViewHasFilter(const ViewRec* view, SInt32 kind, SInt32 key, SInt32 value);
void ViewGetFilterText(const ViewRec* view, Str255 text);
