// Reading one pixel of an offscreen world as red, green and blue, for the pixel checks of
// the readers' tests (the world's 32-bit pixels lie in memory as blue, green, red, alpha).
#pragma once

#include "platform/imaging/GWorld.h"

#include <cstdint>

struct Rgb {
    int r, g, b;
};

inline Rgb Pixel(GWorldPtr world, int x, int y) {
    const PixelView v = GetGWorldPixels(world);
    const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
    return {p[2], p[1], p[0]};
}
