// Thumbnails that files carry inside their metadata as JPEG streams (the EXIF thumbnail, the
// Photoshop thumbnail resources), drawn into a new 32-bit offscreen of their own size.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstddef>

// swapRedBlue exchanges the red and blue channels of every pixel (old Photoshop thumbnails
// store them the other way round). The caller owns the new world.
OSErr ThumbnailFromJpegBytes(const void* bytes, std::size_t size, bool swapRedBlue, GWorldPtr* out);
