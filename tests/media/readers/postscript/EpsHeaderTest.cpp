// The header comments of PostScript, EPS and Illustrator files: size, resolution, raster data,
// creator and format texts; the Illustrator thumbnail in hexadecimal comments (raw and
// run-length packed, with every style of line end); the DOS EPS preview (TIFF and metafile: a
// red square in, a red square out); and damaged headers that must neither hang nor read or
// allocate beyond reason.
#include "media/imaging/Offscreen.h"
#include "media/readers/postscript/EpsHeader.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string UserText(UserData data, OSType type) {
    Handle h = NewHandle(0);
    std::string out;
    if (GetUserDataText(data, h, type, 1, 0) == noErr) {
        HLock(h);
        out.assign(reinterpret_cast<const char*>(*h), std::size_t(GetHandleSize(h)));
    }
    DisposeHandle(h);
    return out;
}

std::string PString(const unsigned char* s) {
    return std::string(reinterpret_cast<const char*>(s + 1), s[0]);
}

std::string Hex(const std::string& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

// A DOS EPS file: the 32-byte header, the PostScript, then the preview section.
std::string DosEps(const std::string& postscript, const std::string& metafile, const std::string& tiff) {
    std::string f;
    fixtures::Put32LE(f, 0xC6D3D0C5);
    const std::uint32_t psAt = 30, wmfAt = psAt + std::uint32_t(postscript.size());
    const std::uint32_t tiffAt = wmfAt + std::uint32_t(metafile.size());
    fixtures::Put32LE(f, psAt);
    fixtures::Put32LE(f, std::uint32_t(postscript.size()));
    fixtures::Put32LE(f, metafile.empty() ? 0 : wmfAt);
    fixtures::Put32LE(f, std::uint32_t(metafile.size()));
    fixtures::Put32LE(f, tiff.empty() ? 0 : tiffAt);
    fixtures::Put32LE(f, std::uint32_t(tiff.size()));
    fixtures::Put16LE(f, 0xFFFF);
    return f + postscript + metafile + tiff;
}

// A plain metafile of window 40 x 40 with a red square from 10 to 30.
std::string RedSquareMetafile() {
    std::string records;
    auto rec = [&records](std::uint16_t function, std::vector<int> words) {
        fixtures::Put32LE(records, std::uint32_t(3 + words.size()));
        fixtures::Put16LE(records, function);
        for (int w : words) fixtures::Put16LE(records, unsigned(w) & 0xFFFF);
    };
    rec(0x020C, {40, 40});
    rec(0x02FC, {0, 0x00FF, 0, 0});
    rec(0x012D, {0});
    rec(0x02FA, {5, 0, 0, 0, 0});
    rec(0x012D, {1});
    rec(0x041B, {30, 30, 10, 10});
    rec(0, {});
    std::string h;
    fixtures::Put16LE(h, 1);
    fixtures::Put16LE(h, 9);
    fixtures::Put16LE(h, 0x0300);
    fixtures::Put32LE(h, std::uint32_t(9 + records.size() / 2));
    fixtures::Put16LE(h, 2);
    fixtures::Put32LE(h, 0);
    fixtures::Put16LE(h, 0);
    return h + records;
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
    return c.r > 200 && c.g < 50 && c.b < 50;
}

class EpsHeaderTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(NewUserData(&metadata), noErr); }
    void TearDown() override {
        DisposeUserData(metadata);
        if (picture) DisposeHandle(picture);
    }
    OSErr Read(const std::string& text, const char* name = "a.eps") {
        spec = CheckedSpecOf(temp.Write(name, text));
        info = KindInfoRec{};
        info.dataSize = UInt32(text.size());
        return ReadEpsHeader(&spec, &info, &picture, metadata, &bounds);
    }
    TempFolder temp;
    FSSpec spec;
    KindInfoRec info{};
    UserData metadata = nullptr;
    PicHandle picture = nullptr;
    Rect bounds{0, 0, 0, 0};
};

TEST_F(EpsHeaderTest, TheCommentsGiveSizeDepthColourSpaceAndTexts) {
    ASSERT_EQ(Read("%!PS-Adobe-3.0 EPSF-3.0\n%%Creator: (Photo Editor 7)\n%%BoundingBox: 0 0 612 792\n"
                   "%ImageData: 1000 800 8 3 0 1 2 \"beginimage\"\n%%EndComments\nshowpage\n"),
              noErr);
    EXPECT_EQ(info.width, 1000u);
    EXPECT_EQ(info.height, 800u);
    EXPECT_EQ(info.depth, 24u);
    EXPECT_EQ(info.colorSpace, OSType('RGB '));
    EXPECT_NE(info.compression, 0u);
    EXPECT_EQ(PString(info.encoding), "PS-Adobe-3.0 EPSF-3.0");
    EXPECT_EQ(UserText(metadata, kUserDataFormat), "Raster (Binary)");
    EXPECT_EQ(UserText(metadata, kUserDataCreator), "Photo Editor 7") << "the parentheses go";
    EXPECT_EQ(bounds.right, 1000);
    EXPECT_EQ(bounds.bottom, 800);
}

TEST_F(EpsHeaderTest, BoundingBoxesAndResolutionsAsTheLinesGiveThem) {
    struct Case {
        const char* what;
        std::string text;
        OSErr result;
        UInt32 width, height, resolution;
        std::string format;
    };
    const Case cases[] = {
        {"letter page", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 612 792\n", noErr, 612, 792, 0, "Vector"},
        {"fractions truncated", "%!PS-Adobe-3.0\r%%BoundingBox: 10.9 20.2 110.8 70.9\r", noErr, 99, 50, 0, "Vector"},
        {"the trailer's box replaces (atend)",
         "%!PS-Adobe-3.0\r\n%%BoundingBox: (atend)\r\n%%Trailer\r\n%%BoundingBox: 0 0 30 40\r\n", noErr, 30, 40, 0,
         "Vector"},
        {"(atend) never resolved", "%!PS-Adobe-3.0\n%%BoundingBox: (atend)\n", kEpsNoHeaderErr, 0, 0, 0, "Vector"},
        {"Illustrator raster", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%AI5_BeginRaster\n", noErr, 5, 5, 0,
         "Vector | Raster"},
        {"binary section is raster", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%%BeginBinary: 4\nABCD\n", noErr, 5, 5,
         0, "Vector | Raster"},
        {"target resolution", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%AI5_TargetResolution: 800\n", noErr, 5, 5, 800,
         "Vector"},
        {"image resolution", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%ALDImageResolution: 300\n", noErr, 5, 5, 300,
         "Vector"},
        {"JPEG encoded raster", "%!PS-Adobe-3.0\n%ImageData: 4 3 8 1 0 1 5 \"x\"\n", noErr, 4, 3, 0,
         "Raster (JPEG high)"},
        {"no header line", "%%BoundingBox: 0 0 612 792\n", kEpsNoHeaderErr, 0, 0, 0, ""},
        {"header after binary junk", std::string("\x01\x02%%!P%!PS-\n%%BoundingBox: 0 0 9 9\n", 34), noErr, 9, 9, 0,
         "Vector"},
        {"empty box", "%!PS-Adobe-3.0\n%%BoundingBox: 5 5 5 5\n", kEpsNoHeaderErr, 0, 0, 0, "Vector"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisposeUserData(metadata);
        NewUserData(&metadata);
        EXPECT_EQ(Read(c.text), c.result);
        EXPECT_EQ(info.width, c.width);
        EXPECT_EQ(info.height, c.height);
        EXPECT_EQ(info.resolution, c.resolution);
        EXPECT_EQ(UserText(metadata, kUserDataFormat), c.format);
    }
}

TEST_F(EpsHeaderTest, TheFormatNameIsTheFirstHeaderLineCutTo30Characters) {
    ASSERT_EQ(Read("%!PS-Adobe-3.0 EPSF-3.0 and a long tail of words\n%%BoundingBox: 0 0 1 1\n"
                   "%%BeginDocument: x\n%!PS-Adobe-2.0 EPSF-1.2\n"),
              noErr);
    EXPECT_EQ(PString(info.encoding), "PS-Adobe-3.0 EPSF-3.0 and a lo");
}

TEST_F(EpsHeaderTest, CreatorTexts) {
    struct Case {
        const char* line;
        std::string stored;
    };
    const Case cases[] = {
        {"%%Creator: Drawing Program 10", "Drawing Program 10"},
        {"%%Creator:    (Named One)", "Named One"},
        {"%%Creator: (only opening", "(only opening"},
        {"%%Creator:", ""},
        {"%%Creator:     ", ""},
        {"%%Creator: ()", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DisposeUserData(metadata);
        NewUserData(&metadata);
        Read(std::string("%!PS-Adobe-3.0\n") + c.line + "\n%%BoundingBox: 0 0 1 1\n");
        EXPECT_EQ(UserText(metadata, kUserDataCreator), c.stored);
        EXPECT_EQ(CountUserDataType(metadata, kUserDataCreator), c.stored.empty() ? 0 : 1);
    }
}

// The colour table (white, red, the rest black) and the pixels of a 4 x 2 thumbnail whose right
// half is red.
std::string ThumbnailBytes(bool packed) {
    std::string table(768, '\0');
    table[0] = table[1] = table[2] = char(0xFF);
    table[3] = char(0xFF);
    if (!packed) return table + std::string("\0\0\1\1\0\0\1\1", 8);
    return table + "RLE" + std::string("\0\0\xFD\x02\x01\0\0\x01\x01", 9);
}

std::string Ai7File(const std::string& bytes, const std::string& eol, int width = 4, int height = 2) {
    std::string hex = Hex(bytes), body;
    for (std::size_t i = 0; i < hex.size(); i += 64) body += "%" + hex.substr(i, 64) + eol;
    return "%!PS-Adobe-3.0 EPSF-3.0" + eol + "%%BoundingBox: 0 0 40 20" + eol + "%AI7_Thumbnail: " +
           std::to_string(width) + " " + std::to_string(height) + " 8" + eol + "%%BeginData: " +
           std::to_string(body.size()) + " Hex Bytes" + eol + body + "%%EndData" + eol + "%%EndComments" + eol;
}

TEST_F(EpsHeaderTest, TheIllustratorThumbnailIsReadWhateverTheLineEnds) {
    for (const char* eol : {"\r", "\n", "\r\n"}) {
        for (bool packed : {false, true}) {
            SCOPED_TRACE(std::string(packed ? "packed " : "raw ") + (eol[0] == '\r' ? (eol[1] ? "CR LF" : "CR") : "LF"));
            if (picture) DisposeHandle(picture), picture = nullptr;
            ASSERT_EQ(Read(Ai7File(ThumbnailBytes(packed), eol)), noErr);
            ASSERT_NE(picture, nullptr);
            GWorldPtr world = nullptr;
            ASSERT_EQ(PictureToOffscreen(picture, k32BGRAPixelFormat, nullptr, nullptr, &world), noErr);
            const PixelView v = GetGWorldPixels(world);
            ASSERT_EQ(v.width, 4);
            ASSERT_EQ(v.height, 2);
            EXPECT_FALSE(IsRed(Pixel(world, 0, 0)));
            EXPECT_FALSE(IsRed(Pixel(world, 1, 1)));
            EXPECT_TRUE(IsRed(Pixel(world, 2, 0)));
            EXPECT_TRUE(IsRed(Pixel(world, 3, 1)));
            DisposeGWorld(world);
            EXPECT_EQ(info.width, 40u) << "the size is the bounding box's";
        }
    }
}

TEST_F(EpsHeaderTest, ABadThumbnailMakesNoPictureAndTheReadingGoesOn) {
    struct Case {
        const char* what;
        std::string file;
    };
    const Case cases[] = {
        {"too few pixels", Ai7File(ThumbnailBytes(false).substr(0, 770), "\n")},
        {"too many pixels", Ai7File(ThumbnailBytes(false) + "xx", "\n")},
        {"no colour table", Ai7File("abc", "\n")},
        {"a size no thumbnail has", Ai7File(ThumbnailBytes(false), "\n", 100000, 100000)},
        {"a negative size", Ai7File(ThumbnailBytes(false), "\n", -4, 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisposeUserData(metadata);
        NewUserData(&metadata);
        Read(c.file + "%%Creator: After\n");
        EXPECT_EQ(picture, nullptr);
        EXPECT_EQ(info.width, 40u);
        EXPECT_EQ(UserText(metadata, kUserDataCreator), "After") << "the lines after the thumbnail are read";
    }
}

TEST_F(EpsHeaderTest, DamagedHeadersNeitherHangNorOverflow) {
    struct Case {
        const char* what;
        std::string text;
    };
    const Case cases[] = {
        // A negative count would move the reading back onto the same line for ever.
        {"negative data count", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%%BeginData: -60\n%%BeginBinary: -200\n"},
        {"count past the end", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%%BeginData: 2147483647\nrest\n"},
        {"count beyond 32 bits", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%%BeginBinary: 99999999999999999999\n"},
        {"box beyond every range", "%!PS-Adobe-3.0\n%%BoundingBox: -1e300 -1e300 1e300 1e300\n"},
        {"box of non-numbers", "%!PS-Adobe-3.0\n%%BoundingBox: nan inf -inf x\n"},
        {"image data beyond 32 bits", "%!PS-Adobe-3.0\n%ImageData: 99999999999 99999999999 99999999999 4 0 1 9\n"},
        {"a never-ended Photoshop block", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%BeginPhotoshop: 9\n% 0011\n"},
        {"Photoshop block of junk", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%BeginPhotoshop: 9\n% 3842494D04\n%EndPhotoshop\n"},
        {"profile of junk", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%%BeginICCProfile: 1\n% 00FF\n%%EndICCProfile\n"},
        {"end of data without a thumbnail", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%%EndData\n%%EndData\n"},
        {"a very long line", "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%" + std::string(5000, 'A') + "\n"},
        {"zero bytes in lines", std::string("%!PS-Adobe-3.0\n%%Creator: a\0b\n%%BoundingBox: 0 0 5 5\n", 52)},
        {"header at the very end", "junk %!PS-"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DisposeUserData(metadata);
        NewUserData(&metadata);
        const OSErr err = Read(c.text);
        EXPECT_TRUE(err == noErr || err == kEpsNoHeaderErr) << err;
    }
}

TEST_F(EpsHeaderTest, PhotoshopResourcesGiveTheUrlAndTheIptcBlock) {
    std::string resources;
    auto resource = [&resources](std::uint16_t id, const std::string& data) {
        resources += "8BIM";
        fixtures::Put16BE(resources, id);
        resources += std::string("\0\0", 2);
        fixtures::Put32BE(resources, std::uint32_t(data.size()));
        resources += data;
        if (data.size() & 1) resources += '\0';
    };
    const std::string iptc = std::string("\x1C\x02\x00\x00\x02\x00\x04\x1C\x02\x78\x00\x05Hello", 17);
    resource(1028, iptc);
    resource(1035, "http://example.org/x");
    std::string lines;
    const std::string hex = Hex(resources);
    for (std::size_t i = 0; i < hex.size(); i += 60) lines += "% " + hex.substr(i, 60) + "\n";
    ASSERT_EQ(Read("%!PS-Adobe-3.0\n%%BoundingBox: 0 0 5 5\n%BeginPhotoshop: 99\n" + lines + "%EndPhotoshop\n"), noErr);
    EXPECT_EQ(UserText(metadata, kUserDataUrl), "http://example.org/x");
    Handle block = NewHandle(0);
    ASSERT_EQ(GetUserData(metadata, block, 'iptc', 1), noErr);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(*block), std::size_t(GetHandleSize(block))), iptc);
    DisposeHandle(block);
}

TEST_F(EpsHeaderTest, ThePhotoshopThumbnailIsThePreviewPicture) {
    const std::string jpeg = fixtures::Jpeg(16, 12);
    std::string thumbnail;
    for (std::uint32_t v : {1u, 16u, 12u, 48u, 576u, std::uint32_t(jpeg.size())}) fixtures::Put32BE(thumbnail, v);
    fixtures::Put16BE(thumbnail, 24);
    fixtures::Put16BE(thumbnail, 1);
    thumbnail += jpeg;
    std::string resources = "8BIM";
    fixtures::Put16BE(resources, 1036);
    resources += std::string("\0\0", 2);
    fixtures::Put32BE(resources, std::uint32_t(thumbnail.size()));
    resources += thumbnail;
    if (thumbnail.size() & 1) resources += '\0';
    std::string lines;
    const std::string hex = Hex(resources);
    for (std::size_t i = 0; i < hex.size(); i += 60) lines += "% " + hex.substr(i, 60) + "\n";
    ASSERT_EQ(Read("%!PS-Adobe-3.0\n%%BoundingBox: 0 0 16 12\n%BeginPhotoshop: 9\n" + lines + "%EndPhotoshop\n"), noErr);
    ASSERT_NE(picture, nullptr);
    GWorldPtr world = nullptr;
    ASSERT_EQ(PictureToOffscreen(picture, k32BGRAPixelFormat, nullptr, nullptr, &world), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 16);
    EXPECT_TRUE(IsRed(Pixel(world, 2, 2))) << "the top-left quarter of the test picture";
    DisposeGWorld(world);
}

TEST(EpsHexTest, OnlyUpperCasePairsAreDecoded) {
    EXPECT_EQ(EpsDecodeHex("% 00FF7A"), std::string("\x00\xFF\x7A", 3));
    EXPECT_EQ(EpsDecodeHex("ab 1F"), std::string("\x1F", 1)) << "lower-case digits are skipped";
    // The byte after a digit is taken as a digit or a letter whatever it is ('n' - 55 = 55).
    EXPECT_EQ(EpsDecodeHex("%%EndData"), std::string("\x17\xFA", 2));
    EXPECT_EQ(EpsDecodeHex("A"), std::string("\xA0", 1));
    EXPECT_EQ(EpsFormatText(2, false), "Raster (Binary)");
    EXPECT_EQ(EpsFormatText(6, true), "Raster (JPEG maximum)");
    EXPECT_EQ(EpsFormatText(7, false), "Vector");
    EXPECT_EQ(EpsFormatText(0, true), "Vector | Raster");
}

class EpsDosPreviewTest : public ::testing::Test {
protected:
    TempFolder temp;
};

TEST_F(EpsDosPreviewTest, TheTiffPreviewIsDecodedAndTheHeaderFoundBehindTheBinaryHeader) {
    fixtures::Tiff(temp / "preview.tif", 32, 32, fixtures::TiffKind::RgbStrips);
    const std::string tiff = ReadAll(temp / "preview.tif");
    const std::string file = DosEps("%!PS-Adobe-3.0 EPSF-3.0\r%%BoundingBox: 0 0 40 30\r", "", tiff);
    FSSpec spec = CheckedSpecOf(temp.Write("tiff.eps", file));
    GWorldPtr world = nullptr;
    ASSERT_EQ(EpsReadDosPreview(&spec, &world), noErr);
    const PixelView v = GetGWorldPixels(world);
    ASSERT_EQ(v.width, 32);
    ASSERT_EQ(v.height, 32);
    EXPECT_TRUE(IsRed(Pixel(world, 4, 4))) << "the top-left quadrant";
    EXPECT_FALSE(IsRed(Pixel(world, 28, 4)));
    EXPECT_FALSE(IsRed(Pixel(world, 4, 28)));
    DisposeGWorld(world);
    KindInfoRec info{};
    EXPECT_EQ(ReadEpsHeader(&spec, &info, nullptr, nullptr, nullptr), noErr);
    EXPECT_EQ(info.width, 40u);
    EXPECT_EQ(info.height, 30u);
}

TEST_F(EpsDosPreviewTest, TheMetafilePreviewIsPlayedNotTakenForABitmap) {
    fixtures::Tiff(temp / "preview.tif", 8, 8, fixtures::TiffKind::RgbStrips);
    const std::string file =
        DosEps("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 0 0 40 40\n", RedSquareMetafile(), ReadAll(temp / "preview.tif"));
    FSSpec spec = CheckedSpecOf(temp.Write("wmf.eps", file));
    GWorldPtr world = nullptr;
    ASSERT_EQ(EpsReadDosPreview(&spec, &world), noErr);
    const PixelView v = GetGWorldPixels(world);
    ASSERT_EQ(v.width, 40) << "the metafile is the first choice";
    ASSERT_EQ(v.height, 40);
    EXPECT_TRUE(IsRed(Pixel(world, 20, 20)));
    EXPECT_TRUE(IsRed(Pixel(world, 12, 27)));
    EXPECT_FALSE(IsRed(Pixel(world, 5, 5)));
    EXPECT_FALSE(IsRed(Pixel(world, 35, 20)));
    EXPECT_EQ(Pixel(world, 2, 2).g, 255) << "drawn on white";
    DisposeGWorld(world);
}

TEST_F(EpsDosPreviewTest, MissingOrDamagedPreviewsAreRefused) {
    const std::string ps = "%!PS-Adobe-3.0\n%%BoundingBox: 0 0 4 4\n";
    std::string pastEnd = DosEps(ps, "", "II*\0");
    pastEnd.replace(24, 4, std::string("\xFF\xFF\0\0", 4));
    std::string huge = DosEps(ps, "", "II*\0");
    huge.replace(24, 4, std::string("\xFF\xFF\xFF\xFF", 4));
    std::string offsetPastEnd = DosEps(ps, "", "II*\0");
    offsetPastEnd.replace(20, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    struct Case {
        const char* what;
        std::string file;
    };
    const Case cases[] = {
        {"plain PostScript", ps},
        {"short file", std::string("\xC5\xD0\xD3", 3)},
        {"no preview at all", DosEps(ps, "", "")},
        {"TIFF section past the end", pastEnd},
        {"TIFF section of 4 GB", huge},
        {"TIFF offset past the end", offsetPastEnd},
        {"TIFF of junk", DosEps(ps, "", "II*\0garbage")},
        {"metafile of junk", DosEps(ps, "\1\0\x09\0junkjunkjunkjunk", "")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FSSpec spec = CheckedSpecOf(temp.Write("bad.eps", c.file));
        GWorldPtr world = nullptr;
        EXPECT_NE(EpsReadDosPreview(&spec, &world), noErr);
        EXPECT_EQ(world, nullptr);
    }
    FSSpec missing = SpecOf(temp / "missing.eps");
    GWorldPtr world = nullptr;
    EXPECT_NE(EpsReadDosPreview(&missing, &world), noErr);
    KindInfoRec info{};
    EXPECT_EQ(ReadEpsHeader(&missing, &info, nullptr, nullptr, nullptr), fnfErr);
}

}  // namespace
