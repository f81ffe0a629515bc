// Pictures and movies read from bytes in a handle: a TIFF written here by libtiff comes back
// pixel for pixel (whatever its compression), a movie gives its first frame at its size, and
// bytes that are no picture, an empty handle or a bad level give errors and no picture.
#include "platform/Handles.h"
#include "platform/movies/MovieImport.h"
#include "support/MovieFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <cstring>
#include <set>
#include <string>

namespace {

// Red, green, blue and a grey ramp in the four quarters of a w x h picture.
void PatternPixel(int x, int y, int w, int h, std::uint8_t rgb[3]) {
    const bool right = x >= w / 2, bottom = y >= h / 2;
    if (!right && !bottom) rgb[0] = 255, rgb[1] = 0, rgb[2] = 0;
    else if (right && !bottom) rgb[0] = 0, rgb[1] = 255, rgb[2] = 0;
    else if (!right && bottom) rgb[0] = 0, rgb[1] = 0, rgb[2] = 255;
    else rgb[0] = rgb[1] = rgb[2] = std::uint8_t(x * 255 / (w - 1));
}

std::string WriteTiff(const std::string& path, int w, int h, std::uint16_t compression) {
    TIFF* t = TIFFOpen(path.c_str(), "w");
    if (!t) return {};
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 8);
    std::string row(std::size_t(w) * 3, '\0');
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) PatternPixel(x, y, w, h, reinterpret_cast<std::uint8_t*>(&row[std::size_t(x) * 3]));
        TIFFWriteScanline(t, row.data(), std::uint32_t(y), 0);
    }
    TIFFClose(t);
    return TempFolder::Read(path);
}

Handle HandleOf(const std::string& bytes) {
    Handle h = NewHandle(Size(bytes.size()));
    if (h && !bytes.empty()) std::memcpy(*h, bytes.data(), bytes.size());
    return h;
}

TEST(MovieImportFromHandle, ATiffComesBackPixelForPixel) {
    TempFolder dir;
    const struct {
        const char* name;
        std::uint16_t compression;
        int w, h;
    } cases[] = {{"uncompressed", COMPRESSION_NONE, 40, 30},
                 {"deflate", COMPRESSION_ADOBE_DEFLATE, 64, 48},
                 {"packbits", COMPRESSION_PACKBITS, 17, 9},
                 {"lzw", COMPRESSION_LZW, 33, 20}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string bytes = WriteTiff(dir / (std::string(c.name) + ".tif"), c.w, c.h, c.compression);
        ASSERT_FALSE(bytes.empty());
        Handle h = HandleOf(bytes);
        GWorldPtr picture = nullptr;
        Rect frame{1, 1, 1, 1};
        ASSERT_EQ(MovieImportFromHandle(nullptr, h, &picture, &frame, 5), noErr);
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(frame.top, 0);
        EXPECT_EQ(frame.left, 0);
        EXPECT_EQ(frame.bottom, c.h);
        EXPECT_EQ(frame.right, c.w);
        PixelView px = GetGWorldPixels(picture);
        ASSERT_EQ(px.width, c.w);
        ASSERT_EQ(px.height, c.h);
        for (int y = 0; y < c.h; ++y)
            for (int x = 0; x < c.w; ++x) {
                std::uint8_t want[3];
                PatternPixel(x, y, c.w, c.h, want);
                const std::uint8_t* p = px.base + std::ptrdiff_t(y) * px.rowBytes + x * 4;  // B, G, R
                ASSERT_EQ(p[2], want[0]) << x << "," << y;
                ASSERT_EQ(p[1], want[1]) << x << "," << y;
                ASSERT_EQ(p[0], want[2]) << x << "," << y;
            }
        // The caller's handle is as it was, and not left locked.
        EXPECT_EQ(std::string(*h, std::size_t(GetHandleSize(h))), bytes);
        EXPECT_FALSE(HIsLocked(h));
        DisposeGWorld(picture);
        DisposeHandle(h);
    }
}

TEST(MovieImportFromHandle, AMovieGivesItsFirstFrame) {
    TempFolder dir;
    const std::string path = dir / "clip.mov";
    ASSERT_TRUE(moviefixtures::MakeMovie(path, {"-c:v", "mjpeg"}, false, 0.5, "96x64"));
    Handle h = HandleOf(TempFolder::Read(path));
    GWorldPtr picture = nullptr;
    ASSERT_EQ(MovieImportFromHandle(nullptr, h, &picture, nullptr, 1), noErr);
    PixelView px = GetGWorldPixels(picture);
    EXPECT_EQ(px.width, 96);
    EXPECT_EQ(px.height, 64);
    std::set<std::uint32_t> colours;
    for (int y = 0; y < px.height; y += 4)
        for (int x = 0; x < px.width; x += 4)
            colours.insert(reinterpret_cast<const std::uint32_t*>(px.base + std::ptrdiff_t(y) * px.rowBytes)[x] & 0xF0F0F0);
    EXPECT_GT(colours.size(), 8u) << "the test pattern, not a blank";
    DisposeGWorld(picture);
    DisposeHandle(h);
}

TEST(MovieImportFromHandle, BadInputGivesAnErrorAndNoPicture) {
    TempFolder dir;
    const std::string tiff = WriteTiff(dir / "p.tif", 16, 16, COMPRESSION_NONE);
    const struct {
        const char* name;
        std::string bytes;   // "" gives an empty handle
        bool handle;
        SInt32 level;
        OSErr expected;      // 1: any error
    } cases[] = {
        {"no handle", "", false, 5, paramErr},
        {"empty handle", "", true, 5, paramErr},
        {"level 0", tiff, true, 0, paramErr},
        {"level 10", tiff, true, 10, paramErr},
        {"text", std::string(3000, 'x'), true, 5, 1},
        {"a TIFF cut in half", tiff.substr(0, tiff.size() / 2), true, 5, 1},
        {"a TIFF header alone", tiff.substr(0, 8), true, 5, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Handle h = c.handle ? HandleOf(c.bytes) : nullptr;
        GWorldPtr picture = reinterpret_cast<GWorldPtr>(&dir);  // must be cleared
        OSErr err = MovieImportFromHandle(nullptr, h, &picture, nullptr, c.level);
        if (c.expected == 1) {
            EXPECT_NE(err, noErr);
        } else {
            EXPECT_EQ(err, c.expected);
        }
        EXPECT_EQ(picture, nullptr);
        if (h) DisposeHandle(h);
    }
    Handle h = HandleOf(tiff);
    EXPECT_EQ(MovieImportFromHandle(nullptr, h, nullptr, nullptr, 5), paramErr);
    DisposeHandle(h);
}

}  // namespace
