// Offscreen operations: packed rows in and out, the pixel walk, cropping, scaling, inverting
// and framing, and pictures recorded from worlds and drawn back.
#include "media/imaging/ImageDescColor.h"
#include "media/imaging/Offscreen.h"
#include "media/imaging/PixelServices.h"
#include "platform/Handles.h"
#include "platform/imaging/Picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct Seen {
    int x, y, r, g, b, a;
};
void Collect(void* ref, std::int32_t x, std::int32_t y, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    static_cast<std::vector<Seen>*>(ref)->push_back({x, y, r, g, b, a});
}

TEST(OffscreenPixels, PackedRgbRowsComeBackInRowOrderWithAlphaZero) {
    const std::uint8_t rgb[3 * 2 * 3] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18};
    GWorldPtr w = nullptr;
    ASSERT_EQ(OffscreenFromRGB24(&w, 3, 2, rgb), noErr);
    std::vector<Seen> seen;
    OffscreenForEachPixel(w, Collect, &seen);
    ASSERT_EQ(seen.size(), 6u);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(seen[i].x, i % 3);
        EXPECT_EQ(seen[i].y, i / 3);
        EXPECT_EQ(seen[i].r, rgb[i * 3]);
        EXPECT_EQ(seen[i].g, rgb[i * 3 + 1]);
        EXPECT_EQ(seen[i].b, rgb[i * 3 + 2]);
        EXPECT_EQ(seen[i].a, 0);
    }
    DisposeGWorld(w);

    // A 16-bit world is not walked.
    Rect r{0, 0, 2, 2};
    ASSERT_EQ(OffscreenNew(&w, 16, &r), noErr);
    seen.clear();
    OffscreenForEachPixel(w, Collect, &seen);
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(OffscreenGetPixelSize(w), 16);
    DisposeGWorld(w);
}

TEST(OffscreenPixels, WrittenRowsFollowTheWorldsFormat) {
    // Alpha, red, green, blue for a 32 world; blue, green, red, alpha for a 'BGRA' world.
    const std::uint8_t argb[8] = {0xFF, 10, 20, 30, 0xFF, 40, 50, 60};
    for (OSType format : {OSType(32), OSType('BGRA')}) {
        Rect r{0, 0, 1, 2};
        GWorldPtr w = nullptr;
        ASSERT_EQ(OffscreenNew(&w, format, &r), noErr);
        OffscreenWriteRows(w, argb, 8, 1);
        std::vector<Seen> seen;
        OffscreenForEachPixel(w, Collect, &seen);
        ASSERT_EQ(seen.size(), 2u);
        if (format == 32) {
            EXPECT_EQ(seen[0].r, 10);
            EXPECT_EQ(seen[1].b, 60);
        } else {
            EXPECT_EQ(seen[0].b, 0xFF);
            EXPECT_EQ(seen[0].r, 20);
        }
        DisposeGWorld(w);
    }
}

TEST(OffscreenOperations, CropScaleInvertAndFrame) {
    std::vector<std::uint8_t> rgb(8 * 6 * 3);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) rgb[(y * 8 + x) * 3] = std::uint8_t(x * 10 + y);
    GWorldPtr w = nullptr;
    ASSERT_EQ(OffscreenFromRGB24(&w, 8, 6, rgb.data()), noErr);
    Rect part{2, 3, 5, 7};
    GWorldPtr crop = nullptr;
    ASSERT_EQ(OffscreenCrop(&crop, w, &part), noErr);
    Rect b = GetPortBounds(crop);
    EXPECT_EQ(b.right, 4);
    EXPECT_EQ(b.bottom, 3);
    std::vector<Seen> seen;
    OffscreenForEachPixel(crop, Collect, &seen);
    EXPECT_EQ(seen[0].r, 32);  // (3, 2)
    DisposeGWorld(crop);

    // Scaled copies shrink to fit and never grow.
    Rect small{0, 0, 3, 3};
    GWorldPtr s = OffscreenScaledCopy(w, &small, 0);
    ASSERT_NE(s, nullptr);
    b = GetPortBounds(s);
    EXPECT_EQ(b.right, 3);
    EXPECT_EQ(b.bottom, 2);  // 8 x 6 into 3 x 3 keeps 4:3, rounded down
    DisposeGWorld(s);
    Rect large{0, 0, 100, 100};
    s = OffscreenScaledCopy(w, &large, 0);
    b = GetPortBounds(s);
    EXPECT_EQ(b.right, 8);
    DisposeGWorld(s);
    EXPECT_EQ(OffscreenScaledCopy(nullptr, &large, 0), nullptr);

    Rect corner{0, 0, 1, 1};
    ASSERT_EQ(OffscreenInvert(w, &corner), noErr);
    seen.clear();
    OffscreenForEachPixel(w, Collect, &seen);
    EXPECT_EQ(seen[0].r, 255);
    EXPECT_EQ(seen[1].r, 10);
    RGBColor green{0, 0xFFFF, 0};
    ASSERT_EQ(OffscreenFrame(w, &green), noErr);
    seen.clear();
    OffscreenForEachPixel(w, Collect, &seen);
    EXPECT_EQ(seen[0].g, 255);
    EXPECT_EQ(seen[8 * 2 + 3].g, 0);  // inside: untouched
    EXPECT_EQ(seen[8 * 6 - 1].g, 255);
    DisposeGWorld(w);
}

TEST(OffscreenPictures, RecordedPicturesDrawBackExactlyAndRefuseWhatTheyCannotHold) {
    std::vector<std::uint8_t> rgb(4 * 3 * 3);
    for (std::size_t i = 0; i < rgb.size(); ++i) rgb[i] = std::uint8_t(i * 19);
    GWorldPtr w = nullptr;
    ASSERT_EQ(OffscreenFromRGB24(&w, 4, 3, rgb.data()), noErr);
    PicHandle pic = nullptr;
    ASSERT_EQ(OffscreenToPicture(w, nullptr, 0x480000, &pic), noErr);
    Rect frame{};
    PictureGetFrame(pic, &frame);
    EXPECT_EQ(frame.right, 4);
    GWorldPtr back = nullptr;
    ASSERT_EQ(PictureToOffscreen(pic, 32, nullptr, nullptr, &back), noErr);
    std::vector<Seen> a, b;
    OffscreenForEachPixel(w, Collect, &a);
    OffscreenForEachPixel(back, Collect, &b);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].r, b[i].r);
        EXPECT_EQ(a[i].g, b[i].g);
        EXPECT_EQ(a[i].b, b[i].b);
    }
    DisposeGWorld(back);
    // Stretched to a final rectangle.
    Rect bigger{0, 0, 6, 8};
    ASSERT_EQ(PictureToOffscreen(pic, 32, &bigger, nullptr, &back), noErr);
    EXPECT_EQ(GetPortBounds(back).right, 8);
    DisposeGWorld(back);
    // Recorded at a smaller size.
    PicHandle shrunk = nullptr;
    Rect size{0, 0, 2, 2};
    ASSERT_EQ(OffscreenToPicture(w, &size, 0x480000, &shrunk), noErr);
    PictureGetFrame(shrunk, &frame);
    EXPECT_EQ(frame.right, 2);
    EXPECT_EQ(frame.bottom, 1);
    DisposeHandle(shrunk);
    DisposeHandle(pic);
    DisposeGWorld(w);

    EXPECT_EQ(PictureToOffscreen(nullptr, 32, nullptr, nullptr, &back), paramErr);
    Handle empty = NewHandleClear(12);
    EXPECT_EQ(PictureToOffscreen(empty, 32, nullptr, nullptr, &back), kPictureEmptyFrameErr);
    DisposeHandle(empty);
    Rect before{1, 2, 3, 4};
    PictureGetFrame(nullptr, &before);
    EXPECT_EQ(before.left, 2);  // left as it was
}

TEST(PixelServices, HistogramCountsLuminanceAndChannels) {
    UInt32 lum[256] = {}, red[256] = {};
    HistogramAccum h;
    h.luminance = lum;
    h.red = red;
    HistogramAddPixel(&h, 0, 0, 255, 255, 255, 0);
    HistogramAddPixel(&h, 1, 0, 100, 0, 0, 0);
    HistogramAddPixel(&h, 2, 0, 100, 0, 0, 0);
    EXPECT_EQ(lum[255], 1u);
    EXPECT_EQ(lum[29], 2u);  // 0.299 * 100 = 29.9, truncated
    EXPECT_EQ(red[100], 2u);
    EXPECT_EQ(h.maxLuminance, 2u);
    EXPECT_EQ(h.maxRed, 2u);
    EXPECT_EQ(h.maxGreen, 0u);  // its array is missing: skipped
    EXPECT_EQ(h.pixels, 3u);
}

TEST(PixelServices, SignatureSimilarityThresholds) {
    UInt8 a[5] = {100, 10, 20, 30, 40};
    struct {
        UInt8 b[5];
        bool raw;
        bool expect;
    } cases[] = {
        {{120, 30, 40, 50, 60}, false, true},   // every difference equals the first: mean 0
        {{120, 30, 40, 50, 60}, true, false},   // raw: mean 20
        {{100, 19, 29, 39, 49}, true, true},    // raw mean 9, below 10
        {{100, 20, 30, 40, 50}, true, false},   // raw mean exactly 10
        {{100, 14, 24, 34, 44}, false, true},   // 4 below 5
        {{100, 15, 25, 35, 45}, false, false},  // exactly 5
    };
    for (auto& c : cases) EXPECT_EQ(SignatureIsSimilar(a, c.b, 5, c.raw), c.expect);
    EXPECT_FALSE(SignatureIsSimilar(a, a, 1, true));  // too short to compare
    EXPECT_FALSE(SignatureIsSimilar(a, nullptr, 5, true));
}

TEST(ImageDescriptions, ColourSpaceAndDepthFromTheDescription) {
    struct {
        std::int16_t depth;
        OSType format;
        OSType space;
        UInt32 bits;
    } cases[] = {
        {24, 0, 'RGB ', 24}, {32, 0, 'RGB ', 32}, {40, 0, 'GRAY', 8}, {36, 0, 'GRAY', 4}, {1, 0, 'BW  ', 1},
        {8, 0, 'INDX', 8},   {2, 0, 'INDX', 2},   {32, 'cmyk', 'CMYK', 32}, {48, 'b48r', 'RGB ', 48},
        {8, 40, 'GRAY', 8},  {24, 24, 'RGB ', 24}, {32, 'zzzz', 0, 0},
    };
    for (auto& c : cases) {
        ImageDescriptionRec rec;
        rec.desc = MakeImageDescription('raw ', "None", 4, 4, 72, 72, c.depth);
        rec.pixelFormatExtension = c.format;
        UInt32 bits = 99;
        OSType space = 1;
        ImageDescGetColorSpace(rec, &bits, &space);
        EXPECT_EQ(space, c.space) << c.depth;
        EXPECT_EQ(bits, c.bits) << c.depth;
        ImageDescriptionHandle h = NewImageDescriptionHandle(rec);
        OSType viaHandle = 0;
        ImageDescriptionColorInfo(h, &viaHandle, nullptr);
        EXPECT_EQ(viaHandle, c.space);
        DisposeHandle(h);
    }
}

}  // namespace

namespace {

// The signature worked out the long way: the brightness 0.299 R + 0.587 G + 0.114 B of every
// pixel, byte 0 their rounded mean, bytes 1..99 the rounded means of the 11 x 9 cells (a cell
// without pixels takes the pixel at its corner).
std::vector<UInt8> SignatureByHand(const std::vector<std::uint8_t>& bgrx, int w, int h) {
    std::vector<double> sums(99, 0.0);
    std::vector<long> counts(99, 0);
    double total = 0;
    auto lum = [&](int x, int y) {
        const std::uint8_t* p = &bgrx[std::size_t((y * w + x) * 4)];
        return 0.299 * p[2] + 0.587 * p[1] + 0.114 * p[0];
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int cell = (y * 9 / h) * 11 + x * 11 / w;
            sums[std::size_t(cell)] += lum(x, y);
            counts[std::size_t(cell)] += 1;
            total += lum(x, y);
        }
    std::vector<UInt8> out(100);
    out[0] = UInt8(std::lround(total / (double(w) * h)));
    for (int i = 0; i < 99; ++i) {
        const double v = counts[std::size_t(i)] ? sums[std::size_t(i)] / double(counts[std::size_t(i)])
                                                 : lum(i % 11 * w / 11, i / 11 * h / 9);
        out[std::size_t(1 + i)] = UInt8(std::lround(v));
    }
    return out;
}

TEST(PictureSignatureTest, MeanBrightnessOfThePictureAndOfEachCell) {
    // Sizes that split evenly, unevenly, and smaller than the grid.
    struct Size {
        int w, h;
    } sizes[] = {{44, 27}, {13, 10}, {128, 96}, {5, 4}, {1, 1}, {97, 131}};
    unsigned seed = 5;
    for (const Size& s : sizes) {
        std::vector<std::uint8_t> px(std::size_t(s.w * s.h * 4));
        for (std::size_t i = 0; i < px.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            px[i] = std::uint8_t(seed >> 16);
        }
        PicHandle pic = nullptr;
        ASSERT_EQ(RecordPixelsPicture(px.data(), s.w, s.h, s.w * 4, 0x00480000, &pic), noErr);
        // The pixels as the picture draws them.
        GWorldPtr drawn = nullptr;
        ASSERT_EQ(PictureToOffscreen(pic, k32BGRAPixelFormat, nullptr, nullptr, &drawn), noErr);
        const PixelView v = GetGWorldPixels(drawn);
        ASSERT_EQ(v.width, s.w);
        ASSERT_EQ(v.height, s.h);
        std::vector<std::uint8_t> bgrx;
        for (int y = 0; y < s.h; ++y)
            bgrx.insert(bgrx.end(), v.base + y * v.rowBytes, v.base + y * v.rowBytes + s.w * 4);
        DisposeGWorld(drawn);
        std::vector<UInt8> signature(100);
        ASSERT_EQ(PictureSignature(pic, signature.data(), 100), noErr);
        EXPECT_EQ(signature, SignatureByHand(bgrx, s.w, s.h)) << s.w << " x " << s.h;
        EXPECT_EQ(PictureSignature(pic, signature.data(), 99), paramErr);
        DisposeHandle(pic);
    }
    EXPECT_EQ(PictureSignature(nullptr, nullptr, 100), paramErr);
}

}  // namespace
