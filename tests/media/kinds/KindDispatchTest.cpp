// Reading files through the dispatch: the reader's answer and the file hook, thumbnails of
// real camera files turned upright, the stored thumbnail picture, metadata gathering, and
// every sample file passing through recognition and reading.
#include "media/imaging/Offscreen.h"
#include "media/imaging/PixelServices.h"
#include "media/kinds/CatalogThumbnail.h"
#include "media/kinds/KindDispatch.h"
#include "media/kinds/KindTable.h"
#include "media/metadata/IptcBlock.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/imaging/GraphicsImporter.h"
#include "platform/movies/MovieSource.h"
#include "support/FileSpecs.h"
#include "support/ImageFixtures.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <dirent.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";
const std::string kOrientation = std::string(LYREX_SHARED_FIXTURES) + "/orientation/";

std::string PStr(const unsigned char* p) {
    return std::string(reinterpret_cast<const char*>(p + 1), p[0]);
}

// Everything KindGetInfo hands back, freed together.
struct Reading {
    OSErr err = noErr;
    KindInfoRec info{};
    PicHandle thumbnail = nullptr;
    Handle iptc = nullptr, technical = nullptr, recording = nullptr;
    ~Reading() {
        for (Handle h : {thumbnail, iptc, technical, recording})
            if (h) DisposeHandle(h);
    }
};

void Read(const std::string& path, Reading* r, bool applyOrientation = true, UInt32 optionB = 1, SInt32 size = 160) {
    KindFileRec file;
    FSSpec s = SpecOf(path);
    OSErr err = KindTypeOfFileSpec(&s, &file);
    if (err != noErr) file.spec = s;
    r->err = KindGetInfo(&file, &r->info, applyOrientation, 1, optionB, size, &r->thumbnail, &r->iptc, &r->technical,
                         &r->recording);
}

class KindDispatchTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(KindEngineInit(nullptr, 0, 400, 200), noErr); }
    void TearDown() override {
        KindSetFileHook(nullptr);
        KindEngineShutdown();
        KindTableClear();
    }
};

// A reader family that declines every file, and a file hook that records its calls.
std::vector<std::string> gHookCalls;
void RecordingHook(const KindFileRec* f) {
    gHookCalls.push_back(f ? f->spec.path : std::string("(null)"));
}
OSErr Declines(const FSSpec*, KindInfoRec*, PicHandle*, GWorldPtr*, UserData, Handle*, UInt32, UInt32, SInt32) {
    return kReaderDeclinesErr;
}

TEST_F(KindDispatchTest, AReaderThatDeclinesLeavesEverythingEmptyAndTheHookSeesTheFileThenNull) {
    KindRegister('NOPE', kKindHandlerWebPage, "Declined", kKindCategoryHTML);
    KindSetHandlerReaders(kKindHandlerWebPage, Declines, nullptr);
    KindSetFileHook(RecordingHook);
    gHookCalls.clear();
    TempFolder t;
    KindFileRec file;
    file.type = 'NOPE';
    file.spec = SpecOf(t.Write("a.nope", "some bytes"));
    Reading r;
    r.err = KindGetInfo(&file, &r.info, true, 1, 1, 160, &r.thumbnail, &r.iptc, &r.technical, &r.recording);
    EXPECT_EQ(r.err, kReaderDeclinesErr);
    EXPECT_EQ(r.thumbnail, nullptr);
    EXPECT_EQ(r.iptc, nullptr);
    EXPECT_EQ(r.technical, nullptr);
    EXPECT_EQ(r.recording, nullptr);
    ASSERT_EQ(gHookCalls.size(), 2u);
    EXPECT_EQ(gHookCalls[0], file.spec.path);
    EXPECT_EQ(gHookCalls[1], "(null)");
    KindSetHandlerReaders(kKindHandlerWebPage, nullptr, nullptr);
}

TEST_F(KindDispatchTest, ThumbnailRequestsForKindsWithoutAMakerAndForMissingFiles) {
    TempFolder t;
    KindRegister('CUST', kKindHandlerCustom, "Custom", 0);
    FSSpec custom = SpecOf(t.Write("a.cust", "x"));
    GWorldPtr w = nullptr;
    UInt32 index = 1;
    EXPECT_EQ(KindMakeThumbnail(&custom, &w, 160, 'CUST', &index, 0), kNoMediaReaderErr);
    EXPECT_EQ(KindMakeThumbnail(&custom, &w, 160, 'MooV', &index, 0), kMovieNotFoundErr);  // not a movie
    FSSpec missing = SpecOf(t / "gone.jpg");
    EXPECT_EQ(KindMakeThumbnail(&missing, &w, 160, 'JPEG', &index, 0), fnfErr);
    EXPECT_EQ(w, nullptr);
}

// A thumbnail picture back as pixels.
GWorldPtr Pixels(PicHandle pic) {
    GWorldPtr w = nullptr;
    EXPECT_EQ(PictureToOffscreen(pic, k32BGRAPixelFormat, nullptr, nullptr, &w), noErr);
    return w;
}

double MeanDifference(GWorldPtr a, GWorldPtr b) {
    PixelView va = GetGWorldPixels(a), vb = GetGWorldPixels(b);
    if (va.width != vb.width || va.height != vb.height) return 1e9;
    double sum = 0;
    for (int y = 0; y < va.height; ++y)
        for (int x = 0; x < va.width; ++x)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(int(va.base[y * va.rowBytes + x * 4 + c]) - int(vb.base[y * vb.rowBytes + x * 4 + c]));
    return sum / (double(va.width) * va.height * 3);
}

TEST_F(KindDispatchTest, EveryOrientationOfTheCameraFilesGivesTheSameUprightLandscapeThumbnail) {
    Reading upright;
    Read(kOrientation + "landscape_1.jpg", &upright);
    ASSERT_EQ(upright.err, noErr);
    ASSERT_NE(upright.thumbnail, nullptr);
    GWorldPtr reference = Pixels(upright.thumbnail);
    const UInt16 codes[9] = {0, 0, 'H ', 'HV', 'V ', 'CF', 'W ', 'WF', 'CW'};
    for (int n = 1; n <= 8; ++n) {
        Reading r;
        Read(kOrientation + "landscape_" + std::to_string(n) + ".jpg", &r);
        ASSERT_EQ(r.err, noErr) << n;
        EXPECT_EQ(r.info.orientation, codes[n]) << n;
        ASSERT_NE(r.thumbnail, nullptr);
        Rect frame{};
        PictureGetFrame(r.thumbnail, &frame);
        EXPECT_EQ(frame.right, 160) << n;   // landscape: the width is the long side
        EXPECT_EQ(frame.bottom, 120) << n;
        GWorldPtr w = Pixels(r.thumbnail);
        EXPECT_LT(MeanDifference(w, reference), 12.0) << "orientation " << n;
        DisposeGWorld(w);
        // Without applying the orientation, the sideways files stay sideways.
        Reading raw;
        Read(kOrientation + "landscape_" + std::to_string(n) + ".jpg", &raw, false);
        Rect rawFrame{};
        PictureGetFrame(raw.thumbnail, &rawFrame);
        EXPECT_EQ(raw.info.orientation, 0) << n;
        EXPECT_EQ(rawFrame.right > rawFrame.bottom, n <= 4) << n;
    }
    DisposeGWorld(reference);
}

TEST_F(KindDispatchTest, ViewThumbnailsOfTheCameraFilesAtTheRequestedSizeAndOrientation) {
    for (int n : {1, 6, 8}) {
        FSSpec s = SpecOf(kOrientation + "landscape_" + std::to_string(n) + ".jpg");
        GWorldPtr w = nullptr;
        UInt32 index = 0;
        const UInt16 codes[9] = {0, 0, 'H ', 'HV', 'V ', 'CF', 'W ', 'WF', 'CW'};
        ASSERT_EQ(KindMakeThumbnail(&s, &w, 200, 'JPEG', &index, codes[n]), noErr);
        EXPECT_EQ(index, 1u);
        Rect r = GetPortBounds(w);
        EXPECT_EQ(r.right, 200) << n;
        EXPECT_EQ(r.bottom, 150) << n;
        DisposeGWorld(w);
        ASSERT_EQ(KindMakeThumbnail(&s, &w, kKindDisplaySize, 'JPEG', &index, 0), noErr);
        r = GetPortBounds(w);
        EXPECT_EQ(std::max(r.right, r.bottom), 600) << n;  // its own size
        DisposeGWorld(w);
    }
}

TEST_F(KindDispatchTest, TheStoredThumbnailIsAPictureHoldingAJpegAt72DpiThatOurReadersDecode) {
    Reading r;
    Read(kOrientation + "landscape_1.jpg", &r);
    ASSERT_NE(r.thumbnail, nullptr);
    const auto* b = reinterpret_cast<const std::uint8_t*>(*r.thumbnail);
    std::size_t size = std::size_t(GetHandleSize(r.thumbnail));
    PictureFacts facts;
    ASSERT_EQ(ExaminePicture(b, size, &facts), noErr);
    EXPECT_EQ(facts.version, 2);
    EXPECT_EQ(facts.compressedCodec, OSType('jpeg'));
    EXPECT_EQ(facts.hRes, 72 << 16);
    // The image description of the compressed image: 'jpeg', high quality, depth 24.
    std::size_t idsc = 0;
    for (std::size_t i = 40; i + 4 < size; i += 2)
        if (ReadBE16(b + i) == 0x8200) {
            idsc = i + 2 + 4 + 68;
            break;
        }
    ASSERT_NE(idsc, 0u);
    EXPECT_EQ(ReadBE32(b + idsc + 4), OSType('jpeg'));
    EXPECT_EQ(ReadBE32(b + idsc + 28), 0x300u);
    EXPECT_EQ(ReadBE16(b + idsc + 82), 24);
    EXPECT_EQ(ReadBE32(b + idsc + 36), 72u << 16);

    // The same picture read back through the picture importer, as a file would be.
    GraphicsImportComponent gi = nullptr;
    ASSERT_EQ(GetGraphicsImporterForHandle(r.thumbnail, &gi), noErr);
    EXPECT_EQ(GraphicsImportGetSubtype(gi), OSType('PICT'));
    Rect bounds;
    ASSERT_EQ(GraphicsImportGetNaturalBounds(gi, &bounds), noErr);
    EXPECT_EQ(bounds.right, 160);
    GWorldPtr w = nullptr;
    ASSERT_EQ(NewGWorldFromFormat(&w, 32, &bounds), noErr);
    GraphicsImportSetGWorld(gi, w);
    ASSERT_EQ(GraphicsImportDraw(gi), noErr);
    GWorldPtr direct = Pixels(r.thumbnail);
    EXPECT_LT(MeanDifference(w, direct), 1.0);
    DisposeGWorld(w);
    DisposeGWorld(direct);
    CloseGraphicsImporter(gi);
}

TEST_F(KindDispatchTest, LookAlikeSignaturesOfThumbnails) {
    Reading a, b, c, d;
    Read(kOrientation + "landscape_1.jpg", &a);
    Read(kOrientation + "landscape_6.jpg", &b);   // the same picture stored turned
    Read(kOrientation + "gps_DSCN0010.jpg", &c);  // another picture
    Read(kOrientation + "gps_DSCN0021.jpg", &d);
    UInt8 sa[100], sb[100], sc[100], sd[100];
    ASSERT_EQ(PictureSignature(a.thumbnail, sa, 100), noErr);
    ASSERT_EQ(PictureSignature(b.thumbnail, sb, 100), noErr);
    ASSERT_EQ(PictureSignature(c.thumbnail, sc, 100), noErr);
    ASSERT_EQ(PictureSignature(d.thumbnail, sd, 100), noErr);
    for (long level : {0, 1, 2}) EXPECT_TRUE(PictureSignatureCompare(sa, sb, 100, 0, level)) << level;
    EXPECT_FALSE(PictureSignatureCompare(sa, sc, 100, 0, 1));
    EXPECT_FALSE(PictureSignatureCompare(sc, sd, 100, 0, 0));
    // A brighter copy is alike only when brightness is ignored.
    UInt8 bright[100];
    for (int i = 0; i < 100; ++i) bright[i] = UInt8(std::min(255, sa[i] + 30));
    EXPECT_FALSE(PictureSignatureCompare(sa, bright, 100, 0, 1));
    EXPECT_TRUE(PictureSignatureCompare(sa, bright, 100, 1, 1));
}

TEST_F(KindDispatchTest, InformationOfEachImageFormat) {
    using namespace fixtures;
    TempFolder t;
    std::vector<std::uint8_t> none;
    Tiff(t / "cmyk.tif", 40, 30, TiffKind::Cmyk, 1, 200);
    Tiff(t / "pages.tif", 8, 8, TiffKind::RgbStrips, 3);
    struct {
        std::string path;
        UInt32 width, height, depth, resolution, pages;
        OSType space;
        const char* encoding;
    } cases[] = {
        {WriteFile(t / "a.jpg", Jpeg(64, 48, JpegKind::Rgb, 90, 300)), 64, 48, 24, 300, 1, 'RGB ', "Photo - JPEG"},
        {WriteFile(t / "g.jpg", Jpeg(32, 32, JpegKind::Grey)), 32, 32, 8, 72, 1, 'GRAY', "Photo - JPEG"},
        {WriteFile(t / "c.jpg", Jpeg(32, 32, JpegKind::AdobeCmyk)), 32, 32, 32, 72, 1, 'CMYK', "Photo - JPEG"},
        {WriteFile(t / "p.png", Png(20, 10, PngKind::Palette, 150)), 20, 10, 2, 150, 1, 'INDX', "PNG"},
        {WriteFile(t / "a.psd", Photoshop(20, 10, PsdKind::RgbRle)), 20, 10, 24, 300, 1, 'RGB ', "Photoshop"},
        {WriteFile(t / "a.bmp", Bmp(20, 10, BmpKind::Rgb24BottomUp)), 20, 10, 24, 72, 1, 'RGB ', "BMP"},
        {WriteFile(t / "a.tga", Targa(20, 10, true, false)), 20, 10, 24, 72, 1, 'RGB ', "Targa"},
        {WriteFile(t / "a.sgi", Sgi(20, 10, true)), 20, 10, 24, 72, 1, 'RGB ', "SGI"},
        {WriteFile(t / "a.mac", MacPaint(false)), 576, 720, 1, 72, 1, 'BW  ', "MacPaint"},
        {t / "cmyk.tif", 40, 30, 32, 200, 1, 'CMYK', "TIFF"},
        {t / "pages.tif", 8, 8, 24, 72, 3, 'RGB ', "TIFF"},
        {kSamples + "Jpeg2000.jp2", 16, 16, 24, 72, 1, 'RGB ', "JPEG 2000"},
        {kSamples + "PICT.pict", 8, 8, 32, 72, 1, 'RGB ', "QuickDraw"},
    };
    for (auto& c : cases) {
        Reading r;
        Read(c.path, &r);
        EXPECT_EQ(r.err, noErr) << c.path;
        EXPECT_EQ(r.info.width, c.width) << c.path;
        EXPECT_EQ(r.info.height, c.height) << c.path;
        EXPECT_EQ(r.info.depth, c.depth) << c.path;
        EXPECT_EQ(r.info.resolution, c.resolution) << c.path;
        EXPECT_EQ(r.info.pages, c.pages) << c.path;
        EXPECT_EQ(r.info.colorSpace, c.space) << c.path;
        EXPECT_EQ(PStr(r.info.encoding), c.encoding) << c.path;
        EXPECT_EQ(r.info.poster, 1u) << c.path;
        EXPECT_NE(r.thumbnail, nullptr) << c.path;
        EXPECT_EQ(r.info.sampleColor & 0xFF, 0xFFu) << c.path;
    }
}

TEST_F(KindDispatchTest, ATiffOfMoreThan512ImagesReportsOnePage) {
    TempFolder t;
    fixtures::Tiff(t / "many.tif", 1, 1, fixtures::TiffKind::Grey, 513);
    Reading r;
    Read(t / "many.tif", &r);
    EXPECT_EQ(r.err, noErr);
    EXPECT_EQ(r.info.pages, 1u);
}

TEST_F(KindDispatchTest, ADamagedJpegThatTheImporterRefusesIsReadByTheOwnReader) {
    TempFolder t;
    std::string whole = fixtures::Jpeg(256, 192);
    std::size_t sos = whole.find("\xFF\xDA");
    std::string path = fixtures::WriteFile(t / "cut.jpg", fixtures::Truncate(whole, sos + (whole.size() - sos) / 2));
    Reading r;
    Read(path, &r);
    EXPECT_EQ(r.err, noErr);
    EXPECT_EQ(PStr(r.info.encoding), "Photo * JPEG");
    EXPECT_EQ(r.info.width, 256u);
    EXPECT_EQ(r.info.depth, 24u);
    EXPECT_NE(r.info.compression, 0u);
    EXPECT_NE(r.thumbnail, nullptr);
    FSSpec s = SpecOf(path);
    GWorldPtr w = nullptr;
    UInt32 index = 1;
    EXPECT_EQ(KindMakeThumbnail(&s, &w, 64, 'JPEG', &index, 0), noErr);
    DisposeGWorld(w);
    // Data that is no JPEG at all stays an error.
    std::string junk = fixtures::WriteFile(t / "junk.jpg", "\xFF\xD8\xFF garbage that is not a JPEG stream");
    Reading bad;
    Read(junk, &bad);
    EXPECT_EQ(bad.err, kBadMediaDataErr);
}

TEST_F(KindDispatchTest, TheExifThumbnailServesWhenPreviewsAreAllowed) {
    // Camera JPEGs carry a 160 x 120 EXIF thumbnail; allowed (option B 0), it is what the
    // catalog thumbnail is made from, and it is never enlarged to a larger size.
    Reading withPreview, fullImage;
    Read(kOrientation + "gps_DSCN0010.jpg", &withPreview, true, 0, 256);
    Read(kOrientation + "gps_DSCN0010.jpg", &fullImage, true, 1, 256);
    ASSERT_NE(withPreview.thumbnail, nullptr);
    ASSERT_NE(fullImage.thumbnail, nullptr);
    Rect a{}, b{};
    PictureGetFrame(withPreview.thumbnail, &a);
    PictureGetFrame(fullImage.thumbnail, &b);
    EXPECT_EQ(a.right, 160);
    EXPECT_EQ(b.right, 256);
    EXPECT_EQ(withPreview.info.width, 640u);  // the facts are the image's all the same
}

// A JPEG with a Photoshop thumbnail resource (1036) of a w x h picture in an APP13 segment
// inserted at `at`.
std::string WithPhotoshopThumbnail(std::string jpeg, std::size_t at, int w, int h) {
    using fixtures::detail::Put16BE;
    using fixtures::detail::Put32BE;
    const std::string thumb = fixtures::Jpeg(w, h);
    std::string data;
    for (std::uint32_t v : {1u, std::uint32_t(w), std::uint32_t(h), std::uint32_t(w * 3), std::uint32_t(w * h * 3),
                            std::uint32_t(thumb.size())})
        Put32BE(data, v);
    Put16BE(data, 24);
    Put16BE(data, 1);
    data += thumb;
    std::string payload("Photoshop 3.0\0" "8BIM\x04\x0C\0\0", 22);
    Put32BE(payload, std::uint32_t(data.size()));
    payload += data;
    if (data.size() & 1) payload.push_back('\0');
    std::string segment("\xFF\xED", 2);
    Put16BE(segment, unsigned(payload.size() + 2));
    return jpeg.insert(at, segment + payload);
}

TEST_F(KindDispatchTest, EmbeddedPreviewsComeFromTheExifThumbnailThenThePhotoshopOne) {
    TempFolder t;
    std::ifstream in(kOrientation + "gps_DSCN0010.jpg", std::ios::binary);
    const std::string camera((std::istreambuf_iterator<char>(in)), {});
    ASSERT_GT(camera.size(), 100u);
    const std::size_t afterApp1 = 4 + ReadBE16(reinterpret_cast<const std::uint8_t*>(camera.data()) + 4);
    ASSERT_EQ(std::uint8_t(camera[3]), 0xE1);  // the file opens with its EXIF segment
    struct Case {
        const char* name;
        std::string bytes;
        OSErr expected;
        std::int16_t width;
    } cases[] = {
        {"EXIF thumbnail", camera, noErr, 160},
        {"EXIF and Photoshop thumbnails", WithPhotoshopThumbnail(camera, 2 + afterApp1, 24, 12), noErr, 160},
        {"Photoshop thumbnail only", WithPhotoshopThumbnail(fixtures::Jpeg(64, 32), 2, 24, 12), noErr, 24},
        {"no thumbnail", fixtures::Jpeg(64, 32), resNotFound, 0},
    };
    for (const Case& c : cases) {
        const std::string path = fixtures::WriteFile(t / "p.jpg", c.bytes);
        FSSpec s = SpecOf(path);
        PicHandle picture = nullptr;
        EXPECT_EQ(KindGetEmbeddedPreview(&s, 'JPEG', &picture), c.expected) << c.name;
        EXPECT_EQ(picture != nullptr, c.width != 0) << c.name;
        if (!picture) continue;
        Rect frame{};
        PictureGetFrame(picture, &frame);
        EXPECT_EQ(frame.right - frame.left, c.width) << c.name;
        DisposeHandle(picture);
    }
}

TEST_F(KindDispatchTest, MetadataGoesIntoTheIptcBlockAndTheTechnicalList) {
    Reading r;
    Read(kSamples + "IPTC.jpg", &r);
    ASSERT_EQ(r.err, noErr);
    ASSERT_NE(r.iptc, nullptr);
    EXPECT_GT(GetHandleSize(r.iptc), 0);
    Reading camera;
    Read(kSamples + "Canon.jpg", &camera);
    ASSERT_NE(camera.technical, nullptr);
    UserData list = nullptr;
    ASSERT_EQ(NewUserDataFromHandle(camera.technical, &list), noErr);
    EXPECT_GT(CountUserDataType(list, 0xA96D616B), 0);  // the camera maker
    bool exif = false;
    for (OSType t = OSType(GetNextUserDataType(list, 0)); t; t = OSType(GetNextUserDataType(list, t)))
        if ((t >> 16) == 0x6578) exif = true;
    EXPECT_TRUE(exif);
    DisposeUserData(list);
}

TEST_F(KindDispatchTest, WritingAnnotationsIntoAKindWithoutAWriterChangesNothing) {
    TempFolder t;
    std::string png = fixtures::Png(8, 8, fixtures::PngKind::Rgb);
    std::string path = fixtures::WriteFile(t / "a.png", png);
    FSSpec s = SpecOf(path);
    Handle iptc = NewHandle(0);
    IptcSetDataset(0x0278, 1, "caption", 7, iptc, 1, 0x1C);
    EXPECT_EQ(KindWriteMetadata(&s, iptc, nullptr, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(path), png);
    DisposeHandle(iptc);
}

TEST_F(KindDispatchTest, EverySampleFilePassesThroughRecognitionAndReading) {
    DIR* dir = opendir(kSamples.c_str());
    ASSERT_NE(dir, nullptr);
    int files = 0;
    while (dirent* e = readdir(dir)) {
        std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        ++files;
        Reading r;
        Read(kSamples + name, &r);
        // Whatever the kind: an answer, never a crash; images known to us are read.
        // Movies and documents add their own: -1 from the Windows media probe, -192 for a
        // document without a thumbnail, the movie layer's codes for movies it cannot use.
        EXPECT_TRUE(r.err == noErr || r.err == kReaderDeclinesErr || r.err == kBadMediaDataErr ||
                    r.err == kNoImporterForTypeErr || r.err == fnfErr || r.err == -1 || r.err == resNotFound ||
                    r.err == kMovieNotFoundErr || r.err == kMovieInvalidErr)
            << name << " " << r.err;
        FSSpec s = SpecOf(kSamples + name);
        GWorldPtr w = nullptr;
        UInt32 index = 1;
        KindMakeThumbnail(&s, &w, 96, KindTypeFromExtension(&s, nullptr), &index, 0);
        if (w) DisposeGWorld(w);
    }
    closedir(dir);
    EXPECT_GT(files, 40);
}

}  // namespace
