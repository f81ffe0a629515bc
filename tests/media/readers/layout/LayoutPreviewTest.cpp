// Previews of layout and drawing documents: FreeHand header previews (JPEG and bitmap) and
// trailer previews (indexed and 24-bit), QuarkXPress preview blocks (page count and size, the
// preview of the wanted page), damaged files of both, and the kinds registered by edition and
// read through the engine.
#include "media/kinds/KindDispatch.h"
#include "media/imaging/Orientation.h"
#include "media/kinds/KindTable.h"
#include "media/readers/layout/FreeHandPreview.h"
#include "media/readers/layout/QuarkPreview.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Rgb {
    int r, g, b;
};
Rgb Pixel(GWorldPtr world, int x, int y) {
    const PixelView v = GetGWorldPixels(world);
    const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
    return {p[2], p[1], p[0]};
}
bool IsRed(const Rgb& c) {
    return c.r > 200 && c.g < 60 && c.b < 60;
}

// ---- FreeHand --------------------------------------------------------------------------

std::string HeaderLayout(const std::string& preview, std::uint32_t length) {
    std::string f = std::string("\x1C\x01\x00", 3) + std::string(85, 'x');
    fixtures::Put32BE(f, length);
    return f + preview + "rest of the drawing";
}
std::string HeaderLayout(const std::string& preview) {
    return HeaderLayout(preview, std::uint32_t(preview.size()));
}

// An old drawing whose trailer points to a width x height preview with a red left half.
std::string TrailerLayout(int width, int height, int bits, std::uint32_t tableBytes = 768) {
    std::string f = "FH3 drawing data";
    const std::uint32_t at = std::uint32_t(f.size());
    fixtures::Put16BE(f, unsigned(width));
    fixtures::Put16BE(f, unsigned(height));
    fixtures::Put16BE(f, unsigned(bits));
    f += std::string(6, '\0');
    const std::uint32_t pixelBytes = std::uint32_t(width * height * (bits == 24 ? 3 : 1));
    fixtures::Put32BE(f, bits == 24 ? 0 : tableBytes);
    fixtures::Put32BE(f, pixelBytes);
    if (bits != 24) {
        std::string table(tableBytes, '\0');
        table[0] = table[1] = table[2] = char(0xFF);  // 0 white
        if (tableBytes >= 6) table[3] = char(0xFF);   // 1 red
        f += table;
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool red = x < width / 2;
            if (bits == 24) f += red ? std::string("\xFF\0\0", 3) : std::string("\xFF\xFF\xFF", 3);
            else f += char(red ? 1 : 0);
        }
    f += "PRVW";
    f += std::string(4, '\0');
    fixtures::Put32BE(f, at);
    return f;
}

class LayoutTest : public ::testing::Test {
protected:
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(LayoutTest, FreeHandPreviewsOfBothLayoutsAreDrawn) {
    struct Case {
        const char* what;
        std::string file;
        int width, height;
        bool redTopLeft;
    };
    const Case cases[] = {
        {"header bitmap", HeaderLayout(fixtures::Bmp(16, 16, fixtures::BmpKind::Rgb24BottomUp)), 16, 16, true},
        {"header JPEG", HeaderLayout(fixtures::Jpeg(32, 32)), 32, 32, true},
        {"trailer of 256 colours", TrailerLayout(20, 10, 8), 20, 10, true},
        {"trailer of 24 bits", TrailerLayout(20, 10, 24), 20, 10, true},
        {"trailer with a short table (indices past it are black)", TrailerLayout(20, 10, 8, 3), 20, 10, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSSpec spec = CheckedSpecOf(temp.Write("art.fh9", c.file));
        GWorldPtr world = nullptr;
        KindReading().previewFlag = 0;
        ASSERT_EQ(FreeHandMakeThumbnail(&spec, &world), noErr);
        EXPECT_EQ(KindReading().previewFlag, 1);
        const PixelView v = GetGWorldPixels(world);
        EXPECT_EQ(v.width, c.width);
        EXPECT_EQ(v.height, c.height);
        EXPECT_EQ(IsRed(Pixel(world, 2, 2)), c.redTopLeft);
        EXPECT_FALSE(IsRed(Pixel(world, v.width - 2, 2)));
        DisposeGWorld(world);
    }
}

TEST_F(LayoutTest, DamagedFreeHandFilesShowNothing) {
    std::string offsetPastEnd = TrailerLayout(4, 4, 8);
    offsetPastEnd.replace(offsetPastEnd.size() - 4, 4, std::string("\x7F\xFF\xFF\xFF", 4));
    std::string pixelsPastEnd = TrailerLayout(4, 4, 8);
    pixelsPastEnd.replace(16 + 16, 4, std::string("\x00\x00\x10\x00", 4));
    std::string tableTooLarge = TrailerLayout(4, 4, 8);
    tableTooLarge.replace(16 + 12, 4, std::string("\x7F\xFF\xFF\xFF", 4));
    std::string fewPixels = TrailerLayout(4, 4, 8);
    fewPixels.replace(16 + 16, 4, std::string("\0\0\0\x02", 4));
    struct Case {
        const char* what;
        std::string file;
        OSErr result;
    };
    const Case cases[] = {
        {"neither layout", "%PDF-1.4 or anything", kFreeHandUnknownErr},
        {"empty", "", kFreeHandUnknownErr},
        {"trailer layout shorter than a trailer", "FH3short", eofErr},
        {"no preview tag", "AGD1" + std::string(40, 'x'), kFreeHandNoPreviewErr},
        {"negative preview length", HeaderLayout("BM", 0x80000000u), kFreeHandUnknownErr},
        {"preview neither JPEG nor bitmap", HeaderLayout("GIF89a"), kFreeHandUnknownErr},
        {"preview length past the end", HeaderLayout(fixtures::Bmp(4, 4, fixtures::BmpKind::Rgb24BottomUp), 100000), eofErr},
        {"header cut before its length", std::string("\x1C\x01\x00", 3) + "abc", eofErr},
        {"trailer offset past the end", offsetPastEnd, eofErr},
        {"pixel data past the end", pixelsPastEnd, eofErr},
        {"colour table beyond 256 entries", tableTooLarge, kBadMediaDataErr},
        {"fewer pixels than the size", fewPixels, kBadMediaDataErr},
        {"empty size", TrailerLayout(0, 4, 8), kBadMediaDataErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSSpec spec = CheckedSpecOf(temp.Write("bad.fh5", c.file));
        GWorldPtr world = nullptr;
        EXPECT_EQ(FreeHandMakeThumbnail(&spec, &world), c.result);
        EXPECT_EQ(world, nullptr);
    }
    FSSpec missing = SpecOf(temp / "missing.fh5");
    GWorldPtr world = nullptr;
    EXPECT_NE(FreeHandMakeThumbnail(&missing, &world), noErr);
}

// ---- QuarkXPress -----------------------------------------------------------------------

std::string Element(const std::string& tag, const std::string& value) {
    return "<" + tag + ">" + value + "</" + tag + ">";
}

// A document followed by its preview block; the section length counts the whole block.
std::string QuarkFile(const std::string& elements) {
    const std::string head = "<LyrexXT>" + elements;
    std::string block;
    for (std::size_t guess = head.size() + 50;;) {
        block = head + Element("LyrexXTSectionLength", std::to_string(guess)) + "</LyrexXT>";
        if (block.size() == guess) break;
        guess = block.size();
    }
    return std::string(300, 'Q') + block;
}

std::string ThreePages() {
    return Element("LyrexXTVersion", "1.5") + Element("pageCount", "3") + Element("pagePreviewCount", "3") +
           Element("pageWidth", "210") + Element("pageHeight", "297") + Element("somethingNew", "<b>x</b>") +
           Element("pagePreview", fixtures::Jpeg(16, 24)) + Element("pagePreview", fixtures::Jpeg(40, 20)) +
           Element("pagePreview", fixtures::Jpeg(8, 8));
}

TEST_F(LayoutTest, QuarkBlocksGivePagesSizeAndThePreviewOfEachPage) {
    FSSpec spec = CheckedSpecOf(temp.Write("layout.qxd", QuarkFile(ThreePages())));
    KindInfoRec info{};
    GWorldPtr world = nullptr;
    ASSERT_EQ(QuarkGetInfo(&spec, &info, &world), noErr);
    EXPECT_EQ(info.pages, 3u);
    EXPECT_EQ(info.width, 595u) << "210 mm at 72 dpi";
    EXPECT_EQ(info.height, 842u);
    ASSERT_NE(world, nullptr);
    EXPECT_EQ(GetGWorldPixels(world).width, 16) << "the first page";
    EXPECT_TRUE(IsRed(Pixel(world, 2, 2)));
    DisposeGWorld(world);

    struct Case {
        UInt32 page;
        int width;  // 0: nothing drawn
    };
    for (const Case& c : {Case{1, 16}, Case{2, 40}, Case{3, 8}, Case{5, 0}}) {
        SCOPED_TRACE(c.page);
        EXPECT_EQ(QuarkMakeThumbnail(&spec, &world, 0, &c.page), noErr);
        if (c.width == 0) {
            EXPECT_EQ(world, nullptr);
            continue;
        }
        ASSERT_NE(world, nullptr);
        EXPECT_EQ(GetGWorldPixels(world).width, c.width);
        DisposeGWorld(world);
    }
    // Turned by the orientation code: the 40 x 20 page stands up.
    const UInt32 second = 2;
    ASSERT_EQ(QuarkMakeThumbnail(&spec, &world, kTransformRotateCW, &second), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 20);
    DisposeGWorld(world);

    // A block without previews gives information and no picture.
    FSSpec bare = CheckedSpecOf(temp.Write("bare.qxd", QuarkFile(Element("pageCount", "7"))));
    info = KindInfoRec{};
    EXPECT_EQ(QuarkGetInfo(&bare, &info, &world), noErr);
    EXPECT_EQ(info.pages, 7u);
    EXPECT_EQ(world, nullptr);
}

TEST_F(LayoutTest, FilesWithoutASoundBlockAreRefused) {
    std::string noEnd = QuarkFile(ThreePages());
    noEnd.back() = 'X';
    std::string lengthTooLarge = std::string(300, 'Q') + "<LyrexXT>" + Element("LyrexXTSectionLength", "99999999") + "</LyrexXT>";
    std::string lengthHuge = std::string(300, 'Q') + "<LyrexXT>" + Element("LyrexXTSectionLength", "99999999999999999999") + "</LyrexXT>";
    std::string lengthNegative = std::string(300, 'Q') + "<LyrexXT>" + Element("LyrexXTSectionLength", "-40") + "</LyrexXT>";
    std::string wrongStart = QuarkFile(ThreePages());
    wrongStart.replace(300, 9, "<LyrexXX>");
    struct Case {
        const char* what;
        std::string file;
        OSErr result;
    };
    const Case cases[] = {
        {"shorter than 100 bytes", "<LyrexXT></LyrexXT>", eofErr},
        {"no closing tag at the end", noEnd, kQuarkNoBlockErr},
        {"no section length", std::string(300, 'Q') + "</LyrexXT>", kQuarkNoBlockErr},
        {"section length past the file", lengthTooLarge, kQuarkNoBlockErr},
        {"section length beyond 32 bits", lengthHuge, kQuarkNoBlockErr},
        {"negative section length", lengthNegative, kQuarkNoBlockErr},
        {"block not starting with its tag", wrongStart, kQuarkNoBlockErr},
        {"an element never closed", QuarkFile("<pageCount>3<pagePreview>"), noErr},
        {"a preview of junk", QuarkFile(Element("pagePreview", "not a JPEG at all")), kBadMediaDataErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSSpec spec = CheckedSpecOf(temp.Write("bad.qxd", c.file));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        const OSErr err = QuarkGetInfo(&spec, &info, &world);
        if (c.result == kBadMediaDataErr) EXPECT_NE(err, noErr);
        else EXPECT_EQ(err, c.result);
        EXPECT_EQ(world, nullptr);
    }
}

TEST_F(LayoutTest, TheKindsAreRegisteredUnderEditions200And500AndReadThroughTheEngine) {
    const OSType freehand[] = {'FHD3', 'AGD1', 'AGD2', 'AGD3', 'AGD4', 'AGD5', 'AGD6',
                               'FH5 ', 'FH6 ', 'FH7 ', 'FH8 ', 'FH9 ', 'FHX ', 'FH11'};
    for (SInt32 edition : {200, 400, 500}) {
        SCOPED_TRACE(edition);
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (OSType type : freehand) {
            if (edition == 400) continue;
            EXPECT_EQ(KindGetHandler(type), kKindHandlerBuiltin);
            EXPECT_EQ(KindGetCategory(type), kKindCategoryIllustration);
        }
        for (OSType type : {'QXD ', 'XDOC'}) {
            if (edition == 400) {
                EXPECT_NE(KindGetHandler(type), kKindHandlerBuiltin);
                continue;
            }
            EXPECT_EQ(KindGetHandler(type), kKindHandlerBuiltin);
            EXPECT_EQ(KindGetCategory(type), kKindCategoryDTP);
        }
        KindEngineShutdown();
        KindTableClear();
    }
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    for (const std::string& path : {temp.Write("a.qxd", QuarkFile(ThreePages())), temp.Write("b.fh9", TrailerLayout(20, 10, 8))}) {
        SCOPED_TRACE(path);
        KindFileRec file;
        FSSpec spec = SpecOf(path);
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
        EXPECT_NE(thumb, nullptr);
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        GWorldPtr world = nullptr;
        UInt32 index = 2;
        ASSERT_EQ(KindMakeThumbnail(&spec, &world, 128, file.type, &index, 0), noErr);
        ASSERT_NE(world, nullptr);
        EXPECT_EQ(GetGWorldPixels(world).width, file.type == 'QXD ' ? 40 : 20) << "the page the index asks for";
        DisposeGWorld(world);
    }
}

}  // namespace
