#include "window/view/ItemPicture.h"

#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "media/kinds/KindDispatch.h"
#include "window/view/CellPrimitives.h"
#include "window/view/IconSource.h"
#include "window/view/ThumbnailCache.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewRec.h"

#include <cairo.h>

#include <algorithm>

namespace {

// The side of pictures read from pending items' files: enough for the largest cells.
constexpr SInt32 kPendingPictureSize = 640;
constexpr std::uint32_t kPendingPictureTickMs = 10;

void QueuePendingPicture(ViewRec* view, UInt32 id) {
    auto& queue = view->pendingPictures;
    if (view->unreadablePictures.count(id)) return;
    if (std::find(queue.begin(), queue.end(), id) != queue.end()) return;
    queue.push_back(id);
    if (!view->pictureTimer)
        view->pictureTimer = Timers().Start(kPendingPictureTickMs, [view](TimerId) {
            if (!ViewReadOnePendingPicture(view) && view->pendingPictures.empty() && view->pictureTimer) {
                Timers().Stop(view->pictureTimer);
                view->pictureTimer = 0;
            }
        });
}

}  // namespace

void DrawWorldInRect(cairo_t* cr, GWorldPtr world, const Rect& r) {
    cairo_surface_t* s = world ? GetGWorldSurface(world) : nullptr;
    if (!s || r.right <= r.left || r.bottom <= r.top) return;
    const Rect b = GetPortBounds(world);
    const double sw = b.right - b.left, sh = b.bottom - b.top;
    if (sw <= 0 || sh <= 0) return;
    cairo_save(cr);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_clip(cr);
    cairo_translate(cr, r.left, r.top);
    cairo_scale(cr, (r.right - r.left) / sw, (r.bottom - r.top) / sh);
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_pattern_set_extend(cairo_get_source(cr), CAIRO_EXTEND_PAD);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
    cairo_paint(cr);
    cairo_restore(cr);
}

bool ItemDrawPicture(ViewRec* view, SInt32 item, UInt8 category, const ItemPictureArgs& a, cairo_t* cr, Rect* rect) {
    ThumbnailRef picture;
    if (a.tryThumbnail) {
        picture = ThumbnailCacheGet(view->catalog, item);
        const ItemEntry* entry = picture ? nullptr : CatalogGetItemEntry(view->catalog, item);
        if (entry && (entry->flags & kEntryPendingFlag)) {
            picture = ThumbnailCacheGetPending(view->catalog, entry->id);
            if (!picture) QueuePendingPicture(view, entry->id);
        }
    }
    if (picture && picture->world) {
        Rect r = GetPortBounds(picture->world);
        CellFitRect(&r, *rect, a.forPrint ? kCellFitScale : kCellFitShrink);
        if (a.draw && cr) DrawThumbnailInRect(cr, *picture, r);
        *rect = r;
        return true;
    }
    const SInt16 side = a.largeIcon ? 32 : 16;
    Rect r{0, 0, side, side};
    CellFitRect(&r, *rect, kCellFitCentre);
    if (a.draw && cr) {
        FillRectColor(cr, r, a.background);
        GetIconSource().DrawIcon(cr, kIconCategoryBase + category, r);
    }
    *rect = r;
    return false;
}

bool ItemHasBadge(OSType kind, UInt8 category) {
    return kind != 'GIF ' && kind != 'GIFf' && (category == 1 || category == 2);
}

void ItemDrawBadge(cairo_t* cr, OSType kind, UInt8 category, const Rect& R, Rect* badge, bool large, bool icon,
                   bool forPrint) {
    if (!ItemHasBadge(kind, category)) {
        if (badge) *badge = Rect{0, 0, 0, 0};
        return;
    }
    const SInt16 inset = large ? 18 : 11;
    const Point corner{SInt16(R.bottom - inset), SInt16(R.right - inset)};
    if (icon) {
        const int id = category == 1 ? (large ? kIconBadgeAudioLarge : kIconBadgeAudioSmall)
                                     : (large ? kIconBadgeVideoLarge : kIconBadgeVideoSmall);
        if (!forPrint) GetIconSource().DrawIcon(cr, id, Rect{corner.v, corner.h, SInt16(corner.v + 16), SInt16(corner.h + 16)});
    } else {
        const SInt16 side = large ? 16 : 9;
        const Rect box{corner.v, corner.h, SInt16(corner.v + side), SInt16(corner.h + side)};
        FillRectColor(cr, box, RGBColor{0xFFFF, 0xFFFF, 0xFFFF});
        FrameRectWidth(cr, 1, box, RGBColor{0, 0, 0});
    }
    if (badge) *badge = Rect{corner.v, corner.h, SInt16(R.bottom - 2), SInt16(R.right - 2)};
}

bool ViewReadOnePendingPicture(ViewRec* view) {
    while (!view->pendingPictures.empty()) {
        const UInt32 id = view->pendingPictures.front();
        view->pendingPictures.erase(view->pendingPictures.begin());
        const SInt32 item = CatalogFindItemById(view->catalog, id);
        const ItemEntry* entry = item ? CatalogGetItemEntry(view->catalog, item) : nullptr;
        if (!entry || !(entry->flags & kEntryPendingFlag)) continue;
        FSSpec file;
        ItemRec record;
        if (CatalogFindItemPath(view->catalog, item, &file) != noErr || ItemReadRecord(view->catalog, item, &record) != noErr)
            continue;
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        if (KindMakeThumbnail(&file, &world, kPendingPictureSize, record.kind, &index, record.orientation) == noErr && world) {
            ThumbnailCachePutPending(view->catalog, id, world);
            ViewRedrawItem(view, item);
        } else {
            if (world) DisposeGWorld(world);
            view->unreadablePictures.insert(id);
        }
        return true;
    }
    return false;
}
