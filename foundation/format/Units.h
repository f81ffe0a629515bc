// Print and export sizes: lengths in pixels to and from inches, centimetres, points and picas
// at a resolution in pixels per inch.
#pragma once

#include "platform/MacTypes.h"

// Unit codes of lengths (also stored in the preferences).
enum : short {
    kUnitPixels = 1,
    kUnitInches = 2,
    kUnitCentimeters = 3,
    kUnitPoints = 4,
    kUnitPicas = 5,
};

// A length in the unit to pixels, rounded (+0.5, then truncated). Pixels and unknown units:
// the length truncated. Results beyond the 32-bit range are clamped.
SInt32 ScaleValueByUnit(double length, short unit, double resolution);

// Pixels to a length in the unit; pixels and unknown units give the pixels back.
double PixelsToUnitValue(SInt32 pixels, short unit, double resolution);
