// The pictures among the program's typed resources: the two thumbnail mats come out at their
// size with the pixels libtiff reads from the same files; an id without a resource is -192.
#include "foundation/resources/PictureResources.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

TEST(PictureResources, TheThumbnailMatsComeOutAsLibtiffReadsThem) {
    const struct {
        SInt16 id;
        const char* file;
    } cases[] = {{1000, "thumbnail-frame.tif"}, {1001, "thumbnail-shadow.tif"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        const std::string path = std::string(LYREX_SOURCE_DIR) + "/resources/typed/" + c.file;
        TIFF* t = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(t, nullptr);
        std::uint32_t w = 0, h = 0;
        TIFFGetField(t, TIFFTAG_IMAGEWIDTH, &w);
        TIFFGetField(t, TIFFTAG_IMAGELENGTH, &h);
        std::vector<std::uint32_t> rgba(std::size_t(w) * h);
        ASSERT_EQ(TIFFReadRGBAImageOriented(t, w, h, rgba.data(), ORIENTATION_TOPLEFT, 0), 1);
        TIFFClose(t);

        GWorldPtr picture = nullptr;
        Rect frame{};
        ASSERT_EQ(LoadPictResource(c.id, &picture, &frame), noErr);
        EXPECT_EQ(frame.right - frame.left, SInt16(w));
        EXPECT_EQ(frame.bottom - frame.top, SInt16(h));
        PixelView px = GetGWorldPixels(picture);
        ASSERT_EQ(px.width, int(w));
        ASSERT_EQ(px.height, int(h));
        int differing = 0;
        for (std::uint32_t y = 0; y < h; ++y)
            for (std::uint32_t x = 0; x < w; ++x) {
                const std::uint32_t want = rgba[std::size_t(y) * w + x];  // A B G R from the top byte
                const std::uint8_t* p = px.base + std::ptrdiff_t(y) * px.rowBytes + x * 4;  // B G R
                differing += p[2] != TIFFGetR(want) || p[1] != TIFFGetG(want) || p[0] != TIFFGetB(want);
            }
        EXPECT_EQ(differing, 0);
        DisposeGWorld(picture);
    }
}

TEST(PictureResources, MissingResourceOrPlace) {
    GWorldPtr picture = reinterpret_cast<GWorldPtr>(1);
    EXPECT_EQ(LoadPictResource(4242, &picture, nullptr), resNotFound);
    EXPECT_EQ(picture, nullptr);
    EXPECT_EQ(LoadPictResource(1000, nullptr, nullptr), paramErr);
}

}  // namespace
