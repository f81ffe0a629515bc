// The readers that stand on the RAW library in place of the camera makers' libraries (Nikon,
// Kodak, Canon development), driven with DNG files the library develops; and the preview
// readers that find their JPEG through TIFF tags, maker notes and blocks (SRF, PEF, MOS, MRW,
// ORF), on files built byte by byte.
#include "media/imaging/Offscreen.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/Exif.h"
#include "media/metadata/MetaValueStore.h"
#include "media/readers/raw/CanonRaw.h"
#include "media/readers/raw/KodakDcr.h"
#include "media/readers/raw/NikonNef.h"
#include "media/readers/raw/RawLibrary.h"
#include "media/readers/raw/RawPreviewReaders.h"
#include "media/readers/raw/RawReaderSupport.h"
#include "media/readers/raw/RawTestFiles.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <lcms2.h>

#include <filesystem>
#include <string>
#include <vector>

using namespace rawtest;

namespace {

class RawVendorReadersTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr); }
    void TearDown() override {
        KindSetKodakLook(0);
        KindEngineShutdown();
        KindTableClear();
    }
    FSSpec Dng(const std::string& name, const DngSpec& spec = DngSpec{}) {
        WriteTestDng(temp / name, spec);
        return CheckedSpecOf(temp / name);
    }
    FSSpec File(const std::string& name, const Bytes& bytes) {
        WriteBytes(temp / name, bytes);
        return CheckedSpecOf(temp / name);
    }
    TempFolder temp;
};

struct Colour {
    int r, g, b;
};

Colour Mean(GWorldPtr world, int x0 = 0, int y0 = 0, int w = 0, int h = 0) {
    PixelView v = GetGWorldPixels(world);
    if (w == 0) w = v.width - x0;
    if (h == 0) h = v.height - y0;
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            b += p[0], g += p[1], r += p[2], ++n;
        }
    return n ? Colour{int(r / n), int(g / n), int(b / n)} : Colour{};
}
bool Red(const Colour& c) { return c.r > c.g + 60 && c.r > c.b + 60; }
bool Blue(const Colour& c) { return c.b > c.r + 60 && c.b > c.g + 60; }
bool Green(const Colour& c) { return c.g > c.r + 60 && c.g > c.b + 60; }

std::pair<int, int> Size(GWorldPtr world) {
    Rect b = GetPortBounds(world);
    return {b.right - b.left, b.bottom - b.top};
}

std::string FormatName(const KindInfoRec& info) {
    return std::string(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]);
}

struct List {
    UserData list = nullptr;
    List() { NewUserData(&list); }
    ~List() { DisposeUserData(list); }
};

// ---- Nikon ------------------------------------------------------------------------------------

TEST_F(RawVendorReadersTest, TheNikonReaderPicksTheStoredPreviewOrTheDevelopedPictureBySize) {
    FSSpec dng = Dng("n.dng");
    KindInfoRec info{};
    GWorldPtr picture = nullptr;
    List list;
    // Neither image is above 200 pixels: the last, the developed picture, is read at the size.
    ASSERT_EQ(NikonGetInfo(&dng, &info, &picture, list.list, 32), noErr);
    EXPECT_EQ(info.width, 64u);
    EXPECT_EQ(info.height, 48u);
    EXPECT_EQ(info.depth, 48u);
    EXPECT_EQ(info.colorSpace, OSType('RGB '));
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(Size(picture), std::make_pair(32, 24));
    EXPECT_TRUE(Red(Mean(picture, 1, 1, 12, 22)));
    DisposeGWorld(picture);

    // The library's own thumbnail when the RAW option asks for developed pictures...
    GWorldPtr thumb = nullptr;
    ASSERT_EQ(NikonMakeThumbnail(&dng, &thumb, 160, 0), noErr);
    EXPECT_TRUE(Green(Mean(thumb)));
    EXPECT_EQ(KindReading().previewFlag, 0);
    DisposeGWorld(thumb);
    // ... and the image chosen for the size otherwise, turned by the code.
    KindSetKodakLook(0x100);
    ASSERT_EQ(NikonMakeThumbnail(&dng, &thumb, 32, 'W '), noErr);
    EXPECT_EQ(Size(thumb), std::make_pair(24, 32));
    EXPECT_TRUE(Red(Mean(thumb, 1, 1, 22, 12)));  // the scene's left half turned to the top
    DisposeGWorld(thumb);
}

TEST_F(RawVendorReadersTest, AFileTheLibraryCannotReadIsNotANefOfThisReader) {
    FSSpec text = File("x.nef", Bytes(4096, 'x'));
    KindInfoRec info{};
    GWorldPtr out = nullptr;
    EXPECT_EQ(NikonGetInfo(&text, &info, &out, nullptr, 160), -206);
    EXPECT_EQ(NikonMakeThumbnail(&text, &out, 160, 0), -206);
    EXPECT_EQ(out, nullptr);
}

// ---- Kodak ------------------------------------------------------------------------------------

TEST_F(RawVendorReadersTest, TheKodakReaderReportsTheTurnAndDevelopsAtQuarterSizeForInformation) {
    DngSpec spec;
    spec.orientation = 8;
    FSSpec dng = Dng("k.dng", spec);
    KindInfoRec info{};
    GWorldPtr picture = nullptr;
    LastExifOrientation = 0;
    ASSERT_EQ(KodakDcrGetInfo(&dng, &info, &picture, nullptr), noErr);
    EXPECT_EQ(LastExifOrientation, 8);
    EXPECT_EQ(info.width, 64u);
    EXPECT_EQ(info.depth, 32u);
    EXPECT_EQ(FormatName(info), "Kodak RAW");
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(Size(picture), std::make_pair(16, 12));  // the information picture is never turned
    DisposeGWorld(picture);

    FSSpec missing = SpecOf(temp / "gone.dcr");
    FSSpec text = File("t.dcr", Bytes(2048, 't'));
    EXPECT_EQ(KodakDcrGetInfo(&missing, &info, &picture, nullptr), kKodakOpenErr);
    EXPECT_EQ(KodakDcrGetInfo(&text, &info, &picture, nullptr), kRawFormatErr);
    EXPECT_EQ(KodakDcrMakeThumbnail(&text, &picture, 160, 0), kRawThumbnailFormatErr);
    EXPECT_EQ(picture, nullptr);
}

TEST_F(RawVendorReadersTest, KodakThumbnailsTurnWhileReadingAndMirrorAfterwards) {
    FSSpec dng = Dng("k2.dng");
    const struct {
        UInt32 look;
        UInt16 code;
        std::pair<int, int> size;
        bool redLeft, redTop;
    } cases[] = {
        {0, 0, {64, 48}, true, false},       // full size
        {0x100, 0, {32, 24}, true, false},   // the fast mode reads at half size
        {0, 'H ', {64, 48}, false, false},   // mirrored: red on the right
        {0, 'W ', {48, 64}, false, true},    // a quarter turn right: red on top
    };
    for (const auto& c : cases) {
        KindSetKodakLook(c.look);
        GWorldPtr thumb = nullptr;
        ASSERT_EQ(KodakDcrMakeThumbnail(&dng, &thumb, kKindDisplaySize, c.code), noErr) << c.code;
        const auto [w, h] = Size(thumb);
        EXPECT_EQ(std::make_pair(w, h), c.size) << c.code;
        if (c.redTop) {
            EXPECT_TRUE(Red(Mean(thumb, 1, 1, w - 2, h / 2 - 4))) << c.code;
        } else {
            EXPECT_EQ(Red(Mean(thumb, 1, 1, w / 2 - 4, h - 2)), c.redLeft) << c.code;
        }
        DisposeGWorld(thumb);
    }
}

// ---- Canon development ---------------------------------------------------------------------------

TEST_F(RawVendorReadersTest, CanonDevelopmentThroughTheTiffPathAndItsFallBackToThePreview) {
    FSSpec dng = Dng("c.dng");
    GWorldPtr out = nullptr;
    ASSERT_EQ(CanonTiffRawDevelop(&dng, &out, 32, 'HV'), noErr);
    EXPECT_EQ(Size(out), std::make_pair(32, 24));
    EXPECT_TRUE(Blue(Mean(out, 1, 1, 12, 22)));  // a half turn brings the blue half to the left
    DisposeGWorld(out);
    out = nullptr;

    KindInfoRec info{};
    info.dataSize = 64 * 48 * 6;
    info.width = 64;
    info.height = 48;
    ASSERT_EQ(CanonTiffRawSetInfo(&info), noErr);
    EXPECT_EQ(FormatName(info), "Canon TIFF/RAW");
    EXPECT_EQ(info.depth, 48u);
    EXPECT_EQ(info.colorSpace, OSType('RGB '));

    FSSpec text = File("t.cr2", Bytes(1024, 'c'));
    EXPECT_EQ(CanonRawDevelop(&text, &out, 160), kRawDataErr);
    EXPECT_EQ(out, nullptr);

    // A CRW the library cannot develop shows its stored preview instead.
    CrwSpec crw;
    crw.largeJpeg = MakeJpeg(24, 16, {20, 200, 20});
    FSSpec canon = File("c.crw", MakeCrw(crw));
    ASSERT_EQ(CanonRawMakeThumbnail(&canon, &out, 160, 0), noErr);
    EXPECT_EQ(KindReading().previewFlag, 1);
    EXPECT_TRUE(Green(Mean(out)));
    DisposeGWorld(out);
}

// ---- previews found through tags ------------------------------------------------------------------

TEST_F(RawVendorReadersTest, SonyFilesShowTheJpegOfTheirOffsetAndLengthTagsAndNothingWithoutThem) {
    const Bytes jpeg = MakeJpeg(30, 20, {200, 20, 20});
    TiffBuilder tiff;
    const std::uint32_t at = tiff.Add(jpeg);
    tiff.SetFirstIfd(tiff.AddIfd({TiffLong(0x100, 4000), TiffLong(0x101, 3000), TiffRational(0x11A, 300, 1),
                                  TiffLong(0x201, at), TiffLong(0x202, std::uint32_t(jpeg.size()))}));
    FSSpec srf = File("a.srf", tiff.bytes());
    KindInfoRec info{};
    info.dataSize = tiff.Size();
    GWorldPtr picture = nullptr;
    ASSERT_EQ(SrfGetInfo(&srf, &info, &picture, nullptr), noErr);
    EXPECT_EQ(info.width, 4000u);
    EXPECT_EQ(info.height, 3000u);
    EXPECT_EQ(info.resolution, 300u);
    EXPECT_EQ(info.depth, 48u);
    EXPECT_EQ(FormatName(info), kCameraRawFormatName);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(Red(Mean(picture)));
    DisposeGWorld(picture);

    TiffBuilder bare;
    bare.SetFirstIfd(bare.AddIfd({TiffLong(0x100, 10), TiffLong(0x101, 10)}));
    FSSpec empty = File("b.srf", bare.bytes());
    picture = nullptr;
    EXPECT_EQ(SrfMakeThumbnail(&empty, &picture, 160, 0), noErr);
    EXPECT_EQ(picture, nullptr);
}

TEST_F(RawVendorReadersTest, PentaxFilesShowTheJpegTheirMakerNoteNames) {
    const Bytes jpeg = MakeJpeg(30, 20, {20, 20, 200});
    TiffBuilder tiff;
    const std::uint32_t at = tiff.Add(jpeg);
    // The maker note: "AOC", a zero and the byte order, then its directory (offsets from the file's start).
    Bytes note = {'A', 'O', 'C', 0, 'I', 'I'};
    auto put16 = [&](std::uint16_t v) { note.push_back(std::uint8_t(v)), note.push_back(std::uint8_t(v >> 8)); };
    auto put32 = [&](std::uint32_t v) { for (int i = 0; i < 4; ++i) note.push_back(std::uint8_t(v >> (8 * i))); };
    put16(2);
    put16(4), put16(4), put32(1), put32(at);
    put16(5), put16(4), put32(1), put32(std::uint32_t(jpeg.size()));
    put32(0);
    const std::uint32_t exif = tiff.AddIfd({TiffUndefined(0x927C, note)});
    tiff.SetFirstIfd(tiff.AddIfd({TiffLong(0x100, 6000), TiffLong(0x101, 4000), TiffAscii(0x10F, "PENTAX Corporation"),
                                  TiffLong(0x8769, exif)}));
    FSSpec pef = File("a.pef", tiff.bytes());
    GWorldPtr thumb = nullptr;
    ASSERT_EQ(PefMakeThumbnail(&pef, &thumb, 160, 0), noErr);
    EXPECT_TRUE(Blue(Mean(thumb)));
    EXPECT_EQ(KindReading().previewFlag, 1);
    DisposeGWorld(thumb);
}

TEST_F(RawVendorReadersTest, LeafFilesShowTheJpegInsideTheCamerasPrivateBlock) {
    const Bytes jpeg = MakeJpeg(30, 20, {20, 200, 20});
    Bytes block = {1, 2, 3, 4, 5, 0xFF, 0xD8, 0x00};  // a false start before the JPEG
    block.insert(block.end(), jpeg.begin(), jpeg.end());
    TiffBuilder tiff;
    tiff.SetFirstIfd(tiff.AddIfd({TiffLong(0x100, 5000), TiffLong(0x101, 4000), TiffShort(0x102, 16),
                                  TiffRational(0x11A, 150, 1), TiffAscii(0x132, "2004:05:06 07:08:09"),
                                  TiffUndefined(0x8606, block)}));
    FSSpec mos = File("a.mos", tiff.bytes());
    KindInfoRec info{};
    GWorldPtr picture = nullptr;
    List list;
    ASSERT_EQ(MosGetInfo(&mos, &info, &picture, list.list), noErr);
    EXPECT_EQ(info.width, 5000u);
    EXPECT_EQ(info.height, 4000u);
    EXPECT_EQ(info.depth, 48u);
    EXPECT_EQ(info.resolution, 150u);
    EXPECT_EQ(FormatName(info), kCameraRawFormatName);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(Green(Mean(picture)));
    DisposeGWorld(picture);
    Handle date = NewHandle(0);
    ASSERT_EQ(GetUserData(list.list, date, ExifFieldId(0x9003), 1), noErr);
    EXPECT_EQ(std::string(*date, 19), "2004:05:06 07:08:09");
    DisposeHandle(date);

    TiffBuilder bare;
    bare.SetFirstIfd(bare.AddIfd({TiffLong(0x100, 10), TiffLong(0x101, 10)}));
    FSSpec without = File("b.mos", bare.bytes());
    picture = nullptr;
    EXPECT_EQ(MosMakeThumbnail(&without, &picture, 160, 0), resNotFound);
}

Bytes Block(const char* tag, const Bytes& data) {
    Bytes b = {0, std::uint8_t(tag[0]), std::uint8_t(tag[1]), std::uint8_t(tag[2])};
    for (int i = 3; i >= 0; --i) b.push_back(std::uint8_t(data.size() >> (8 * i)));
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

// An MRW file: MRM holding PRD (sensor 3000 x 2000), TTW (a TIFF whose Minolta maker note holds
// the preview in tag 0x81, or names it with 0x88) and PAD.
Bytes MakeMrw(const Bytes& jpeg, bool inline81) {
    TiffBuilder tiff;
    std::uint32_t note;
    if (inline81) {
        note = tiff.AddIfd({TiffUndefined(0x81, jpeg)});
    } else {
        note = tiff.AddIfd({TiffLong(0x88, 0)});  // set below, once the JPEG's place is known
    }
    const std::uint32_t exif = tiff.AddIfd({{0x927C, 7, 64, {std::uint8_t(note), std::uint8_t(note >> 8), 0, 0}}});
    tiff.SetFirstIfd(tiff.AddIfd({TiffAscii(0x10F, "Minolta Co., Ltd."), TiffLong(0x8769, exif)}));
    Bytes ttw = tiff.bytes();
    if (!inline81) {
        // The preview runs from its offset to the end of the block.
        const std::uint32_t at = std::uint32_t(ttw.size());
        for (int i = 0; i < 4; ++i) ttw[note + 2 + 8 + i] = std::uint8_t(at >> (8 * i));
        ttw.insert(ttw.end(), jpeg.begin(), jpeg.end());
    }
    Bytes prd(24, 0);
    prd[8] = 2000 >> 8, prd[9] = 2000 & 0xFF, prd[10] = 3000 >> 8, prd[11] = 3000 & 0xFF;
    Bytes inner = Block("PRD", prd);
    const Bytes t = Block("TTW", ttw), pad = Block("PAD", Bytes(16, 0));
    inner.insert(inner.end(), t.begin(), t.end());
    inner.insert(inner.end(), pad.begin(), pad.end());
    return Block("MRM", inner);
}

TEST_F(RawVendorReadersTest, MinoltaFilesShowTheMakerNotePreviewEvenWithAWrongFirstByte) {
    Bytes jpeg = MakeJpeg(30, 20, {200, 20, 20});
    jpeg[0] = 0x00;  // cameras store the preview so; the reader restores the marker
    for (bool inline81 : {true, false}) {
        SCOPED_TRACE(inline81 ? "tag 0x81" : "tag 0x88");
        FSSpec mrw = File(inline81 ? "a.mrw" : "b.mrw", MakeMrw(jpeg, inline81));
        KindInfoRec info{};
        GWorldPtr picture = nullptr;
        List list;
        ASSERT_EQ(MrwGetInfo(&mrw, &info, &picture, list.list), noErr);
        EXPECT_EQ(info.width, 3000u);
        EXPECT_EQ(info.height, 2000u);
        EXPECT_EQ(info.depth, 24u);
        ASSERT_NE(picture, nullptr);
        EXPECT_TRUE(Red(Mean(picture)));
        DisposeGWorld(picture);
        // The preview's tags are not kept among the file's metadata.
        EXPECT_EQ(CountUserDataType(list.list, 0x81), 0);
        EXPECT_EQ(CountUserDataType(list.list, 0x88), 0);
    }
}

// An ORF file whose Olympus maker note leads to the preview through its 0x2020 directory, or
// holds a thumbnail itself in tag 0x100.
Bytes MakeOrf(const Bytes& jpeg, bool throughSubDirectory, const std::string& model = "E-1") {
    TiffBuilder tiff;
    std::vector<TiffEntry> noteEntries;
    if (throughSubDirectory) {
        const std::uint32_t at = tiff.Add(jpeg);
        const std::uint32_t sub = tiff.AddIfd({TiffLong(0x101, at), TiffLong(0x102, std::uint32_t(jpeg.size()))});
        noteEntries = {TiffLong(0x2020, sub)};
    } else {
        noteEntries = {TiffUndefined(0x100, jpeg)};
    }
    // Out-of-line values first, so that the directory follows the note's 8-byte header.
    for (auto& e : noteEntries)
        if (e.value.size() > 4) {
            const std::uint32_t at = tiff.Add(e.value);
            e = {e.tag, 7, e.count, {std::uint8_t(at), std::uint8_t(at >> 8), std::uint8_t(at >> 16), std::uint8_t(at >> 24)}};
        }
    const std::uint32_t header = tiff.Add({'O', 'L', 'Y', 'M', 'P', 0, 1, 0});
    const std::uint32_t directory = tiff.AddIfd(noteEntries);
    EXPECT_EQ(directory, header + 8);
    const std::uint32_t exif = tiff.AddIfd({{0x927C, 7, 64, {std::uint8_t(header), std::uint8_t(header >> 8), 0, 0}}});
    tiff.SetFirstIfd(tiff.AddIfd({TiffLong(0x100, 2560), TiffLong(0x101, 1920), TiffAscii(0x10F, "OLYMPUS CORPORATION"),
                                  TiffAscii(0x110, model), TiffLong(0x8769, exif)}));
    return tiff.bytes();
}

TEST_F(RawVendorReadersTest, OlympusFilesShowTheMakerNotePreview) {
    const Bytes jpeg = MakeJpeg(30, 20, {20, 20, 200});
    FSSpec viaSub = File("a.orf", MakeOrf(jpeg, true));
    KindInfoRec info{};
    GWorldPtr picture = nullptr;
    ASSERT_EQ(OrfGetInfo(&viaSub, &info, &picture, nullptr), noErr);
    EXPECT_EQ(info.width, 2560u);
    EXPECT_EQ(info.height, 1920u);
    EXPECT_EQ(info.resolution, 72u);
    ASSERT_NE(picture, nullptr);
    EXPECT_TRUE(Blue(Mean(picture)));
    DisposeGWorld(picture);

    // Tag 0x100's JPEG is the fallback when the note has no preview directory.
    FSSpec inNote = File("b.orf", MakeOrf(MakeJpeg(16, 12, {20, 200, 20}), false));
    GWorldPtr thumb = nullptr;
    ASSERT_EQ(OrfMakeThumbnail(&inNote, &thumb, 160, 0), noErr);
    EXPECT_TRUE(Green(Mean(thumb)));
    DisposeGWorld(thumb);
}

TEST_F(RawVendorReadersTest, CSeriesOlympusFilesAreDecodedFromInterlacedTwelveBitStrips) {
    // Pattern 2: blue where x and y are even, red where both are odd; first byte 50, 100, 200.
    const int w = 6, h = 4;
    auto value = [](int x, int y) -> std::uint8_t {
        if (x % 2 == 0 && y % 2 == 0) return 50;
        if (x % 2 == 1 && y % 2 == 1) return 200;
        return 100;
    };
    Bytes strip;
    for (int y : {0, 2, 1, 3})
        for (int x = 0; x < w; x += 2) {
            const std::uint8_t a = value(x, y), b = value(x + 1, y);
            strip.push_back(a);
            strip.push_back(std::uint8_t(b >> 4));
            strip.push_back(std::uint8_t(b << 4));
        }
    TiffBuilder tiff;
    const std::uint32_t at = tiff.Add(strip);
    tiff.SetFirstIfd(tiff.AddIfd({TiffLong(0x100, w), TiffLong(0x101, h), TiffAscii(0x10F, "OLYMPUS OPTICAL CO.,LTD"),
                                  TiffAscii(0x110, "C5050Z"), TiffLong(0x111, at), TiffLong(0x117, std::uint32_t(strip.size()))}));
    FSSpec orf = File("c.orf", tiff.bytes());
    GWorldPtr thumb = nullptr;
    ASSERT_EQ(OrfMakeThumbnail(&orf, &thumb, kKindDisplaySize, 0), noErr);
    EXPECT_EQ(Size(thumb), std::make_pair(w, h));
    PixelView v = GetGWorldPixels(thumb);
    for (int y = 1; y <= h - 2; ++y)
        for (int x = 1; x <= w - 2; ++x) {
            const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            EXPECT_EQ(p[2], 255) << x << "," << y;
            EXPECT_EQ(p[1], 100) << x << "," << y;
            EXPECT_EQ(p[0], 75) << x << "," << y;
        }
    DisposeGWorld(thumb);
}

// ---- Canon colour spaces --------------------------------------------------------------------------

TEST(CanonColourSpaceTest, ACrwShotInSrgbNamesAndHandsOutTheProfileTheEngineFound) {
    TempFolder temp;
    // The support folder of edition 500 with an sRGB profile of a known description.
    cmsHPROFILE p = cmsCreate_sRGBProfile();
    cmsMLU* mlu = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(mlu, "en", "US", "sRGB of the folder");
    cmsWriteTag(p, cmsSigProfileDescriptionTag, mlu);
    cmsMLUfree(mlu);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(p, nullptr, &size);
    Bytes profile(size);
    cmsSaveProfileToMem(p, profile.data(), &size);
    cmsCloseProfile(p);
    std::filesystem::create_directories(temp / "support");
    WriteBytes(temp / "support/sRGBColorSpace.icm", profile);
    FSSpec folder = CheckedSpecOf(temp / "support");
    ASSERT_EQ(KindEngineInit(&folder, 1, 500, 200), noErr);

    for (std::uint32_t space : {1u, 2u}) {
        CrwSpec crw;
        crw.largeJpeg = MakeJpeg(16, 12, {90, 90, 90});
        crw.colorSpace = space;
        const std::string path = temp / ("shot" + std::to_string(space) + ".crw");
        WriteBytes(path, MakeCrw(crw));
        FSSpec spec = CheckedSpecOf(path);
        KindInfoRec info{};
        Handle handed = nullptr;
        ASSERT_EQ(CanonRawGetInfo(&spec, &info, nullptr, nullptr, &handed), noErr);
        const std::string name(reinterpret_cast<const char*>(info.colorProfile + 1), info.colorProfile[0]);
        // Adobe RGB was not found in the folder: no name and no profile.
        EXPECT_EQ(name, space == 1 ? "sRGB of the folder" : "") << space;
        EXPECT_EQ(handed != nullptr, space == 1) << space;
        if (handed) {
            EXPECT_EQ(std::size_t(GetHandleSize(handed)), profile.size());
            DisposeHandle(handed);
        }
    }
    KindEngineShutdown();
    KindTableClear();
}

}  // namespace
