// Windows icon and cursor files (.ico, .cur): the directory of images and each image decoded
// to 32-bit pixels, whether it is stored as a device-independent bitmap with its AND mask
// (1, 4, 8, 24 or 32 bits per pixel) or compressed as PNG. Every offset and size read from the
// file is checked against the image's own block and the file.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct IconImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;  // 0xAARRGGBB, not premultiplied, top row first
    bool HasTransparency() const;
};

// The number of images the file's directory lists (0 when it is no icon or cursor file).
int IconImageCount(std::string_view file);
// Decodes image `index` (from 0); false for a damaged or unsupported image.
bool IconDecodeImage(std::string_view file, int index, IconImage* out);
