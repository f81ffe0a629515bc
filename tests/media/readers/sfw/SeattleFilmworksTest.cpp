// Seattle Filmworks pictures: a JPEG made here, its Huffman tables taken out and its markers
// replaced, comes back as the same picture upside down (a red square in, a red square out);
// bytes before the first marker, damaged segment lengths, registration by edition and the
// built-in dispatch.
#include "media/imaging/ImportToOffscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "media/readers/sfw/SeattleFilmworks.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"
#include "platform/imaging/codecs/JpegCodec.h"
#include "support/FileSpecs.h"
#include "support/ReaderChecks.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

// A 32 x 24 JPEG: white, a red square in its top-left quarter.
std::string MakeJpeg() {
    const int w = 32, h = 24;
    std::vector<std::uint8_t> pixels(std::size_t(w) * h * 4, 0xFF);
    for (int y = 0; y < h / 2; ++y)
        for (int x = 0; x < w / 2; ++x) {
            std::uint8_t* p = &pixels[(std::size_t(y) * w + x) * 4];
            p[0] = 0, p[1] = 0, p[2] = 0xFF;
        }
    std::vector<std::uint8_t> out;
    EXPECT_EQ(JpegEncodeBGRX(pixels.data(), w, h, w * 4, 95, 150, &out), noErr);
    return std::string(out.begin(), out.end());
}

// The JPEG as the film processor stores it: Huffman tables left out, markers replaced.
std::string ToSfw(const std::string& jpeg) {
    auto unmap = [](std::uint8_t m) -> std::uint8_t {
        switch (m) {
        case 0xD8: return 0xC8;
        case 0xE0: return 0xD0;
        case 0xDB: return 0xCB;
        case 0xC0: return 0xA0;
        case 0xDA: return 0xCA;
        default: return m;
        }
    };
    std::string out = jpeg.substr(0, 2);
    out[1] = char(unmap(0xD8));
    std::size_t at = 2;
    while (at + 4 <= jpeg.size()) {
        const std::uint8_t marker = std::uint8_t(jpeg[at + 1]);
        const std::size_t length = (std::uint8_t(jpeg[at + 2]) << 8) | std::uint8_t(jpeg[at + 3]);
        if (marker == 0xDA) {
            std::string rest = jpeg.substr(at);
            rest[1] = char(unmap(0xDA));
            rest[rest.size() - 1] = char(0xC9);  // the end-of-image marker
            return out + rest;
        }
        std::string segment = jpeg.substr(at, 2 + length);
        segment[1] = char(unmap(marker));
        if (marker != 0xC4) out += segment;
        at += 2 + length;
    }
    return {};
}

std::uint32_t At(GWorldPtr world, int x, int y) {
    PixelView v = GetGWorldPixels(world);
    return *reinterpret_cast<const std::uint32_t*>(v.base + y * v.rowBytes + x * 4) & 0xFFFFFF;
}

bool Red(std::uint32_t p) { return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) < 60 && (p & 0xFF) < 60; }
bool White(std::uint32_t p) { return ((p >> 16) & 0xFF) > 200 && ((p >> 8) & 0xFF) > 200 && (p & 0xFF) > 200; }

class SeattleFilmworksTest : public ::testing::Test {
protected:
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(SeattleFilmworksTest, TheConvertedPictureIsTheJpegUpsideDown) {
    const std::string jpeg = MakeJpeg();
    const std::string sfw = ToSfw(jpeg);
    ASSERT_FALSE(sfw.empty());
    ASSERT_EQ(sfw.find("\xFF\xC4"), std::string::npos) << "no Huffman tables left";
    for (const std::string& prefix : {std::string(), std::string("SFW94A\0\0junk\xFF", 13)}) {
        FSSpec spec = CheckedSpecOf(temp.Write("a.sfw", prefix + sfw));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        ASSERT_EQ(SfwGetInfo(&spec, &info, &world), noErr);
        EXPECT_EQ(info.width, 32u);
        EXPECT_EQ(info.height, 24u);
        EXPECT_EQ(info.depth, 24u);
        EXPECT_EQ(info.resolution, 150u) << "the JFIF density survives the conversion";
        ASSERT_EQ(GetGWorldPixels(world).width, 32);
        // Stored upside down: the square comes out at the bottom left.
        EXPECT_TRUE(Red(At(world, 4, 20)));
        EXPECT_TRUE(White(At(world, 4, 4)));
        EXPECT_TRUE(White(At(world, 28, 20)));
        // Pixel for pixel the original, mirrored top to bottom.
        Handle original = NewHandle(long(jpeg.size()));
        std::memcpy(*original, jpeg.data(), jpeg.size());
        OSErr err = noErr;
        GWorldPtr reference = GraphicsImportToOffscreen(original, 'JPEG', k32BGRAPixelFormat, srcCopy, nullptr, &err);
        DisposeHandle(original);
        ASSERT_NE(reference, nullptr);
        int differing = 0;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 32; ++x) differing += At(world, x, 23 - y) != At(reference, x, y);
        EXPECT_EQ(differing, 0);
        DisposeGWorld(reference);
        DisposeGWorld(world);
    }
}

TEST_F(SeattleFilmworksTest, DataThatCannotBeConvertedIsRefused) {
    const std::string sfw = ToSfw(MakeJpeg());
    const std::size_t firstSegment = 2;  // APP0
    auto withLength = [&](std::size_t at, std::uint16_t length) {
        std::string b = sfw;
        b[at + 2] = char(length >> 8);
        b[at + 3] = char(length & 0xFF);
        return b;
    };
    std::string unknownMarker = sfw;
    const std::size_t second = firstSegment + 2 + ((std::uint8_t(sfw[4]) << 8) | std::uint8_t(sfw[5]));
    unknownMarker[second + 1] = char(0x42);
    std::string noEnd = sfw;
    noEnd[noEnd.size() - 1] = 0;
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case cases[] = {
        {"no start marker", std::string(64, '\xFF')},
        {"start marker at the very end", std::string("\xFF\xC8\xFF\xD0\0\x10", 6)},
        {"segment length past the data", withLength(firstSegment, 0xFFF0)},
        {"segment length zero", withLength(firstSegment, 0)},
        {"a marker the map does not know", unknownMarker},
        {"no end of image", noEnd},
        {"cut in the headers", sfw.substr(0, 40)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SfwToJpeg(c.bytes), "") << c.what;
        FSSpec spec = CheckedSpecOf(temp.Write("bad.sfw", c.bytes));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        EXPECT_EQ(SfwGetInfo(&spec, &info, &world), kBadMediaDataErr) << c.what;
        EXPECT_EQ(world, nullptr);
        EXPECT_EQ(SfwMakeThumbnail(&spec, &world, 0), kBadMediaDataErr) << c.what;
        EXPECT_EQ(world, nullptr);
    }
    // Every prefix is refused or read without harm (the sanitizer pass watches the reads).
    for (std::size_t n = 0; n < sfw.size(); n += 7) SfwToJpeg(sfw.substr(0, n));
}

TEST_F(SeattleFilmworksTest, SfwKindsAreRegisteredUnderEditions200And500AndReachTheReader) {
    ASSERT_NO_FATAL_FAILURE(support::ExpectKindsRegisteredExceptUnder400(
        {OSType('SFW '), OSType('SFWI')}, kKindHandlerBuiltin, kKindCategoryImage));
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    const std::string path = temp.Write("roll.sfw", ToSfw(MakeJpeg()));
    KindFileRec file;
    FSSpec spec = SpecOf(path);
    ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
    EXPECT_EQ(file.type, OSType('SFW '));
    KindInfoRec info{};
    PicHandle thumb = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
    EXPECT_NE(thumb, nullptr);
    for (Handle h : {Handle(thumb), iptc, technical, recording})
        if (h) DisposeHandle(h);
    GWorldPtr world = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(BuiltinReaderMakeThumbnail(&spec, &world, 128, 'SFWI', &index, 'V '), noErr);
    EXPECT_TRUE(Red(At(world, 4, 4))) << "turned back by the caller's code";
    DisposeGWorld(world);
}

}  // namespace
