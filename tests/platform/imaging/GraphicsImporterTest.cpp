// The graphics importers over real encoders' output: every format's facts, its pixels at full
// and reduced size (channel order, row order, palettes, CMYK), shrinking while decoding, and
// damaged or hostile data.
#include "support/ImageFixtures.h"

#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"
#include "platform/imaging/codecs/ImageDecoder.h"
#include "platform/imaging/codecs/JpegCodec.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <set>

namespace {

using namespace fixtures;

struct Pixel {
    int r, g, b;
};

Pixel At(GWorldPtr w, int x, int y) {
    PixelView v = GetGWorldPixels(w);
    const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
    return {p[2], p[1], p[0]};
}

::testing::AssertionResult Near(Pixel got, Rgb want, int tolerance) {
    if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got (" << got.r << "," << got.g << "," << got.b << ") want (" << int(want.r)
                                         << "," << int(want.g) << "," << int(want.b) << ")";
}

// Draws the importer's image into a new world of w x h and answers it (null on failure).
GWorldPtr DrawAt(GraphicsImportComponent gi, int w, int h, OSErr* err) {
    Rect r{0, 0, std::int16_t(h), std::int16_t(w)};
    GWorldPtr world = nullptr;
    *err = NewGWorldFromFormat(&world, k32BGRAPixelFormat, &r);
    if (*err != noErr) return nullptr;
    GraphicsImportSetGWorld(gi, world);
    GraphicsImportSetBoundsRect(gi, &r);
    *err = GraphicsImportDraw(gi);
    return world;
}

struct FormatCase {
    const char* name;
    OSType subtype;
    std::function<std::string(const TempFolder&)> make;  // answers the file's path
    int width, height;
    std::int16_t depth;
    OSType codec;
    OSType pixelFormat;
    bool grey;       // the pattern is the grey one
    int tolerance;   // per channel, for lossy formats
};

std::string Put(const TempFolder& t, const char* name, const std::string& bytes) {
    return WriteFile(t / name, bytes);
}

std::vector<FormatCase> Cases() {
    return {
        {"jpeg rgb", 'JPEG', [](const TempFolder& t) { return Put(t, "a.jpg", Jpeg(32, 32)); }, 32, 32, 24, 'jpeg', 0, false, 12},
        {"jpeg grey", 'JPEG', [](const TempFolder& t) { return Put(t, "g.jpg", Jpeg(32, 32, JpegKind::Grey)); }, 32, 32, 40, 'jpeg', 0, true, 6},
        {"jpeg adobe cmyk", 'JPEG', [](const TempFolder& t) { return Put(t, "c.jpg", Jpeg(32, 32, JpegKind::AdobeCmyk)); }, 32, 32, 32, 'jpeg', 'cmyk', false, 12},
        {"png rgb", 'PNGf', [](const TempFolder& t) { return Put(t, "a.png", Png(20, 14, PngKind::Rgb)); }, 20, 14, 24, 'png ', 0, false, 0},
        {"png grey", 'PNGf', [](const TempFolder& t) { return Put(t, "g.png", Png(20, 14, PngKind::Grey)); }, 20, 14, 40, 'png ', 0, true, 0},
        {"png palette 2-bit", 'PNGf', [](const TempFolder& t) { return Put(t, "p.png", Png(20, 14, PngKind::Palette)); }, 20, 14, 2, 'png ', 0, false, 0},
        {"png interlaced", 'PNGf', [](const TempFolder& t) { return Put(t, "i.png", Png(20, 14, PngKind::Interlaced)); }, 20, 14, 24, 'png ', 0, false, 0},
        {"tiff strips", 'TIFF', [](const TempFolder& t) { Tiff(t / "s.tif", 20, 14, TiffKind::RgbStrips); return t / "s.tif"; }, 20, 14, 24, 'tiff', 0, false, 0},
        {"tiff tiles", 'TIFF', [](const TempFolder& t) { Tiff(t / "t.tif", 40, 20, TiffKind::RgbTiled); return t / "t.tif"; }, 40, 20, 24, 'tiff', 0, false, 0},
        {"tiff cmyk", 'TIFF', [](const TempFolder& t) { Tiff(t / "c.tif", 20, 14, TiffKind::Cmyk); return t / "c.tif"; }, 20, 14, 32, 'tiff', 'cmyk', false, 0},
        {"tiff grey", 'TIFF', [](const TempFolder& t) { Tiff(t / "g.tif", 20, 14, TiffKind::Grey); return t / "g.tif"; }, 20, 14, 40, 'tiff', 0, true, 0},
        {"tiff 16-bit", 'TIFF', [](const TempFolder& t) { Tiff(t / "w.tif", 20, 14, TiffKind::Rgb16); return t / "w.tif"; }, 20, 14, 48, 'tiff', 'b48r', false, 1},
        {"gif", 'GIFf', [](const TempFolder& t) { return Put(t, "a.gif", Gif(20, 14)); }, 20, 14, 8, 'gif ', 0, false, 0},
        {"bmp 24 bottom-up", 'BMP ', [](const TempFolder& t) { return Put(t, "a.bmp", Bmp(20, 14, BmpKind::Rgb24BottomUp)); }, 20, 14, 24, 'WRLE', 0, false, 0},
        {"bmp 24 top-down", 'BMP ', [](const TempFolder& t) { return Put(t, "b.bmp", Bmp(20, 14, BmpKind::Rgb24TopDown)); }, 20, 14, 24, 'WRLE', 0, false, 0},
        {"bmp palette", 'BMP ', [](const TempFolder& t) { return Put(t, "c.bmp", Bmp(20, 14, BmpKind::Palette8)); }, 20, 14, 8, 'WRLE', 0, false, 0},
        {"bmp rle8", 'BMP ', [](const TempFolder& t) { return Put(t, "d.bmp", Bmp(20, 14, BmpKind::Rle8)); }, 20, 14, 8, 'WRLE', 0, false, 0},
        {"bmp 16 bit fields", 'BMP ', [](const TempFolder& t) { return Put(t, "e.bmp", Bmp(20, 14, BmpKind::BitFields16)); }, 20, 14, 16, 'WRLE', 0, false, 0},
        {"bmp 32", 'BMP ', [](const TempFolder& t) { return Put(t, "f.bmp", Bmp(20, 14, BmpKind::Rgb32)); }, 20, 14, 32, 'WRLE', 0, false, 0},
        {"targa plain bottom-up", 'TPIC', [](const TempFolder& t) { return Put(t, "a.tga", Targa(20, 14, false, false)); }, 20, 14, 24, 'tga ', 0, false, 0},
        {"targa rle top-down", 'TPIC', [](const TempFolder& t) { return Put(t, "b.tga", Targa(20, 14, true, true)); }, 20, 14, 24, 'tga ', 0, false, 0},
        {"sgi verbatim", 'SGI ', [](const TempFolder& t) { return Put(t, "a.sgi", Sgi(20, 14, false)); }, 20, 14, 24, 'SGI ', 0, false, 0},
        {"sgi rle", 'SGI ', [](const TempFolder& t) { return Put(t, "b.sgi", Sgi(20, 14, true)); }, 20, 14, 24, 'SGI ', 0, false, 0},
        {"photoshop rgb raw", '8BPS', [](const TempFolder& t) { return Put(t, "a.psd", Photoshop(20, 14, PsdKind::RgbRaw)); }, 20, 14, 24, '8BPS', 0, false, 0},
        {"photoshop rgb rle", '8BPS', [](const TempFolder& t) { return Put(t, "b.psd", Photoshop(20, 14, PsdKind::RgbRle)); }, 20, 14, 24, '8BPS', 0, false, 0},
        {"photoshop cmyk rle", '8BPS', [](const TempFolder& t) { return Put(t, "c.psd", Photoshop(20, 14, PsdKind::CmykRle)); }, 20, 14, 32, '8BPS', 'cmyk', false, 0},
        {"photoshop grey", '8BPS', [](const TempFolder& t) { return Put(t, "d.psd", Photoshop(20, 14, PsdKind::Grey)); }, 20, 14, 40, '8BPS', 0, true, 0},
        {"quicktime image", 'qtif', [](const TempFolder& t) { return Put(t, "a.qtif", QuickTimeImage(32, 32)); }, 32, 32, 24, 'jpeg', 0, false, 12},
    };
}

class ImporterFormats : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ImporterFormats, DescribesTheImageAndDrawsItsQuadrantsAtFullAndHalfSize) {
    const FormatCase& c = GetParam();
    TempFolder t;
    std::string path = c.make(t);
    GraphicsImportComponent gi = nullptr;
    ASSERT_EQ(OpenGraphicsImporter(c.subtype, &gi), noErr);
    ASSERT_EQ(GraphicsImportSetDataFile(gi, path), noErr);
    bool valid = false;
    ASSERT_EQ(GraphicsImportValidate(gi, &valid), noErr);
    EXPECT_TRUE(valid);
    ImageDescriptionRec d;
    ASSERT_EQ(GraphicsImportGetImageDescriptionRec(gi, &d), noErr);
    EXPECT_EQ(d.desc.width, c.width);
    EXPECT_EQ(d.desc.height, c.height);
    EXPECT_EQ(d.desc.depth, c.depth);
    EXPECT_EQ(d.desc.cType, c.codec);
    EXPECT_EQ(d.pixelFormatExtension, c.pixelFormat);

    for (int divisor : {1, 2}) {
        int w = c.width / divisor, h = c.height / divisor;
        OSErr err;
        GWorldPtr world = DrawAt(gi, w, h, &err);
        ASSERT_EQ(err, noErr) << "size / " << divisor;
        // Quadrant centres.
        int xs[2] = {w / 4, w * 3 / 4}, ys[2] = {h / 4, h * 3 / 4};
        for (int qy = 0; qy < 2; ++qy)
            for (int qx = 0; qx < 2; ++qx) {
                int sx = xs[qx] * divisor, sy = ys[qy] * divisor;
                Rgb want = Quadrant(sx, sy, c.width, c.height);
                if (c.grey) {
                    std::uint8_t g = Grey(sx, sy, c.width, c.height);
                    want = {g, g, g};
                }
                EXPECT_TRUE(Near(At(world, xs[qx], ys[qy]), want, c.tolerance + (divisor > 1 ? 2 : 0)))
                    << "size / " << divisor << " quadrant " << qx << "," << qy;
            }
        DisposeGWorld(world);
    }
    CloseGraphicsImporter(gi);
}

INSTANTIATE_TEST_SUITE_P(All, ImporterFormats, ::testing::ValuesIn(Cases()),
                         [](const auto& info) {
                             std::string n = info.param.name;
                             for (auto& ch : n)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return n;
                         });

TEST(ImporterTable, HoldsTheEssentialImportersAndOneDecoderPerUniqueSubtype) {
    std::set<OSType> seen;
    for (int i = 0; i < CountGraphicsImporterComponents(); ++i) {
        const auto* c = GetGraphicsImporterComponent(i);
        ASSERT_NE(c, nullptr);
        EXPECT_TRUE(seen.insert(c->subtype).second) << "duplicate subtype";
        EXPECT_NE(c->makeDecoder, nullptr);
        EXPECT_TRUE(c->name && *c->name);
        EXPECT_TRUE(c->library && *c->library);
    }
    for (OSType t : {OSType('TIFF'), OSType('8BPS'), OSType('BMP '), OSType('JPEG'), OSType('PNGf'), OSType('PICT'),
                     OSType('SGI '), OSType('TPIC'), OSType('PNTG'), OSType('jp2 '), OSType('qtif'), OSType('GIFf')})
        EXPECT_NE(FindGraphicsImporterComponent(t), nullptr);
    EXPECT_EQ(GetGraphicsImporterComponent(CountGraphicsImporterComponents()), nullptr);
    GraphicsImportComponent gi = nullptr;
    EXPECT_EQ(OpenGraphicsImporter('zzzz', &gi), kNoImporterForTypeErr);
    EXPECT_EQ(gi, nullptr);
}

TEST(ImporterFacts, ResolutionImageCountAndProfileComeFromTheFile) {
    TempFolder t;
    std::vector<std::uint8_t> icc(200, 7);
    Tiff(t / "pages.tif", 16, 8, TiffKind::RgbStrips, 3, 300, icc);
    GraphicsImportComponent gi = nullptr;
    ASSERT_EQ(OpenGraphicsImporter('TIFF', &gi), noErr);
    ASSERT_EQ(GraphicsImportSetDataFile(gi, t / "pages.tif"), noErr);
    std::uint32_t count = 0;
    ASSERT_EQ(GraphicsImportGetImageCount(gi, &count), noErr);
    EXPECT_EQ(count, 3u);
    ImageDescriptionRec d;
    ASSERT_EQ(GraphicsImportGetImageDescriptionRec(gi, &d), noErr);
    EXPECT_EQ(d.desc.hRes, 300 << 16);
    Handle profile = nullptr;
    ASSERT_EQ(GraphicsImportGetColorSyncProfile(gi, &profile), noErr);
    ASSERT_NE(profile, nullptr);
    EXPECT_EQ(GetHandleSize(profile), 200);
    DisposeHandle(profile);
    ASSERT_EQ(GraphicsImportSetImageIndex(gi, 3), noErr);
    EXPECT_EQ(GraphicsImportGetImageDescriptionRec(gi, &d), noErr);
    ASSERT_EQ(GraphicsImportSetImageIndex(gi, 4), noErr);
    EXPECT_NE(GraphicsImportGetImageDescriptionRec(gi, &d), noErr);
    CloseGraphicsImporter(gi);

    struct {
        const char* name;
        std::string bytes;
        OSType subtype;
        int dpi;
    } dpiCases[] = {
        {"j.jpg", Jpeg(16, 16, JpegKind::Rgb, 90, 180), 'JPEG', 180},
        {"p.png", Png(8, 8, PngKind::Rgb, 150), 'PNGf', 150},
        {"r.psd", Photoshop(8, 8, PsdKind::RgbRaw), '8BPS', 300},
        {"b.bmp", Bmp(8, 8, BmpKind::Rgb24BottomUp), 'BMP ', 72},
    };
    for (auto& c : dpiCases) {
        ASSERT_EQ(OpenGraphicsImporter(c.subtype, &gi), noErr);
        ASSERT_EQ(GraphicsImportSetDataFile(gi, WriteFile(t / c.name, c.bytes)), noErr);
        ASSERT_EQ(GraphicsImportGetImageDescriptionRec(gi, &d), noErr) << c.name;
        EXPECT_NEAR(FixedToDouble(d.desc.hRes), c.dpi, 0.6) << c.name;
        CloseGraphicsImporter(gi);
    }
}

TEST(ImporterDrawing, AlphaBlendsOverTheWorldOnlyInAnAlphaMode) {
    TempFolder t;
    std::string path = WriteFile(t / "a.png", Png(20, 20, PngKind::RgbaHalfTransparent));
    for (bool alphaMode : {false, true}) {
        GraphicsImportComponent gi = nullptr;
        ASSERT_EQ(OpenGraphicsImporter('PNGf', &gi), noErr);
        ASSERT_EQ(GraphicsImportSetDataFile(gi, path), noErr);
        EXPECT_TRUE(GraphicsImportHasAlpha(gi));
        Rect r{0, 0, 20, 20};
        GWorldPtr world = nullptr;
        ASSERT_EQ(NewGWorldFromFormat(&world, 32, &r), noErr);
        // A grey background under the image.
        PixelView v = GetGWorldPixels(world);
        for (int y = 0; y < 20; ++y) std::memset(v.base + y * v.rowBytes, 0x80, 20 * 4);
        GraphicsImportSetGWorld(gi, world);
        GraphicsImportSetGraphicsMode(gi, alphaMode ? graphicsModeStraightAlpha : ditherCopy, nullptr);
        ASSERT_EQ(GraphicsImportDraw(gi), noErr);
        EXPECT_TRUE(Near(At(world, 5, 5), {255, 0, 0}, 0));
        // The transparent bottom half: the background in alpha mode, the stored colour otherwise.
        Rgb expectBottom = alphaMode ? Rgb{0x80, 0x80, 0x80} : Rgb{0, 0, 255};
        EXPECT_TRUE(Near(At(world, 5, 15), expectBottom, 0)) << "alpha mode " << alphaMode;
        DisposeGWorld(world);
        CloseGraphicsImporter(gi);
    }
}

TEST(ImporterDrawing, DrawsIntoGreyAndCmykWorldsAndAtAnOffsetBoundsRect) {
    TempFolder t;
    std::string path = WriteFile(t / "a.png", Png(20, 14, PngKind::Rgb));
    GraphicsImportComponent gi = nullptr;
    ASSERT_EQ(OpenGraphicsImporter('PNGf', &gi), noErr);
    ASSERT_EQ(GraphicsImportSetDataFile(gi, path), noErr);

    Rect grey{0, 0, 14, 20};
    GWorldPtr g = nullptr;
    ASSERT_EQ(NewGWorldFromFormat(&g, k8IndexedGrayPixelFormat, &grey), noErr);
    GraphicsImportSetGWorld(gi, g);
    GraphicsImportSetBoundsRect(gi, &grey);
    ASSERT_EQ(GraphicsImportDraw(gi), noErr);
    PixelView gv = GetGWorldPixels(g);
    EXPECT_NEAR(gv.base[3 * gv.rowBytes + 5], 76, 1);    // red's luminance
    EXPECT_EQ(gv.base[10 * gv.rowBytes + 15], 255);      // white
    DisposeGWorld(g);

    GWorldPtr c = nullptr;
    ASSERT_EQ(NewGWorldFromFormat(&c, k32CMYKPixelFormat, &grey), noErr);
    GraphicsImportSetGWorld(gi, c);
    ASSERT_EQ(GraphicsImportDraw(gi), noErr);
    PixelView cv = GetGWorldPixels(c);
    const std::uint8_t* red = cv.base + 3 * cv.rowBytes + 5 * 4;
    EXPECT_EQ(red[0], 0);     // no cyan
    EXPECT_EQ(red[1], 255);   // full magenta
    EXPECT_EQ(red[2], 255);   // full yellow
    EXPECT_EQ(red[3], 0);
    DisposeGWorld(c);

    // A world whose port starts at (100, 50) and bounds that put the image in its lower right.
    Rect port{50, 100, 90, 160};
    GWorldPtr w = nullptr;
    ASSERT_EQ(NewGWorldFromFormat(&w, 32, &port), noErr);
    Rect place{70, 130, 84, 150};
    GraphicsImportSetGWorld(gi, w);
    GraphicsImportSetBoundsRect(gi, &place);
    ASSERT_EQ(GraphicsImportDraw(gi), noErr);
    EXPECT_TRUE(Near(At(w, 30 + 2, 20 + 2), {255, 0, 0}, 0));
    EXPECT_TRUE(Near(At(w, 30 + 17, 20 + 12), {255, 255, 255}, 0));
    EXPECT_TRUE(Near(At(w, 5, 5), {0, 0, 0}, 0));  // untouched
    DisposeGWorld(w);
    CloseGraphicsImporter(gi);
}

TEST(ImporterDrawing, EnlargesAnImageSmallerThanTheBounds) {
    TempFolder t;
    std::string path = WriteFile(t / "a.bmp", Bmp(4, 4, BmpKind::Rgb24BottomUp));
    GraphicsImportComponent gi = nullptr;
    ASSERT_EQ(OpenGraphicsImporter('BMP ', &gi), noErr);
    ASSERT_EQ(GraphicsImportSetDataFile(gi, path), noErr);
    OSErr err;
    GWorldPtr w = DrawAt(gi, 40, 40, &err);
    ASSERT_EQ(err, noErr);
    EXPECT_TRUE(Near(At(w, 5, 5), {255, 0, 0}, 2));
    EXPECT_TRUE(Near(At(w, 35, 35), {255, 255, 255}, 2));
    DisposeGWorld(w);
    CloseGraphicsImporter(gi);
}

// Counts what a decoder delivers.
struct SizeSink : RowSink {
    OSErr Begin(std::int32_t w, std::int32_t h, PixelLayout) override {
        width = w;
        height = h;
        return noErr;
    }
    void Row(std::int32_t, const std::uint8_t*) override { ++rows; }
    int width = 0, height = 0, rows = 0;
};

TEST(JpegDecoding, ShrinksWhileDecodingToTheSmallestScaleThatStillCoversTheRequest) {
    std::string jpeg = Jpeg(2000, 1500, JpegKind::Rgb, 50);
    auto src = ByteSource::FromMemory(jpeg.data(), jpeg.size());
    struct {
        int wantW, wantH, gotW, gotH;
    } cases[] = {
        {160, 120, 250, 188},     // 1/8
        {300, 200, 500, 375},     // 2/8
        {251, 100, 500, 375},     // just over 1/8 in width
        {0, 0, 2000, 1500},       // natural size
        {2000, 1500, 2000, 1500},
    };
    for (auto& c : cases) {
        auto dec = NewJpegDecoder();
        SizeSink sink;
        DecodeOptions o;
        o.wantWidth = c.wantW;
        o.wantHeight = c.wantH;
        ASSERT_EQ(dec->Decode(*src, 1, o, sink), noErr);
        EXPECT_EQ(sink.width, c.gotW) << c.wantW;
        EXPECT_EQ(sink.height, c.gotH) << c.wantW;
        EXPECT_EQ(sink.rows, sink.height);
    }
    EXPECT_EQ(JpegScaleNumerator(4000, 3000, 160, 160), 1);
    EXPECT_EQ(JpegQualityFromCodecQuality(0x300), 75);
    EXPECT_EQ(JpegQualityFromCodecQuality(0x3FF), 100);
}

TEST(JpegDecoding, TruncatedDataFailsStrictlyAndDecodesLeniently) {
    TempFolder t;
    // Cut halfway through the scan data, after the start-of-scan marker.
    std::string whole = Jpeg(256, 256);
    std::size_t sos = whole.find("\xFF\xDA");
    ASSERT_NE(sos, std::string::npos);
    std::string path = WriteFile(t / "cut.jpg", Truncate(whole, sos + (whole.size() - sos) / 2));
    GraphicsImportComponent gi = nullptr;
    ASSERT_EQ(OpenGraphicsImporter('JPEG', &gi), noErr);
    ASSERT_EQ(GraphicsImportSetDataFile(gi, path), noErr);
    OSErr err;
    GWorldPtr w = DrawAt(gi, 256, 256, &err);
    EXPECT_EQ(err, kBadMediaDataErr);
    DisposeGWorld(w);
    GraphicsImportSetLenient(gi, true);
    w = DrawAt(gi, 256, 256, &err);
    EXPECT_EQ(err, noErr);
    EXPECT_TRUE(Near(At(w, 20, 20), {255, 0, 0}, 12));  // the part that was there
    DisposeGWorld(w);
    CloseGraphicsImporter(gi);
}

TEST(ImporterSelection, PicksTheImporterByExtensionThenByContent) {
    TempFolder t;
    std::string png = Png(8, 8, PngKind::Rgb);
    struct {
        const char* name;
        std::string bytes;
        OSType expect;
    } cases[] = {
        {"a.png", png, 'PNGf'},
        {"misnamed.jpg", png, 'PNGf'},       // the JPEG decoders refuse it; PNG's knows it
        {"noext", Jpeg(8, 8), 'JPEG'},
        {"x.tga", Targa(4, 4, false, false), 'TPIC'},
        {"x.sgi", Sgi(4, 4, true), 'SGI '},
    };
    for (auto& c : cases) {
        GraphicsImportComponent gi = nullptr;
        ASSERT_EQ(GetGraphicsImporterForFile(WriteFile(t / c.name, c.bytes), &gi), noErr) << c.name;
        EXPECT_EQ(GraphicsImportGetSubtype(gi), c.expect) << c.name;
        CloseGraphicsImporter(gi);
    }
    GraphicsImportComponent gi = nullptr;
    EXPECT_EQ(GetGraphicsImporterForFile(WriteFile(t / "text.txt", "hello, this is not an image at all"), &gi),
              kNoDecompressorErr);
    EXPECT_EQ(GetGraphicsImporterForFile(t / "missing.png", &gi), fnfErr);
}

TEST(ImporterFixtures, ReadsTheSampleFilesOfOtherTools) {
    const std::string dir = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
    struct {
        const char* file;
        int w, h;
    } cases[] = {
        {"BMP.bmp", 8, 8}, {"GIF.gif", 8, 8}, {"PNG.png", 16, 16}, {"Photoshop.psd", 8, 8},
        {"PICT.pict", 8, 8}, {"Jpeg2000.jp2", 16, 16}, {"ExifTool.tif", 160, 120}, {"GPS.jpg", 120, 80},
    };
    for (auto& c : cases) {
        GraphicsImportComponent gi = nullptr;
        ASSERT_EQ(GetGraphicsImporterForFile(dir + c.file, &gi), noErr) << c.file;
        Rect r;
        ASSERT_EQ(GraphicsImportGetNaturalBounds(gi, &r), noErr) << c.file;
        EXPECT_EQ(r.right, c.w) << c.file;
        EXPECT_EQ(r.bottom, c.h) << c.file;
        OSErr err;
        GWorldPtr w = DrawAt(gi, c.w, c.h, &err);
        EXPECT_EQ(err, noErr) << c.file;
        DisposeGWorld(w);
        CloseGraphicsImporter(gi);
    }
}

// Damaged copies of every format: cut short at several points and with bytes overwritten.
// None may crash or hang; each answers an error or a picture.
TEST(ImporterHostileData, DamagedFilesOfEveryFormatNeverCrash) {
    TempFolder t;
    for (const FormatCase& c : Cases()) {
        std::string original = TempFolder::Read(c.make(t));
        std::vector<std::string> variants;
        for (std::size_t keep : {std::size_t(0), std::size_t(3), std::size_t(12), std::size_t(40), original.size() / 2,
                                 original.size() - 1})
            variants.push_back(Truncate(original, keep));
        std::srand(7);
        for (int k = 0; k < 12; ++k) {
            std::string v = original;
            for (int i = 0; i < 6; ++i) v[std::size_t(std::rand()) % v.size()] = char(std::rand());
            variants.push_back(v);
        }
        for (std::size_t i = 0; i < variants.size(); ++i) {
            std::string path = WriteFile(t / "damaged", variants[i]);
            GraphicsImportComponent gi = nullptr;
            ASSERT_EQ(OpenGraphicsImporter(c.subtype, &gi), noErr);
            ASSERT_EQ(GraphicsImportSetDataFile(gi, path), noErr);
            for (bool lenient : {false, true}) {
                GraphicsImportSetLenient(gi, lenient);
                OSErr err;
                GWorldPtr w = DrawAt(gi, 16, 12, &err);
                EXPECT_TRUE(err == noErr || err == kBadMediaDataErr || err == memFullErr || err == paramErr ||
                            err == kNoDecompressorErr)
                    << c.name << " variant " << i << " err " << err;
                DisposeGWorld(w);
            }
            CloseGraphicsImporter(gi);
        }
    }
}

TEST(ImporterHostileData, HeadersClaimingHugeImagesAreRefusedWithoutAllocating) {
    TempFolder t;
    // A PNG header of 100000 x 100000, a BMP of 30000 x 30000, a GIF screen of 65535 x 65535,
    // a Photoshop document of 300000 x 300000: each with almost no data behind it.
    std::string png = Png(1, 1, PngKind::Rgb);
    png[16] = 0;
    png[17] = 0x01;
    png[18] = 0x86;
    png[19] = 0xA0;
    png[20] = 0;
    png[21] = 0x01;
    png[22] = 0x86;
    png[23] = 0xA0;
    std::string bmp = Bmp(2, 2, BmpKind::Rgb24BottomUp);
    bmp[18] = char(0x30);
    bmp[19] = char(0x75);
    bmp[22] = char(0x30);
    bmp[23] = char(0x75);
    std::string gif = Gif(2, 2);
    gif[6] = gif[7] = gif[8] = gif[9] = char(0xFF);
    std::string psd = Photoshop(2, 2, PsdKind::RgbRle);
    psd[4] = 0;
    psd[5] = 2;  // large-document version
    psd[14] = 0;
    psd[15] = 0x04;
    psd[16] = char(0x93);
    psd[17] = char(0xE0);
    psd[18] = 0;
    psd[19] = 0x04;
    psd[20] = char(0x93);
    psd[21] = char(0xE0);
    // An SGI image of 60,000 rows in 60,000 channels: its row tables alone would be 28 GB.
    std::string sgi = Sgi(2, 2, true);
    sgi[8] = char(0xEA);
    sgi[9] = 0x60;
    sgi[10] = char(0xEA);
    sgi[11] = 0x60;
    struct {
        const char* name;
        std::string bytes;
        OSType subtype;
    } cases[] = {{"h.sgi", sgi, 'SGI '}, {"h.png", png, 'PNGf'}, {"h.bmp", bmp, 'BMP '}, {"h.gif", gif, 'GIFf'}, {"h.psd", psd, '8BPS'},
                 {"h.tga", std::string("\0\0\2\0\0\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF\x18\0", 18), 'TPIC'}};
    for (auto& c : cases) {
        GraphicsImportComponent gi = nullptr;
        ASSERT_EQ(OpenGraphicsImporter(c.subtype, &gi), noErr);
        ASSERT_EQ(GraphicsImportSetDataFile(gi, WriteFile(t / c.name, c.bytes)), noErr);
        OSErr err;
        GWorldPtr w = DrawAt(gi, 160, 120, &err);
        EXPECT_NE(err, noErr) << c.name;
        DisposeGWorld(w);
        CloseGraphicsImporter(gi);
    }
}

}  // namespace
