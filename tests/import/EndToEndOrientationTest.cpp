// The eight EXIF orientations of one landscape picture, imported as the program imports them:
// each item names its orientation, and its thumbnail shows the picture the way it is meant to
// be seen, the same picture for all eight.
#include "EndToEndSupport.h"

#include <cmath>
#include <cstdlib>

namespace {

struct Decoded {
    int width = 0, height = 0;
    std::vector<std::uint8_t> pixels;   // blue, green, red, unused
};

Decoded DecodeThumbnail(CatalogRec* c, const ItemEntry* e) {
    Decoded d;
    Handle thumb = ItemReadBlock(c, e, kBlockThumbnail);
    if (!thumb) return d;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(*thumb);
    const std::size_t size = std::size_t(GetHandleSize(thumb));
    PictureFacts facts;
    if (ExaminePicture(bytes, size, &facts) == noErr) {
        d.width = facts.frame.right - facts.frame.left;
        d.height = facts.frame.bottom - facts.frame.top;
        d.pixels.assign(std::size_t(d.width) * d.height * 4, 0);
        if (RenderPicture(bytes, size, d.pixels.data(), d.width, d.height, std::ptrdiff_t(d.width) * 4) != noErr)
            d = Decoded();
    }
    DisposeHandle(thumb);
    return d;
}

// Mean absolute difference of the colour channels of two pictures of one size.
double MeanDifference(const Decoded& a, const Decoded& b) {
    double sum = 0;
    std::size_t n = 0;
    for (std::size_t i = 0; i < a.pixels.size(); i += 4)
        for (int ch = 0; ch < 3; ++ch, ++n) sum += std::abs(int(a.pixels[i + ch]) - int(b.pixels[i + ch]));
    return n ? sum / double(n) : 255;
}

TEST_F(EndToEndTest, EveryOrientationShowsTheSamePictureUpright) {
    struct Case {
        int exif;
        UInt32 width, height;   // as stored
        const char* shown;      // the orientation as the Info panel names it
    };
    const Case cases[] = {
        {1, 600, 450, "Default"},          {2, 600, 450, "Flipped horizontally"},
        {3, 600, 450, "180\xB0"},          {4, 600, 450, "Flipped vertically"},
        {5, 450, 600, "90\xB0 CCW + flipped"}, {6, 450, 600, "90\xB0 CW"},
        {7, 450, 600, "90\xB0 CW + flipped"},  {8, 450, 600, "90\xB0 CCW"},
    };
    for (const Case& k : cases) {
        const std::string name = "landscape_" + std::to_string(k.exif) + ".jpg";
        Put("orientation/" + name, "turns/" + name);
    }
    CatalogRec* c = Open();
    ASSERT_NE(c, nullptr);
    FSSpec folder = Spec(library / "turns");
    ASSERT_EQ(CatalogAddFiles(c, 0, &folder, 1, nullptr, 0, nullptr), noErr);
    RunRefresh(c);

    const ItemEntry* upright = EntryOf(c, "turns/landscape_1.jpg");
    ASSERT_NE(upright, nullptr);
    const Decoded reference = DecodeThumbnail(c, upright);
    ASSERT_GT(reference.width, reference.height);
    for (const Case& k : cases) {
        SCOPED_TRACE(k.exif);
        const ItemEntry* e = EntryOf(c, "turns/landscape_" + std::to_string(k.exif) + ".jpg");
        ASSERT_NE(e, nullptr);
        EXPECT_EQ(FieldText(c, e, kFieldDimensions),
                  std::to_string(k.width) + " x " + std::to_string(k.height) + " pixels");
        EXPECT_EQ(FieldText(c, e, kFieldOrientation), k.shown);
        const Decoded d = DecodeThumbnail(c, e);
        ASSERT_EQ(d.width, reference.width);
        ASSERT_EQ(d.height, reference.height);
        EXPECT_LT(MeanDifference(d, reference), 12.0) << "the same picture, the same way up";
    }
}

}  // namespace
