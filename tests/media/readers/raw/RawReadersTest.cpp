// The camera RAW readers: registration by edition, the header samples through recognition,
// information and thumbnails, DNG files with a real Bayer mosaic developed by the RAW library
// and with embedded previews, CRW heaps, X3F files, RAF headers, and damaged files of each.
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
#include "media/readers/raw/SigmaX3f.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "support/FileSpecs.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

using namespace rawtest;

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

class RawReadersTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 200, 200), noErr); }
    void TearDown() override {
        KindSetKodakLook(0);
        KindEngineShutdown();
        KindTableClear();
    }
    TempFolder temp;
};

struct Average {
    int r = 0, g = 0, b = 0;
};

// The mean colour of a rectangle of a 32-bit world (whole world when w or h is 0).
Average MeanColour(GWorldPtr world, int x0 = 0, int y0 = 0, int w = 0, int h = 0) {
    PixelView v = GetGWorldPixels(world);
    if (w == 0) w = v.width - x0;
    if (h == 0) h = v.height - y0;
    long r = 0, g = 0, b = 0, n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const std::uint8_t* p = v.base + y * v.rowBytes + x * 4;
            b += p[0], g += p[1], r += p[2], ++n;
        }
    return n ? Average{int(r / n), int(g / n), int(b / n)} : Average{};
}

bool Reddish(const Average& a) { return a.r > a.g + 60 && a.r > a.b + 60; }
bool Bluish(const Average& a) { return a.b > a.r + 60 && a.b > a.g + 60; }
bool Greenish(const Average& a) { return a.g > a.r + 60 && a.g > a.b + 60; }

std::string FormatName(const KindInfoRec& info) {
    return std::string(reinterpret_cast<const char*>(info.encoding + 1), info.encoding[0]);
}

struct InfoRead {
    OSErr err = noErr;
    KindInfoRec info{};
    PicHandle thumbnail = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    ~InfoRead() {
        for (Handle h : {thumbnail, iptc, technical, recording})
            if (h) DisposeHandle(h);
    }
};

void ReadThroughEngine(const std::string& path, InfoRead* r) {
    KindFileRec file;
    FSSpec spec = SpecOf(path);
    if (KindTypeOfFileSpec(&spec, &file) != noErr) file.spec = spec;
    r->err = KindGetInfo(&file, &r->info, true, 1, 0, 160, &r->thumbnail, &r->iptc, &r->technical, &r->recording);
}

OSErr ThumbnailThroughEngine(const std::string& path, OSType type, GWorldPtr* out, SInt32 size = 160,
                             UInt16 orientation = 0) {
    FSSpec spec = SpecOf(path);
    UInt32 index = 1;
    return KindMakeThumbnail(&spec, out, size, type, &index, orientation);
}

// A scratch list that is freed with the test.
struct List {
    UserData list = nullptr;
    List() { NewUserData(&list); }
    ~List() { DisposeUserData(list); }
};

SInt32 ExifShort(UserData list, UInt16 tag) {
    std::vector<std::uint8_t> bytes;
    if (!RawTagBytes(list, ExifFieldId(tag), &bytes) || bytes.size() < 2) return -1;
    return ReadBE16(bytes.data());
}

std::pair<UInt32, UInt32> ExifRational(UserData list, UInt16 tag) {
    std::vector<std::uint8_t> bytes;
    if (!RawTagBytes(list, ExifFieldId(tag), &bytes) || bytes.size() < 8) return {0, 0};
    return {ReadBE32(bytes.data()), ReadBE32(bytes.data() + 4)};
}

std::string ItemText(UserData list, OSType type, bool asText = true) {
    Handle h = NewHandle(0);
    OSErr err = asText ? GetUserDataText(list, h, type, 1, 0) : GetUserData(list, h, type, 1);
    std::string text = err == noErr ? std::string(*h, std::size_t(GetHandleSize(h))) : std::string("(none)");
    DisposeHandle(h);
    return text;
}

// ---- registration ----------------------------------------------------------------------------

const char* const kRawExtensions[] = {"a.x3f", "a.nef", "a.dcr", "a.crw", "a.cr2", "a.orf", "a.mos",
                                     "a.srf", "a.pef", "a.raf", "a.mrw", "a.dng"};
const OSType kRawTypes[] = {'X3F ', 'NEF ', 'DCR ', 'CRW ', 'CR2 ', 'ORF ', 'MOS ', 'SRF ', 'PEF ', 'RAF ', 'MRW ', 'DNG '};

TEST(RawRegistrationTest, TheRawKindsAreRegisteredUnderEditions200And500AndNotUnder400) {
    for (SInt32 edition : {200, 400, 500}) {
        ASSERT_EQ(KindEngineInit(nullptr, 0, edition, 200), noErr);
        for (std::size_t i = 0; i < std::size(kRawTypes); ++i) {
            FSSpec spec = SpecOf(std::string("/nowhere/") + kRawExtensions[i]);
            const OSType expected = edition == 400 ? 0 : kRawTypes[i];
            EXPECT_EQ(KindTypeFromExtension(&spec, nullptr), expected) << edition << " " << kRawExtensions[i];
            if (edition != 400) { EXPECT_EQ(KindGetHandler(kRawTypes[i]), kKindHandlerBuiltin); }
        }
        KindEngineShutdown();
        KindTableClear();
    }
}

// ---- the header samples ------------------------------------------------------------------------

struct Sample {
    const char* file;
    OSType type;
    UInt32 width, height;  // 0: not checked
};

TEST_F(RawReadersTest, EveryHeaderSampleIsRecognisedReadAndThumbnailedWithoutHarm) {
    const Sample samples[] = {
        {"CanonRaw.crw", 'CRW ', 3072, 2048},  // its preview is a stub, not a JPEG
        {"CanonRaw.cr2", 'CR2 ', 0, 0},
        {"DNG.dng", 'DNG ', 3516, 2328},
        {"FujiFilm.raf", 'RAF ', 0, 0},
        {"Minolta.mrw", 'MRW ', 3272, 2456},  // the sensor size of its PRD block
        {"Nikon.nef", 'NEF ', 0, 0},
        {"Sigma.x3f", 'X3F ', 2268, 1512},
    };
    for (const Sample& s : samples) {
        SCOPED_TRACE(s.file);
        FSSpec spec = SpecOf(kSamples + s.file);
        EXPECT_EQ(KindTypeFromExtension(&spec, nullptr), s.type);
        InfoRead r;
        ReadThroughEngine(kSamples + s.file, &r);
        EXPECT_NE(r.err, kReaderDeclinesErr);
        if (s.width) {
            EXPECT_EQ(r.info.width, s.width);
            EXPECT_EQ(r.info.height, s.height);
        }
        GWorldPtr thumb = nullptr;
        ThumbnailThroughEngine(kSamples + s.file, s.type, &thumb);
        if (thumb) DisposeGWorld(thumb);
    }
}

TEST_F(RawReadersTest, TheSigmaSampleReportsItsTurnAndCameraProperties) {
    List list;
    KindInfoRec info{};
    GWorldPtr picture = nullptr;
    LastExifOrientation() = 0;
    FSSpec sigma = CheckedSpecOf(kSamples + "Sigma.x3f");
    X3fGetInfo(&sigma, &info, &picture, list.list);
    if (picture) DisposeGWorld(picture);
    EXPECT_EQ(LastExifOrientation(), 6);  // the header's 90 degrees
    EXPECT_EQ(FormatName(info), "FOVb");
    EXPECT_EQ(ItemText(list.list, kUdText_mak), "SIGMA");
    EXPECT_EQ(ExifShort(list.list, 0x8827), 100);
    EXPECT_EQ(ExifRational(list.list, 0x829A), std::make_pair(1u, 100u));  // "1/100" as the camera shows it
}

// ---- DNG: a real mosaic, its preview and the library's development --------------------------

TEST_F(RawReadersTest, ADngWithTwoSubIfdsShowsThePreviewOfTheLastAndReportsTheMosaicSize) {
    const std::string path = temp / "shot.dng";
    WriteTestDng(path, DngSpec{});
    InfoRead r;
    ReadThroughEngine(path, &r);
    ASSERT_EQ(r.err, noErr);
    EXPECT_EQ(r.info.type, OSType('DNG '));
    EXPECT_EQ(r.info.width, 64u);
    EXPECT_EQ(r.info.height, 48u);
    EXPECT_EQ(r.info.depth, 32u);
    EXPECT_EQ(FormatName(r.info), kCameraRawFormatName);
    ASSERT_NE(r.thumbnail, nullptr);
    GWorldPtr pixels = nullptr;
    ASSERT_EQ(PictureToOffscreen(r.thumbnail, k32BGRAPixelFormat, nullptr, nullptr, &pixels), noErr);
    EXPECT_TRUE(Greenish(MeanColour(pixels)));
    DisposeGWorld(pixels);

    GWorldPtr thumb = nullptr;
    KindReading().previewFlag = 0;
    ASSERT_EQ(ThumbnailThroughEngine(path, 'DNG ', &thumb, 20), noErr);
    Rect bounds = GetPortBounds(thumb);
    EXPECT_EQ(bounds.right - bounds.left, 20);  // 40 x 30 fitted into 20
    EXPECT_EQ(bounds.bottom - bounds.top, 15);
    EXPECT_TRUE(Greenish(MeanColour(thumb)));
    EXPECT_EQ(KindReading().previewFlag, 1);
    DisposeGWorld(thumb);
}

TEST_F(RawReadersTest, ADngWithOneSubIfdIsDrawnWholeAsTiffOrDevelopedWhenThatCannotBeDrawn) {
    const std::string drawable = temp / "one.dng", linear = temp / "linear.dng";
    DngSpec spec;
    spec.preview = false;
    WriteTestDng(drawable, spec);
    spec.drawableThumbnail = false;
    WriteTestDng(linear, spec);

    GWorldPtr thumb = nullptr;
    ASSERT_EQ(ThumbnailThroughEngine(drawable, 'DNG ', &thumb), noErr);
    const Average yellow = MeanColour(thumb);
    EXPECT_GT(yellow.r, 150);
    EXPECT_GT(yellow.g, 150);
    EXPECT_LT(yellow.b, 80);
    DisposeGWorld(thumb);

    // The first image is linear samples: the sensor data is developed instead.
    thumb = nullptr;
    ASSERT_EQ(ThumbnailThroughEngine(linear, 'DNG ', &thumb, 0), noErr);
    EXPECT_EQ(KindReading().previewFlag, 0);
    Rect bounds = GetPortBounds(thumb);
    const int w = bounds.right - bounds.left, h = bounds.bottom - bounds.top;
    EXPECT_GT(w, h);
    EXPECT_TRUE(Reddish(MeanColour(thumb, 2, 2, w / 2 - 6, h - 4)));
    EXPECT_TRUE(Bluish(MeanColour(thumb, w / 2 + 4, 2, w / 2 - 6, h - 4)));
    DisposeGWorld(thumb);
}

TEST_F(RawReadersTest, DevelopedPicturesFollowTheFileOrientationUnlessToldOtherwise) {
    const std::string path = temp / "turned.dng";
    DngSpec spec;
    spec.orientation = 6;  // the camera was turned a quarter to the right
    WriteTestDng(path, spec);
    FSSpec fs = CheckedSpecOf(path);
    RawFile file;
    ASSERT_EQ(file.Open(&fs), noErr);
    EXPECT_EQ(file.Facts().make, "Lyrex");
    EXPECT_EQ(file.Facts().flip, 6);

    GWorldPtr upright = nullptr;
    ASSERT_EQ(file.Develop(RawDevelopOptions{}, &upright), noErr);
    Rect b = GetPortBounds(upright);
    const int w = b.right - b.left, h = b.bottom - b.top;
    ASSERT_GT(h, w);
    // Turned right, the scene's left (red) half is on top.
    EXPECT_TRUE(Reddish(MeanColour(upright, 2, 2, w - 4, h / 2 - 6)));
    EXPECT_TRUE(Bluish(MeanColour(upright, 2, h / 2 + 4, w - 4, h / 2 - 6)));
    DisposeGWorld(upright);

    RawDevelopOptions asStored;
    asStored.flip = 0;
    asStored.size = 16;  // half size suffices, then fitted
    GWorldPtr small = nullptr;
    ASSERT_EQ(file.Develop(asStored, &small), noErr);
    b = GetPortBounds(small);
    EXPECT_EQ(b.right - b.left, 16);
    EXPECT_EQ(b.bottom - b.top, 12);
    EXPECT_TRUE(Reddish(MeanColour(small, 1, 1, 5, 10)));
    DisposeGWorld(small);
}

// Answers -128 once it has been asked twice: the development stops.
int gProgressCalls = 0;
OSErr CancelSoon(SInt32 phase, SInt32, SInt32, std::uintptr_t) {
    return phase == 1 && ++gProgressCalls >= 2 ? OSErr(userCanceledErr) : OSErr(noErr);
}

TEST_F(RawReadersTest, ADevelopmentIsCancelledByItsProgressCallback) {
    const std::string path = temp / "cancel.dng";
    WriteTestDng(path, DngSpec{});
    FSSpec fs = CheckedSpecOf(path);
    RawFile file;
    ASSERT_EQ(file.Open(&fs), noErr);
    RawDevelopOptions options;
    options.progress = CancelSoon;
    gProgressCalls = 0;
    GWorldPtr out = nullptr;
    EXPECT_EQ(file.Develop(options, &out), userCanceledErr);
    EXPECT_EQ(out, nullptr);
}

TEST_F(RawReadersTest, ADngGetsTheSidecarXmpOfItsName) {
    const std::string path = temp / "side.dng";
    WriteTestDng(path, DngSpec{});
    const std::string packet = "<?xpacket begin?><x:xmpmeta xmlns:x='adobe:ns:meta/'/><?xpacket end='w'?>";
    temp.Write("side.xmp", packet);
    List list;
    KindInfoRec info{};
    FSSpec fs = CheckedSpecOf(path);
    ASSERT_EQ(DngGetInfo(&fs, &info, nullptr, list.list), noErr);
    EXPECT_EQ(ItemText(list.list, 'XMP ', false), packet);
}

TEST_F(RawReadersTest, TheStoredPreviewBytesOfADngAreTheCamerasJpeg) {
    const std::string path = temp / "bytes.dng";
    DngSpec spec;
    WriteTestDng(path, spec);
    FSSpec fs = CheckedSpecOf(path);
    Handle jpeg = nullptr;
    ASSERT_EQ(RawPreviewBytes('DNG ', &fs, &jpeg), noErr);
    const Bytes expected = MakeJpeg(spec.previewWidth, spec.previewHeight, spec.previewColour);
    ASSERT_EQ(std::size_t(GetHandleSize(jpeg)), expected.size());
    EXPECT_EQ(std::memcmp(*jpeg, expected.data(), expected.size()), 0);
    DisposeHandle(jpeg);
}

// ---- vendor stand-ins on the library -----------------------------------------------------------

TEST(RawVendorRulesTest, ImageChoiceLensTextAndReadingTurns) {
    const std::vector<NikonImageSize> images = {{180, 120}, {636, 424}, {3008, 2000}};
    EXPECT_EQ(NikonChooseImage(images, 256), 1);
    EXPECT_EQ(NikonChooseImage(images, 3000), 2);
    EXPECT_EQ(NikonChooseImage(images, -1), 2);
    EXPECT_EQ(NikonChooseImage({}, 256), -1);
    const struct { SInt32 shortFocal, longFocal; const char* text; } lenses[] = {
        {50, 0, "50 mm"}, {50, 50, "50 mm"}, {18, 70, "18-70 mm"}, {17, 40, "17-40 mm"}, {0, 70, ""}};
    for (const auto& l : lenses) EXPECT_EQ(RawLensText(l.shortFocal, l.longFocal), l.text);
    EXPECT_EQ(KodakRotationForCode('W '), 90);
    EXPECT_EQ(KodakRotationForCode('CW'), 270);
    EXPECT_EQ(KodakRotationForCode('HV'), 180);
    EXPECT_EQ(KodakRotationForCode('H '), 0);
    const struct { SInt32 degrees; SInt16 value; } turns[] = {{90, 6}, {180, 3}, {270, 8}, {45, 0}, {0, 0}};
    for (const auto& t : turns) EXPECT_EQ(RawOrientationFromDegrees(t.degrees), t.value);
}

TEST_F(RawReadersTest, TheKodakDevelopmentTurnsWhileReadingAndRefusesOtherTurnsAndSizes) {
    const std::string path = temp / "kodak.dng";
    WriteTestDng(path, DngSpec{});
    FSSpec fs = CheckedSpecOf(path);
    RawFile file;
    ASSERT_EQ(file.Open(&fs), noErr);
    GWorldPtr out = nullptr;
    EXPECT_EQ(KodakDevelop(file, 0, 45, &out), paramErr);
    EXPECT_EQ(KodakDevelop(file, 3, 0, &out), paramErr);
    ASSERT_EQ(KodakDevelop(file, 1, 270, &out), noErr);
    Rect b = GetPortBounds(out);
    EXPECT_EQ(b.right - b.left, 24);  // half of 64 x 48, turned: the sensor's columns are rows
    EXPECT_EQ(b.bottom - b.top, 32);
    // A three-quarter turn puts the scene's left (red) half at the bottom.
    EXPECT_TRUE(Reddish(MeanColour(out, 1, 18, 22, 12)));
    DisposeGWorld(out);
}

// ---- Canon CRW -----------------------------------------------------------------------------------

TEST_F(RawReadersTest, ACrwUsesItsLargestJpegWhicheverComesFirst) {
    for (bool smallFirst : {true, false}) {
        CrwSpec spec;
        spec.smallJpeg = MakeJpeg(16, 12, {200, 20, 20});
        spec.largeJpeg = MakeJpeg(48, 32, {20, 20, 200});
        spec.smallFirst = smallFirst;
        const std::string path = temp / "canon.crw";
        WriteBytes(path, MakeCrw(spec));
        FSSpec fs = CheckedSpecOf(path);
        EXPECT_EQ(CanonRawProbe(&fs), 1);
        GWorldPtr out = nullptr;
        KindSetKodakLook(0x100);  // stored previews rather than developed pictures
        ASSERT_EQ(CanonRawMakeThumbnail(&fs, &out, kKindDisplaySize, 0), noErr) << smallFirst;
        Rect b = GetPortBounds(out);
        EXPECT_EQ(b.right - b.left, 48);
        EXPECT_TRUE(Bluish(MeanColour(out)));
        DisposeGWorld(out);
    }
}

TEST_F(RawReadersTest, ACrwGivesItsShootingDataAsMetadataAndItsTurnAsOrientation) {
    CrwSpec spec;
    spec.largeJpeg = MakeJpeg(32, 24, {90, 90, 90});
    spec.rotation = 90;
    const std::string path = temp / "facts.crw";
    WriteBytes(path, MakeCrw(spec));
    InfoRead r;
    ReadThroughEngine(path, &r);
    ASSERT_EQ(r.err, noErr);
    EXPECT_EQ(r.info.width, 3072u);
    EXPECT_EQ(r.info.height, 2048u);
    EXPECT_EQ(r.info.resolution, 180u);
    EXPECT_EQ(r.info.depth, 48u);
    EXPECT_EQ(FormatName(r.info), "Canon RAW");
    EXPECT_EQ(r.info.orientation, UInt16('W '));

    List list;
    FSSpec fs = CheckedSpecOf(path);
    LastExifOrientation() = 0;
    ASSERT_EQ(CanonCrwRead(&fs, nullptr, list.list, nullptr), noErr);
    EXPECT_EQ(ItemText(list.list, kUdText_mak), "Canon");
    EXPECT_EQ(ItemText(list.list, kUdText_mod), "Canon EOS TEST");
    EXPECT_EQ(ItemText(list.list, ExifFieldId(0x9003), false).substr(0, 19), "2001:09:09 01:46:40");
    EXPECT_EQ(ExifShort(list.list, 0x8827), 100);   // 2^(160/32) x 50 / 16
    EXPECT_EQ(ExifShort(list.list, 0x9209), 13);    // flash mode 3
    EXPECT_EQ(ExifShort(list.list, 0x8822), 4);     // exposure mode 2
    EXPECT_EQ(ExifShort(list.list, 0x9207), 3);     // metering mode 1
    EXPECT_EQ(ExifShort(list.list, 0x9208), 1);     // white balance 1
    EXPECT_EQ(ExifRational(list.list, 0x829D), std::make_pair(400u, 100u));  // 2^(128/64)
    EXPECT_EQ(ExifRational(list.list, 0x829A), std::make_pair(15u, 1000u));  // 0.5^(192/32)
    EXPECT_EQ(ExifRational(list.list, 0x920A), std::make_pair(50u, 1u));
    EXPECT_EQ(ItemText(list.list, kRawLensTextItem, false), "17-40 mm");
}

// ---- Sigma X3F -----------------------------------------------------------------------------------

TEST_F(RawReadersTest, AnX3fShowsItsWidestUncompressedPreviewAndMapsItsProperties) {
    X3fSpec spec;
    spec.rotation = 45;
    spec.images = {{64, 4, {200, 20, 20}}, {153, 6, {20, 20, 200}}, {300, 2, {20, 200, 20}, 2, 6}};
    spec.properties = {{"SH_DESC", "1/250"}, {"EXPNET", "1.5"}, {"WB_DESC", "Sunlight"}, {"FLASH", "ON"},
                       {"PMODE", "A"}, {"AEMODE", "8"}, {"AP_DESC", "5.6"}, {"FLENGTH", "35"}, {"ISO", "200"},
                       {"CAMMODEL", "SD Test"}, {"LENSMODEL", "ignored"}};
    const std::string path = temp / "s.x3f";
    WriteBytes(path, MakeX3f(spec));
    List list;
    KindInfoRec info{};
    GWorldPtr picture = nullptr;
    FSSpec fs = CheckedSpecOf(path);
    LastExifOrientation() = 3;
    ASSERT_EQ(X3fGetInfo(&fs, &info, &picture, list.list), noErr);
    EXPECT_EQ(LastExifOrientation(), 0);  // 45 degrees is no orientation
    ASSERT_NE(picture, nullptr);
    Rect b = GetPortBounds(picture);
    EXPECT_EQ(b.right - b.left, 153);
    EXPECT_TRUE(Bluish(MeanColour(picture)));
    DisposeGWorld(picture);
    EXPECT_EQ(ExifRational(list.list, 0x829A), std::make_pair(1u, 250u));
    EXPECT_EQ(ExifRational(list.list, 0x9204), std::make_pair(150u, 100u));
    EXPECT_EQ(ExifShort(list.list, 0x9208), 1);
    EXPECT_EQ(ExifShort(list.list, 0x9209), 1);
    EXPECT_EQ(ExifShort(list.list, 0x8822), 3);
    EXPECT_EQ(ExifShort(list.list, 0x9207), 4);
    EXPECT_EQ(ExifRational(list.list, 0x829D), std::make_pair(5600u, 1000u));
    EXPECT_EQ(ExifRational(list.list, 0x920A), std::make_pair(35u, 1u));
    EXPECT_EQ(ExifShort(list.list, 0x8827), 200);
    EXPECT_EQ(ItemText(list.list, kUdText_mod), "SD Test");

    // A custom white balance is light source 30.
    List custom;
    X3fApplyProperty("WB_DESC", "Custom", custom.list);
    EXPECT_EQ(ExifShort(custom.list, 0x9208), 30);
}

// ---- Fuji RAF -------------------------------------------------------------------------------------

Bytes MakeRaf(const Bytes& jpeg, std::int32_t offset, std::int32_t length) {
    Bytes file(100, 0);
    std::memcpy(file.data(), "FUJIFILMCCD-RAW 0201", 20);
    WriteBE32(file.data() + 84, std::uint32_t(offset));
    WriteBE32(file.data() + 88, std::uint32_t(length));
    file.insert(file.end(), jpeg.begin(), jpeg.end());
    return file;
}

TEST_F(RawReadersTest, ARafShowsTheJpegItsHeaderNamesWithThatJpegsSize) {
    const Bytes jpeg = MakeJpeg(40, 24, {20, 200, 20});
    const std::string path = temp / "f.raf";
    WriteBytes(path, MakeRaf(jpeg, 100, std::int32_t(jpeg.size())));
    InfoRead r;
    ReadThroughEngine(path, &r);
    ASSERT_EQ(r.err, noErr);
    EXPECT_EQ(r.info.width, 40u);
    EXPECT_EQ(r.info.height, 24u);
    EXPECT_EQ(FormatName(r.info), kCameraRawFormatName);
    ASSERT_NE(r.thumbnail, nullptr);
}

// ---- damaged files ------------------------------------------------------------------------------

struct Damage {
    const char* name;
    OSType type;
    Bytes bytes;
    OSErr info;       // the info reader's answer
};

TEST_F(RawReadersTest, DamagedFilesOfEveryFormatGiveTheirErrorCodes) {
    CrwSpec crw;
    crw.largeJpeg = MakeJpeg(16, 16, {1, 2, 3});
    const Bytes goodCrw = MakeCrw(crw);
    Bytes crwLoop = goodCrw;  // the root directory's offset points past the heap
    WriteLE32(crwLoop.data() + crwLoop.size() - 4, 0x7FFFFFF0);
    Bytes crwBadOrder = goodCrw;
    crwBadOrder[0] = 'X';
    crwBadOrder[1] = 'X';

    X3fSpec x3f;
    x3f.images = {{8, 2, {9, 9, 9}}};
    const Bytes goodX3f = MakeX3f(x3f);
    Bytes x3fV3 = goodX3f;
    WriteLE32(x3fV3.data() + 4, 0x00030000);
    Bytes x3fNoDir = goodX3f;
    WriteLE32(x3fNoDir.data() + x3fNoDir.size() - 4, 12);
    X3fSpec x3fCompressed;
    x3fCompressed.images = {{8, 2, {9, 9, 9}, 2, 6}};
    Bytes x3fTallRows = goodX3f;  // the section (after the 40 + 192 header bytes) claims more rows than it holds
    WriteLE32(x3fTallRows.data() + 232 + 20, 5000);

    const Bytes jpeg = MakeJpeg(8, 8, {1, 1, 1});
    Bytes dng;
    {
        const std::string path = temp / "good.dng";
        WriteTestDng(path, DngSpec{});
        dng = ReadBytes(path);
    }
    Bytes mrwNoMrm = {0, 'P', 'R', 'D', 0, 0, 0, 24};
    mrwNoMrm.resize(40, 0);
    Bytes mrwShortPrd = {0, 'M', 'R', 'M', 0, 0, 0, 30, 0, 'P', 'R', 'D', 0, 0, 0, 20};
    mrwShortPrd.resize(46, 0);

    const std::vector<Damage> cases = {
        {"crw cut in its header", 'CRW ', Bytes(goodCrw.begin(), goodCrw.begin() + 10), kBadMediaDataErr},
        {"crw with a directory past its heap", 'CRW ', crwLoop, kBadMediaDataErr},
        {"crw without a byte order", 'CRW ', crwBadOrder, kBadMediaDataErr},
        {"crw cut in half", 'CRW ', Bytes(goodCrw.begin(), goodCrw.begin() + goodCrw.size() / 2), kBadMediaDataErr},
        {"x3f without its mark", 'X3F ', Bytes(goodX3f.begin() + 1, goodX3f.end()), kRawFormatErr},
        {"x3f of version 3", 'X3F ', x3fV3, kRawFormatErr},
        {"x3f whose directory is elsewhere", 'X3F ', x3fNoDir, kRawFormatErr},
        {"x3f with a compressed preview only", 'X3F ', MakeX3f(x3fCompressed), resNotFound},
        {"x3f whose rows overrun their section", 'X3F ', x3fTallRows, kBadMediaDataErr},
        {"raf with another mark", 'RAF ', Bytes(40, 'F'), kRawDataErr},
        {"raf with a zero length", 'RAF ', MakeRaf(jpeg, 100, 0), kRawDataErr},
        {"raf naming bytes past its end", 'RAF ', MakeRaf(jpeg, 100, 1 << 20), kBadMediaDataErr},
        {"mrw without its MRM block", 'MRW ', mrwNoMrm, kRawNotThisLayoutErr},
        {"mrw with a short PRD block", 'MRW ', mrwShortPrd, kRawNotThisLayoutErr},
        {"dng cut after its header", 'DNG ', Bytes(dng.begin(), dng.begin() + 16), noErr},
        {"empty dng", 'DNG ', Bytes(), eofErr},
    };
    const std::string folder = temp / "damaged";
    std::filesystem::create_directories(folder);
    int n = 0;
    for (const Damage& d : cases) {
        SCOPED_TRACE(d.name);
        const std::string path = folder + "/" + std::to_string(n++) + "." + std::string(d.type == 'CRW ' ? "crw"
            : d.type == 'X3F ' ? "x3f" : d.type == 'RAF ' ? "raf" : d.type == 'MRW ' ? "mrw" : "dng");
        WriteBytes(path, d.bytes);
        InfoRead r;
        ReadThroughEngine(path, &r);
        EXPECT_EQ(r.err, d.info);
        GWorldPtr thumb = nullptr;
        const OSErr t = ThumbnailThroughEngine(path, d.type, &thumb);
        if (d.info != noErr) { EXPECT_NE(t, noErr); }
        if (t != noErr) { EXPECT_EQ(thumb, nullptr); }
        if (thumb) DisposeGWorld(thumb);
    }
}

}  // namespace
