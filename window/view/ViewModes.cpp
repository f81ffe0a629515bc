#include "window/view/ViewModes.h"

#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/settings/Preferences.h"
#include "platform/UiHooks.h"
#include "media/presenters/MediaObject.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewSelection.h"

#include <algorithm>
#include <cstring>

namespace {

// New catalogs start with the size level and percent the user zoomed to last: the defaults
// of each mode are the mode's 16-byte settings record inside the preferences' view block.
void CopyZoomToPreferences(UInt8 mode, UInt8 level, UInt16 percent) {
    UInt8* slot = GetPreferences()->viewBlock64 + mode * sizeof(ViewModeSettings);
    slot[offsetof(ViewModeSettings, sizeStep)] = level;
    std::memcpy(slot + offsetof(ViewModeSettings, percent), &percent, sizeof percent);
}

void RedrawCurrentMedia(ViewRec* view) {
    if (view->currentItem) ViewRedrawItem(view, view->currentItem);
}

}  // namespace

void ViewKeepCurrentVisible(ViewRec* view) {
    if (!view->currentItem) return;
    const UInt8 saved = view->deferDraw;
    view->deferDraw = 1;
    ViewRevealCell(view, ViewItemToCell(view, view->currentItem));
    view->deferDraw = saved;
}

void ViewSetMode(ViewRec* view, UInt8 mode) {
    if (!view || mode > kViewMedia) return;
    const UInt8 old = ViewGetMode(view);
    const SInt32 count = ViewItemCount(view);
    if (mode == kViewMedia) {
        const SInt32 p = ViewIsPlaying(view) ? CatalogFindItemById(view->catalog, view->playItemId) : 0;
        if (view->autoAdvanced == 1 && ViewIsPlaying(view) && p && p != view->currentItem)
            ViewSelectByKind(view, kSelectAlone, p, false);
        if (view->currentItem == 0 && count > 0) {
            const UInt8 saved = view->deferDraw;
            view->deferDraw = 1;
            ViewSelectByKind(view, kSelectAlone, p ? p : 1, false);
            view->deferDraw = saved;
        }
        if (view->autoAdvanced == 0 && p && p != view->currentItem) ViewTogglePlayback(view);
    } else if (old == kViewMedia && view->currentItem) {
        view->playItemId = ItemGetId(view->catalog, view->currentItem);
    }
    if (old != kViewMedia)
        view->firstVisibleItem = view->columnCount * view->visibleCells[0] + view->visibleCells[1] + 1;
    const ViewModeSettings* mediaSettings = CatalogGetSlotRec16(view->catalog, kViewMedia);
    MediaObjectSetShowFlag(view->media, mode == kViewMedia && mediaSettings ? mediaSettings->sizeStep : UInt8(kShowScaledToFit));
    MediaObjectSetDrawOptionA(view->media, mode == kViewMedia ? 1 : 0);
    CatalogSetViewMode(view->catalog, mode);
    const SInt32 w = view->viewRect.right - view->viewRect.left, h = view->viewRect.bottom - view->viewRect.top;
    ViewComputeLayout(view, view->catalog, mode, w, h, &view->cellSize, &view->rowCount, &view->columnCount);
    std::fill(view->visibleCells, view->visibleCells + 4, 0);
    if (count > 0) {
        if (mode == kViewMedia) {
            view->visibleCells[0] = std::max<SInt32>(0, view->currentItem - 1);
            ViewUpdateVisibleRange(view);
        } else {
            view->visibleCells[0] = ViewItemToCell(view, view->firstVisibleItem).row;
            ViewUpdateVisibleRange(view);
            if (view->currentItem && !ViewIsCellVisible(view, ViewItemToCell(view, view->currentItem))) {
                view->visibleCells[0] = ViewItemToCell(view, view->currentItem).row;
                ViewUpdateVisibleRange(view);
            }
        }
    } else {
        ViewUpdateVisibleRange(view);
    }
    if (!view->deferDraw) ViewRedraw(view, nullptr);
    ViewDrawHeaderBar(view);
}

void ViewZoom(ViewRec* view, bool zoomIn) {
    const UInt8 mode = ViewGetMode(view);
    ViewModeSettings* settings = CatalogGetSlotRec16(view->catalog, mode);
    if (!settings) return;
    if (mode == kViewMedia) {
        const UInt16 p = view->currentItem ? MediaObjectGetStateWord(view->media) : settings->percent;
        const int s = p / 25 * 25;
        int result;
        if (s == p)
            result = zoomIn ? p + 25 : p - 25;
        else
            result = zoomIn ? s + 25 : s;
        result = std::clamp(result, 25, 1600);
        if (result == p) return;
        settings->sizeStep = kShowPercent;
        settings->percent = UInt16(result);
        MediaObjectSetPercent(view->media, UInt16(result));
        MediaObjectSetShowFlag(view->media, kShowPercent);
        RedrawCurrentMedia(view);
        CopyZoomToPreferences(mode, settings->sizeStep, settings->percent);
        ViewDrawHeaderBar(view);
        return;
    }
    if (mode == kViewList) {
        const UInt8 level = settings->sizeStep;
        if ((zoomIn && level != 1) || (!zoomIn && level != 2)) {
            UiBeep();
            return;
        }
        settings->sizeStep = zoomIn ? 2 : 1;
    } else {
        const UInt8 level = settings->sizeStep;
        if ((zoomIn && level >= 20) || (!zoomIn && level <= 1)) {
            UiBeep();
            return;
        }
        CatalogSetSlotSize(view->catalog, level + (zoomIn ? 1 : -1), mode);
    }
    ViewLayout(view, view->catalog);
    ViewKeepCurrentVisible(view);
    ViewDrawHeaderBar(view);
    ViewRedraw(view, nullptr);
    if (mode == kViewList) CatalogSetModified(view->catalog);
    CopyZoomToPreferences(mode, settings->sizeStep, settings->percent);
}

void ViewToggleActualSize(ViewRec* view) {
    if (ViewGetMode(view) != kViewMedia) {
        UiBeep();
        return;
    }
    ViewModeSettings* settings = CatalogGetSlotRec16(view->catalog, kViewMedia);
    settings->sizeStep = settings->sizeStep == kShowScaledToFit ? kShowActualSize : kShowScaledToFit;
    MediaObjectSetShowFlag(view->media, settings->sizeStep);
    RedrawCurrentMedia(view);
    ViewDrawHeaderBar(view);
}
