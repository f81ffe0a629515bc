// Pixels of an offscreen through a plain view of its memory, colour tables and the memory
// ratio of an image.
#pragma once

#include "platform/Handles.h"
#include "platform/MacTypes.h"

#include <cstddef>

// A locked pixel map: base address, bytes from one row to the next, bits per pixel and, when
// known (non-zero), the size in pixels that accesses are checked against.
struct PixMapView {
    void* baseAddr = nullptr;
    long rowBytes = 0;
    short pixelSize = 0;     // 1, 2, 4, 8, 16 or 32
    long width = 0;
    long height = 0;
};

// Depths 1, 2 and 4 pack pixels from the most significant bits of a byte first; 8 is a byte,
// 16 a 16-bit word, 32 a 32-bit word, each in memory order. Other depths, a missing view and
// pixels outside a known size change nothing and read 0.
void SetPixMapPixel(const PixMapView* pixMap, long x, long y, UInt32 value);
UInt32 GetPixMapPixel(const PixMapView* pixMap, long x, long y);

// Colour table layout: seed (4 bytes), flags (u16), size (u16) = count, then per entry its
// index (u16) and red, green, blue (u16 each); the handle is 2,064 bytes.
struct ColorSpec {
    UInt16 value;
    RGBColor rgb;
};
struct ColorTable {
    SInt32 ctSeed;
    UInt16 ctFlags;
    UInt16 ctSize;
    ColorSpec ctTable[256];
};
static_assert(sizeof(ColorSpec) == 8 && offsetof(ColorTable, ctTable) == 8);
enum : long { kColorTableHandleSize = 2064 };
enum : short {
    kColorTableFromBytes = 1,   // 3 bytes per entry, each widened by 257
    kColorTableFromWords = 2,   // 3 native 16-bit values per entry
};
// A new colour table of count (1..256) entries read from source by mode, with a fresh seed;
// null for a bad count, a bad mode, a missing source or no memory.
Handle MakeColorTable(const void* source, short count, short mode);

// How many images of this size fit in the available bytes, as a 16.16 ratio: (available /
// bytes) << 16 | 1 when one fits, else 0x10000 + bytes / available; 0 when any argument is 0.
// bytes = width * height * depth / 8, at least 1, in 64 bits.
UInt32 ImageMemoryRatio(UInt32 available, UInt32 width, UInt32 height, UInt32 depth);
