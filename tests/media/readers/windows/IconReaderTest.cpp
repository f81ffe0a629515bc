// Windows icons: every image of an icon or cursor file decoded (bitmaps of 1 to 32 bits with
// their masks, PNG-compressed images), damaged directories and images, the picture fitted into
// the catalog size over the thumbnail background, registration by edition, and the shared
// sample through recognition, information and thumbnail.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "media/readers/windows/IconFile.h"
#include "media/readers/windows/WindowsPicture.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"
#include "support/WorldPixels.h"

#include <gtest/gtest.h>

#include <png.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

constexpr std::uint32_t kRed = 0xFFFF0000, kBlue = 0xFF0000FF, kClear = 0;

void Put16(std::string& b, std::uint32_t v) {
    b += char(v & 0xFF);
    b += char(v >> 8);
}
void Put32(std::string& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// A picture as a function of (x, y) -> 0xAARRGGBB; alpha 0 is transparent.
using Art = std::function<std::uint32_t(int, int)>;

// A red square of side/2 in the middle of a transparent square of `side`.
Art RedSquare(int side) {
    return [side](int x, int y) {
        const bool in = x >= side / 4 && x < side / 4 + side / 2 && y >= side / 4 && y < side / 4 + side / 2;
        return in ? kRed : kClear;
    };
}

// A device-independent bitmap image of the art with its AND mask. Palettes for 1, 4 and 8 bits
// are {blue, red}: pixels are red where the art is red, else blue (masked where transparent).
// The mask comes from maskArt when one is given.
std::string Bitmap(int width, int height, int bits, const Art& art, bool withMask = true, const Art& maskArt = {}) {
    std::string b;
    Put32(b, 40);
    Put32(b, std::uint32_t(width));
    Put32(b, std::uint32_t(height * 2));
    Put16(b, 1);
    Put16(b, std::uint32_t(bits));
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, bits <= 8 ? 2 : 0);
    Put32(b, 0);
    if (bits <= 8) {
        Put32(b, kBlue & 0xFFFFFF);
        Put32(b, kRed & 0xFFFFFF);
    }
    const int stride = ((width * bits + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(std::size_t(stride), '\0');
        for (int x = 0; x < width; ++x) {
            const std::uint32_t p = art(x, y);
            if (bits == 32) {
                std::memcpy(&row[std::size_t(x) * 4], &p, 4);
            } else if (bits == 24) {
                row[std::size_t(x) * 3] = char(p & 0xFF);
                row[std::size_t(x) * 3 + 1] = char((p >> 8) & 0xFF);
                row[std::size_t(x) * 3 + 2] = char((p >> 16) & 0xFF);
            } else if (p == kRed) {
                const int bit = x * bits;
                row[std::size_t(bit / 8)] = char(row[std::size_t(bit / 8)] | (1 << (8 - bits - bit % 8)));
            }
        }
        b += row;
    }
    if (!withMask) return b;
    const int maskStride = ((width + 31) / 32) * 4;
    for (int y = height - 1; y >= 0; --y) {
        std::string row(std::size_t(maskStride), '\0');
        for (int x = 0; x < width; ++x)
            if (((maskArt ? maskArt : art)(x, y) >> 24) == 0) row[std::size_t(x / 8)] = char(row[std::size_t(x / 8)] | (0x80 >> (x % 8)));
        b += row;
    }
    return b;
}

std::string Png(int width, int height, const Art& art) {
    std::vector<std::uint32_t> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) pixels.push_back(art(x, y));
    png_image image;
    std::memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    image.width = std::uint32_t(width);
    image.height = std::uint32_t(height);
    image.format = PNG_FORMAT_BGRA;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr));
    std::string out(size, '\0');
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr));
    out.resize(size);
    return out;
}

// An icon (type 1) or cursor (type 2) file of the images.
std::string IconFile(const std::vector<std::string>& images, std::uint16_t type = 1) {
    std::string file;
    Put16(file, 0);
    Put16(file, type);
    Put16(file, std::uint32_t(images.size()));
    std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
    for (const std::string& image : images) {
        file += std::string(8, '\0');  // size bytes, colours, planes, bits: not trusted
        Put32(file, std::uint32_t(image.size()));
        Put32(file, offset);
        offset += std::uint32_t(image.size());
    }
    for (const std::string& image : images) file += image;
    return file;
}

std::uint32_t At(const IconImage& image, int x, int y) {
    return image.argb[std::size_t(y) * image.width + x];
}

TEST(IconFileTest, EveryImageOfAFileIsDecodedWithItsTransparency) {
    struct Case {
        const char* what;
        std::string image;
        int side;
        std::uint32_t outside;  // the pixel decoded outside the red square
    };
    const Case cases[] = {
        {"1 bit", Bitmap(16, 16, 1, RedSquare(16)), 16, kClear},
        {"4 bits", Bitmap(16, 16, 4, RedSquare(16)), 16, kClear},
        {"8 bits", Bitmap(8, 8, 8, RedSquare(8)), 8, kClear},
        {"24 bits", Bitmap(20, 20, 24, RedSquare(20)), 20, kClear},
        {"32 bits with alpha", Bitmap(16, 16, 32, RedSquare(16)), 16, kClear},
        {"32 bits, no mask", Bitmap(16, 16, 32, RedSquare(16), false), 16, kClear},
        {"32 bits, alpha all zero: the mask decides",
         Bitmap(16, 16, 32, [](int x, int y) { return RedSquare(16)(x, y) ? 0x00FF0000u : 0x000000FFu; }, true,
                RedSquare(16)),
         16, kClear},
        {"PNG", Png(48, 48, RedSquare(48)), 48, kClear},
    };
    std::vector<std::string> images;
    for (const Case& c : cases) images.push_back(c.image);
    for (std::uint16_t type : {1, 2}) {
        const std::string file = IconFile(images, type);
        ASSERT_EQ(IconImageCount(file), int(std::size(cases)));
        for (int i = 0; i < int(std::size(cases)); ++i) {
            SCOPED_TRACE(cases[i].what);
            IconImage image;
            ASSERT_TRUE(IconDecodeImage(file, i, &image));
            const int s = cases[i].side;
            EXPECT_EQ(image.width, s);
            EXPECT_EQ(image.height, s);
            EXPECT_EQ(At(image, s / 2, s / 2), kRed);
            EXPECT_EQ(At(image, s / 4, s / 4), kRed);
            EXPECT_EQ(At(image, 0, 0), cases[i].outside);
            EXPECT_EQ(At(image, s - 1, s / 2), cases[i].outside);
            // Rows are stored bottom-up: the square's top edge is where the art has it.
            EXPECT_EQ(At(image, s / 2, s / 4 - 1) >> 24, cases[i].outside >> 24);
        }
    }
}

TEST(IconFileTest, DamagedDirectoriesAndImagesAreRefused) {
    const std::string good = IconFile({Bitmap(16, 16, 8, RedSquare(16))});
    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::string b = good;
        std::string v;
        Put32(v, value);
        b.replace(at, 4, v);
        return b;
    };
    const std::size_t image = 6 + 16;
    struct Case {
        const char* what;
        std::string bytes;
        int count;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"not an icon type", std::string("\0\0\3\0\1\0", 6) + good.substr(6), 0},
        {"directory past the file", good.substr(0, 6 + 15), 0},
        {"image size past the file", patched(6 + 8, 1u << 30), 1},
        {"image offset past the file", patched(6 + 12, 0xFFFFFFF0u), 1},
        {"width zero", patched(image + 4, 0), 1},
        {"negative height", patched(image + 8, 0xFFFFFFE0u), 1},
        {"huge width", patched(image + 4, 1u << 30), 1},
        {"compressed bitmap", patched(image + 16, 1), 1},
        {"16 bits per pixel", patched(image + 12, 0x00100001u), 1},
        {"header size below 40", patched(image, 12), 1},
        {"header size past the image", patched(image, 0x7FFFFFFFu), 1},
        {"mask cut off", good.substr(0, good.size() - 10), 1},
        {"PNG signature, damaged data", IconFile({std::string("\x89PNG\r\n\x1a\n", 8) + std::string(40, 'x')}), 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IconImageCount(c.bytes), c.count) << c.what;
        IconImage out;
        EXPECT_FALSE(IconDecodeImage(c.bytes, 0, &out)) << c.what;
        EXPECT_TRUE(out.argb.empty()) << c.what;
    }
    IconImage out;
    EXPECT_FALSE(IconDecodeImage(good, 1, &out)) << "no second image";
    EXPECT_FALSE(IconDecodeImage(good, -1, &out));
    // Every prefix of a good file is refused or read without harm (the sanitizer pass watches).
    for (std::size_t n = 0; n < good.size(); ++n) IconDecodeImage(good.substr(0, n), 0, &out);
}

// ---- the reader ----------------------------------------------------------------------------------


class IconReaderTest : public ::testing::Test {
protected:
    void TearDown() override {
        const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
        KindSetThumbBackground(&white);
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(IconReaderTest, ARedSquareInIsARedSquareOutOverTheThumbnailBackground) {
    const RGBColor green{0x0000, 0xC0C0, 0x0000};
    KindSetThumbBackground(&green);
    FSSpec spec = CheckedSpecOf(temp.Write("square.ico", IconFile({Png(64, 64, RedSquare(64)), Bitmap(16, 16, 4, RedSquare(16))})));
    KindInfoRec info{};
    GWorldPtr world = nullptr;
    ASSERT_EQ(WindowsPictureGetInfo(&spec, &info, &world, 32), noErr);
    EXPECT_EQ(info.width, 64u) << "the first image is the picture";
    EXPECT_EQ(info.height, 64u);
    EXPECT_EQ(info.depth, 32u);
    EXPECT_EQ(info.pages, 1u);
    EXPECT_EQ(info.colorSpace, OSType('RGB '));
    const PixelView v = GetGWorldPixels(world);
    ASSERT_EQ(v.width, 32);
    ASSERT_EQ(v.height, 32);
    const Rgb centre = Pixel(world, 16, 16), corner = Pixel(world, 1, 1), edge = Pixel(world, 30, 16);
    EXPECT_TRUE(centre.r > 240 && centre.g < 16 && centre.b < 16);
    EXPECT_TRUE(corner.r == 0 && corner.g == 0xC0 && corner.b == 0) << corner.r << "," << corner.g << "," << corner.b;
    EXPECT_TRUE(edge.r == 0 && edge.g == 0xC0);
    // The square keeps its place: red from a quarter to three quarters, both ways.
    EXPECT_GT(Pixel(world, 9, 9).r, 200);
    EXPECT_LT(Pixel(world, 6, 16).r, 40);
    EXPECT_LT(Pixel(world, 25, 16).r, 40);
    DisposeGWorld(world);

    ASSERT_EQ(WindowsPictureMakeThumbnail(&spec, &world), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 64) << "the views get the picture at its own size";
    DisposeGWorld(world);
}

TEST_F(IconReaderTest, PicturesAreFittedIntoTheSizeAndNeverEnlarged) {
    struct Case {
        int width, height, size, expectedWidth, expectedHeight;
    };
    const Case cases[] = {
        {256, 128, 128, 128, 64},
        {100, 300, 128, 42, 128},
        {16, 16, 128, 16, 16},
        {128, 128, 128, 128, 128},
    };
    for (const Case& c : cases) {
        FSSpec spec = CheckedSpecOf(temp.Write("fit.ico", IconFile({Png(c.width, c.height, [](int, int) { return kRed; })})));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        ASSERT_EQ(WindowsPictureGetInfo(&spec, &info, &world, SInt16(c.size)), noErr);
        EXPECT_EQ(info.width, UInt32(c.width));
        const PixelView v = GetGWorldPixels(world);
        EXPECT_EQ(v.width, c.expectedWidth) << c.width << "x" << c.height;
        EXPECT_EQ(v.height, c.expectedHeight) << c.width << "x" << c.height;
        DisposeGWorld(world);
    }
}

TEST_F(IconReaderTest, FilesThatHoldNoPictureAreRefusedAndNothingIsRendered) {
    const std::string broken = IconFile({Bitmap(16, 16, 8, RedSquare(16))}).substr(0, 40);
    for (const std::string& bytes : {std::string(), std::string("not an icon at all"), broken}) {
        FSSpec spec = CheckedSpecOf(temp.Write("bad.ico", bytes));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        EXPECT_EQ(WindowsPictureGetInfo(&spec, &info, &world, 64), kWindowsPictureOpenErr);
        EXPECT_EQ(world, nullptr);
        EXPECT_EQ(info.depth, 32u) << "the facts set before opening stay";
        EXPECT_EQ(WindowsPictureMakeThumbnail(&spec, &world), kWindowsPictureOpenErr);
        EXPECT_EQ(world, nullptr);
    }
    FSSpec missing = SpecOf(temp / "missing.ico");
    KindInfoRec info{};
    GWorldPtr world = nullptr;
    EXPECT_EQ(WindowsPictureGetInfo(&missing, &info, &world, 64), kWindowsPictureOpenErr);
}

TEST_F(IconReaderTest, IconsAreRegisteredUnderEditions200And500AndReadThroughTheEngine) {
    for (SInt32 edition : {200, 400, 500}) {
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        FSSpec spec = SpecOf("/nowhere/a.ICO");
        EXPECT_EQ(KindTypeFromExtension(&spec, nullptr), edition == 400 ? 0 : OSType('ICO ')) << edition;
        if (edition != 400) {
            EXPECT_EQ(KindGetHandler('ICO '), kKindHandlerBuiltin);
            EXPECT_EQ(KindGetCategory('ICO '), kKindCategoryImage);
        }
        KindEngineShutdown();
        KindTableClear();
    }
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    const std::string made = temp.Write("made.ico", IconFile({Bitmap(32, 32, 32, RedSquare(32))}));
    for (const std::string& path : {kSamples + "ICO.ico", made}) {
        SCOPED_TRACE(path);
        KindFileRec file;
        FSSpec spec = SpecOf(path);
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        EXPECT_EQ(file.type, OSType('ICO '));
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
        EXPECT_NE(thumb, nullptr);
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        EXPECT_EQ(KindMakeThumbnail(&spec, &world, kKindDisplaySize, 'ICO ', &index, 0), noErr);
        if (world) DisposeGWorld(world);
    }
    // The built-in dispatch reaches the reader directly too.
    FSSpec spec = SpecOf(made);
    KindInfoRec info{};
    info.type = 'ICO ';
    GWorldPtr world = nullptr;
    EXPECT_EQ(BuiltinReaderGetInfo(&spec, &info, nullptr, &world, nullptr, nullptr, 0, 0, 16), noErr);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(GetGWorldPixels(world).width, 16);
    DisposeGWorld(world);
}

}  // namespace
