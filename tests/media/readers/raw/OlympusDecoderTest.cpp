// The Olympus sensor decoder: unpacking of 16-bit and interlaced 12-bit strips, the bilinear
// demosaic with the red and blue boost, strips that hold more samples than the picture, and an
// E-10 ORF decoded in full through the ORF thumbnail reader.
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindEngine.h"
#include "media/kinds/KindTable.h"
#include "media/readers/raw/OlympusDecoder.h"
#include "media/readers/raw/RawPreviewReaders.h"
#include "media/readers/raw/RawTestFiles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <tiffio.h>

using namespace rawtest;

namespace {

struct Pixel {
    int r, g, b;
    bool operator==(const Pixel& o) const { return r == o.r && g == o.g && b == o.b; }
};
std::ostream& operator<<(std::ostream& os, const Pixel& p) { return os << "(" << p.r << "," << p.g << "," << p.b << ")"; }

Pixel At(GWorldPtr world, int x, int y) {
    PixelView v = GetGWorldPixels(world);
    const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
    return {p[2], p[1], p[0]};
}

OlympusRawInput OneStrip(UInt32 width, UInt32 height, UInt32 offset, UInt32 count) {
    OlympusRawInput input;
    input.width = width;
    input.height = height;
    input.stripOffsets = {offset};
    input.stripByteCounts = {count};
    return input;
}

TEST(OlympusDecoderTest, TwelveBitStripsFillEvenRowsThenOddRowsAndLeaveASpareByte) {
    TempFolder temp;
    // Two groups of three bytes (four samples) and one byte that makes no group.
    const Bytes strip = {0x10, 0x02, 0x34, 0x50, 0x0F, 0xF0, 0x99};
    WriteBytes(temp / "strip", strip);
    FSSpec spec = CheckedSpecOf(temp / "strip");
    GWorldPtr out = nullptr;
    ASSERT_EQ(OlympusDecode12(&spec, &out, OneStrip(2, 2, 0, UInt32(strip.size())), 1), noErr);
    // Narrower than three pixels: nothing is interpolated or balanced, the picture stays grey.
    EXPECT_EQ(At(out, 0, 0), (Pixel{0x10, 0x10, 0x10}));
    EXPECT_EQ(At(out, 1, 0), (Pixel{0x23, 0x23, 0x23}));  // (0x2 << 8 | 0x34) >> 4
    EXPECT_EQ(At(out, 0, 1), (Pixel{0x50, 0x50, 0x50}));
    EXPECT_EQ(At(out, 1, 1), (Pixel{0xFF, 0xFF, 0xFF}));  // (0xF << 8 | 0xF0) >> 4
    DisposeGWorld(out);
}

TEST(OlympusDecoderTest, AStripWithMoreSamplesThanThePictureStopsAtItsLastPixel) {
    TempFolder temp;
    const Bytes strip(4096, 0x80);
    WriteBytes(temp / "long", strip);
    FSSpec spec = CheckedSpecOf(temp / "long");
    GWorldPtr out = nullptr;
    ASSERT_EQ(OlympusDecode16(&spec, &out, OneStrip(4, 4, 0, UInt32(strip.size())), 1, 0), noErr);
    DisposeGWorld(out);
    // A strip that lies past the end of the file is an error, with no picture.
    EXPECT_EQ(OlympusDecode16(&spec, &out, OneStrip(4, 4, 4000, 500), 1, 0), eofErr);
    EXPECT_EQ(out, nullptr);
}

TEST(OlympusDecoderTest, BalancingMultipliesRedAndBlueByOneAndAHalfUpTo255) {
    Rect bounds{0, 0, 3, 3};
    GWorldPtr world = nullptr;
    ASSERT_EQ(OffscreenNew(&world, 32, &bounds), noErr);
    PixelView v = GetGWorldPixels(world);
    for (auto [x, r, b] : {std::tuple{1, 200, 100}}) {
        std::uint8_t* p = v.base + 1 * v.rowBytes + x * 4;
        p[2] = std::uint8_t(r), p[1] = 77, p[0] = std::uint8_t(b);
    }
    std::uint8_t* corner = v.base;
    corner[2] = 100;
    OlympusBalanceRedBlue(world);
    EXPECT_EQ(At(world, 1, 1), (Pixel{255, 77, 150}));
    EXPECT_EQ(At(world, 0, 0).r, 100);  // the border is left alone
    DisposeGWorld(world);
}

// An E-10 file: 16-bit samples whose first byte is 200 at red sites, 100 at green and 50 at blue.
void WriteE10(const std::string& path, int w, int h) {
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tif, nullptr);
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 16);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, h / 2);
    TIFFSetField(tif, TIFFTAG_MAKE, "OLYMPUS OPTICAL CO.,LTD");
    TIFFSetField(tif, TIFFTAG_MODEL, "E-10");
    for (int s = 0; s < 2; ++s) {
        Bytes strip;
        for (int y = s * h / 2; y < (s + 1) * h / 2; ++y)
            for (int x = 0; x < w; ++x) {
                const bool red = x % 2 == 0 && y % 2 == 0, blue = x % 2 == 1 && y % 2 == 1;
                strip.push_back(red ? 200 : blue ? 50 : 100);
                strip.push_back(0);
            }
        TIFFWriteRawStrip(tif, s, strip.data(), tmsize_t(strip.size()));
    }
    TIFFClose(tif);
}

TEST(OlympusDecoderTest, AnE10OrfIsDecodedInFullWithItsColoursRestored) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    TempFolder temp;
    WriteE10(temp / "e10.orf", 8, 6);
    FSSpec spec = CheckedSpecOf(temp / "e10.orf");
    GWorldPtr out = nullptr;
    ASSERT_EQ(OrfMakeThumbnail(&spec, &out, kKindDisplaySize, 0), noErr);
    Rect b = GetPortBounds(out);
    EXPECT_EQ(b.right - b.left, 8);
    EXPECT_EQ(b.bottom - b.top, 6);
    // Every inner pixel, whatever its site, is red 200 x 1.5 (held at 255), green 100, blue 75.
    for (int y = 1; y <= 4; ++y)
        for (int x = 1; x <= 6; ++x) EXPECT_EQ(At(out, x, y), (Pixel{255, 100, 75})) << x << "," << y;
    EXPECT_EQ(At(out, 0, 0), (Pixel{200, 200, 200}));  // the border stays grey
    DisposeGWorld(out);
    KindEngineShutdown();
    KindTableClear();
}

}  // namespace
