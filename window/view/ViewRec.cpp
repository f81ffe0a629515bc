#include "window/view/ViewRec.h"

#include "catalog/info/InfoRows.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/tables/CatalogTables.h"
#include "media/kinds/KindTable.h"
#include "media/presenters/MediaObject.h"
#include "window/view/ThumbnailCache.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewPort.h"

#include <atomic>
#include <new>

namespace {

void StopTimer(TimerId* id) {
    if (*id) Timers().Stop(*id);
    *id = 0;
}

}  // namespace

UInt32 ViewNextDragId() {
    static std::atomic<UInt32> next{1};
    return next++;
}

void ViewPost(ViewRec* view, UInt32 message, UInt32 parameter) {
    if (!view || !view->catalog) return;
    // The Info panel stores and commits its pending edits when it hears that the current item
    // is about to change; the rows are rebuilt for the next item right after this call, so a
    // queued message would reach it too late and the edits would be dropped with the rows.
    if (message == kMsgSelectionChanging)
        CatalogNotifyNow(view->catalog, message, parameter);
    else
        CatalogPostNotification(view->catalog, message, parameter);
}

OSErr ViewCreate(ViewRec** out, ViewPort* viewPort, ViewPort* headerPort, CatalogRec* catalog) {
    // The catalog is checked before anything of it is read.
    if (!out || !catalog) return paramErr;
    *out = nullptr;
    const ViewModeSettings* media = CatalogGetSlotRec16(catalog, kViewMedia);
    auto* view = new (std::nothrow) ViewRec;
    if (!view) return memFullErr;
    view->history.states.emplace_back();
    view->history.pos = view->history.states.begin();
    view->catalog = catalog;
    view->viewPort = viewPort;
    view->headerPort = headerPort;
    view->active = 1;
    try {
        view->selection.assign(std::size_t(CatalogGetCapacity() + 7) / 8, 0);
    } catch (const std::bad_alloc&) {
        delete view;
        return memFullErr;
    }
    view->media = MediaObjectNew(viewPort ? viewPort->world : nullptr);
    if (!view->media) {
        delete view;
        return memFullErr;
    }
    MediaObjectClose(view->media);
    const bool mediaMode = CatalogGetViewMode(catalog) == kViewMedia;
    MediaObjectSetPercent(view->media, media ? media->percent : 100);
    MediaObjectSetShowFlag(view->media, mediaMode && media ? media->sizeStep : UInt8(kShowScaledToFit));
    MediaObjectSetDrawOptionA(view->media, mediaMode ? 1 : 0);
    MediaObjectSetOpenOptionA(view->media);
    MediaObjectSetPlayOption(view->media, 1);
    MediaObjectSetVolume(view->media, 7);
    // A playing medium's new frame redraws the cell that shows it.
    MediaObjectSetRedrawProc(view->media, ViewPresenterNeedsRedraw, reinterpret_cast<std::uintptr_t>(view));
    *out = view;
    return noErr;
}

void ViewDispose(ViewRec* view) {
    if (!view) return;
    if (ViewIsPlaying(view)) ViewTogglePlayback(view);
    StopTimer(&view->statsTimer);
    StopTimer(&view->typeAheadTimer);
    StopTimer(&view->pictureTimer);
    StopTimer(&view->headerTrack.repeatTimer);
    StopTimer(&view->blinkTimer);
    ViewClearCurrent(view);
    CatalogNotifyNow(view->catalog, kMsgViewTornDown, 0);
    MediaObjectStop(view->media);
    MediaObjectDelete(view->media);
    view->media = nullptr;
    // The decoded pictures are the catalog's; a catalog opened later may reuse its address.
    ThumbnailCacheClear(view->catalog);
    delete[] view->defaults.block2064;
    delete view;
}

CatalogRec* ViewGetCatalog(const ViewRec* view) { return view ? view->catalog : nullptr; }
UInt8 ViewGetMode(const ViewRec* view) { return view && view->catalog ? CatalogGetViewMode(view->catalog) : 0; }
SInt32 ViewGetCurrentItem(const ViewRec* view) { return view ? view->currentItem : 0; }
SInt32 ViewItemCount(const ViewRec* view) { return view && view->catalog ? CatalogGetItemCount(view->catalog) : 0; }

UInt8 ViewCanRotateCurrent(const ViewRec* view) { return view && view->currentItem ? view->currentCaps[2] : 0; }

void ViewGetItemCapabilities(const ViewRec* view, UInt8* canRotate, UInt8* flag, bool* actualSize) {
    if (canRotate && flag) {
        *canRotate = view->currentItem ? view->currentCaps[2] : 0;
        *flag = view->currentItem ? view->currentCaps[1] : 0;
    }
    if (actualSize) *actualSize = MediaObjectGetShowFlag(view->media) == kShowScaledToFit;
}

void ViewGetVisibleGrid(const ViewRec* view, SInt32 out[4]) {
    for (int i = 0; i < 4; ++i) out[i] = view->visibleCells[i];
}

void ViewGetRect(const ViewRec* view, Rect* rect) {
    if (view && rect) *rect = view->viewRect;
}

void ViewSetRect(ViewRec* view, const Rect* rect) {
    if (!view || !rect || rect->right <= rect->left || rect->bottom < rect->top) return;
    view->viewRect = *rect;
    // The backing offscreen always covers the view.
    if (view->viewPort) {
        Rect bounds = view->viewPort->world ? GetPortBounds(view->viewPort->world) : Rect{0, 0, 0, 0};
        if (bounds.right < rect->right || bounds.bottom < rect->bottom)
            ViewPortResize(view->viewPort, std::max(bounds.right, rect->right), std::max(bounds.bottom, rect->bottom));
        // The presenter draws into the port's offscreen, which a resize replaces.
        MediaObjectSetWindow(view->media, view->viewPort->world);
    }
    ViewLayout(view, view->catalog);
}

void ViewGetCellSize(const ViewRec* view, Point* size) {
    if (view && size) *size = view->cellSize;
}

void ViewSetScrollProc(ViewRec* view, ViewScrollProc proc, UInt32 refCon) {
    view->scrollProc = proc;
    view->scrollRefCon = refCon;
}

SInt32 ViewCountFilters(const ViewRec* view) { return view ? SInt32(view->filters.size()) : 0; }

void ViewClearCurrent(ViewRec* view) {
    view->currentItem = 0;
    view->currentFileErr = 0;
    view->currentFile = FSSpec{};
    view->currentCaps[0] = view->currentCaps[1] = view->currentCaps[2] = 0;
    InfoLoadVisibleItem(view->catalog, 0);
    if (MediaObjectGetPictureData(view->media)) {
        MediaObjectStop(view->media);
        MediaObjectClose(view->media);
    }
}

void ViewLoadCurrentInfo(ViewRec* view, SInt32 item) {
    view->currentFile = FSSpec{};
    view->currentFileErr = CatalogFindItemPath(view->catalog, item, &view->currentFile);
    ItemRec record;
    OSType kind = 0;
    if (ItemReadRecord(view->catalog, item, &record) == noErr) kind = record.kind;
    bool timeBased = false, rotatable = false, visual = false;
    KindGetCapabilities(kind, &timeBased, &rotatable, &visual, nullptr);
    view->currentCaps[0] = timeBased;
    view->currentCaps[1] = visual;
    view->currentCaps[2] = rotatable;
}

void ItemLoopCountDone(ViewRec* view) { ++view->doneCount; }
void ItemLoopCountFailed(ViewRec* view) { ++view->failedCount; }

bool ViewBitTest(const ViewRec* view, SInt32 item) {
    if (item < 1 || std::size_t(item - 1) / 8 >= view->selection.size()) return false;
    return view->selection[(item - 1) / 8] & (0x80 >> ((item - 1) % 8));
}

void ViewBitSet(ViewRec* view, SInt32 item) {
    if (item < 1 || std::size_t(item - 1) / 8 >= view->selection.size()) return;
    view->selection[(item - 1) / 8] |= UInt8(0x80 >> ((item - 1) % 8));
}

void ViewBitClear(ViewRec* view, SInt32 item) {
    if (item < 1 || std::size_t(item - 1) / 8 >= view->selection.size()) return;
    view->selection[(item - 1) / 8] &= UInt8(~(0x80 >> ((item - 1) % 8)));
}

void ViewHistoryPush(ViewRec* view, const FilterSet& set) {
    ViewHistory& h = view->history;
    if (h.pos != h.states.end() && *h.pos == set) return;
    if (!h.states.empty() && h.pos != h.states.end()) h.states.erase(std::next(h.pos), h.states.end());
    h.states.push_back(set);
    h.pos = std::prev(h.states.end());
    while (h.states.size() > kHistoryLimit) h.states.pop_front();
}

void ViewTakeDefaults(ViewRec* view) {
    if (!view->defaults.block2064) view->defaults.block2064 = new UInt8[kViewBlock2064Size]();
    ViewDefaultsFromPrefs(&view->defaults);
}

void ViewGiveBackDefaults(const ViewRec* view) { ViewDefaultsToPrefs(&view->defaults); }
