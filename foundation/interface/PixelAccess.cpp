#include "foundation/interface/PixelAccess.h"

#include <cstring>

namespace {

// The byte address of row y, or null when the pixel is outside a known size.
unsigned char* RowOf(const PixMapView* pm, long x, long y) {
    if (!pm || !pm->baseAddr || x < 0 || y < 0) return nullptr;
    if ((pm->width > 0 && x >= pm->width) || (pm->height > 0 && y >= pm->height)) return nullptr;
    return static_cast<unsigned char*>(pm->baseAddr) + y * pm->rowBytes;
}

SInt32 NextSeed() {
    static SInt32 seed = 1024;   // seeds below 1024 are reserved for the standard tables
    return ++seed;
}

}  // namespace

void SetPixMapPixel(const PixMapView* pm, long x, long y, UInt32 value) {
    unsigned char* row = RowOf(pm, x, y);
    if (!row) return;
    switch (pm->pixelSize) {
    case 1:
    case 2:
    case 4: {
        int bits = pm->pixelSize;
        int perByte = 8 / bits;
        unsigned char* b = row + x / perByte;
        int shift = 8 - bits * (int(x % perByte) + 1);
        unsigned mask = ((1u << bits) - 1) << shift;
        *b = static_cast<unsigned char>((*b & ~mask) | ((value << shift) & mask));
        break;
    }
    case 8: row[x] = static_cast<unsigned char>(value); break;
    case 16: {
        std::uint16_t v = std::uint16_t(value);
        std::memcpy(row + x * 2, &v, 2);
        break;
    }
    case 32: std::memcpy(row + x * 4, &value, 4); break;
    default: break;
    }
}

UInt32 GetPixMapPixel(const PixMapView* pm, long x, long y) {
    const unsigned char* row = RowOf(pm, x, y);
    if (!row) return 0;
    switch (pm->pixelSize) {
    case 1:
    case 2:
    case 4: {
        int bits = pm->pixelSize;
        int perByte = 8 / bits;
        int shift = 8 - bits * (int(x % perByte) + 1);
        return (row[x / perByte] >> shift) & ((1u << bits) - 1);
    }
    case 8: return row[x];
    case 16: {
        std::uint16_t v;
        std::memcpy(&v, row + x * 2, 2);
        return v;
    }
    case 32: {
        UInt32 v;
        std::memcpy(&v, row + x * 4, 4);
        return v;
    }
    default: return 0;
    }
}

Handle MakeColorTable(const void* source, short count, short mode) {
    if (!source || count < 1 || count > 256) return nullptr;
    if (mode != kColorTableFromBytes && mode != kColorTableFromWords) return nullptr;
    Handle h = NewHandleClear(kColorTableHandleSize);
    if (!h) return nullptr;
    auto* table = reinterpret_cast<ColorTable*>(*h);
    table->ctSeed = NextSeed();
    table->ctFlags = 0;
    table->ctSize = UInt16(count);
    for (int i = 0; i < count; ++i) {
        ColorSpec& c = table->ctTable[i];
        c.value = UInt16(i);
        if (mode == kColorTableFromBytes) {
            const auto* b = static_cast<const unsigned char*>(source) + i * 3;
            c.rgb = RGBColor{UInt16(b[0] * 257), UInt16(b[1] * 257), UInt16(b[2] * 257)};
        } else {
            std::uint16_t w[3];
            std::memcpy(w, static_cast<const unsigned char*>(source) + i * 6, 6);
            c.rgb = RGBColor{w[0], w[1], w[2]};
        }
    }
    return h;
}

UInt32 ImageMemoryRatio(UInt32 available, UInt32 width, UInt32 height, UInt32 depth) {
    if (!available || !width || !height || !depth) return 0;
    UInt64 bytes = UInt64(width) * height * depth / 8;
    if (bytes == 0) bytes = 1;
    if (bytes <= available) {
        UInt64 ratio = available / bytes;
        if (ratio > 0xFFFF) ratio = 0xFFFF;
        return UInt32(ratio << 16) | 1;
    }
    UInt64 r = 0x10000 + bytes / available;
    return r > 0xFFFFFFFFull ? 0xFFFFFFFFu : UInt32(r);
}
