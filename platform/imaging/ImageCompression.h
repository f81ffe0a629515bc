// Image compression as pictures use it: a world's pixels compressed by a codec (JPEG here)
// into an image description and data, and a picture turned into a compressed picture.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/ImageDescription.h"
#include "platform/imaging/Picture.h"

#include <cstdint>
#include <vector>

enum : std::uint32_t {
    codecMinQuality = 0x000,
    codecLowQuality = 0x100,
    codecNormalQuality = 0x200,
    codecHighQuality = 0x300,
    codecMaxQuality = 0x3FF,
};

// Compresses the part of a 32-bit world inside rect (the whole world when null) with the codec
// ('jpeg'), at the quality (codecMinQuality..codecMaxQuality) and depth (24 colour, 40 grey).
// -8970 for a codec we do not have.
OSErr CompressImage(GWorldPtr world, const Rect* rect, std::uint32_t quality, OSType codec, std::int16_t depth,
                    Fixed resolution, ImageDescriptionRec* desc, std::vector<std::uint8_t>* data);
// A new picture holding the source picture's image compressed by the codec, at the source's
// frame size and resolution.
OSErr CompressPicture(PicHandle source, PicHandle* out, std::uint32_t quality, OSType codec, std::int16_t depth);
