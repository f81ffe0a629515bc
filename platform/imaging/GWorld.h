// Offscreen worlds: the pixel images that readers draw into, the thumbnail maker scales from
// and the views copy to the screen. A world is a block of pixels with a port rectangle; the
// 32-bit ones are cairo image surfaces, so cairo can draw into them and read from them.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>
#include <cstdint>

typedef struct _cairo_surface cairo_surface_t;

// Pixel formats a world can be made in. 0 stands for the screen's depth (32 bits here).
enum : OSType {
    k1MonochromePixelFormat = 1,
    k8IndexedPixelFormat = 8,
    k16BE555PixelFormat = 16,
    k24RGBPixelFormat = 24,
    k32ARGBPixelFormat = 32,
    k8IndexedGrayPixelFormat = 40,  // 8-bit grey levels, 0 black
    k32BGRAPixelFormat = 'BGRA',
    k32CMYKPixelFormat = 'cmyk',    // four bytes C, M, Y, K; 0 no ink
};

struct GWorld;
using GWorldPtr = GWorld*;
using CGrafPtr = GWorld*;

// A view of a world's pixels. Every 32-bit world keeps its pixels as 32-bit words 0xAARRGGBB
// in host order, that is bytes blue, green, red, alpha in memory, whichever 32-bit format it
// was made in; 16-bit worlds keep 0x0RRRRRGGGGGBBBBB words, grey and indexed worlds one byte.
struct PixelView {
    std::uint8_t* base = nullptr;
    std::int32_t rowBytes = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int16_t depth = 0;   // bits per pixel
    OSType format = 0;        // the format the world was made in (0 answered as 32)
};

// Largest world we ever allocate, in pixels, and the largest side (a Rect holds 16 bits).
inline constexpr std::int64_t kMaxWorldPixels = 128LL * 1024 * 1024;
inline constexpr std::int32_t kMaxWorldSide = 32767;

// Makes a world of the format with the port rectangle `bounds` (its pixels cover the rectangle;
// its top-left need not be 0,0). Pixels start zero (black for 32-bit, white for CMYK).
// -50 for an empty rectangle or an unknown format; -108 when it is too large or memory is short.
OSErr NewGWorldFromFormat(GWorldPtr* out, OSType pixelFormat, const Rect* bounds);
void DisposeGWorld(GWorldPtr world);

Rect GetPortBounds(GWorldPtr world);
// Moves the port rectangle so that its top-left becomes (h, v); the pixels stay.
void SetPortOrigin(GWorldPtr world, int h, int v);
OSType GetGWorldPixelFormat(GWorldPtr world);
std::int16_t GetGWorldDepth(GWorldPtr world);
PixelView GetGWorldPixels(GWorldPtr world);

// The cairo surface over a 32-bit world (CAIRO_FORMAT_RGB24: the alpha byte is not used by
// drawing), or null for the other formats. It belongs to the world.
cairo_surface_t* GetGWorldSurface(GWorldPtr world);

// The drawing state every world carries as a port: colours, pen and text settings.
struct PenState {
    Point pnLoc{0, 0};
    Point pnSize{1, 1};
    std::int16_t pnMode = 8;  // patCopy
    std::uint8_t pnPat[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
};
struct PortState {
    RGBColor foreColor{0, 0, 0};
    RGBColor backColor{0xFFFF, 0xFFFF, 0xFFFF};
    PenState pen;
    std::int16_t textFont = 0;
    std::int16_t textFace = 0;
    std::int16_t textSize = 0;
};
PortState* GetPortState(GWorldPtr world);

// Bracket direct pixel access so that cairo's view of the pixels stays right.
bool LockPixels(GWorldPtr world);
void UnlockPixels(GWorldPtr world);

// Changes the world to the new bounds. With stretch the old picture is scaled into the new
// size, otherwise the pixels are dropped. The world object stays the same.
OSErr UpdateGWorldBounds(GWorldPtr world, const Rect* bounds, bool stretch);

// Pixel format to bits per pixel; 0 for an unknown format.
std::int16_t PixelFormatDepth(OSType pixelFormat);
