// Luminance and channel histograms of a 32-bit picture, as percentages of its pixels.
#pragma once

#include "foundation/interface/PixelAccess.h"

// Pixels are 32-bit words 0xAARRGGBB (alpha ignored). luminance counts the integer part of
// 0.299 R + 0.587 G + 0.114 B; red, green and blue (each may be null) count the channels.
// Every count then becomes its percentage of the pixels (integer part). paramErr, arrays
// untouched, when the picture or luminance is missing or the picture is not 32-bit; a picture
// without pixels leaves every bin at 0.
OSErr ComputeHistogram(const PixMapView* picture, SInt32 luminance[256], SInt32 red[256], SInt32 green[256],
                       SInt32 blue[256]);
