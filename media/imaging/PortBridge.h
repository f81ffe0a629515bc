// Ports and drawing contexts: the current port, a cairo drawing context opened on a port (the
// bridge that a window's device context was), the drawing state saved and restored around
// drawing, flicker-free drawing of a window area through a buffer, and pictures drawn onto a
// context. Windows draw into their backing world; a port here is always a world.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"
#include "platform/imaging/Regions.h"

typedef struct _cairo cairo_t;

struct PortDrawState {
    std::int16_t fontId = 0;
    std::int16_t textSize = 0;
    std::int16_t textFace = 0;
    RGBColor foreColor{0, 0, 0};
    RGBColor backColor{0xFFFF, 0xFFFF, 0xFFFF};
    PenState pen;
};

// The drawing context opened on a port: cairo on the port's pixels, in port coordinates.
struct PortGdiState {
    cairo_t* dc = nullptr;
    GWorldPtr port = nullptr;
    int saved = 0;  // 1 when a clip was set and must be undone
};

// Makes the port current when it is not; answers the port that was current.
GWorldPtr PortSetCurrent(GWorldPtr port);
void PortGetBoundsRect(GWorldPtr port, Rect* rect);
// The port's pixels as the copying calls take them (a view of its world; empty for no port).
PixelView PortGetBitMap(GWorldPtr port);
// Opens a context on the port (clipped to its rectangle when asked); -50 when there is none.
OSErr PortBeginGdi(PortGdiState* state, GWorldPtr port, bool clip);
OSErr PortBeginGdiCurrent(PortGdiState* state, bool clip);
void PortEndGdi(PortGdiState* state);
// Marks a window area as drawn; ports here have no window, so there is nothing to mark.
void WindowValidateMacRect(GWorldPtr port, const Rect* rect);
// Reads or sets the port's font, face, size, colours and pen (the port made current for the
// work and the previous one put back); fonts are only set where they differ.
void PortSaveDrawState(GWorldPtr port, PortDrawState* state);
void PortRestoreDrawState(GWorldPtr port, const PortDrawState* state);

struct WindowBuffer {
    Rect rect{};
    GWorldPtr window = nullptr;
    GWorldPtr previous = nullptr;
    GWorldPtr world = nullptr;
};
// A buffer for drawing one area of a window in window coordinates: made current with the
// colours of the port that was current. Null for an empty rectangle or when no world can be
// made.
WindowBuffer* OffscreenBeginForWindow(GWorldPtr window, const Rect* rect);
// Copies the buffer onto its area of the window, frees it and restores the previous port.
void OffscreenFlushToWindow(WindowBuffer* buffer);

// Draws a picture filling the destination rectangle of a context (proportions kept, the frame
// covered); -50 without a picture, -108 when the world cannot be made.
OSErr PictureDrawToDC(PicHandle picture, cairo_t* dc, const Rect* destination);

// Paints the region on the current port in the colour and puts the port's foreground colour
// back; answers 0. The first argument is the caller's and unused: this is the procedure a
// movie calls with the area its picture no longer covers, the colour being its refCon.
OSErr RegionPaintColored(void* refCon, RgnHandle region, const RGBColor* color);
