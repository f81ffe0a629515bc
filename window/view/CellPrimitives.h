// The small drawing operations every cell drawer shares, on a cairo context: filling and
// framing rectangles in a colour, the gap between a frame and the picture inside it, one-pixel
// lines, and rectangle fitting. Rectangles are pixel rectangles (left and top inside, right and
// bottom outside), so every fill and frame lands on whole pixels, the same on screen, in a
// printed page and in a test's image surface.
#pragma once

#include "platform/MacTypes.h"

typedef struct _cairo cairo_t;

void CellSetColor(cairo_t* cr, const RGBColor& color);
void FillRectColor(cairo_t* cr, const Rect& rect, const RGBColor& color);
// Frames the rectangle inside its edges with a pen of that width.
void FrameRectWidth(cairo_t* cr, SInt16 width, const Rect& rect, const RGBColor& color);
// Fills outer outside inner as four strips: above, left of, below, right of inner (each only
// when it is not empty). Inner may reach beyond outer; it is clipped to it first.
void FillFrameGap(cairo_t* cr, const Rect& outer, const Rect& inner, const RGBColor& color);
// A one-pixel line from one point to the other, the last point left out (as a pen that moves
// there). Horizontal and vertical lines cover whole pixels.
void DrawLineColor(cairo_t* cr, Point from, Point to, const RGBColor& color);

// Fit modes: 0 centre without scaling, 1 shrink to fit (never enlarge), 2 scale to fit
// (enlarging too); proportions kept, centred, at least 1 pixel a side. Answers the percent.
enum : int { kCellFitCentre = 0, kCellFitShrink = 1, kCellFitScale = 2 };
short CellFitRect(Rect* rect, const Rect& frame, int mode);

inline SInt16 RectWidth(const Rect& r) { return SInt16(r.right - r.left); }
inline SInt16 RectHeight(const Rect& r) { return SInt16(r.bottom - r.top); }
bool RectsIntersect(const Rect& a, const Rect& b);
