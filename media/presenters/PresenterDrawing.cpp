#include "media/presenters/PresenterDrawing.h"

#include "foundation/interface/FitRect.h"

#include <cairo.h>

#include <algorithm>

Rect PresenterFrame(const MediaObject& o) {
    const Rect& d = o.displayRect;
    return (d.right > d.left && d.bottom > d.top) ? d : o.bounds;
}

bool PointInRect(Point p, const Rect& r) {
    return p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom;
}

Rect PresenterPlaceImage(MediaObject& o, int width, int height, short* percent) {
    Rect frame = PresenterFrame(o);
    Rect r{0, 0, SInt16(height), SInt16(width)};
    Point tl{frame.top, frame.left}, br{frame.bottom, frame.right};
    short used = ScaleRectInRect(&r, tl, br, short(o.percent), short(o.sizeMode));
    FitRectInRectAt(&r, tl, br, &o.scroll);
    if (percent) *percent = used;
    return r;
}

void PresenterFill(GWorldPtr world, const Rect& rect, const RGBColor& c) {
    cairo_surface_t* s = world ? GetGWorldSurface(world) : nullptr;
    if (!s || rect.right <= rect.left || rect.bottom <= rect.top) return;
    Rect port = GetPortBounds(world);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, c.red / 65535.0, c.green / 65535.0, c.blue / 65535.0);
    cairo_rectangle(cr, rect.left - port.left, rect.top - port.top, rect.right - rect.left, rect.bottom - rect.top);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(s);
}

void PresenterEraseAround(MediaObject& o, const Rect& image) {
    if (!o.colorPresent || !o.window) return;
    const Rect& b = o.bounds;
    // The image clipped to the bounds; the four bands around it.
    SInt16 top = std::clamp(image.top, b.top, b.bottom), bottom = std::clamp(image.bottom, top, b.bottom);
    SInt16 left = std::clamp(image.left, b.left, b.right), right = std::clamp(image.right, left, b.right);
    PresenterFill(o.window, Rect{b.top, b.left, top, b.right}, o.background);
    PresenterFill(o.window, Rect{bottom, b.left, b.bottom, b.right}, o.background);
    PresenterFill(o.window, Rect{top, b.left, bottom, left}, o.background);
    PresenterFill(o.window, Rect{top, right, bottom, b.right}, o.background);
}
