// The picture of an item as the clipboard takes it, as 8-bit RGB rows: the item's stored
// thumbnail at its own size on white, or its media file read at full size. Items without a
// thumbnail give none (an icon is no picture of the item).
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <vector>

struct ViewRec;

struct PictureBits {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;   // width * height * 3, rows top to bottom
};

// False when the item has no thumbnail.
bool ItemPictureBits(ViewRec* view, SInt32 item, PictureBits* out);
// The item's media file read at its own size (upright); false when it cannot be read.
bool ItemFilePictureBits(ViewRec* view, SInt32 item, PictureBits* out);
