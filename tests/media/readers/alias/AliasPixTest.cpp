// Alias Pix pictures: runs decoded top to bottom (a red square in, a red square out), zero
// counts skipped, runs and data that overrun or fall short of the picture, the matte beside an
// ".als" file blended to the thumbnail background, header errors, registration by edition and
// the built-in dispatch.
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/readers/alias/AliasPix.h"
#include "media/readers/raw/BuiltinRawReaders.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/ReaderChecks.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct PixRun {
    int count;
    std::uint8_t a = 0, b = 0, c = 0;  // colour (24 bits) or a = matte value (8 bits)
};

std::string Pix(int width, int height, int bits, const std::vector<PixRun>& runs) {
    std::string f;
    for (int v : {width, height, 0, 0, bits}) {
        f += char(v >> 8);
        f += char(v & 0xFF);
    }
    for (const PixRun& r : runs) {
        f += char(r.count);
        f += char(r.a);
        if (bits == 24) {
            f += char(r.b);
            f += char(r.c);
        }
    }
    return f;
}

// An 8 x 8 picture: white with a red 4 x 4 square at (2, 2), as runs of at most a row.
std::vector<PixRun> SquareRuns(bool zeroRuns = false) {
    std::vector<PixRun> runs;
    for (int y = 0; y < 8; ++y) {
        if (y >= 2 && y < 6) {
            runs.push_back({2, 255, 255, 255});
            if (zeroRuns) runs.push_back({0, 0, 0, 255});
            runs.push_back({4, 255, 0, 0});
            runs.push_back({2, 255, 255, 255});
        } else {
            runs.push_back({8, 255, 255, 255});
        }
    }
    return runs;
}

std::uint32_t At(GWorldPtr world, int x, int y) {
    PixelView v = GetGWorldPixels(world);
    return *reinterpret_cast<const std::uint32_t*>(v.base + y * v.rowBytes + x * 4) & 0xFFFFFF;
}

class AliasPixTest : public ::testing::Test {
protected:
    void TearDown() override {
        const RGBColor white{0xFFFF, 0xFFFF, 0xFFFF};
        KindSetThumbBackground(&white);
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

TEST_F(AliasPixTest, RunsFillRowsTopToBottomAndZeroCountsAreSkipped) {
    for (bool zeroRuns : {false, true}) {
        FSSpec spec = CheckedSpecOf(temp.Write("a.pix", Pix(8, 8, 24, SquareRuns(zeroRuns))));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        ASSERT_EQ(AliasPixGetInfo(&spec, &info, &world), noErr);
        EXPECT_EQ(info.width, 8u);
        EXPECT_EQ(info.height, 8u);
        EXPECT_EQ(info.depth, 24u);
        EXPECT_EQ(info.resolution, 72u);
        EXPECT_EQ(info.pages, 1u);
        EXPECT_EQ(info.colorSpace, OSType('RGB '));
        EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]), "RLE");
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool red = x >= 2 && x < 6 && y >= 2 && y < 6;
                EXPECT_EQ(At(world, x, y), red ? 0xFF0000u : 0xFFFFFFu) << x << "," << y;
            }
        DisposeGWorld(world);
    }
}

TEST_F(AliasPixTest, RunsNeverWritePastThePictureAndShortDataLeavesTheRestBlack) {
    struct Case {
        const char* what;
        std::vector<PixRun> runs;
        std::uint32_t last;  // the bottom-right pixel
        std::uint32_t first;
    };
    const Case cases[] = {
        {"a run longer than the picture", {{255, 0, 0, 255}, {255, 0, 255, 0}}, 0x0000FF, 0x0000FF},
        {"data ends early", {{3, 0, 255, 0}}, 0x000000, 0x00FF00},
        {"no data", {}, 0x000000, 0x000000},
    };
    for (const Case& c : cases) {
        FSSpec spec = CheckedSpecOf(temp.Write("b.pix", Pix(4, 3, 24, c.runs) + "\x07"));  // a stray byte
        GWorldPtr world = nullptr;
        ASSERT_EQ(AliasPixMakeThumbnail(&spec, &world, 0), noErr) << c.what;
        EXPECT_EQ(At(world, 3, 2), c.last) << c.what;
        EXPECT_EQ(At(world, 0, 0), c.first) << c.what;
        DisposeGWorld(world);
    }
}

TEST_F(AliasPixTest, AMatteBesideAnAlsFileBlendsToTheThumbnailBackground) {
    const RGBColor blue{0, 0, 0xFFFF};
    KindSetThumbBackground(&blue);
    const std::string picture = Pix(8, 8, 24, SquareRuns());
    // Opaque in the top half, clear in the bottom half, half-way on the last row.
    const std::string matte = Pix(8, 8, 8, {{32, 255}, {24, 0}, {8, 128}});
    FSSpec spec = CheckedSpecOf(temp.Write("m.als", picture));
    temp.Write("m.msk", matte);
    GWorldPtr world = nullptr;
    ASSERT_EQ(AliasPixMakeThumbnail(&spec, &world, 0), noErr);
    EXPECT_EQ(At(world, 3, 3), 0xFF0000u) << "opaque: the picture";
    EXPECT_EQ(At(world, 0, 5), 0x0000FFu) << "clear: the background";
    EXPECT_EQ(At(world, 3, 5), 0x0000FFu);
    // (128 x 255 + 127 x 0) / 255 = 128 for white's red; blue: (128 x 255 + 127 x 255) / 255.
    EXPECT_EQ(At(world, 0, 7), 0x8080FFu);
    DisposeGWorld(world);

    // Without the matte, or with a matte of another size, the picture shows unmatted.
    FSSpec lone = CheckedSpecOf(temp.Write("lone.als", picture));
    ASSERT_EQ(AliasPixMakeThumbnail(&lone, &world, 0), noErr);
    EXPECT_EQ(At(world, 0, 7), 0xFFFFFFu);
    DisposeGWorld(world);
    FSSpec odd = CheckedSpecOf(temp.Write("odd.als", picture));
    temp.Write("odd.msk", Pix(4, 4, 8, {{16, 0}}));
    ASSERT_EQ(AliasPixMakeThumbnail(&odd, &world, 0), noErr);
    EXPECT_EQ(At(world, 0, 7), 0xFFFFFFu);
    // The matte alone: the size check answers, the picture stays.
    FSSpec oddMatte = SpecOf(temp / "odd.msk");
    EXPECT_EQ(AliasPixDecode(8, &oddMatte, &world, nullptr, nullptr, nullptr), resNotFound);
    DisposeGWorld(world);
    GWorldPtr none = nullptr;
    EXPECT_EQ(AliasPixDecode(8, &oddMatte, &none, nullptr, nullptr, nullptr), paramErr);
}

TEST_F(AliasPixTest, HeaderErrors) {
    struct Case {
        const char* what;
        std::string file;
        OSErr expected;
    };
    const Case cases[] = {
        {"width 0", Pix(0, 8, 24, {}), kAliasPixSizeErr},
        {"height 0", Pix(8, 0, 24, {}), kAliasPixSizeErr},
        {"a matte read as a picture", Pix(8, 8, 8, {}), kAliasPixDepthErr},
        {"short header", Pix(8, 8, 24, {}).substr(0, 9), eofErr},
        {"empty", "", eofErr},
    };
    for (const Case& c : cases) {
        FSSpec spec = CheckedSpecOf(temp.Write("bad.pix", c.file));
        KindInfoRec info{};
        GWorldPtr world = nullptr;
        EXPECT_EQ(AliasPixGetInfo(&spec, &info, &world), c.expected) << c.what;
        EXPECT_EQ(world, nullptr) << c.what;
        EXPECT_EQ(AliasPixMakeThumbnail(&spec, &world, 0), c.expected) << c.what;
        EXPECT_EQ(world, nullptr) << c.what;
    }
}

TEST_F(AliasPixTest, AliasKindsAreRegisteredUnderEditions200And500AndReachTheReader) {
    ASSERT_NO_FATAL_FAILURE(support::ExpectKindsRegisteredExceptUnder400(
        {OSType('ALS '), OSType('APIX')}, kKindHandlerBuiltin, kKindCategoryImage));
    ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr);
    const std::string path = temp.Write("scene.als", Pix(8, 8, 24, SquareRuns()));
    KindFileRec file;
    FSSpec spec = SpecOf(path);
    ASSERT_EQ(KindTypeOfFileSpec(&spec, &file), noErr);
    EXPECT_EQ(file.type, OSType('ALS '));
    KindInfoRec info{};
    PicHandle thumb = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    EXPECT_EQ(KindGetInfo(&file, &info, true, 0, 0, 128, &thumb, &iptc, &technical, &recording), noErr);
    EXPECT_NE(thumb, nullptr);
    EXPECT_EQ(info.width, 8u);
    for (Handle h : {Handle(thumb), iptc, technical, recording})
        if (h) DisposeHandle(h);
    GWorldPtr world = nullptr;
    UInt32 index = 1;
    ASSERT_EQ(BuiltinReaderMakeThumbnail(&spec, &world, 128, 'APIX', &index, 'CW'), noErr);
    EXPECT_EQ(At(world, 0, 0), 0xFFFFFFu);
    DisposeGWorld(world);
}

}  // namespace
