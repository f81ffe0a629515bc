// PhotoCD image packs decoded by our own decoder: each stored level chosen by the asked size
// (each level of the test pack holds a different picture, so the wrong level shows), larger
// sizes enlarged from the base, the rotation turned into the orientation code, the IPTC block
// at the end, damaged and short packs, and the kinds registered by edition and read through
// the engine.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/imaging/Orientation.h"
#include "media/metadata/Exif.h"
#include "media/readers/photocd/PhotoCD.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// PhotoYCC values of pure red and of white.
struct Ycc {
    std::uint8_t y, c1, c2;
};
constexpr Ycc kRed{56, 122, 235};
constexpr Ycc kWhite{188, 156, 137};

enum class Pattern { LeftRed, TopRed, RightRed };

bool RedAt(Pattern p, int x, int y, int w, int h) {
    switch (p) {
    case Pattern::LeftRed: return x < w / 2;
    case Pattern::TopRed: return y < h / 2;
    case Pattern::RightRed: return x >= w / 2;
    }
    return false;
}

// A pack whose three plain levels hold the three patterns, smallest first.
std::string Pack(std::uint8_t rotation = 0, std::size_t cut = 0) {
    std::string pack(0x30000 + 768 * 512 * 3 / 2, '\xFF');
    pack.replace(0x800, 7, "PCD_IPI");
    pack[72] = char(rotation);
    struct Level {
        std::size_t at;
        int w, h;
        Pattern pattern;
    };
    const Level levels[] = {{0x2000, 192, 128, Pattern::LeftRed},
                            {0xB800, 384, 256, Pattern::TopRed},
                            {0x30000, 768, 512, Pattern::RightRed}};
    for (const Level& l : levels) {
        std::size_t at = l.at;
        for (int pair = 0; pair < l.h / 2; ++pair) {
            for (int row = 0; row < 2; ++row)
                for (int x = 0; x < l.w; ++x) pack[at++] = char(RedAt(l.pattern, x, pair * 2 + row, l.w, l.h) ? kRed.y : kWhite.y);
            for (int x = 0; x < l.w / 2; ++x) pack[at++] = char(RedAt(l.pattern, x * 2, pair * 2, l.w, l.h) ? kRed.c1 : kWhite.c1);
            for (int x = 0; x < l.w / 2; ++x) pack[at++] = char(RedAt(l.pattern, x * 2, pair * 2, l.w, l.h) ? kRed.c2 : kWhite.c2);
        }
    }
    if (cut) pack.resize(cut);
    return pack;
}

struct Rgb {
    int r, g, b;
};
Rgb Pixel(GWorldPtr world, int x, int y) {
    const PixelView v = GetGWorldPixels(world);
    const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
    return {p[2], p[1], p[0]};
}
bool IsRed(const Rgb& c) {
    return c.r > 230 && c.g < 30 && c.b < 30;
}
bool IsWhite(const Rgb& c) {
    return c.r > 230 && c.g > 230 && c.b > 230;
}

void ExpectPattern(GWorldPtr world, Pattern p) {
    const PixelView v = GetGWorldPixels(world);
    const int w = v.width, h = v.height;
    for (auto [x, y] : {std::pair{w / 8, h / 8}, {w * 7 / 8, h / 8}, {w / 8, h * 7 / 8}, {w * 7 / 8, h * 7 / 8}}) {
        SCOPED_TRACE(std::to_string(x) + "," + std::to_string(y));
        if (RedAt(p, x, y, w, h)) EXPECT_TRUE(IsRed(Pixel(world, x, y)));
        else EXPECT_TRUE(IsWhite(Pixel(world, x, y)));
    }
}

TEST(PhotoCDDecodeTest, EachSizeIsDecodedFromItsLevel) {
    const std::string pack = Pack();
    struct Case {
        int width, height;
        Pattern pattern;
    };
    const Case cases[] = {
        {192, 128, Pattern::LeftRed},
        {384, 256, Pattern::TopRed},
        {768, 512, Pattern::RightRed},
        {1536, 1024, Pattern::RightRed},  // the base enlarged
        {3072, 2048, Pattern::RightRed},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        GWorldPtr world = nullptr;
        int rotation = -1;
        ASSERT_EQ(PhotoCDDecode(pack, c.width, c.height, &world, &rotation), noErr);
        EXPECT_EQ(rotation, 0);
        const PixelView v = GetGWorldPixels(world);
        EXPECT_EQ(v.width, c.width);
        EXPECT_EQ(v.height, c.height);
        ExpectPattern(world, c.pattern);
        DisposeGWorld(world);
    }
}

TEST(PhotoCDDecodeTest, SizesByResolutionChoiceAndAskedSize) {
    struct Case {
        UInt8 choice;
        SInt32 size;
        int width, height;
    };
    const Case cases[] = {
        {1, 5000, 768, 512},   {2, 10, 1536, 1024},   {3, 0, 3072, 2048},   {0, 0, 192, 128},
        {0, 192, 192, 128},    {0, 193, 384, 256},    {0, 768, 768, 512},   {9, 1500, 1536, 1024},
        {0, 1537, 3072, 2048},
    };
    for (const Case& c : cases) {
        int w = 0, h = 0;
        PhotoCDPictureSize(c.choice, c.size, &w, &h);
        EXPECT_EQ(w, c.width) << int(c.choice) << " " << c.size;
        EXPECT_EQ(h, c.height) << int(c.choice) << " " << c.size;
    }
}

TEST(PhotoCDDecodeTest, DamagedPacksAreRefused) {
    std::string unsigned_ = Pack();
    unsigned_.replace(0x800, 7, "PCD_OPA");
    struct Case {
        const char* what;
        std::string pack;
        int width;
        OSErr result;
    };
    const Case cases[] = {
        {"empty", "", 192, kBadMediaDataErr},
        {"no image pack signature", unsigned_, 192, kBadMediaDataErr},
        {"cut inside the base", Pack(0, 0x30000 + 1000), 768, kBadMediaDataErr},
        {"cut inside the base, smaller level whole", Pack(0, 0x30000 + 1000), 192, noErr},
        {"cut inside the smallest level", Pack(0, 0x2000 + 100), 192, kBadMediaDataErr},
        {"a size no pack has", Pack(), 4000, kPhotoCDDescriptionErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GWorldPtr world = nullptr;
        EXPECT_EQ(PhotoCDDecode(c.pack, c.width, c.width * 2 / 3, &world, nullptr), c.result);
        EXPECT_EQ(world != nullptr, c.result == noErr);
        if (world) DisposeGWorld(world);
    }
}

class PhotoCDReaderTest : public ::testing::Test {
protected:
    void TearDown() override {
        PhotoCDSetResolution(3);
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(PhotoCDReaderTest, InfoGivesTheFullSizeTheRotationAndTheIptcBlock) {
    const std::string iptc = std::string("\x1C\x02\x00\x00\x02\x00\x02\x1C\x02\x78\x00\x05Hello", 17);
    struct Case {
        std::uint8_t rotation;
        SInt16 orientation;
    };
    for (const Case& c : {Case{0, 0}, Case{1, 8}, Case{2, 3}, Case{3, 6}, Case{7, 6}}) {
        SCOPED_TRACE(int(c.rotation));
        const std::string bytes = Pack(c.rotation) + iptc;
        FSSpec spec = CheckedSpecOf(temp.Write("photo.pcd", bytes));
        KindInfoRec info{};
        info.dataSize = UInt32(bytes.size());
        GWorldPtr world = nullptr;
        UserData metadata = nullptr;
        NewUserData(&metadata);
        LastExifOrientation() = 99;
        ASSERT_EQ(PhotoCDGetInfo(&spec, &info, &world, metadata), noErr);
        EXPECT_EQ(info.width, 3072u);
        EXPECT_EQ(info.height, 2048u);
        EXPECT_EQ(info.depth, 32u);
        EXPECT_EQ(info.resolution, 72u);
        EXPECT_EQ(info.colorSpace, OSType('RGB '));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]), "PhotoCD");
        EXPECT_NE(info.compression, 0u);
        EXPECT_EQ(LastExifOrientation(), c.orientation);
        ASSERT_NE(world, nullptr);
        EXPECT_EQ(GetGWorldPixels(world).width, 192) << "the preview is the smallest level";
        DisposeGWorld(world);
        Handle h = NewHandle(0);
        ASSERT_EQ(GetUserData(metadata, h, 'iptc', 1), noErr);
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(*h), std::size_t(GetHandleSize(h))), iptc);
        DisposeHandle(h);
        DisposeUserData(metadata);
    }
    // A file shorter than the window searched has no IPTC item.
    FSSpec shortFile = CheckedSpecOf(temp.Write("short.pcd", iptc));
    KindInfoRec info{};
    UserData metadata = nullptr;
    NewUserData(&metadata);
    EXPECT_NE(PhotoCDGetInfo(&shortFile, &info, nullptr, metadata), noErr);
    EXPECT_EQ(CountUserDataType(metadata, 'iptc'), 0);
    DisposeUserData(metadata);
}

TEST_F(PhotoCDReaderTest, ThumbnailsFollowTheResolutionChoiceAndTheOrientation) {
    FSSpec spec = CheckedSpecOf(temp.Write("photo.pcd", Pack()));
    GWorldPtr world = nullptr;
    ASSERT_EQ(PhotoCDMakeThumbnail(&spec, &world, 128, 0), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 3072) << "choice 3 until set";
    DisposeGWorld(world);
    PhotoCDSetResolution(0);
    ASSERT_EQ(PhotoCDMakeThumbnail(&spec, &world, 300, kTransformRotateCW), noErr);
    const PixelView v = GetGWorldPixels(world);
    EXPECT_EQ(v.width, 256) << "a quarter turn: 384 x 256 standing";
    EXPECT_EQ(v.height, 384);
    // The top-red level turned a quarter clockwise is red on the right.
    EXPECT_TRUE(IsRed(Pixel(world, 240, 192)));
    EXPECT_TRUE(IsWhite(Pixel(world, 16, 192)));
    DisposeGWorld(world);
    FSSpec missing = SpecOf(temp / "missing.pcd");
    EXPECT_NE(PhotoCDMakeThumbnail(&missing, &world, 128, 0), noErr);
    EXPECT_EQ(world, nullptr);
}

TEST_F(PhotoCDReaderTest, TheKindsAreRegisteredUnderEditions200And500AndReadThroughTheEngine) {
    for (SInt32 edition : {200, 400, 500}) {
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (OSType type : {'kpcd', 'PCDI', 'PCD '}) {
            if (edition == 400) {
                EXPECT_NE(KindGetHandler(type), kKindHandlerBuiltin);
            } else {
                EXPECT_EQ(KindGetHandler(type), kKindHandlerBuiltin);
                EXPECT_EQ(KindGetCategory(type), kKindCategoryImage);
            }
        }
        KindEngineShutdown();
        KindTableClear();
    }
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    FSSpec spec = SpecOf(temp.Write("img0001.PCD", Pack(1)));
    KindFileRec file;
    ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
    EXPECT_EQ(file.type, OSType('PCD '));
    KindInfoRec info{};
    PicHandle thumb = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
    EXPECT_EQ(info.width, 3072u);
    EXPECT_NE(info.orientation, 0) << "the pack's rotation";
    EXPECT_NE(thumb, nullptr);
    for (Handle h : {Handle(thumb), iptc, technical, recording})
        if (h) DisposeHandle(h);
}

}  // namespace
