#include "platform/imaging/Regions.h"

#include "platform/imaging/Ports.h"

#include <cairo.h>

#include <algorithm>

namespace {

bool IsEmpty(const Rect& r) { return r.right <= r.left || r.bottom <= r.top; }

Rect Intersection(const Rect& a, const Rect& b) {
    Rect r{std::max(a.top, b.top), std::max(a.left, b.left), std::min(a.bottom, b.bottom),
           std::min(a.right, b.right)};
    return IsEmpty(r) ? Rect{0, 0, 0, 0} : r;
}

// The parts of r outside cut: at most four bands (above, below, left and right of the overlap).
void Subtract(const Rect& r, const Rect& cut, std::vector<Rect>& out) {
    Rect o = Intersection(r, cut);
    if (IsEmpty(o)) {
        out.push_back(r);
        return;
    }
    if (r.top < o.top) out.push_back(Rect{r.top, r.left, o.top, r.right});
    if (o.bottom < r.bottom) out.push_back(Rect{o.bottom, r.left, r.bottom, r.right});
    if (r.left < o.left) out.push_back(Rect{o.top, r.left, o.bottom, o.left});
    if (o.right < r.right) out.push_back(Rect{o.top, o.right, o.bottom, r.right});
}

std::vector<Rect> Minus(const std::vector<Rect>& parts, const std::vector<Rect>& cuts) {
    std::vector<Rect> left = parts;
    for (const Rect& cut : cuts) {
        std::vector<Rect> next;
        next.reserve(left.size() + 4);
        for (const Rect& r : left) Subtract(r, cut, next);
        left.swap(next);
    }
    return left;
}

void Set(RgnHandle region, std::vector<Rect> parts) {
    region->parts = std::move(parts);
    if (region->parts.empty()) {
        region->bounds = Rect{0, 0, 0, 0};
        return;
    }
    Rect b = region->parts.front();
    for (const Rect& r : region->parts) {
        b.top = std::min(b.top, r.top);
        b.left = std::min(b.left, r.left);
        b.bottom = std::max(b.bottom, r.bottom);
        b.right = std::max(b.right, r.right);
    }
    region->bounds = b;
}

}  // namespace

RgnHandle NewRgn() { return new Region(); }

void DisposeRgn(RgnHandle region) { delete region; }

void SetEmptyRgn(RgnHandle region) {
    if (region) Set(region, {});
}

void RectRgn(RgnHandle region, const Rect* rect) {
    if (!region) return;
    if (!rect || IsEmpty(*rect)) Set(region, {});
    else Set(region, {*rect});
}

void CopyRgn(RgnHandle source, RgnHandle destination) {
    if (source && destination && source != destination) *destination = *source;
}

void UnionRgn(RgnHandle a, RgnHandle b, RgnHandle destination) {
    if (!a || !b || !destination) return;
    // a's parts stay; of b only what a does not already cover is added, so nothing overlaps.
    std::vector<Rect> parts = a->parts;
    std::vector<Rect> added = Minus(b->parts, a->parts);
    parts.insert(parts.end(), added.begin(), added.end());
    Set(destination, std::move(parts));
}

void DiffRgn(RgnHandle a, RgnHandle b, RgnHandle destination) {
    if (!a || !b || !destination) return;
    Set(destination, Minus(a->parts, b->parts));
}

void SectRgn(RgnHandle a, RgnHandle b, RgnHandle destination) {
    if (!a || !b || !destination) return;
    std::vector<Rect> parts;
    for (const Rect& x : a->parts)
        for (const Rect& y : b->parts)
            if (Rect r = Intersection(x, y); !IsEmpty(r)) parts.push_back(r);
    Set(destination, std::move(parts));
}

void OffsetRgn(RgnHandle region, std::int16_t dh, std::int16_t dv) {
    if (!region) return;
    std::vector<Rect> parts = region->parts;
    for (Rect& r : parts) {
        r.left = std::int16_t(r.left + dh);
        r.right = std::int16_t(r.right + dh);
        r.top = std::int16_t(r.top + dv);
        r.bottom = std::int16_t(r.bottom + dv);
    }
    Set(region, std::move(parts));
}

bool EmptyRgn(RgnHandle region) { return !region || region->parts.empty(); }

bool PtInRgn(Point p, RgnHandle region) {
    if (!region) return false;
    for (const Rect& r : region->parts)
        if (p.h >= r.left && p.h < r.right && p.v >= r.top && p.v < r.bottom) return true;
    return false;
}

std::int64_t RegionArea(RgnHandle region) {
    std::int64_t area = 0;
    if (region)
        for (const Rect& r : region->parts) area += std::int64_t(r.right - r.left) * (r.bottom - r.top);
    return area;
}

void PaintRgnInPort(GWorldPtr port, RgnHandle region, const RGBColor* color) {
    cairo_surface_t* surface = port ? GetGWorldSurface(port) : nullptr;
    if (!surface || !color || EmptyRgn(region)) return;
    Rect bounds = GetPortBounds(port);
    LockPixels(port);
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, color->red / 65535.0, color->green / 65535.0, color->blue / 65535.0);
    for (const Rect& r : region->parts)
        cairo_rectangle(cr, r.left - bounds.left, r.top - bounds.top, r.right - r.left, r.bottom - r.top);
    cairo_fill(cr);
    cairo_destroy(cr);
    cairo_surface_flush(surface);
    UnlockPixels(port);
}

void PaintRgn(RgnHandle region) {
    GWorldPtr port = GetGWorld();
    RGBColor fore{0, 0, 0};
    GetForeColor(&fore);
    PaintRgnInPort(port, region, &fore);
}
