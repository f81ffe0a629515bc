#include "window/grid/ItemClipboardPicture.h"

#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindInfo.h"
#include "media/kinds/KindTable.h"
#include "window/view/ItemPicture.h"
#include "window/view/ViewRec.h"

#include <algorithm>
#include <cairo.h>

namespace {
// Larger than any stored thumbnail: the picture is drawn at its own size, never scaled up.
constexpr int kCanvas = 1024;

// Copies the rectangle [left, right) x [top, bottom) of an RGB24 or ARGB32 surface.
void CopyBits(cairo_surface_t* surface, int left, int top, int right, int bottom, PictureBits* out) {
    cairo_surface_flush(surface);
    out->width = right - left;
    out->height = bottom - top;
    out->rgb.resize(std::size_t(out->width) * std::size_t(out->height) * 3);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::size_t at = 0;
    for (int y = top; y < bottom; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + std::size_t(y) * std::size_t(stride));
        for (int x = left; x < right; ++x) {
            const std::uint32_t p = row[x];
            out->rgb[at++] = std::uint8_t(p >> 16);
            out->rgb[at++] = std::uint8_t(p >> 8);
            out->rgb[at++] = std::uint8_t(p);
        }
    }
}

}  // namespace

bool ItemPictureBits(ViewRec* view, SInt32 item, PictureBits* out) {
    if (!view || !out || item < 1 || item > ViewItemCount(view)) return false;
    ItemRec record{};
    if (ItemReadRecord(view->catalog, item, &record) != noErr) return false;
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, kCanvas, kCanvas);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    Rect area{0, 0, SInt16(kCanvas), SInt16(kCanvas)};
    ItemPictureArgs args;
    const bool found = ItemDrawPicture(view, item, KindGetCategory(record.kind), args, cr, &area);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    const int left = std::max<int>(0, area.left), top = std::max<int>(0, area.top);
    const int right = std::min<int>(kCanvas, area.right), bottom = std::min<int>(kCanvas, area.bottom);
    if (!found || right <= left || bottom <= top) {
        cairo_surface_destroy(surface);
        return false;
    }
    CopyBits(surface, left, top, right, bottom, out);
    cairo_surface_destroy(surface);
    return true;
}

bool ItemFilePictureBits(ViewRec* view, SInt32 item, PictureBits* out) {
    if (!view || !out || item < 1 || item > ViewItemCount(view)) return false;
    ItemRec record{};
    FSSpec file;
    if (ItemReadRecord(view->catalog, item, &record) != noErr || CatalogFindItemPath(view->catalog, item, &file) != noErr)
        return false;
    GWorldPtr world = nullptr;
    UInt32 index = 0;
    if (KindMakeThumbnail(&file, &world, kKindDisplaySize, record.kind, &index, record.orientation) != noErr || !world)
        return false;
    cairo_surface_t* surface = GetGWorldSurface(world);
    const bool ok = surface && cairo_image_surface_get_width(surface) > 0 && cairo_image_surface_get_height(surface) > 0;
    if (ok) CopyBits(surface, 0, 0, cairo_image_surface_get_width(surface), cairo_image_surface_get_height(surface), out);
    DisposeGWorld(world);
    return ok;
}
