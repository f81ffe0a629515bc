#include "window/view/CellPrimitives.h"

#include "foundation/interface/FitRect.h"

#include <cairo.h>

#include <algorithm>

void CellSetColor(cairo_t* cr, const RGBColor& c) {
    cairo_set_source_rgb(cr, c.red / 65535.0, c.green / 65535.0, c.blue / 65535.0);
}

void FillRectColor(cairo_t* cr, const Rect& r, const RGBColor& color) {
    if (r.right <= r.left || r.bottom <= r.top) return;
    CellSetColor(cr, color);
    cairo_rectangle(cr, r.left, r.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
}

void FrameRectWidth(cairo_t* cr, SInt16 w, const Rect& r, const RGBColor& color) {
    if (w <= 0 || r.right <= r.left || r.bottom <= r.top) return;
    const SInt16 wh = std::min<SInt16>(w, SInt16((r.right - r.left + 1) / 2));
    const SInt16 wv = std::min<SInt16>(w, SInt16((r.bottom - r.top + 1) / 2));
    FillRectColor(cr, Rect{r.top, r.left, SInt16(r.top + wv), r.right}, color);
    FillRectColor(cr, Rect{SInt16(r.bottom - wv), r.left, r.bottom, r.right}, color);
    FillRectColor(cr, Rect{SInt16(r.top + wv), r.left, SInt16(r.bottom - wv), SInt16(r.left + wh)}, color);
    FillRectColor(cr, Rect{SInt16(r.top + wv), SInt16(r.right - wh), SInt16(r.bottom - wv), r.right}, color);
}

void FillFrameGap(cairo_t* cr, const Rect& o, const Rect& inner, const RGBColor& color) {
    Rect i;
    i.top = std::clamp(inner.top, o.top, o.bottom);
    i.bottom = std::clamp(inner.bottom, i.top, o.bottom);
    i.left = std::clamp(inner.left, o.left, o.right);
    i.right = std::clamp(inner.right, i.left, o.right);
    FillRectColor(cr, Rect{o.top, o.left, i.top, o.right}, color);
    FillRectColor(cr, Rect{i.top, o.left, i.bottom, i.left}, color);
    FillRectColor(cr, Rect{i.bottom, o.left, o.bottom, o.right}, color);
    FillRectColor(cr, Rect{i.top, i.right, i.bottom, o.right}, color);
}

void DrawLineColor(cairo_t* cr, Point from, Point to, const RGBColor& color) {
    if (from.v == to.v) {
        const SInt16 l = std::min(from.h, to.h), r = std::max(from.h, to.h);
        FillRectColor(cr, Rect{from.v, l, SInt16(from.v + 1), r}, color);
        return;
    }
    if (from.h == to.h) {
        const SInt16 t = std::min(from.v, to.v), b = std::max(from.v, to.v);
        FillRectColor(cr, Rect{t, from.h, b, SInt16(from.h + 1)}, color);
        return;
    }
    cairo_save(cr);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    cairo_set_line_width(cr, 1);
    CellSetColor(cr, color);
    cairo_move_to(cr, from.h + 0.5, from.v + 0.5);
    cairo_line_to(cr, to.h + 0.5, to.v + 0.5);
    cairo_stroke(cr);
    cairo_restore(cr);
}

short CellFitRect(Rect* rect, const Rect& frame, int mode) {
    Point tl{frame.top, frame.left}, br{frame.bottom, frame.right};
    const short fit = mode == kCellFitShrink ? kFitShrinkOnly : mode == kCellFitScale ? kFitInside : 0;
    return FitRectInRect(rect, tl, br, fit);
}

bool RectsIntersect(const Rect& a, const Rect& b) {
    return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}
