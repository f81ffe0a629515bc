// Image data held in a handle drawn into a new offscreen through the graphics importer of its
// type.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// The image in a new world of its natural size in the pixel format, painted first in the
// background colour (or white), drawn with the transfer mode. Null with *err set: -8970 when
// no importer of the subtype exists, the importer's error for data it cannot read, -108 when
// the world cannot be made. The handle stays the caller's.
GWorldPtr GraphicsImportToOffscreen(Handle data, OSType subtype, OSType pixelFormat, std::int32_t graphicsMode,
                                    const RGBColor* background, OSErr* err);
