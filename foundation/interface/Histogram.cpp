#include "foundation/interface/Histogram.h"

#include <algorithm>

OSErr ComputeHistogram(const PixMapView* pic, SInt32 luminance[256], SInt32 red[256], SInt32 green[256],
                       SInt32 blue[256]) {
    if (!pic || !luminance || pic->pixelSize != 32 || (!pic->baseAddr && pic->width > 0 && pic->height > 0))
        return paramErr;
    SInt32* arrays[4] = {luminance, red, green, blue};
    for (SInt32* a : arrays)
        if (a) std::fill(a, a + 256, 0);
    long pixels = 0;
    for (long y = 0; y < pic->height; ++y) {
        for (long x = 0; x < pic->width; ++x) {
            UInt32 p = GetPixMapPixel(pic, x, y);
            unsigned r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            int lum = int(0.299 * r + 0.587 * g + 0.114 * b);
            if (lum > 255) lum = 255;
            ++luminance[lum];
            if (red) ++red[r];
            if (green) ++green[g];
            if (blue) ++blue[b];
            ++pixels;
        }
    }
    if (pixels == 0) return noErr;
    double unit = 100.0 / double(pixels);
    for (SInt32* a : arrays)
        if (a)
            for (int i = 0; i < 256; ++i) a[i] = SInt32(a[i] * unit);
    return noErr;
}
