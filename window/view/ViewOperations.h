// Operations on a view's selected (or all shown) items: the item loop with its wait cursor or
// progress window, rotating and flipping, labels, moving in the catalog order, removal and
// Move to Recycle Bin, and rebuilding one item.
#pragma once

#include "window/view/ViewRec.h"

#include <string>

// The per-item procedure of an item loop: a non-zero answer ends the loop and is its result;
// userCanceledErr is a user cancel.
using ItemActionProc = OSErr (*)(void* refCon, CatalogRec* catalog, SInt32 item, long parameter);

inline constexpr SInt16 kItemLoopThreshold = 100;

// Sets the label (0..9, 0 removes it) of the selected items; beeps when none is selected.
void ViewAssignLabel(ViewRec* view, UInt8 label);

// The alerts of the removal commands, installed by the window (the engine never reaches for
// the user interface). Without one, confirmations answer yes and failures go unreported.
class ViewAlerts {
public:
    virtual ~ViewAlerts() = default;
    // Asks whether to go on; text names what is affected (and catalogName, when not empty,
    // the catalog it leaves). kind: 1 Delete, 2 Move to Recycle Bin.
    virtual bool Confirm(int kind, const std::string& text, const std::string& catalogName) { return true; }
    // Tells the user that items could not be moved to the trash (they stay in the catalog).
    virtual void ReportRecycleFailures(int count) {}
};
void SetViewAlerts(ViewAlerts* alerts);
ViewAlerts& GetViewAlerts();

// Runs the procedure over the selected items (all shown items with allItems), by unique id,
// with a wait cursor below the threshold and a progress window from it on. The first non-zero
// answer ends the loop and is its result; userCanceledErr when the user cancels.
OSErr ViewRunOnItems(ViewRec* view, ItemActionProc proc, void* refCon, bool allItems, bool cancellable,
                     ConstStr255Param title, SInt16 threshold, long parameter);
// The conversion commands' loop (the same loop).
OSErr ViewRunExportOnItems(ViewRec* view, ItemActionProc proc, void* refCon, bool allItems, bool cancellable,
                           ConstStr255Param title, SInt16 threshold, long parameter);
// The loop below the threshold: a wait cursor, Escape ends it when asked.
OSErr ProcessItemsWithProgress(ViewRec* view, ItemActionProc proc, void* refCon, bool allItems, bool escapeCancels,
                               long parameter);

// Transform codes.
enum : SInt16 { kTransformDefault = 0, kTransformRotateLeft = 0x4357, kTransformRotateRight = 0x5720,
                kTransformFlipHorizontal = 0x4820, kTransformFlipVertical = 0x5620 };
// Runs the item transform (the per-item procedure that applies a code to an item) over the
// selected items with playback paused, then brings the presenter up to date.
OSErr ViewTransformSelection(ViewRec* view, SInt16 code, ItemActionProc transform, void* refCon);

// Moves the selected items before the item at position (1-based; -1 or past the count: after
// the last); true when items moved.
bool ViewMoveSelection(ViewRec* view, SInt32 position, bool reveal);
bool ViewDropItemsAt(ViewRec* view, SInt32 position);

// Removes the selected items from the catalog, last first; with recycle their files go to the
// trash first and an item whose file could not be moved stays. Answers the number of items
// kept that way (0 when all went).
SInt32 ViewRemoveItems(ViewRec* view, bool recycle);
// Move to Recycle Bin: asks first when asked to, reports failures when asked to. Answers the
// number of items kept.
SInt32 ViewRecycleSelection(ViewRec* view, bool ask, bool report);
void ViewDeleteSelection(ViewRec* view);
void ViewRemoveSelection(ViewRec* view);
// "'" + File Name + "'" for one selected item, else the count + " selected items".
void DescribeSelection(const ViewRec* view, Str255 out);
// Reads one item's file again.
OSErr ViewRebuildOneItem(CatalogRec* catalog, MediaObject* media, SInt32 item);
