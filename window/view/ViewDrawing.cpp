#include "window/view/ViewDrawing.h"

#include "catalog/items/ItemRecords.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/tables/Labels.h"
#include "media/imaging/PortBridge.h"
#include "media/kinds/KindTable.h"
#include "media/presenters/MediaObject.h"
#include "platform/Handles.h"
#include "window/view/IconSource.h"
#include "window/view/ViewHeader.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewPort.h"
#include "window/view/ViewSelection.h"

#include <cairo.h>

#include <algorithm>
#include <limits>
#include <unordered_set>

namespace {

CellDrawProcs BuiltInProcs() {
    CellDrawProcs p;
    p.listRow = CellDrawListRow;
    p.thumbnail = CellDrawThumbnail;
    p.media = CellDrawMedia;
    p.emptyHint = CellDrawEmptyHint;
    p.headerBar = [](ViewRec* view) { ViewDrawHeaderBarInto(view, nullptr); };
    return p;
}

CellDrawProcs gProcs = BuiltInProcs();

void SetSource(cairo_t* cr, const RGBColor& c) { cairo_set_source_rgb(cr, c.red / 65535.0, c.green / 65535.0, c.blue / 65535.0); }

void FillRect(cairo_t* cr, const Rect& r, const RGBColor& c) {
    SetSource(cr, c);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
}

RGBColor Background(const ViewRec* view, UInt8 mode) {
    const ViewColors* colors = CatalogGetSlotRec24(view->catalog, mode);
    return colors ? colors->colors[0] : RGBColor{0xFFFF, 0xFFFF, 0xFFFF};
}

// A drawing context on the view port, clipped to the view rectangle and the given area.
bool BeginDrawing(ViewRec* view, const Rect* clip, PortGdiState* gdi, Rect* area) {
    if (!view->viewPort || !view->viewPort->world) return false;
    Rect a = view->viewRect;
    if (clip && !SectRect(&a, clip, &a)) return false;
    if (EmptyRect(&a) || PortBeginGdi(gdi, view->viewPort->world, true) != noErr) return false;
    cairo_rectangle(gdi->dc, a.left, a.top, a.right - a.left, a.bottom - a.top);
    cairo_clip(gdi->dc);
    *area = a;
    return true;
}

void EndDrawing(ViewRec* view, PortGdiState* gdi, const Rect& area) {
    PortEndGdi(gdi);
    ViewPortAddDamage(view->viewPort, &area);
}

bool Intersects(const Rect& a, const Rect& b) {
    Rect r;
    return SectRect(&a, &b, &r);
}

void DrawOneCell(ViewRec* view, cairo_t* cr, SInt32 item, const Rect& cell) {
    const UInt8 mode = ViewGetMode(view);
    CellDrawArgs args;
    args.view = view;
    args.cr = cr;
    args.mode = mode;
    args.cell = cell;
    args.selectionOnly = view->selectionOnly;
    SectRect(&cell, &view->viewRect, &args.visible);
    if (item < 1 || item > ViewItemCount(view)) {
        FillRect(cr, cell, Background(view, mode));
        return;
    }
    args.item = item;
    // The Go To blink shows its item unselected for a moment.
    args.selected = ViewBitTest(view, item) && item != view->blinkItem;
    args.current = item == view->currentItem;
    args.label = ItemGetLabel(view->catalog, item);
    if (args.label) LabelGetInfo(args.label, nullptr, &args.labelColor);
    void (*proc)(const CellDrawArgs&) = mode == kViewList ? gProcs.listRow : mode == kViewThumbnail ? gProcs.thumbnail : gProcs.media;
    if (proc) proc(args);
    if (mode != kViewMedia && ViewIsPlaying(view) && view->playItemId && ItemGetId(view->catalog, item) == view->playItemId)
        CellDrawPlayMarker(view, cr, cell);
}

SInt32 SaturatingAdd(SInt32 a, SInt32 d) {
    SInt64 v = SInt64(a) + SInt64(d);
    return SInt32(std::clamp<SInt64>(v, std::numeric_limits<SInt32>::min(), std::numeric_limits<SInt32>::max()));
}

SInt32 FloorDiv(SInt32 a, SInt32 b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0); }
SInt32 CeilDiv(SInt32 a, SInt32 b) { return -FloorDiv(-a, b); }

}  // namespace

void ViewSetCellDrawProcs(const CellDrawProcs* procs) { gProcs = procs ? *procs : BuiltInProcs(); }
const CellDrawProcs& ViewGetCellDrawProcs() { return gProcs; }

RGBColor ViewSelectionColor(const RGBColor& bg, bool current) {
    if (current) return RGBColor{UInt16(bg.red ^ 0xFCFC), UInt16(bg.green ^ 0xFCFC), UInt16(bg.blue ^ 0xDADA)};
    return RGBColor{UInt16(bg.red ^ 0xCFCF), UInt16(bg.green ^ 0xCFCF), UInt16(bg.blue ^ 0xADAD)};
}

void ViewDrawCellForPrint(ViewRec* view, cairo_t* cr, SInt32 item, const Rect& cell, double resolutionH,
                          double resolutionV, bool fromMedia) {
    if (!view) return;
    PrintCellOptions options;
    options.mode = ViewGetMode(view);
    ViewDrawCellForPrintAs(view, cr, item, cell, resolutionH, resolutionV, fromMedia, options);
}

void ViewDrawCellForPrintAs(ViewRec* view, cairo_t* cr, SInt32 item, const Rect& cell, double resolutionH,
                            double resolutionV, bool fromMedia, const PrintCellOptions& options) {
    if (!view || !cr || item < 1 || item > ViewItemCount(view)) return;
    const UInt8 mode = options.mode;
    CellDrawArgs args;
    args.fields = options.fields;
    args.colors = options.colors;
    args.noIcons = options.noIcons;
    args.presenter = options.presenter;
    args.view = view;
    args.cr = cr;
    args.mode = mode;
    args.item = item;
    args.cell = cell;
    args.visible = cell;
    args.forPrint = true;
    args.fromMedia = fromMedia;
    args.resolutionH = resolutionH;
    args.resolutionV = resolutionV;
    args.label = ItemGetLabel(view->catalog, item);
    if (args.label) LabelGetInfo(args.label, nullptr, &args.labelColor);
    void (*proc)(const CellDrawArgs&) = mode == kViewList ? gProcs.listRow : mode == kViewThumbnail ? gProcs.thumbnail : gProcs.media;
    const Rect* savedClip = view->updateRgn;
    view->updateRgn = nullptr;
    if (proc) proc(args);
    view->updateRgn = savedClip;
}

void ViewDrawHeaderBar(ViewRec* view) {
    if (!view) return;
    if (gProcs.headerBar) gProcs.headerBar(view);
}

void ViewDrawVisibleCells(ViewRec* view, const Rect* clip) {
    PortGdiState gdi;
    Rect area;
    if (!BeginDrawing(view, clip, &gdi, &area)) return;
    const UInt8 mode = ViewGetMode(view);
    if (ViewItemCount(view) == 0) {
        if (gProcs.emptyHint) gProcs.emptyHint(view, gdi.dc, view->viewRect);
        EndDrawing(view, &gdi, area);
        return;
    }
    const RGBColor bg = Background(view, mode);
    SInt32 lastRight = view->viewRect.left, lastBottom = view->viewRect.top;
    for (SInt32 row = view->visibleCells[0]; row < view->visibleCells[2]; ++row) {
        for (SInt32 column = view->visibleCells[1]; column < view->visibleCells[3]; ++column) {
            Rect cell;
            ViewCellRect(view, ViewCell{row, column}, &cell);
            lastRight = std::max<SInt32>(lastRight, cell.right);
            lastBottom = std::max<SInt32>(lastBottom, cell.bottom);
            if (!Intersects(cell, area)) continue;
            DrawOneCell(view, gdi.dc, ViewCellToIndex(view, ViewCell{row, column}), cell);
        }
    }
    // The strips right of the last column and below the last row.
    if (lastRight < view->viewRect.right)
        FillRect(gdi.dc, Rect{view->viewRect.top, SInt16(lastRight), view->viewRect.bottom, view->viewRect.right}, bg);
    if (lastBottom < view->viewRect.bottom)
        FillRect(gdi.dc, Rect{SInt16(lastBottom), view->viewRect.left, view->viewRect.bottom, view->viewRect.right}, bg);
    EndDrawing(view, &gdi, area);
}

void ViewRedraw(ViewRec* view, const Rect* clip) {
    if (!view) return;
    // The port is the window's backing offscreen: drawing there never flickers, so no second
    // buffer is needed.
    view->updateRgn = clip;
    ViewDrawVisibleCells(view, clip);
    view->updateRgn = nullptr;
}

void ViewDrawCell(ViewRec* view, SInt32 item, const Rect* cell) {
    PortGdiState gdi;
    Rect area;
    if (!cell || !BeginDrawing(view, cell, &gdi, &area)) return;
    DrawOneCell(view, gdi.dc, item, *cell);
    EndDrawing(view, &gdi, area);
}

void ViewDrawCellIfVisible(ViewRec* view, ViewCell cell) {
    if (!ViewIsCellVisible(view, cell)) return;
    Rect r;
    ViewCellRect(view, cell, &r);
    ViewDrawCell(view, ViewCellToIndex(view, cell), &r);
}

void ViewRedrawItem(ViewRec* view, SInt32 item) {
    if (!view || view->deferDraw || item < 1 || item > ViewItemCount(view)) return;
    ViewDrawCellIfVisible(view, ViewItemToCell(view, item));
}

void ViewScrollBy(ViewRec* view, SInt32 rowsDelta) {
    if (!view || view->cellSize.v <= 0 || !view->viewPort) return;
    if (EmptyRect(&view->viewRect)) return;
    // Scrolling down the grid moves the pixels up and uncovers a band at the bottom.
    Rect band = ViewPortScroll(view->viewPort, &view->viewRect, -rowsDelta * view->cellSize.v);
    if (EmptyRect(&band)) return;
    view->updateRgn = &band;
    ViewDrawVisibleCells(view, &band);
    view->updateRgn = nullptr;
}

void ViewScrollTo(ViewRec* view, SInt32 columnsDelta, SInt32 rowsDelta) {
    if (!view || (columnsDelta == 0 && rowsDelta == 0) || ViewItemCount(view) == 0) return;
    SInt32 old[4];
    ViewGetVisibleGrid(view, old);
    view->visibleCells[0] = SaturatingAdd(view->visibleCells[0], rowsDelta);
    view->visibleCells[2] = SaturatingAdd(view->visibleCells[2], rowsDelta);
    view->visibleCells[1] = SaturatingAdd(view->visibleCells[1], columnsDelta);
    view->visibleCells[3] = SaturatingAdd(view->visibleCells[3], columnsDelta);
    ViewUpdateVisibleRange(view);
    if (std::equal(old, old + 4, view->visibleCells)) return;
    if (ViewGetMode(view) == kViewMedia) {
        const SInt32 item = view->visibleCells[0] + 1;
        ViewMakeMediaItemCurrent(view, item);
        return;
    }
    if (view->deferDraw) return;
    const bool parked = ViewParkPresenter(view);
    // A move of exactly one row is one row of pixels moved and one band drawn; anything else
    // (columns too) draws the whole view.
    if ((rowsDelta == 1 || rowsDelta == -1) && columnsDelta == 0 && view->visibleCells[0] - old[0] == rowsDelta)
        ViewScrollBy(view, rowsDelta);
    else
        ViewRedraw(view, nullptr);
    if (parked) ViewRedrawItem(view, CatalogFindItemById(view->catalog, view->playItemId));
}

void ViewRevealCell(ViewRec* view, ViewCell cell) {
    if (!view || view->cellSize.v <= 0) return;
    SInt32 r[4];
    ViewCellRect32(view, cell, r);
    if (r[0] == 0 && r[1] == 0 && r[2] == 0 && r[3] == 0) return;
    if (r[2] > view->viewRect.bottom)
        ViewScrollTo(view, 0, CeilDiv(r[2] - view->viewRect.bottom, view->cellSize.v));
    else if (r[0] < view->viewRect.top)
        ViewScrollTo(view, 0, FloorDiv(r[0] - view->viewRect.top, view->cellSize.v));
}

bool ViewParkPresenter(ViewRec* view) {
    if (!view->playItemId) return false;
    if (CatalogFindItemById(view->catalog, view->playItemId) == 0 && ViewIsPlaying(view)) {
        ViewTogglePlayback(view);
        return false;
    }
    const int info = MediaObjectGetPictureInfo(view->media);
    if (info == kMediaShowsPicture) return true;
    if (info == kMediaShowsPreview) {
        Rect away{-1, -1, 0, 0};
        ViewDrawPresenter(view, away);
        return true;
    }
    return false;
}

void ViewRelayoutAndSelect(ViewRec* view, SInt32 item) {
    item = std::min(item, ViewItemCount(view));
    ViewLayout(view, view->catalog);
    if (ViewGetMode(view) == kViewMedia) {
        if (view->currentItem == 0) {
            SInt32 show = item ? item : (ViewItemCount(view) > 0 ? 1 : 0);
            if (show) ViewSelectMediaItem(view, show, kSelectAlone);
        }
        return;
    }
    if (item > 0) {
        view->deferDraw = 1;
        ViewDeselectAll(view);
        view->deferDraw = 0;
        ViewRedraw(view, nullptr);
        ViewSelectItem(view, item, kSelectAlone, true);
    }
}

void ViewRestoreSelectionByIds(ViewRec* view, Handle ids, UInt32 currentId) {
    std::unordered_set<UInt32> listed;
    if (ids) {
        const long n = GetHandleSize(ids) / 4;
        const UInt32* p = reinterpret_cast<const UInt32*>(*ids);
        listed.insert(p, p + n);
    }
    const SInt32 count = ViewItemCount(view);
    SInt32 current = 0;
    for (SInt32 item = 1; item <= count; ++item) {
        const UInt32 id = ItemGetId(view->catalog, item);
        if (listed.count(id))
            ViewBitSet(view, item);
        else
            ViewBitClear(view, item);
        if (currentId && id == currentId) current = item;
    }
    if (current) {
        ViewSetCurrent(view, current);
        ViewPost(view, kMsgSelectionChanged);
    } else {
        ViewClearCurrent(view);
    }
    if (ViewGetMode(view) == kViewMedia) {
        if (current) ViewScrollTo(view, 0, current - 1 - view->visibleCells[0]);
    } else {
        ViewRedraw(view, nullptr);
    }
}
