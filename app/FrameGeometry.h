// Where catalog windows go on the screen: a frame's stored rectangle kept inside the work area
// of the nearest monitor, and the Window menu's tile and cascade over a work area.
#pragma once

#include <vector>

struct ScreenRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenRect&) const = default;
};

// The work area (of those given) nearest to the rectangle: the one it overlaps most, else the
// one whose centre is closest. Null for an empty list.
const ScreenRect* NearestWorkArea(const ScreenRect& rect, const std::vector<ScreenRect>& workAreas);

// Moves the rectangle right/down onto the area's left/top edge or left/up so that it ends at
// the right/bottom edge, and cuts it to the area when it is larger.
ScreenRect KeepInside(const ScreenRect& rect, const ScreenRect& area);

// Where a frame is placed: its stored rectangle, or for a catalog never saved the reference
// frame's position (else the stored one) moved by 25 x 25 with the stored size; then kept
// inside the nearest work area.
ScreenRect PlaceFrameRect(const ScreenRect& stored, bool neverSaved, const ScreenRect* reference,
                          const std::vector<ScreenRect>& workAreas);

// count windows side by side (across) or one above the other (down), filling the area.
std::vector<ScreenRect> TileRects(const ScreenRect& area, int count, bool across);
// count windows stepped down and right by step, each two thirds of the area.
std::vector<ScreenRect> CascadeRects(const ScreenRect& area, int count, int step);
