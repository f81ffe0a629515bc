#include "media/imaging/PortBridge.h"

#include "foundation/interface/FitRect.h"
#include "media/imaging/Offscreen.h"
#include "platform/imaging/Ports.h"

#include <cairo.h>

#include <new>

GWorldPtr PortSetCurrent(GWorldPtr port) {
    GWorldPtr previous = GetGWorld();
    if (previous != port) SetGWorld(port);
    return previous;
}

PixelView PortGetBitMap(GWorldPtr port) { return port ? GetGWorldPixels(port) : PixelView{}; }

void PortGetBoundsRect(GWorldPtr port, Rect* rect) {
    if (rect) *rect = GetPortBounds(port);
}

OSErr PortBeginGdi(PortGdiState* state, GWorldPtr port, bool clip) {
    if (!state) return paramErr;
    *state = PortGdiState{};
    cairo_surface_t* surface = GetGWorldSurface(port);
    if (!surface) return paramErr;
    LockPixels(port);
    state->dc = cairo_create(surface);
    state->port = port;
    Rect bounds = GetPortBounds(port);
    cairo_translate(state->dc, -bounds.left, -bounds.top);
    if (clip) {
        cairo_save(state->dc);
        state->saved = 1;
        cairo_rectangle(state->dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top);
        cairo_clip(state->dc);
    }
    return noErr;
}

OSErr PortBeginGdiCurrent(PortGdiState* state, bool clip) {
    return PortBeginGdi(state, GetGWorld(), clip);
}

void PortEndGdi(PortGdiState* state) {
    if (!state || !state->dc) return;
    if (state->saved) cairo_restore(state->dc);
    cairo_destroy(state->dc);
    cairo_surface_flush(GetGWorldSurface(state->port));
    UnlockPixels(state->port);
    *state = PortGdiState{};
}

void WindowValidateMacRect(GWorldPtr, const Rect*) {}

void PortSaveDrawState(GWorldPtr port, PortDrawState* state) {
    if (!state) return;
    GWorldPtr previous = PortSetCurrent(port);
    if (const PortState* p = GetPortState(port)) {
        state->fontId = p->textFont;
        state->textSize = p->textSize;
        state->textFace = p->textFace;
    }
    GetForeColor(&state->foreColor);
    GetBackColor(&state->backColor);
    GetPenState(&state->pen);
    PortSetCurrent(previous);
}

void PortRestoreDrawState(GWorldPtr port, const PortDrawState* state) {
    if (!state) return;
    GWorldPtr previous = PortSetCurrent(port);
    if (const PortState* p = GetPortState(port)) {
        if (p->textFont != state->fontId) TextFont(state->fontId);
        if (p->textFace != state->textFace) TextFace(state->textFace);
        if (p->textSize != state->textSize) TextSize(state->textSize);
    }
    RGBForeColor(&state->foreColor);
    RGBBackColor(&state->backColor);
    SetPenState(&state->pen);
    PortSetCurrent(previous);
}

WindowBuffer* OffscreenBeginForWindow(GWorldPtr window, const Rect* rect) {
    if (!window || !rect || EmptyRect(rect)) return nullptr;
    Rect bounds{0, 0, std::int16_t(rect->bottom - rect->top), std::int16_t(rect->right - rect->left)};
    GWorldPtr world = nullptr;
    if (NewGWorldFromFormat(&world, 0, &bounds) != noErr) return nullptr;
    auto* buffer = new (std::nothrow) WindowBuffer;
    if (!buffer) {
        DisposeGWorld(world);
        return nullptr;
    }
    RGBColor fore{0, 0, 0}, back{0xFFFF, 0xFFFF, 0xFFFF};
    GetForeColor(&fore);
    GetBackColor(&back);
    buffer->rect = *rect;
    buffer->window = window;
    buffer->world = world;
    buffer->previous = PortSetCurrent(world);
    SetPortOrigin(world, rect->left, rect->top);
    RGBForeColor(&fore);
    RGBBackColor(&back);
    return buffer;
}

void OffscreenFlushToWindow(WindowBuffer* buffer) {
    if (!buffer) return;
    SetPortOrigin(buffer->world, 0, 0);
    Rect whole = GetPortBounds(buffer->world);
    OffscreenDrawToWindow(buffer->world, buffer->window, &whole, &buffer->rect);
    DisposeGWorld(buffer->world);
    PortSetCurrent(buffer->previous);
    delete buffer;
}

OSErr PictureDrawToDC(PicHandle picture, cairo_t* dc, const Rect* destination) {
    if (!picture || !*picture || !dc || !destination) return paramErr;
    Rect bounds{0, 0, std::int16_t(destination->bottom - destination->top),
                std::int16_t(destination->right - destination->left)};
    if (EmptyRect(&bounds)) return noErr;
    GWorldPtr world = nullptr;
    if (OffscreenNewFilled(&world, 0, &bounds, nullptr) != noErr) return memFullErr;
    Rect frame;
    if (GetPictureFrame(picture, &frame) && !EmptyRect(&frame)) {
        FitRectInRect(&frame, Point{0, 0}, Point{bounds.bottom, bounds.right}, kFitFill);
        DrawPicture(picture, world, &frame);
    }
    cairo_save(dc);
    cairo_rectangle(dc, destination->left, destination->top, bounds.right, bounds.bottom);
    cairo_clip(dc);
    cairo_set_source_surface(dc, GetGWorldSurface(world), destination->left, destination->top);
    cairo_paint(dc);
    cairo_restore(dc);
    DisposeGWorld(world);
    return noErr;
}

OSErr RegionPaintColored(void*, RgnHandle region, const RGBColor* color) {
    if (!color) return noErr;
    RGBColor saved{0, 0, 0};
    GetForeColor(&saved);
    RGBForeColor(color);
    PaintRgn(region);
    RGBForeColor(&saved);
    return noErr;
}
