// The drawing port of a view window: a backing offscreen the view engine draws into whenever
// it likes, and the damage it has done since the window last looked. The window's paint
// handler only copies the offscreen to the screen; it turns the damage rectangle into a
// repaint. A one-row scroll moves the pixels inside the offscreen, so only the uncovered band
// needs drawing.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

struct ViewPort {
    GWorldPtr world = nullptr;   // 32-bit, port rectangle (0, 0, height, width)
    Rect damage{0, 0, 0, 0};     // union of the areas drawn since the last ViewPortTakeDamage
    UInt32 scrolls = 0;          // pixel moves made by ViewPortScroll (for the window's bookkeeping)
};

// A port with a backing offscreen of that size; null when the offscreen cannot be had.
ViewPort* ViewPortNew(SInt16 width, SInt16 height);
void ViewPortDispose(ViewPort* port);
// Gives the offscreen a new size (the old pixels are dropped, the whole port is damaged).
OSErr ViewPortResize(ViewPort* port, SInt16 width, SInt16 height);
// Adds an area (clipped to the port) to the damage.
void ViewPortAddDamage(ViewPort* port, const Rect* rect);
// The damage since the last call, which is then forgotten; false when there is none.
bool ViewPortTakeDamage(ViewPort* port, Rect* out);
// Moves the pixels of the area by dv rows (positive: down), the way a window scrolls its
// contents; answers the band the move uncovered, which the caller draws. The moved area counts
// as damage.
Rect ViewPortScroll(ViewPort* port, const Rect* area, int dv);
