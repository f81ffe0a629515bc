// Turning and mirroring offscreen pictures by an orientation code, and drawing an image file
// fitted into a port.
#pragma once

#include "foundation/interface/Orientation.h"
#include "foundation/interface/PixelAccess.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// A view of a world's pixels for the pixel helpers.
PixMapView OffscreenPixMapView(GWorldPtr world);

// Replaces *world by a turned or mirrored copy (same pixel format and depth; a quarter turn or
// a diagonal mirror exchanges width and height) and disposes of the old one. Code 0 changes
// nothing and answers 0; no world or a code that is not an orientation answers -50 and leaves
// the world alone; a failure to make the new world answers its error with the old one kept.
OSErr ApplyOrientation(GWorldPtr* world, TransformCode code);

// Draws an image file (or image data in a handle) into a port, shrunk to fit the frame (the
// port's rectangle when null) and placed by the alignment: 1-3 top left/centre/right, 4-6
// middle, 7-9 bottom; any other code centres it. -50 with neither file nor data.
OSErr ImageDrawFittedInPort(const FSSpec* spec, Handle data, GWorldPtr port, const Rect* frame, SInt16 alignment);
