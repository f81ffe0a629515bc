// Drawing steps the presenters share: placing a picture of a natural size in the object's
// rectangles at its percent and size mode, and painting the background around it.
#pragma once

#include "media/presenters/MediaObject.h"

// The image rectangle of a picture of the size in the object's display rectangle (the bounds
// when empty), scaled by the object's percent and size mode and moved by its scroll point;
// *percent receives the scale used.
Rect PresenterPlaceImage(MediaObject& object, int width, int height, short* percent);
// Paints the bounds outside the image rectangle in the object's background colour (when it has
// one).
void PresenterEraseAround(MediaObject& object, const Rect& image);
// Fills a rectangle of a world in a colour.
void PresenterFill(GWorldPtr world, const Rect& rect, const RGBColor& color);
// The rectangle the presenter draws in: the display rectangle, or the bounds when it is empty.
Rect PresenterFrame(const MediaObject& object);
bool PointInRect(Point p, const Rect& r);
