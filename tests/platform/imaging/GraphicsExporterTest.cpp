// The graphics exporters: every format written from a world and read back by the importers
// with its pixels, resolution and profile; a write that cannot happen leaves no file.
#include "platform/Handles.h"
#include "platform/imaging/GraphicsExporter.h"
#include "platform/imaging/GraphicsImporter.h"
#include "platform/imaging/ImageCompression.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <set>

namespace {

GWorldPtr QuadrantWorld(int w, int h) {
    Rect r{0, 0, std::int16_t(h), std::int16_t(w)};
    GWorldPtr world = nullptr;
    EXPECT_EQ(NewGWorldFromFormat(&world, 32, &r), noErr);
    PixelView v = GetGWorldPixels(world);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            auto q = fixtures::Quadrant(x, y, w, h);
            std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            p[0] = q.b;
            p[1] = q.g;
            p[2] = q.r;
        }
    return world;
}

TEST(GraphicsExporters, EveryFormatReadsBackWithItsPixelsAndResolution) {
    TempFolder t;
    const int w = 32, h = 32;
    GWorldPtr world = QuadrantWorld(w, h);
    std::set<OSType> seen;
    for (int i = 0; i < CountGraphicsExporterComponents(); ++i) {
        const auto* c = GetGraphicsExporterComponent(i);
        ASSERT_TRUE(seen.insert(c->subtype).second);
        GraphicsExportComponent ge = nullptr;
        ASSERT_EQ(OpenGraphicsExporter(c->subtype, &ge), noErr);
        std::string path = t / (std::string("out.") + c->extension);
        GraphicsExportSetInputGWorld(ge, world);
        GraphicsExportSetOutputFile(ge, path);
        GraphicsExportSetResolution(ge, 150 << 16, 150 << 16);
        GraphicsExportSetCompressionQuality(ge, codecMaxQuality);
        std::uint32_t written = 0;
        ASSERT_EQ(GraphicsExportDoExport(ge, &written), noErr) << c->name;
        EXPECT_EQ(written, std::filesystem::file_size(path)) << c->name;
        CloseGraphicsExporter(ge);

        GraphicsImportComponent gi = nullptr;
        ASSERT_EQ(GetGraphicsImporterForFile(path, &gi), noErr) << c->name;
        ImageDescriptionRec d;
        ASSERT_EQ(GraphicsImportGetImageDescriptionRec(gi, &d), noErr) << c->name;
        EXPECT_EQ(d.desc.width, w) << c->name;
        if (c->subtype != 'TPIC') {
            EXPECT_NEAR(FixedToDouble(d.desc.hRes), 150, 0.6) << c->name;
        }
        Rect r{0, 0, std::int16_t(h), std::int16_t(w)};
        GWorldPtr back = nullptr;
        ASSERT_EQ(NewGWorldFromFormat(&back, 32, &r), noErr);
        GraphicsImportSetGWorld(gi, back);
        ASSERT_EQ(GraphicsImportDraw(gi), noErr) << c->name;
        PixelView v = GetGWorldPixels(back);
        for (auto [x, y] : {std::pair{8, 8}, std::pair{24, 8}, std::pair{8, 24}, std::pair{24, 24}}) {
            auto q = fixtures::Quadrant(x, y, w, h);
            const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            EXPECT_NEAR(p[2], q.r, 4) << c->name << " " << x << "," << y;
            EXPECT_NEAR(p[1], q.g, 4) << c->name;
            EXPECT_NEAR(p[0], q.b, 4) << c->name;
        }
        DisposeGWorld(back);
        CloseGraphicsImporter(gi);
    }
    for (OSType needed : {OSType('JPEG'), OSType('PNGf'), OSType('TIFF'), OSType('BMPf'), OSType('PICT')})
        EXPECT_TRUE(seen.count(needed));
    DisposeGWorld(world);
}

TEST(GraphicsExporters, TheProfileIsEmbeddedWhereTheFormatHoldsOne) {
    TempFolder t;
    GWorldPtr world = QuadrantWorld(16, 16);
    // A real profile: the one a sample camera file carries.
    GraphicsImportComponent source = nullptr;
    ASSERT_EQ(GetGraphicsImporterForFile(std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/ExifTool.jpg", &source), noErr);
    Handle profile = nullptr;
    ASSERT_EQ(GraphicsImportGetColorSyncProfile(source, &profile), noErr);
    ASSERT_NE(profile, nullptr);
    CloseGraphicsImporter(source);
    std::string bytes(*profile, std::size_t(GetHandleSize(profile)));
    for (OSType type : {OSType('JPEG'), OSType('PNGf'), OSType('TIFF')}) {
        GraphicsExportComponent ge = nullptr;
        ASSERT_EQ(OpenGraphicsExporter(type, &ge), noErr);
        std::string path = t / "p.img";
        GraphicsExportSetInputGWorld(ge, world);
        GraphicsExportSetOutputFile(ge, path);
        GraphicsExportSetColorSyncProfile(ge, profile);
        ASSERT_EQ(GraphicsExportDoExport(ge, nullptr), noErr);
        CloseGraphicsExporter(ge);
        GraphicsImportComponent gi = nullptr;
        ASSERT_EQ(GetGraphicsImporterForFile(path, &gi), noErr);
        Handle back = nullptr;
        ASSERT_EQ(GraphicsImportGetColorSyncProfile(gi, &back), noErr);
        ASSERT_NE(back, nullptr) << std::string(reinterpret_cast<const char*>(&type), 4);
        EXPECT_EQ(std::string(*back, std::size_t(GetHandleSize(back))), bytes);
        DisposeHandle(back);
        CloseGraphicsImporter(gi);
    }
    DisposeHandle(profile);
    DisposeGWorld(world);
}

TEST(GraphicsExporters, RefusalsAndAWriteThatCannotHappen) {
    TempFolder t;
    GraphicsExportComponent ge = nullptr;
    EXPECT_EQ(OpenGraphicsExporter('zzzz', &ge), kNoImporterForTypeErr);
    ASSERT_EQ(OpenGraphicsExporter('PNGf', &ge), noErr);
    GraphicsExportSetOutputFile(ge, t / "a.png");
    EXPECT_EQ(GraphicsExportDoExport(ge, nullptr), paramErr);  // no world
    GWorldPtr world = QuadrantWorld(4, 4);
    GraphicsExportSetInputGWorld(ge, world);
    GraphicsExportSetOutputFile(ge, t / "missing/folder/a.png");
    EXPECT_NE(GraphicsExportDoExport(ge, nullptr), noErr);
    EXPECT_FALSE(std::filesystem::exists(t / "missing"));
    // An existing file is replaced whole.
    std::string existing = t.Write("b.png", "old contents");
    GraphicsExportSetOutputFile(ge, existing);
    ASSERT_EQ(GraphicsExportDoExport(ge, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(existing).substr(1, 3), "PNG");
    EXPECT_EQ(GraphicsExportSetCompressionQuality(ge, 0x400), paramErr);
    CloseGraphicsExporter(ge);
    DisposeGWorld(world);
}

}  // namespace
