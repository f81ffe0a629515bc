// Offscreens of the core (32-bit worlds on cairo) shown by wx windows.
#pragma once

#include "platform/imaging/GWorld.h"

#include <wx/bitmap.h>

// A copy of a 32-bit world's pixels as an opaque bitmap; invalid for other formats.
wxBitmap BitmapFromGWorld(GWorldPtr world);
