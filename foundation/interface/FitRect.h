// Fitting a picture's rectangle into a frame, and small geometry conversions.
#pragma once

#include "platform/Handles.h"
#include "platform/MacTypes.h"

enum : short {
    kFitShrinkOnly = 1,   // 1.0, or as kFitInside when the rectangle is larger than the frame
    kFitInside = 2,       // the smaller ratio: the whole rectangle shows
    kFitFill = 3,         // the larger ratio: the frame is covered
    kFitWidth = 4,        // the width ratio
    kFitHeight = 5,       // the height ratio
    kFitGrowOnly = 6,     // 1.0, or as kFitFill when the rectangle is larger than the frame
};

// Moves rect to the origin, scales it by mode and centres it in the frame. Answers the scale in
// percent: rounded down for modes 1, 2, 4 and 5, up for 3 and 6; any other mode centres at
// scale 1.0 and answers 100. A side never becomes 0; an empty rectangle counts as 1 x 1 and
// results beyond 16 bits are held at 32767.
short FitRectInRect(Rect* rect, Point frameTopLeft, Point frameBottomRight, short mode);
// View modes: 1 actual size centred, 2 shrink only, 4 width, 5 height, 6 fill, 7 fit inside,
// 8 the frame itself (100); any other mode scales by percent and centres (answers percent).
short ScaleRectInRect(Rect* rect, Point frameTopLeft, Point frameBottomRight, short percent, short viewMode);
// A scroll position inside an oversized picture: nothing moves and the offset becomes (0, 0)
// when rect lies inside the frame; otherwise rect is centred, the offset clamped on each axis
// to half the overflow (0 on an axis without overflow), and rect moved by it.
void FitRectInRectAt(Rect* rect, Point frameTopLeft, Point frameBottomRight, Point* offset);
// True when both coordinates differ by at most tolerance.
bool PointsNear(Point a, Point b, short tolerance);
// The frame rectangle of a picture: the 8 big-endian bytes after its size word.
OSErr GetPictFrame(Handle picture, Rect* frame);

// A window-system rectangle: 32-bit left, top, right, bottom.
struct RECT {
    SInt32 left;
    SInt32 top;
    SInt32 right;
    SInt32 bottom;
};
void RECTToMacRect(const RECT* in, Rect* out);
void MacRectToRECT(const Rect* in, RECT* out);

// Each 8-bit channel of an 0x00BBGGRR colour times 257.
void ColorRefToRGBColor(std::uint32_t colour, RGBColor* rgb);
// The high byte of each channel as 0x00BBGGRR, stored in *colour when given and answered.
std::uint32_t RGBColorToColorRef(const RGBColor* rgb, std::uint32_t* colour);
