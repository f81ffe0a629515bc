#include "media/readers/tiff/RichTiff.h"

#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "platform/Handles.h"

#include "../metadata/MetaTestSupport.h"
#include "platform/imaging/codecs/JpegCodec.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace metatest;

enum : std::uint16_t { SHORT = 3, LONG = 4, RATIONAL = 5 };

Bytes SolidJpeg(int width, int height) {
    std::vector<std::uint8_t> pixels(std::size_t(width * height * 4), 0x80), jpeg;
    EXPECT_EQ(JpegEncodeBGRX(pixels.data(), width, height, width * 4, 90, 72, &jpeg), noErr);
    return Bytes(jpeg.begin(), jpeg.end());
}

struct Layout {
    unsigned compression2 = 6;
    unsigned photometric = 2;
    unsigned unit = 2;
    std::uint32_t resolution = 300;
    unsigned rowsPerStrip = 8;
};

// Two directories, each with one JPEG strip: 16 x 8 picture and 4 x 2 preview.
Bytes RichTiffFile(const Layout& l) {
    const Order o{false};
    const Bytes big = SolidJpeg(16, 8), small = SolidJpeg(4, 2);
    Bytes b = TiffHeader(o, 8);
    const std::size_t ifd1 = 8, ifd2 = 400, strips = 800;
    auto dir = [&](unsigned compression, std::uint32_t w, std::uint32_t h, std::size_t stripAt, std::size_t stripSize,
                   std::uint32_t next, std::size_t at) {
        PutIfd(b, 0, at, o,
               {{0x100, SHORT, 1, o.U16(w)}, {0x101, SHORT, 1, o.U16(h)}, {0x103, SHORT, 1, o.U16(compression)},
                {0x106, SHORT, 1, o.U16(l.photometric)}, {0x111, LONG, 1, o.U32(std::uint32_t(stripAt))},
                {0x116, SHORT, 1, o.U16(at == ifd1 ? l.rowsPerStrip : h)}, {0x117, LONG, 1, o.U32(std::uint32_t(stripSize))},
                {0x11A, RATIONAL, 1, o.Rational(l.resolution, 1)}, {0x11B, RATIONAL, 1, o.Rational(l.resolution, 1)},
                {0x128, SHORT, 1, o.U16(l.unit)}},
               next);
    };
    dir(6, 16, 8, strips, big.size(), ifd2, ifd1);
    dir(l.compression2, 4, 2, strips + big.size(), small.size(), 0, ifd2);
    b.resize(strips);
    b.insert(b.end(), big.begin(), big.end());
    b.insert(b.end(), small.begin(), small.end());
    return b;
}

std::string Encoding(const KindInfoRec& info) { return std::string(reinterpret_cast<const char*>(info.encoding) + 1, info.encoding[0]); }

TEST(RichTiff, Information) {
    struct Case {
        const char* name;
        Layout layout;
        OSErr expected;
        UInt32 resolution;
        OSType colorSpace;
        UInt32 depth;
    } cases[] = {
        {"two JPEG directories", {}, noErr, 300, 'RGB ', 24},
        {"100 pixels per centimetre", {6, 2, 3, 100, 8}, noErr, 254, 'RGB ', 24},
        {"grey", {6, 1, 2, 72, 8}, noErr, 72, 'GRAY', 8},
        {"second directory not JPEG", {1, 2, 2, 300, 8}, kReaderDeclinesErr, 0, 0, 0},
        {"strip is not the whole height", {6, 2, 2, 300, 4}, kReaderDeclinesErr, 0, 0, 0},
    };
    for (const auto& c : cases) {
        TempFolder dir;
        WriteBytes(dir / "r.tif", RichTiffFile(c.layout));
        FSSpec spec = CheckedSpecOf(dir / "r.tif");
        KindInfoRec info{};
        info.dataSize = 4000;
        GWorldPtr preview = nullptr;
        List l;
        ASSERT_EQ(RichTiffGetInfo(&spec, &info, &preview, l.ud), c.expected) << c.name;
        if (c.expected) {
            EXPECT_EQ(preview, nullptr) << c.name;
            continue;
        }
        EXPECT_EQ(info.width, 16u) << c.name;
        EXPECT_EQ(info.height, 8u) << c.name;
        EXPECT_EQ(info.resolution, c.resolution) << c.name;
        EXPECT_EQ(info.colorSpace, c.colorSpace) << c.name;
        EXPECT_EQ(info.depth, c.depth) << c.name;
        EXPECT_EQ(info.pages, 1u) << c.name;
        EXPECT_NE(info.compression, 0u) << c.name;
        EXPECT_EQ(Encoding(info), "TIFF (RichTIFF)") << c.name;
        ASSERT_NE(preview, nullptr) << c.name;
        Rect r = GetPortBounds(preview);
        EXPECT_EQ(r.right - r.left, 4) << c.name;
        EXPECT_EQ(r.bottom - r.top, 2) << c.name;
        DisposeGWorld(preview);
    }
}

TEST(RichTiff, Thumbnail) {
    TempFolder dir;
    WriteBytes(dir / "r.tif", RichTiffFile({}));
    FSSpec spec = CheckedSpecOf(dir / "r.tif");
    GWorldPtr world = nullptr;
    ASSERT_EQ(RichTiffMakeThumbnail(&spec, &world), noErr);
    Rect r = GetPortBounds(world);
    EXPECT_EQ(r.right - r.left, 16);
    EXPECT_EQ(r.bottom - r.top, 8);
    DisposeGWorld(world);

    WriteBytes(dir / "n.tif", RichTiffFile({1, 2, 2, 300, 8}));
    FSSpec plain = CheckedSpecOf(dir / "n.tif");
    EXPECT_EQ(RichTiffMakeThumbnail(&plain, &world), kNoWordTextErr);
    EXPECT_EQ(world, nullptr);
    EXPECT_EQ(TiffCameraThumbnailRefuse(&plain, &world, 'dply'), kNoWordTextErr);
}

TEST(TiffSubIfd, InformationFromTheImageDirectory) {
    // The camera file's second SubIFD holds the raw image.
    FSSpec nef = CheckedSpecOf(SharedFixture("metadata-samples/Nikon.nef"));
    KindInfoRec info{};
    info.dataSize = 6188;
    info.depth = 12;
    List l;
    ASSERT_EQ(TiffSubIfdGetInfo(&nef, &info, l.ud), noErr);
    EXPECT_EQ(info.width, 3040u);
    EXPECT_EQ(info.height, 2014u);
    EXPECT_EQ(info.resolution, 300u);
    EXPECT_EQ(Encoding(info), "TIFF (Camera RAW)");

    // A single SubIFD offset (four bytes, inside its entry) is used as the first.
    const Order o{true};
    Bytes b = TiffHeader(o, 8);
    PutIfd(b, 0, 8, o, {{0x100, SHORT, 1, o.U16(1)}, {0x14A, LONG, 1, o.U32(100)}}, 0);
    PutIfd(b, 0, 100, o, {{0x100, LONG, 1, o.U32(4000)}, {0x101, LONG, 1, o.U32(3000)}}, 0);
    TempFolder dir;
    WriteBytes(dir / "s.tif", b);
    FSSpec spec = CheckedSpecOf(dir / "s.tif");
    KindInfoRec one{};
    ASSERT_EQ(TiffSubIfdGetInfo(&spec, &one, nullptr), noErr);
    EXPECT_EQ(one.width, 4000u);
    EXPECT_EQ(one.height, 3000u);

    // Without tag 0x14A the reader declines.
    WriteBytes(dir / "p.tif", RichTiffFile({}));
    FSSpec plain = CheckedSpecOf(dir / "p.tif");
    EXPECT_EQ(TiffSubIfdGetInfo(&plain, &one, nullptr), kReaderDeclinesErr);
}

// The graphics importers hand RichTIFF files to this reader first and read other TIFFs
// themselves; the thumbnail of a RichTIFF is held within the size asked for.
TEST(RichTiff, ThroughTheKindEngine) {
    ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr);
    TempFolder dir;
    WriteBytes(dir / "r.tif", RichTiffFile({}));
    WriteBytes(dir / "n.tif", RichTiffFile({1, 2, 2, 300, 8}));
    struct {
        const char* name;
        const char* encoding;
    } cases[] = {{"r.tif", "TIFF (RichTIFF)"}, {"n.tif", "TIFF"}};
    for (auto& c : cases) {
        FSSpec spec = CheckedSpecOf(dir / c.name);
        KindFileRec file;
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        KindGetInfo(&file, &info, true, 1, 1, 160, &thumb, nullptr, nullptr, nullptr);
        EXPECT_EQ(Encoding(info), c.encoding) << c.name;
        if (thumb) DisposeHandle(thumb);
    }
    FSSpec rich = CheckedSpecOf(dir / "r.tif");
    GWorldPtr world = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(KindMakeThumbnail(&rich, &world, 10, 'TIFF', &index, 0), noErr);
    Rect r = GetPortBounds(world);
    EXPECT_EQ(r.right - r.left, 10);
    EXPECT_EQ(r.bottom - r.top, 5);
    DisposeGWorld(world);
    KindEngineShutdown();
    KindTableClear();
}

}  // namespace
