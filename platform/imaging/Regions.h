// Regions: areas of a port made of rectangles, for the drawing that paints "everything in A
// that is not B" (what a movie uncovered when its box moved, a frame around a picture). A
// region is kept as a list of rectangles that never overlap, so painting it touches every
// pixel once and its area is the sum of its rectangles. Coordinates are those of the port.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>
#include <vector>

struct Region {
    Rect bounds{0, 0, 0, 0};   // the smallest rectangle holding every part; empty for none
    std::vector<Rect> parts;   // disjoint, none empty
};
using RgnHandle = Region*;

RgnHandle NewRgn();
void DisposeRgn(RgnHandle region);
void SetEmptyRgn(RgnHandle region);
// The region becomes the rectangle (empty when the rectangle is).
void RectRgn(RgnHandle region, const Rect* rect);
void CopyRgn(RgnHandle source, RgnHandle destination);
// destination = a with b added, a without b, the part of a inside b. The destination may be
// either source.
void UnionRgn(RgnHandle a, RgnHandle b, RgnHandle destination);
void DiffRgn(RgnHandle a, RgnHandle b, RgnHandle destination);
void SectRgn(RgnHandle a, RgnHandle b, RgnHandle destination);
void OffsetRgn(RgnHandle region, std::int16_t dh, std::int16_t dv);
bool EmptyRgn(RgnHandle region);
bool PtInRgn(Point point, RgnHandle region);
// Number of pixels the region covers.
std::int64_t RegionArea(RgnHandle region);

// Fills the region on the current port in its foreground colour, or on the port given.
void PaintRgn(RgnHandle region);
void PaintRgnInPort(GWorldPtr port, RgnHandle region, const RGBColor* color);
