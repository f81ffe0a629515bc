// Windows metafiles: placeable and enhanced metafiles played onto cairo (a red square in, a red
// square out, through the window and viewport mappings, polygons, paths and bitmaps), their
// measured size fitted into the catalog size, damaged records of every kind, and the kinds
// registered by edition and read through the engine.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "media/readers/windows/Metafile.h"
#include "media/readers/windows/WindowsPicture.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cairo.h>

#include <string>
#include <vector>

namespace {

void Put16(std::string& b, std::uint32_t v) {
    b += char(v & 0xFF);
    b += char((v >> 8) & 0xFF);
}
void Put32(std::string& b, std::uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

constexpr std::uint32_t kRedRef = 0x000000FF;  // COLORREF: red in the low byte

// A 16-bit metafile built record by record.
struct Wmf {
    std::string records;
    int objects = 0;
    void Record(std::uint16_t function, std::vector<std::int32_t> words) {
        Put32(records, std::uint32_t(3 + words.size()));
        Put16(records, function);
        for (std::int32_t w : words) Put16(records, std::uint32_t(w));
    }
    void RedBrushNoPen() {
        Record(0x02FC, {0, kRedRef & 0xFFFF, kRedRef >> 16, 0});  // CreateBrushIndirect
        Record(0x012D, {objects++});
        Record(0x02FA, {5, 0, 0, 0, 0});  // CreatePenIndirect, PS_NULL
        Record(0x012D, {objects++});
    }
    std::string Plain() const {
        std::string b;
        Put16(b, 1);
        Put16(b, 9);
        Put16(b, 0x0300);
        Put32(b, std::uint32_t(9 + records.size() / 2 + 3));
        Put16(b, std::uint32_t(objects));
        Put32(b, 0);
        Put16(b, 0);
        std::string eof;
        Put32(eof, 3);
        Put16(eof, 0);
        return b + records + eof;
    }
    std::string Placeable(int left, int top, int right, int bottom, int inch) const {
        std::string h;
        Put32(h, 0x9AC6CDD7);
        Put16(h, 0);
        Put16(h, std::uint32_t(left));
        Put16(h, std::uint32_t(top));
        Put16(h, std::uint32_t(right));
        Put16(h, std::uint32_t(bottom));
        Put16(h, std::uint32_t(inch));
        Put32(h, 0);
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < 20; i += 2) sum ^= std::uint8_t(h[i]) | (std::uint8_t(h[i + 1]) << 8);
        Put16(h, sum);
        return h + Plain();
    }
};

// An enhanced metafile whose frame is `inches` square on a reference device of 96 pixels an
// inch, so that device units are output pixels at the measured size.
struct Emf {
    std::string records;
    void Record(std::uint32_t type, std::vector<std::int32_t> values) {
        Put32(records, type);
        Put32(records, std::uint32_t(8 + values.size() * 4));
        for (std::int32_t v : values) Put32(records, std::uint32_t(v));
    }
    std::string File(int pixels) const {
        std::string h;
        Put32(h, 1);
        Put32(h, 88);
        for (int v : {0, 0, pixels - 1, pixels - 1}) Put32(h, std::uint32_t(v));       // bounds
        const int hundredthsMm = pixels * 2540 / 96;
        for (int v : {0, 0, hundredthsMm, hundredthsMm}) Put32(h, std::uint32_t(v));   // frame
        Put32(h, 0x464D4520);
        Put32(h, 0x10000);
        std::string eof;
        Put32(eof, 14);
        Put32(eof, 20);
        Put32(eof, 0);
        Put32(eof, 16);
        Put32(eof, 20);
        Put32(h, std::uint32_t(88 + records.size() + eof.size()));
        Put32(h, 0);  // records (not read)
        Put32(h, 0);  // handles, reserved
        Put32(h, 0);  // description
        Put32(h, 0);
        Put32(h, 0);  // palette entries
        Put32(h, 960);  // reference device: 960 pixels over 254 mm, 96 an inch
        Put32(h, 960);
        Put32(h, 254);
        Put32(h, 254);
        return h + records + eof;
    }
};

int CountRed(cairo_surface_t* s, int x0, int y0, int x1, int y1) {
    cairo_surface_flush(s);
    const unsigned char* base = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const unsigned char* p = base + y * stride + x * 4;
            n += p[2] > 200 && p[1] < 50 && p[0] < 50;
        }
    return n;
}

int CountRed(GWorldPtr world, int x0, int y0, int x1, int y1) {
    return CountRed(GetGWorldSurface(world), x0, y0, x1, y1);
}

// Plays the bytes onto a white side x side surface.
cairo_surface_t* Played(const std::string& bytes, bool plain, int side) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_RGB24, side, side);
    cairo_t* cr = cairo_create(s);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    MetafilePlay(bytes, plain, cr, side, side);
    cairo_destroy(cr);
    return s;
}

// The red square in the middle half of a 100 x 100 picture, drawn several ways.
std::vector<std::pair<const char*, std::string>> RedSquares() {
    std::vector<std::pair<const char*, std::string>> out;
    {
        Wmf w;
        w.RedBrushNoPen();
        w.Record(0x041B, {75, 75, 25, 25});  // Rectangle: bottom, right, top, left
        out.emplace_back("placeable rectangle, frame as window", w.Placeable(0, 0, 100, 100, 96));
    }
    {
        Wmf w;
        w.Record(0x020B, {-500, -1000});  // SetWindowOrg y, x
        w.Record(0x020C, {2000, 2000});   // SetWindowExt y, x
        w.RedBrushNoPen();
        w.Record(0x0324, {4, -500, 0, 500, 0, 500, 1000, -500, 1000});  // Polygon
        out.emplace_back("placeable polygon in its own window", w.Placeable(0, 0, 1000, 1000, 960));
    }
    {
        Wmf w;
        w.RedBrushNoPen();
        w.Record(0x0538, {2, 4, 4, 0, 0, 100, 0, 100, 100, 0, 100, 25, 25, 75, 25, 75, 75, 25, 75});  // PolyPolygon
        // The outer figure filled, the inner one cut out by the even-odd rule: a frame.
        out.emplace_back("placeable poly-polygon (a frame around a hole)", w.Placeable(0, 0, 100, 100, 96));
    }
    {
        Emf e;
        e.Record(39, {1, 0, std::int32_t(kRedRef), 0});  // CreateBrushIndirect
        e.Record(37, {1});
        e.Record(37, {std::int32_t(0x80000008)});  // NULL_PEN
        e.Record(43, {25, 25, 75, 75});
        out.emplace_back("enhanced rectangle", e.File(100));
    }
    {
        Emf e;
        e.Record(17, {8});            // MM_ANISOTROPIC
        e.Record(9, {1000, 1000});    // window extent
        e.Record(11, {100, 100});     // viewport extent
        e.Record(39, {2, 0, std::int32_t(kRedRef), 0});
        e.Record(37, {2});
        e.Record(37, {std::int32_t(0x80000008)});
        e.Record(59, {});             // BeginPath
        e.Record(43, {250, 250, 750, 750});
        e.Record(60, {});             // EndPath
        e.Record(62, {0, 0, 0, 0});   // FillPath
        out.emplace_back("enhanced path through the viewport mapping", e.File(100));
    }
    return out;
}

TEST(MetafileTest, ARedSquareInIsARedSquareOut) {
    for (const auto& [what, bytes] : RedSquares()) {
        SCOPED_TRACE(what);
        MetafileFrame frame;
        ASSERT_TRUE(MetafileMeasure(bytes, false, &frame));
        EXPECT_EQ(frame.width, 100);
        EXPECT_EQ(frame.height, 100);
        cairo_surface_t* s = Played(bytes, false, 100);
        if (std::string(what).find("frame around") != std::string::npos) {
            EXPECT_EQ(CountRed(s, 30, 30, 70, 70), 0) << "the hole";
            EXPECT_EQ(CountRed(s, 2, 2, 22, 22), 400);
        } else {
            EXPECT_EQ(CountRed(s, 27, 27, 73, 73), 46 * 46) << "inside the square";
            EXPECT_EQ(CountRed(s, 0, 0, 100, 23), 0) << "above it";
            EXPECT_EQ(CountRed(s, 0, 77, 100, 100), 0) << "below it";
            EXPECT_EQ(CountRed(s, 0, 0, 23, 100), 0) << "left of it";
            EXPECT_EQ(CountRed(s, 77, 0, 100, 100), 0) << "right of it";
        }
        cairo_surface_destroy(s);
    }
}

TEST(MetafileTest, PlainMetafilesAreTakenOnlyWhenAskedAndMeasuredByTheirWindow) {
    Wmf w;
    w.Record(0x020C, {60, 120});  // window 120 wide, 60 high
    w.RedBrushNoPen();
    w.Record(0x041B, {60, 60, 0, 0});
    const std::string plain = w.Plain();
    MetafileFrame frame;
    EXPECT_FALSE(MetafileMeasure(plain, false, &frame)) << "the picture loader takes placeable files only";
    ASSERT_TRUE(MetafileMeasure(plain, true, &frame));
    EXPECT_EQ(frame.form, MetafileForm::Plain);
    EXPECT_EQ(frame.width, 120);
    EXPECT_EQ(frame.height, 60);
    cairo_surface_t* s = Played(plain, true, 120);
    // Played into 120 x 120 the window stretches: the left half, all the way down.
    EXPECT_EQ(CountRed(s, 2, 2, 58, 118), 56 * 116);
    EXPECT_EQ(CountRed(s, 62, 0, 120, 120), 0);
    cairo_surface_destroy(s);
}

TEST(MetafileTest, ABitmapRecordIsDrawnIntoItsRectangle) {
    // A 2 x 2 bottom-up 24-bit DIB: the top row red, the bottom row white.
    std::string dib;
    Put32(dib, 40);
    Put32(dib, 2);
    Put32(dib, 2);
    Put16(dib, 1);
    Put16(dib, 24);
    for (int i = 0; i < 6; ++i) Put32(dib, 0);
    dib += std::string("\xFF\xFF\xFF\xFF\xFF\xFF\0\0", 8);  // bottom row: white, padded
    dib += std::string("\0\0\xFF\0\0\xFF\0\0", 8);          // top row: red (blue, green, red)
    Wmf w;
    std::vector<std::int32_t> words = {0x0020, 0x00CC, 0, 2, 2, 0, 0, 100, 100, 0, 0};  // rop, usage, src h w y x, dst h w y x
    for (std::size_t i = 0; i < dib.size(); i += 2) words.push_back(std::uint8_t(dib[i]) | (std::uint8_t(dib[i + 1]) << 8));
    w.Record(0x0F43, words);
    cairo_surface_t* s = Played(w.Placeable(0, 0, 100, 100, 96), false, 100);
    EXPECT_GT(CountRed(s, 0, 0, 100, 45), 44 * 100 - 200) << "the top half red";
    EXPECT_EQ(CountRed(s, 0, 55, 100, 100), 0) << "the bottom half white";
    cairo_surface_destroy(s);
}

TEST(MetafileTest, TextIsDrawnInTheFontColourAndPlaceTheRecordsGive) {
    Wmf w;
    std::vector<std::int32_t> font = {-40, 0, 0, 0, 700, 0, 0, 0};
    for (int i = 0; i < 16; ++i) font.push_back(i == 0 ? ('S' | ('a' << 8)) : i == 1 ? ('n' | ('s' << 8)) : 0);
    w.Record(0x02FB, font);                     // CreateFontIndirect, bold, "Sans"
    w.Record(0x012D, {w.objects++});
    w.Record(0x0209, {kRedRef & 0xFFFF, kRedRef >> 16});  // SetTextColor
    w.Record(0x012E, {0});                      // top left
    w.Record(0x0521, {2, 'H' | ('H' << 8), 10, 10});  // TextOut "HH" at (10, 10)
    Emf e;
    std::vector<std::int32_t> logfont = {1, -40, 0, 0, 0, 700, 0, 0, 0};
    e.Record(82, logfont);                      // ExtCreateFontIndirectW (face left empty)
    e.Record(37, {1});
    e.Record(24, {std::int32_t(kRedRef)});
    e.Record(22, {0});
    // ExtTextOutW: bounds, graphics mode, scales, reference (10, 10), 2 characters at 76.
    e.Record(84, {0, 0, 0, 0, 1, 0, 0, 10, 10, 2, 76, 0, 0, 0, 0, 0, 0, 'H' | ('H' << 16)});
    for (const std::string& bytes : {w.Placeable(0, 0, 100, 100, 96), e.File(100)}) {
        cairo_surface_t* s = Played(bytes, false, 100);
        EXPECT_GT(CountRed(s, 10, 10, 80, 55), 100) << "the letters";
        EXPECT_EQ(CountRed(s, 0, 60, 100, 100), 0) << "nothing below them";
        EXPECT_EQ(CountRed(s, 0, 0, 100, 8), 0) << "nothing above them";
        cairo_surface_destroy(s);
    }
}

TEST(MetafileTest, DamagedMetafilesNeverReadOutsideTheirBytes) {
    Wmf good;
    good.RedBrushNoPen();
    good.Record(0x041B, {75, 75, 25, 25});
    const std::string placeable = good.Placeable(0, 0, 100, 100, 96);
    auto withRecord = [](std::uint16_t function, std::vector<std::int32_t> words) {
        Wmf w;
        w.RedBrushNoPen();
        w.Record(function, words);
        return w.Placeable(0, 0, 100, 100, 96);
    };
    auto emfWith = [](std::uint32_t type, std::vector<std::int32_t> values) {
        Emf e;
        e.Record(type, values);
        return e.File(100);
    };
    std::string bigRecord = placeable;
    bigRecord.replace(22 + 18, 4, std::string("\xFF\xFF\xFF\x7F", 4));
    std::string zeroRecord = placeable;
    zeroRecord.replace(22 + 18, 4, std::string("\0\0\0\0", 4));
    std::string emfOddRecord = emfWith(43, {25, 25, 75, 75});
    emfOddRecord.replace(88 + 4, 4, std::string("\x13\0\0\0", 4));
    std::string emfHeaderPastEnd = emfWith(43, {1, 2, 3, 4});
    emfHeaderPastEnd.replace(4, 4, std::string("\0\0\1\0", 4));
    struct Case {
        const char* what;
        std::string bytes;
        bool measurable;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"placeable header only", placeable.substr(0, 22), false},
        {"units per inch 0", good.Placeable(0, 0, 100, 100, 0), false},
        {"empty frame", good.Placeable(10, 10, 10, 50, 96), false},
        {"record size past the end", bigRecord, true},
        {"record size 0", zeroRecord, true},
        {"cut in the middle of a record", placeable.substr(0, placeable.size() - 9), true},
        {"polygon count past its record", withRecord(0x0324, {30000, 1, 2}), true},
        {"poly-polygon counts past the record", withRecord(0x0538, {3, 9000, 9000, 9000, 1, 2}), true},
        {"poly-polygon count of figures past the record", withRecord(0x0538, {30000}), true},
        {"select an object that was never made", withRecord(0x012D, {65535}), true},
        {"delete an object that was never made", withRecord(0x01F0, {4000}), true},
        {"restore a state that was never saved", withRecord(0x0127, {-30}), true},
        {"stretched bitmap without a bitmap", withRecord(0x0F43, {0x20, 0xCC, 0, 2, 2, 0, 0, 100, 100, 0, 0, 40, 0}), true},
        {"window extent 0", withRecord(0x020C, {0, 0}), true},
        {"enhanced header past the end", emfHeaderPastEnd, false},
        {"enhanced record size not a multiple of 4", emfOddRecord, true},
        {"enhanced polygon count past its record", emfWith(3, {0, 0, 0, 0, 0x7FFFFFFF, 1, 2}), true},
        {"enhanced poly-polygon totals past the record", emfWith(8, {0, 0, 0, 0, 2, 0x40000000, 0x20000000, 0x20000000}), true},
        {"enhanced object slot far away", emfWith(39, {0x7FFFFFF0, 0, 0xFF, 0}), true},
        {"enhanced bitmap offsets outside the record", emfWith(81, {0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 80, 0x7FFFFFF0, 120, 8, 0, 0xCC0020, 10, 10}), true},
        {"enhanced restore far below", emfWith(34, {-100000}), true},
        {"enhanced fill without a path", emfWith(62, {0, 0, 0, 0}), true},
        {"text longer than its record", withRecord(0x0521, {30000, 0x4848}), true},
        {"extended text longer than its record", withRecord(0x0A32, {0, 0, 30000, 6, 0, 0, 9, 9}), true},
        {"enhanced text offset outside the record", emfWith(84, {0, 0, 0, 0, 1, 0, 0, 10, 10, 2, 0x7FFFFFF0}), true},
        {"enhanced text count past the record", emfWith(84, {0, 0, 0, 0, 1, 0, 0, 10, 10, 0x40000000, 76}), true},
        {"font record cut short", emfWith(82, {1, -40}), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MetafileFrame frame;
        EXPECT_EQ(MetafileMeasure(c.bytes, false, &frame), c.measurable);
        cairo_surface_t* s = Played(c.bytes, false, 100);
        cairo_surface_destroy(s);
    }
}

class MetafileReaderTest : public ::testing::Test {
protected:
    void TearDown() override {
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(MetafileReaderTest, TheSizeIsMeasuredAndThePictureFittedIntoTheCatalogSize) {
    Wmf w;
    w.RedBrushNoPen();
    w.Record(0x041B, {500, 1000, 0, 500});  // the right half
    FSSpec spec = CheckedSpecOf(temp.Write("wide.wmf", w.Placeable(0, 0, 1000, 500, 96)));
    KindInfoRec info{};
    GWorldPtr world = nullptr;
    ASSERT_EQ(WindowsPictureGetInfo(&spec, &info, &world, 128), noErr);
    EXPECT_EQ(info.width, 1000u);
    EXPECT_EQ(info.height, 500u);
    EXPECT_EQ(info.depth, 32u);
    EXPECT_EQ(info.colorSpace, OSType('RGB '));
    const PixelView v = GetGWorldPixels(world);
    ASSERT_EQ(v.width, 128);
    ASSERT_EQ(v.height, 64);
    EXPECT_EQ(CountRed(world, 66, 2, 126, 62), 60 * 60);
    EXPECT_EQ(CountRed(world, 0, 0, 62, 64), 0);
    DisposeGWorld(world);
    ASSERT_EQ(WindowsPictureMakeThumbnail(&spec, &world), noErr);
    EXPECT_EQ(GetGWorldPixels(world).width, 1000) << "the views get the picture at its own size";
    DisposeGWorld(world);

    // A frame in other units: 2 x 1 inches at 1440 units an inch measure 192 x 96 pixels.
    FSSpec twips = CheckedSpecOf(temp.Write("twips.wmf", w.Placeable(0, 0, 2880, 1440, 1440)));
    ASSERT_EQ(WindowsPictureGetInfo(&twips, &info, nullptr, 128), noErr);
    EXPECT_EQ(info.width, 192u);
    EXPECT_EQ(info.height, 96u);
}

TEST_F(MetafileReaderTest, ThePictureDrawsOverTheThumbnailBackground) {
    const RGBColor green{0x0000, 0xC0C0, 0x0000};
    KindSetThumbBackground(&green);
    FSSpec spec = CheckedSpecOf(temp.Write("square.emf", RedSquares()[3].second));
    KindInfoRec info{};
    GWorldPtr world = nullptr;
    ASSERT_EQ(WindowsPictureGetInfo(&spec, &info, &world, 200), noErr);
    const PixelView v = GetGWorldPixels(world);
    ASSERT_EQ(v.width, 100);
    const std::uint8_t* corner = v.base + 2 * v.rowBytes + 2 * 4;
    EXPECT_EQ(corner[1], 0xC0);
    EXPECT_EQ(corner[2], 0);
    EXPECT_EQ(CountRed(world, 27, 27, 73, 73), 46 * 46);
    DisposeGWorld(world);
    const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
    KindSetThumbBackground(&white);
}

TEST_F(MetafileReaderTest, MetafilesAreRegisteredUnderEditions200And500AndReadThroughTheEngine) {
    for (SInt32 edition : {200, 400, 500}) {
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (const char* name : {"/nowhere/a.wmf", "/nowhere/b.EMF"}) {
            FSSpec spec = SpecOf(name);
            const OSType type = KindTypeFromExtension(&spec, nullptr);
            if (edition == 400) {
                EXPECT_EQ(type, 0u) << name;
            } else {
                EXPECT_TRUE(type == 'WMF ' || type == 'EMF ') << name;
                EXPECT_EQ(KindGetHandler(type), kKindHandlerBuiltin);
                EXPECT_EQ(KindGetCategory(type), kKindCategoryIllustration);
            }
        }
        KindEngineShutdown();
        KindTableClear();
    }
    ASSERT_EQ(KindEngineInit(nullptr, 0, 500, 200), noErr);
    const auto squares = RedSquares();
    for (const std::string& path : {temp.Write("a.wmf", squares[0].second), temp.Write("b.emf", squares[3].second)}) {
        SCOPED_TRACE(path);
        KindFileRec file;
        FSSpec spec = SpecOf(path);
        ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
        KindInfoRec info{};
        PicHandle thumb = nullptr;
        Handle iptc = nullptr, technical = nullptr, recording = nullptr;
        EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
        EXPECT_EQ(info.width, 100u);
        EXPECT_NE(thumb, nullptr);
        for (Handle h : {Handle(thumb), iptc, technical, recording})
            if (h) DisposeHandle(h);
        GWorldPtr world = nullptr;
        UInt32 index = 1;
        ASSERT_EQ(KindMakeThumbnail(&spec, &world, kKindDisplaySize, file.type, &index, 0), noErr);
        EXPECT_EQ(CountRed(world, 27, 27, 73, 73), 46 * 46);
        DisposeGWorld(world);
    }
}

}  // namespace
