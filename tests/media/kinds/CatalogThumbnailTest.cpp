// The catalog thumbnail step: fitting without enlarging, sharpening only strong reductions,
// the sample colour and its packing, and the picture it makes.
#include "media/imaging/Offscreen.h"
#include "media/kinds/CatalogThumbnail.h"
#include "media/kinds/KindEngine.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

// A world of w x h whose left half is one grey and right half another.
GWorldPtr TwoGreys(int w, int h, std::uint8_t left, std::uint8_t right) {
    Rect r{0, 0, std::int16_t(h), std::int16_t(w)};
    GWorldPtr world = nullptr;
    EXPECT_EQ(NewGWorldFromFormat(&world, 32, &r), noErr);
    PixelView v = GetGWorldPixels(world);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) std::memset(v.base + y * v.rowBytes + x * 4, x < w / 2 ? left : right, 3);
    return world;
}

std::pair<int, int> Range(GWorldPtr w) {
    PixelView v = GetGWorldPixels(w);
    int lo = 255, hi = 0;
    for (int y = 0; y < v.height; ++y)
        for (int x = 0; x < v.width; ++x) {
            int g = v.base[y * v.rowBytes + x * 4 + 1];
            lo = std::min(lo, g);
            hi = std::max(hi, g);
        }
    return {lo, hi};
}

TEST(CatalogThumbnail, FitsWithoutEnlargingAndSharpensOnlyBelowHalfSize) {
    struct {
        int width, height;
        SInt32 size;
        int outWidth, outHeight;
        short percent;
        bool sharpened;
    } cases[] = {
        {100, 50, 160, 100, 50, 100, false},  // smaller than the size: kept, not sharpened
        {400, 200, 160, 160, 80, 40, true},   // 40 percent
        {320, 160, 160, 160, 80, 50, false},  // exactly half
        {200, 400, 100, 50, 100, 25, true},   // portrait
    };
    for (auto& c : cases) {
        GWorldPtr src = TwoGreys(c.width, c.height, 100, 150);
        GWorldPtr out = nullptr;
        short percent = 0;
        ASSERT_EQ(KindThumbnailOffscreen(src, nullptr, c.size, 0, nullptr, &out, &percent), noErr);
        Rect r = GetPortBounds(out);
        EXPECT_EQ(r.right, c.outWidth);
        EXPECT_EQ(r.bottom, c.outHeight);
        EXPECT_EQ(percent, c.percent);
        // Sharpening overshoots at the edge between the greys.
        auto [lo, hi] = Range(out);
        EXPECT_EQ(lo < 100 || hi > 150, c.sharpened) << c.width << "x" << c.height << " " << lo << ".." << hi;
        DisposeGWorld(out);
        DisposeGWorld(src);
    }
}

TEST(CatalogThumbnail, OrientationTurnsTheThumbnail) {
    GWorldPtr src = TwoGreys(200, 100, 0, 255);
    GWorldPtr out = nullptr;
    ASSERT_EQ(KindThumbnailOffscreen(src, nullptr, 100, 0x5720, nullptr, &out, nullptr), noErr);  // 'W '
    Rect r = GetPortBounds(out);
    EXPECT_EQ(r.right, 50);
    EXPECT_EQ(r.bottom, 100);
    PixelView v = GetGWorldPixels(out);
    EXPECT_LT(v.base[10 * v.rowBytes + 25 * 4], 30);   // the dark left half is now on top
    EXPECT_GT(v.base[90 * v.rowBytes + 25 * 4], 220);
    DisposeGWorld(out);
    DisposeGWorld(src);
}

TEST(CatalogThumbnail, SampleColourIsTheFullestBinSkippingNearWhiteAndNearBlack) {
    auto world = [](std::initializer_list<std::array<std::uint8_t, 3>> pixels) {
        Rect r{0, 0, 1, std::int16_t(pixels.size())};
        GWorldPtr w = nullptr;
        NewGWorldFromFormat(&w, 32, &r);
        PixelView v = GetGWorldPixels(w);
        int i = 0;
        for (auto& p : pixels) {
            v.base[i * 4 + 2] = p[0];
            v.base[i * 4 + 1] = p[1];
            v.base[i * 4 + 0] = p[2];
            ++i;
        }
        return w;
    };
    // Packed: red's top four bits in bits 24-27, green's in 16-19, blue's in 8-11, mark 0xFF.
    struct {
        const char* what;
        std::initializer_list<std::array<std::uint8_t, 3>> pixels;
        UInt32 packed;
    } cases[] = {
        {"all white", {{255, 255, 255}, {250, 240, 230}}, 0x000000FF},
        {"near black only", {{10, 0, 5}, {0, 0, 0}}, 0x000000FF},
        {"dominant red", {{200, 10, 10}, {205, 12, 3}, {0, 0, 200}}, 0x0C0000FF},
        {"tie: the first bin in red-major order", {{0x40, 0, 0}, {0, 0x40, 0}}, 0x000400FF},
        {"mixed with white", {{255, 255, 255}, {255, 255, 255}, {0x30, 0x90, 0x50}}, 0x030905FF},
    };
    for (auto& c : cases) {
        GWorldPtr w = world(c.pixels);
        EXPECT_EQ(KindSampleColorPack(KindThumbnailSampleColor(w)), c.packed) << c.what;
        DisposeGWorld(w);
    }
    RGBColor back;
    EXPECT_TRUE(ColorFromPackedBytes(0x0C0408FF, &back));
    EXPECT_EQ(back.red, 0xC000);
    EXPECT_EQ(back.green, 0x4000);
    EXPECT_EQ(back.blue, 0x8000);
    EXPECT_FALSE(ColorFromPackedBytes(0x0C040800, &back));
    EXPECT_EQ(back.red, 0);
}

TEST(CatalogThumbnail, APictureOnlyReaderIsDrawnOverTheBackgroundAndNothingGivesNoThumbnail) {
    GWorldPtr src = TwoGreys(40, 20, 90, 90);
    PicHandle pic = nullptr;
    ASSERT_EQ(OffscreenToPicture(src, nullptr, 0x480000, &pic), noErr);
    PicHandle thumb = nullptr;
    UInt32 sample = 7;
    ASSERT_EQ(KindMakeCatalogThumbnail(nullptr, pic, 20, 0, nullptr, &sample, &thumb), noErr);
    ASSERT_NE(thumb, nullptr);
    Rect frame{};
    PictureGetFrame(thumb, &frame);
    EXPECT_EQ(frame.right, 20);
    EXPECT_EQ(frame.bottom, 10);
    EXPECT_EQ(sample & 0xFF, 0xFFu);
    DisposeHandle(thumb);
    thumb = nullptr;
    ASSERT_EQ(KindMakeCatalogThumbnail(nullptr, nullptr, 20, 0, nullptr, &sample, &thumb), noErr);
    EXPECT_EQ(thumb, nullptr);
    EXPECT_EQ(sample, 0u);
    DisposeHandle(pic);
    DisposeGWorld(src);
}

}  // namespace
