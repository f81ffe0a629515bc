#include "window/view/ViewPort.h"

#include <cairo.h>

#include <algorithm>
#include <cstring>

ViewPort* ViewPortNew(SInt16 width, SInt16 height) {
    auto* port = new ViewPort;
    if (width > 0 && height > 0 && ViewPortResize(port, width, height) != noErr) {
        delete port;
        return nullptr;
    }
    return port;
}

void ViewPortDispose(ViewPort* port) {
    if (!port) return;
    if (port->world) DisposeGWorld(port->world);
    delete port;
}

OSErr ViewPortResize(ViewPort* port, SInt16 width, SInt16 height) {
    if (!port) return paramErr;
    Rect bounds{0, 0, height, width};
    if (port->world) {
        DisposeGWorld(port->world);
        port->world = nullptr;
    }
    port->damage = Rect{0, 0, 0, 0};
    if (width <= 0 || height <= 0) return noErr;
    OSErr err = NewGWorldFromFormat(&port->world, k32ARGBPixelFormat, &bounds);
    if (err != noErr) return err;
    port->damage = bounds;
    return noErr;
}

void ViewPortAddDamage(ViewPort* port, const Rect* rect) {
    if (!port || !port->world || !rect) return;
    Rect bounds = GetPortBounds(port->world);
    Rect clipped;
    if (!SectRect(rect, &bounds, &clipped)) return;
    if (EmptyRect(&port->damage))
        port->damage = clipped;
    else
        UnionRect(&port->damage, &clipped, &port->damage);
}

bool ViewPortTakeDamage(ViewPort* port, Rect* out) {
    if (!port || EmptyRect(&port->damage)) return false;
    if (out) *out = port->damage;
    port->damage = Rect{0, 0, 0, 0};
    return true;
}

Rect ViewPortScroll(ViewPort* port, const Rect* area, int dv) {
    Rect none{0, 0, 0, 0};
    if (!port || !port->world || !area || dv == 0) return none;
    Rect bounds = GetPortBounds(port->world);
    Rect a;
    if (!SectRect(area, &bounds, &a)) return none;
    int height = a.bottom - a.top;
    if (std::abs(dv) >= height) {
        ViewPortAddDamage(port, &a);
        return a;
    }
    // Rows move inside one buffer, so copy in the order that never reads a row already written.
    PixelView px = GetGWorldPixels(port->world);
    LockPixels(port->world);
    int bytes = (a.right - a.left) * 4;
    if (dv > 0) {
        for (int y = a.bottom - 1; y >= a.top + dv; --y)
            std::memmove(px.base + (y - bounds.top) * px.rowBytes + (a.left - bounds.left) * 4,
                         px.base + (y - dv - bounds.top) * px.rowBytes + (a.left - bounds.left) * 4, bytes);
    } else {
        for (int y = a.top; y < a.bottom + dv; ++y)
            std::memmove(px.base + (y - bounds.top) * px.rowBytes + (a.left - bounds.left) * 4,
                         px.base + (y - dv - bounds.top) * px.rowBytes + (a.left - bounds.left) * 4, bytes);
    }
    UnlockPixels(port->world);
    ++port->scrolls;
    ViewPortAddDamage(port, &a);
    Rect band = a;
    if (dv > 0)
        band.bottom = SInt16(a.top + dv);
    else
        band.top = SInt16(a.bottom + dv);
    return band;
}
