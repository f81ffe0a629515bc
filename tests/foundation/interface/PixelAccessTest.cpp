#include "foundation/interface/Histogram.h"
#include "foundation/interface/PixelAccess.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

TEST(PixelAccess, EveryDepthPacksAsStored) {
    struct Case {
        short depth;
        long x;
        UInt32 value;
        std::vector<unsigned char> rowAfter;   // the first bytes of row 1 after the set
    } cases[] = {
        {1, 1, 1, {0x40, 0x00}},
        {1, 9, 1, {0x00, 0x40}},
        {2, 1, 3, {0x30, 0x00}},
        {2, 3, 2, {0x02, 0x00}},
        {4, 1, 0xA, {0x0A, 0x00}},
        {4, 2, 0x5, {0x00, 0x50}},
        {8, 1, 0xC3, {0x00, 0xC3}},
    };
    for (const auto& c : cases) {
        std::vector<unsigned char> mem(3 * 8, 0);
        PixMapView pm{mem.data(), 8, c.depth, 0, 0};
        SetPixMapPixel(&pm, c.x, 1, c.value);
        EXPECT_EQ(GetPixMapPixel(&pm, c.x, 1), c.value) << c.depth << "/" << c.x;
        EXPECT_EQ(std::vector<unsigned char>(mem.begin() + 8, mem.begin() + 10), c.rowAfter) << c.depth << "/" << c.x;
        for (size_t i = 0; i < mem.size(); ++i) {
            if (i < 8 || i >= 10) {
                EXPECT_EQ(mem[i], 0) << c.depth << " byte " << i;
            }
        }
    }
}

TEST(PixelAccess, NeighboursSurviveAtOddColumns) {
    for (short depth : {1, 2, 4, 8, 16, 32}) {
        const long w = 13, h = 3;
        long rowBytes = (w * depth + 7) / 8 + 3;   // padding past the last pixel
        std::vector<unsigned char> mem(size_t(rowBytes * h), 0);
        PixMapView pm{mem.data(), rowBytes, depth, w, h};
        UInt32 maxValue = depth == 32 ? 0xFFFFFFFFu : (1u << depth) - 1;
        auto valueAt = [&](long x, long y) { return UInt32((x * 7 + y * 3 + 1) * 2654435761u) & maxValue; };
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x) SetPixMapPixel(&pm, x, y, valueAt(x, y));
        for (long y = 0; y < h; ++y)
            for (long x = 0; x < w; ++x) EXPECT_EQ(GetPixMapPixel(&pm, x, y), valueAt(x, y)) << depth;
        // Rewriting odd columns leaves even ones as they were.
        for (long x = 1; x < w; x += 2) SetPixMapPixel(&pm, x, 1, maxValue);
        for (long x = 0; x < w; ++x)
            EXPECT_EQ(GetPixMapPixel(&pm, x, 1), x % 2 ? maxValue : valueAt(x, 1)) << depth << " x " << x;
        // Outside a known size nothing is read or written.
        std::vector<unsigned char> before = mem;
        SetPixMapPixel(&pm, w, 0, maxValue);
        SetPixMapPixel(&pm, 0, h, maxValue);
        SetPixMapPixel(&pm, -1, 0, maxValue);
        EXPECT_EQ(mem, before) << depth;
        EXPECT_EQ(GetPixMapPixel(&pm, w, 0), 0u);
    }
    // 16 and 32 bits are words in memory order.
    UInt32 word32 = 0;
    PixMapView p32{&word32, 4, 32, 1, 1};
    SetPixMapPixel(&p32, 0, 0, 0xAABBCCDDu);
    EXPECT_EQ(word32, 0xAABBCCDDu);
    std::uint16_t word16 = 0;
    PixMapView p16{&word16, 2, 16, 1, 1};
    SetPixMapPixel(&p16, 0, 0, 0x12345u);
    EXPECT_EQ(word16, 0x2345u);
    // Depths without a layout change nothing.
    unsigned char bytes[8] = {};
    PixMapView p24{bytes, 8, 24, 2, 1};
    SetPixMapPixel(&p24, 0, 0, 0xFFFFFF);
    EXPECT_EQ(GetPixMapPixel(&p24, 0, 0), 0u);
    for (unsigned char b : bytes) EXPECT_EQ(b, 0);
}

TEST(ColorTables, MadeFromBytesOrWords) {
    const unsigned char bytes[] = {0x00, 0x80, 0xFF, 0x12, 0x34, 0x56};
    Handle h = MakeColorTable(bytes, 2, kColorTableFromBytes);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(GetHandleSize(h), kColorTableHandleSize);
    auto* t = reinterpret_cast<ColorTable*>(*h);
    EXPECT_EQ(t->ctSize, 2);
    EXPECT_EQ(t->ctFlags, 0);
    EXPECT_EQ(t->ctTable[0].value, 0);
    EXPECT_EQ(t->ctTable[0].rgb.green, 0x8080);
    EXPECT_EQ(t->ctTable[0].rgb.blue, 0xFFFF);
    EXPECT_EQ(t->ctTable[1].value, 1);
    EXPECT_EQ(t->ctTable[1].rgb.red, 0x1212);
    SInt32 seed = t->ctSeed;

    const std::uint16_t words[] = {1, 2, 3};
    Handle w = MakeColorTable(words, 1, kColorTableFromWords);
    ASSERT_NE(w, nullptr);
    auto* tw = reinterpret_cast<ColorTable*>(*w);
    EXPECT_EQ(tw->ctTable[0].rgb.red, 1);
    EXPECT_EQ(tw->ctTable[0].rgb.blue, 3);
    EXPECT_NE(tw->ctSeed, seed);   // every table gets its own seed
    DisposeHandle(h);
    DisposeHandle(w);

    std::vector<unsigned char> big(256 * 6, 0);
    Handle full = MakeColorTable(big.data(), 256, kColorTableFromWords);
    EXPECT_NE(full, nullptr);
    DisposeHandle(full);
    EXPECT_EQ(MakeColorTable(big.data(), 0, 1), nullptr);
    EXPECT_EQ(MakeColorTable(big.data(), 257, 1), nullptr);
    EXPECT_EQ(MakeColorTable(big.data(), 4, 3), nullptr);
    EXPECT_EQ(MakeColorTable(nullptr, 4, 1), nullptr);
}

TEST(ImageMemoryRatio, Table) {
    struct Case {
        UInt32 available, w, h, depth, want;
    } cases[] = {
        {1000, 10, 10, 8, (10u << 16) | 1},     // 100 bytes fit ten times
        {100, 10, 10, 8, (1u << 16) | 1},
        {50, 10, 10, 8, 0x10000 + 2},           // needs twice the room
        {1000, 1, 1, 1, (1000u << 16) | 1},     // less than a byte counts as one
        {0xFFFFFFFF, 1, 1, 8, 0xFFFF0001u},     // held at the largest ratio
        {1, 100000, 100000, 32, 0xFFFFFFFFu},   // 40 GB: no 32-bit wrap
        {0, 1, 1, 8, 0}, {1, 0, 1, 8, 0}, {1, 1, 0, 8, 0}, {1, 1, 1, 0, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ImageMemoryRatio(c.available, c.w, c.h, c.depth), c.want)
            << c.available << " " << c.w << "x" << c.h << "x" << c.depth;
}

TEST(Histogram, PercentagesOfPixels) {
    // black, white, red, blue: a quarter each
    UInt32 px[4] = {0xFF000000u, 0xFFFFFFFFu, 0xFFFF0000u, 0x000000FFu};
    PixMapView pic{px, 8, 32, 2, 2};
    SInt32 lum[256], red[256], green[256], blue[256];
    std::fill(std::begin(lum), std::end(lum), 77);
    ASSERT_EQ(ComputeHistogram(&pic, lum, red, green, blue), noErr);
    for (int i = 0; i < 256; ++i) {
        SInt32 wantLum = (i == 0 || i == 255 || i == 76 || i == 29) ? 25 : 0;
        EXPECT_EQ(lum[i], wantLum) << i;
        EXPECT_EQ(red[i], i == 0 || i == 255 ? 50 : 0) << i;
        EXPECT_EQ(green[i], i == 0 ? 75 : (i == 255 ? 25 : 0)) << i;
        EXPECT_EQ(blue[i], i == 0 || i == 255 ? 50 : 0) << i;
    }
    // Thirds round down.
    PixMapView three{px, 12, 32, 3, 1};
    ASSERT_EQ(ComputeHistogram(&three, lum, nullptr, nullptr, nullptr), noErr);
    EXPECT_EQ(lum[0], 33);
    EXPECT_EQ(lum[255], 33);
    EXPECT_EQ(lum[29], 0);
}

TEST(Histogram, EmptyAndMissing) {
    SInt32 lum[256], red[256];
    std::fill(std::begin(lum), std::end(lum), 5);
    std::fill(std::begin(red), std::end(red), 5);
    PixMapView none{nullptr, 0, 32, 0, 0};
    ASSERT_EQ(ComputeHistogram(&none, lum, red, nullptr, nullptr), noErr);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(lum[i], 0);
        EXPECT_EQ(red[i], 0);
    }
    std::fill(std::begin(red), std::end(red), 5);
    EXPECT_EQ(ComputeHistogram(nullptr, lum, red, nullptr, nullptr), paramErr);
    EXPECT_EQ(ComputeHistogram(&none, nullptr, red, nullptr, nullptr), paramErr);
    EXPECT_EQ(red[10], 5);   // untouched
    UInt32 px = 0;
    PixMapView eight{&px, 4, 8, 1, 1};
    EXPECT_EQ(ComputeHistogram(&eight, lum, nullptr, nullptr, nullptr), paramErr);
}

}  // namespace
