// The names the window and application code use for some of the view engine's calls. Each is
// a forward to the one implementation, so call sites may read either way.
#pragma once

#include "window/view/ViewDrawing.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewRec.h"

inline void ViewSetScrollCallback(ViewRec* view, ViewScrollProc proc, UInt32 refCon) { ViewSetScrollProc(view, proc, refCon); }
inline void ViewSetBounds(ViewRec* view, const Rect* rect) { ViewSetRect(view, rect); }
inline void ViewGetBounds(const ViewRec* view, Rect* rect) { ViewGetRect(view, rect); }
inline bool ViewCellAtPoint(const ViewRec* view, Point pt, ViewCell* cell, bool* selected) {
    return ViewHitTest(view, pt, cell, selected);
}
inline void ViewScrollToItem(ViewRec* view, SInt32 item) { ViewRevealCell(view, ViewItemToCell(view, item)); }
inline void ViewRebuildItems(ViewRec* view, int placement, SavedSelection* saved) { ViewRebuild(view, placement, saved); }
inline bool ViewSort(ViewRec* view, UInt32 code, UInt8 textMode) { return ViewSortByField(view, code, textMode); }
inline Handle ViewCopySelectedIds(const ViewRec* view) { return ViewCollectIds(view, true); }
inline SInt32 ViewGetFilterCount(const ViewRec* view) { return ViewCountFilters(view); }
inline void ViewRemoveFilteredEntries(ViewRec* view, UInt32 fieldId) { ViewRemoveFieldEntries(view, fieldId); }
inline void ViewAfterImport(ViewRec* view, SInt32 item) { ViewRelayoutAndSelect(view, item); }
inline void ViewGetDropText(const ViewRec* view, Str255 out, SInt32 position) { BuildDropPositionText(view, out, position); }
