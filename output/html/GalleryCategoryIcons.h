// The eight small pictures a gallery shows for items that give no picture of their own: one
// 32 x 32 GIF89a per media category (0 image and any unknown category, 1 audio, 2 video,
// 3 illustration, 4 page layout, 5 font, 6 text, 7 web page), drawn by our own code.
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>
#include <vector>

// The GIF89a file of the category's icon; empty only when the GIF cannot be encoded.
std::vector<std::uint8_t> CategoryIconGif(UInt8 category);
