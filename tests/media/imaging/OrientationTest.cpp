// Turning and mirroring worlds by orientation code, and image files drawn fitted into a port.
#include "media/imaging/Offscreen.h"
#include "media/imaging/Orientation.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

// A 3 x 2 world whose pixel (c, r) holds the value 10 * r + c + 1 in its blue byte.
GWorldPtr Labelled(OSType format) {
    Rect r{0, 0, 2, 3};
    GWorldPtr w = nullptr;
    EXPECT_EQ(NewGWorldFromFormat(&w, format, &r), noErr);
    PixelView v = GetGWorldPixels(w);
    int bytes = v.depth / 8;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x) v.base[y * v.rowBytes + x * bytes] = std::uint8_t(10 * y + x + 1);
    return w;
}

std::uint8_t Label(GWorldPtr w, int x, int y) {
    PixelView v = GetGWorldPixels(w);
    return v.base[y * v.rowBytes + x * (v.depth / 8)];
}

TEST(ApplyOrientation, EveryCodeMovesEachPixelWhereTheTableSays) {
    // Where the source pixel at column c, row r of a w x h picture lands.
    struct {
        TransformCode code;
        int width, height;
        int (*col)(int c, int r, int w, int h);
        int (*row)(int c, int r, int w, int h);
    } cases[] = {
        {0x4820, 3, 2, [](int c, int, int w, int) { return w - 1 - c; }, [](int, int r, int, int) { return r; }},
        {0x5620, 3, 2, [](int c, int, int, int) { return c; }, [](int, int r, int, int h) { return h - 1 - r; }},
        {0x4856, 3, 2, [](int c, int, int w, int) { return w - 1 - c; }, [](int, int r, int, int h) { return h - 1 - r; }},
        {0x5720, 2, 3, [](int, int r, int, int h) { return h - 1 - r; }, [](int c, int, int, int) { return c; }},
        {0x4357, 2, 3, [](int, int r, int, int) { return r; }, [](int c, int, int w, int) { return w - 1 - c; }},
        {0x5746, 2, 3, [](int, int r, int, int h) { return h - 1 - r; }, [](int c, int, int w, int) { return w - 1 - c; }},
        {0x4346, 2, 3, [](int, int r, int, int) { return r; }, [](int c, int, int, int) { return c; }},
    };
    for (OSType format : {OSType(k32BGRAPixelFormat), OSType(k8IndexedGrayPixelFormat)}) {
        for (auto& c : cases) {
            GWorldPtr w = Labelled(format);
            ASSERT_EQ(ApplyOrientation(&w, c.code), noErr);
            Rect r = GetPortBounds(w);
            EXPECT_EQ(r.right, c.width);
            EXPECT_EQ(r.bottom, c.height);
            EXPECT_EQ(GetGWorldPixelFormat(w), format);
            for (int y = 0; y < 2; ++y)
                for (int x = 0; x < 3; ++x)
                    EXPECT_EQ(Label(w, c.col(x, y, 3, 2), c.row(x, y, 3, 2)), 10 * y + x + 1)
                        << std::hex << c.code << " pixel " << x << "," << y;
            DisposeGWorld(w);
        }
    }
}

TEST(ApplyOrientation, NoCodeChangesNothingAndAnUnknownCodeIsRefused) {
    GWorldPtr w = Labelled(32);
    GWorldPtr before = w;
    EXPECT_EQ(ApplyOrientation(&w, 0), noErr);
    EXPECT_EQ(w, before);
    EXPECT_EQ(ApplyOrientation(&w, 0x5859), paramErr);  // 'XY'
    EXPECT_EQ(w, before);
    EXPECT_EQ(Label(w, 2, 1), 13);
    GWorldPtr none = nullptr;
    EXPECT_EQ(ApplyOrientation(&none, 0x5720), paramErr);
    EXPECT_EQ(ApplyOrientation(nullptr, 0x5720), paramErr);
    DisposeGWorld(w);
}

TEST(ImageDrawFittedInPort, PlacesTheFittedImageByTheAlignmentCode) {
    TempFolder t;
    // A 10 x 10 black image in a 30 x 20 frame: slack 20 across, 10 down.
    std::string path = fixtures::WriteFile(t / "b.bmp", fixtures::Bmp(10, 10, fixtures::BmpKind::Rgb24BottomUp));
    FSSpec spec;
    FSMakeFSSpecFromPath(path, &spec);
    struct {
        SInt16 alignment;
        int left, top;
    } cases[] = {{1, 0, 0}, {2, 10, 0}, {3, 20, 0}, {4, 0, 5}, {5, 10, 5}, {6, 20, 5},
                 {7, 0, 10}, {8, 10, 10}, {9, 20, 10}, {0, 10, 5}, {12, 10, 5}};
    for (auto& c : cases) {
        Rect port{0, 0, 20, 30};
        GWorldPtr w = nullptr;
        RGBColor grey{0x8080, 0x8080, 0x8080};
        ASSERT_EQ(OffscreenNewFilled(&w, 32, &port, &grey), noErr);
        ASSERT_EQ(ImageDrawFittedInPort(&spec, nullptr, w, nullptr, c.alignment), noErr);
        PixelView v = GetGWorldPixels(w);
        // The red top-left quadrant of the image marks where it went.
        const std::uint8_t* corner = v.base + c.top * v.rowBytes + c.left * 4;
        EXPECT_EQ(corner[2], 255) << c.alignment;
        EXPECT_EQ(corner[1], 0) << c.alignment;
        DisposeGWorld(w);
    }
    // An odd slack of 5 gives an offset of 2 from the centred place (column 2): column 4.
    Rect port{0, 0, 10, 15};
    GWorldPtr w = nullptr;
    ASSERT_EQ(OffscreenNewFilled(&w, 32, &port, nullptr), noErr);
    ASSERT_EQ(ImageDrawFittedInPort(&spec, nullptr, w, nullptr, 3), noErr);
    PixelView v = GetGWorldPixels(w);
    EXPECT_EQ(v.base[4 * 4 + 2], 255);  // column 4: the image's red corner
    EXPECT_EQ(v.base[4 * 4 + 1], 0);
    EXPECT_EQ(v.base[3 * 4 + 1], 255);  // column 3: still white
    DisposeGWorld(w);
    EXPECT_EQ(ImageDrawFittedInPort(nullptr, nullptr, w, nullptr, 5), paramErr);
}

}  // namespace
