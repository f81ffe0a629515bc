// Converting pictures, checked by the programs that read the formats: djpeg for JPEG (size,
// quantisation tables of the chosen quality, density), pngcheck, tiffinfo, and exiftool for
// the metadata carried over. Then the file handling: in place (the item follows its new file),
// the questions about existing files, option-set runs, temporary files, and failures that
// leave nothing behind.
#include "ConvertTestSupport.h"

#include "output/optionsets/OptionSets.h"
#include "platform/FileFaults.h"
#include "support/ImageFixtures.h"

#include <sstream>

namespace {

const std::string kSamples = std::string(LYREX_SHARED_FIXTURES) + "/metadata-samples/";

// The first entry of the luminance table libjpeg writes for a quality (its own scaling rule).
int LuminanceDcStep(int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    return std::clamp((16 * scale + 50) / 100, 1, 255);
}

struct DjpegFacts {
    int width = 0, height = 0, firstQuant = 0;
    std::string density;
};

DjpegFacts Djpeg(const std::string& path) {
    DjpegFacts f;
    std::string pnm;
    if (RunTool({"djpeg", "-pnm", path}, &pnm) != 0) return f;
    std::istringstream header(pnm);
    std::string magic;
    header >> magic >> f.width >> f.height;
    // The tables and markers, as djpeg reports them while decoding (on standard error).
    std::string trace;
    RunTool({"sh", "-c", "djpeg -verbose -verbose \"$0\" 2>&1 >/dev/null", path}, &trace);
    const auto q = trace.find("Define Quantization Table 0");
    if (q != std::string::npos) std::istringstream(trace.substr(trace.find('\n', q))) >> f.firstQuant;
    const auto d = trace.find("density ");
    if (d != std::string::npos) f.density = trace.substr(d + 8, trace.find(' ', d + 8) - d - 8);
    return f;
}

std::string Exif(const std::string& path, const std::string& tag) {
    std::string out;
    RunTool({"exiftool", "-s3", "-" + tag, path}, &out);
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
}

}  // namespace

TEST_F(ConvertTest, AJpegScaledToFitHasTheSizeQualityAndDensityAsked) {
    fixtures::WriteFile(folder / "media/wide.jpg", fixtures::Jpeg(400, 300));
    fixtures::WriteFile(folder / "media/tall.jpg", fixtures::Jpeg(90, 120));
    AddAndSelect({"media/wide.jpg", "media/tall.jpg"});
    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Image);
    o.sizeMode = 1;
    o.width = 200;
    o.height = 200;
    o.resolutionMode = 1;
    o.dpi = 150;
    ExporterSettings s = DefaultExporterSettings('JPEG');
    s.values["quality"] = "40";
    StoreOptions(ConvertMediaKind::Image, o, &s);
    const FSSpec out = Folder("out");
    ConvertSummary summary;
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, &summary), noErr);
    EXPECT_EQ(summary.done, 2);
    const DjpegFacts wide = Djpeg(folder / "out/wide.jpg");
    EXPECT_EQ(wide.width, 200);
    EXPECT_EQ(wide.height, 150);
    EXPECT_EQ(wide.firstQuant, LuminanceDcStep(40));
    EXPECT_EQ(wide.density, "150x150");
    // A small picture is enlarged to fit as well.
    const DjpegFacts tall = Djpeg(folder / "out/tall.jpg");
    EXPECT_EQ(tall.width, 150);
    EXPECT_EQ(tall.height, 200);
    // Converting into another folder leaves the originals and the items as they were.
    EXPECT_EQ(ItemPath(1), folder / "media/wide.jpg");
    EXPECT_TRUE(std::filesystem::exists(folder / "media/wide.jpg"));
}

TEST_F(ConvertTest, PngAndTiffResultsAreReadByTheirOwnTools) {
    fixtures::WriteFile(folder / "media/a.jpg", fixtures::Jpeg(64, 48));
    AddAndSelect({"media/a.jpg"});
    const FSSpec out = Folder("out");
    for (OSType format : {OSType('PNGf'), OSType('TIFF'), OSType('BMPf')}) {
        ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Image);
        o.subType = format;
        StoreOptions(ConvertMediaKind::Image, o);
        ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, nullptr), noErr);
    }
    std::string text;
    EXPECT_EQ(RunTool({"pngcheck", "-v", folder / "out/a.png"}, &text), 0) << text;
    EXPECT_NE(text.find("64 x 48 image"), std::string::npos) << text;
    EXPECT_EQ(RunTool({"tiffinfo", folder / "out/a.tif"}, &text), 0);
    EXPECT_NE(text.find("Image Width: 64 Image Length: 48"), std::string::npos) << text;
    EXPECT_EQ(Exif(folder / "out/a.bmp", "ImageSize"), "64x48");
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"a.bmp", "a.png", "a.tif"}));
}

TEST_F(ConvertTest, ExifIptcAndXmpGoWithTheConvertedJpegAndIptcWithTheTiff) {
    std::filesystem::copy_file(kSamples + "GPS.jpg", folder / "media/GPS.jpg");
    AddAndSelect({"media/GPS.jpg"});
    const FSSpec out = Folder("out");
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, nullptr), noErr);
    const std::string jpg = folder / "out/GPS.jpg";
    EXPECT_EQ(Djpeg(jpg).width, 120);
    EXPECT_EQ(Exif(jpg, "Make"), "FUJIFILM");
    EXPECT_EQ(Exif(jpg, "GPSLatitude"), Exif(kSamples + "GPS.jpg", "GPSLatitude"));
    EXPECT_EQ(Exif(jpg, "IPTC:Keywords"), "Communications");
    EXPECT_EQ(Exif(jpg, "XMP-dc:Subject"), "Communications");

    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Image);
    o.subType = 'TIFF';
    StoreOptions(ConvertMediaKind::Image, o);
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, nullptr), noErr);
    EXPECT_EQ(Exif(folder / "out/GPS.tif", "IPTC:Keywords"), "Communications");

    // Without the option nothing is carried over.
    o.subType = 'JPEG';
    o.keepMetadata = 0;
    StoreOptions(ConvertMediaKind::Image, o);
    conflicts.answers = {kConflictReplace};
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, nullptr), noErr);
    EXPECT_EQ(Exif(jpg, "Make"), "");
    EXPECT_EQ(Exif(jpg, "IPTC:Keywords"), "");
}

TEST_F(ConvertTest, ATiffConvertedInPlaceBecomesAJpegAndTheItemFollowsIt) {
    fixtures::Tiff(folder / "media/a.tif", 40, 30, fixtures::TiffKind::RgbStrips);
    AddAndSelect({"media/a.tif"});
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, nullptr, nullptr), noErr);
    EXPECT_EQ(Names("media"), (std::vector<std::string>{"a.jpg"}));
    EXPECT_EQ(ItemPath(1), folder / "media/a.jpg");
    EXPECT_EQ(Djpeg(folder / "media/a.jpg").width, 40);
    EXPECT_TRUE(conflicts.asked.empty());
}

TEST_F(ConvertTest, AnInPlaceSourceStaysUntilItsConvertedFileIsFlushedToTheDisk) {
    fixtures::Tiff(folder / "media/a.tif", 40, 30, fixtures::TiffKind::RgbStrips);
    const std::string tif = TempFolder::Read(folder / "media/a.tif");
    AddAndSelect({"media/a.tif"});
    ConvertSummary summary;

    // The converted file's bytes cannot be flushed: nothing takes the target's name, the source stays.
    SetFileFaultHook([](SInt16, FileFaultPoint p, long) { return p == FileFaultPoint::kFlush ? OSErr(ioErr) : OSErr(noErr); });
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, nullptr, &summary), noErr);
    SetFileFaultHook({});
    ASSERT_EQ(summary.outcomes.size(), 1u);
    EXPECT_EQ(summary.outcomes[0].reason, kReasonFinishFailed);
    EXPECT_EQ(Names("media"), (std::vector<std::string>{"a.tif"}));
    EXPECT_EQ(TempFolder::Read(folder / "media/a.tif"), tif);
    EXPECT_EQ(ItemPath(1), folder / "media/a.tif");

    // The folder entry cannot be flushed: the converted file is there, and the source stays beside it.
    SetFileFaultHook([](SInt16, FileFaultPoint p, long) { return p == FileFaultPoint::kFlushFolder ? OSErr(ioErr) : OSErr(noErr); });
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, nullptr, &summary), noErr);
    SetFileFaultHook({});
    ASSERT_EQ(summary.outcomes.size(), 1u);
    EXPECT_EQ(summary.outcomes[0].reason, kReasonFinishFailed);
    EXPECT_EQ(Names("media"), (std::vector<std::string>{"a.jpg", "a.tif"}));
    EXPECT_EQ(TempFolder::Read(folder / "media/a.tif"), tif);
    EXPECT_EQ(ItemPath(1), folder / "media/a.tif");
}

TEST_F(ConvertTest, AJpegConvertedInPlaceIsReplacedWithoutAQuestion) {
    fixtures::WriteFile(folder / "media/a.jpg", fixtures::Jpeg(64, 48));
    AddAndSelect({"media/a.jpg"});
    const std::string before = TempFolder::Read(folder / "media/a.jpg");
    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Image);
    o.sizeMode = 1;
    o.width = o.height = 32;
    StoreOptions(ConvertMediaKind::Image, o);
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, nullptr, nullptr), noErr);
    EXPECT_TRUE(conflicts.asked.empty());
    EXPECT_EQ(Names("media"), (std::vector<std::string>{"a.jpg"}));
    EXPECT_EQ(Djpeg(folder / "media/a.jpg").width, 32);
}

TEST_F(ConvertTest, SkipAsksAgainForTheNextFileAndReplaceAllStopsTheQuestions) {
    for (const char* n : {"a", "b", "c", "d"}) {
        fixtures::WriteFile(folder / ("media/" + std::string(n) + ".jpg"), fixtures::Jpeg(16, 16));
        folder.Write("out/" + std::string(n) + ".jpg", "user's own file");
    }
    AddAndSelect({"media/a.jpg", "media/b.jpg", "media/c.jpg", "media/d.jpg"});
    conflicts.answers = {kConflictSkip, kConflictReplace, kConflictReplaceAll};
    const FSSpec out = Folder("out");
    ConvertSummary summary;
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, &summary), noErr);
    EXPECT_EQ(conflicts.asked, (std::vector<std::string>{"a.jpg", "b.jpg", "c.jpg"}));
    EXPECT_EQ(TempFolder::Read(folder / "out/a.jpg"), "user's own file");
    for (const char* n : {"b", "c", "d"}) EXPECT_EQ(Djpeg(folder / ("out/" + std::string(n) + ".jpg")).width, 16) << n;
    EXPECT_EQ(summary.done, 3);
    EXPECT_EQ(summary.skipped, 1);
    ASSERT_FALSE(summary.outcomes.empty());
    EXPECT_EQ(summary.outcomes[0].reason, kReasonSkippedByUser);
    // Without anyone to answer, an existing file is never replaced.
    SetConvertPrompts(nullptr);
    folder.Write("out/a.jpg", "still the user's");
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(folder / "out/a.jpg"), "still the user's");
}

TEST_F(ConvertTest, ARunFromAnOptionSetStillAsksBeforeReplacingAFile) {
    fixtures::WriteFile(folder / "media/a.jpg", fixtures::Jpeg(16, 16));
    folder.Write("out/a.png", "user's own file");
    AddAndSelect({"media/a.jpg"});
    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Image);
    o.subType = 'PNGf';
    Handle h = ConvertOptionsToHandle(o);
    FSSpec set;
    const unsigned char name[] = "\x03Web";
    ASSERT_EQ(OpenOptionSetFile('IMGC', name, &set, nullptr), fnfErr);
    SaveExportSettings(&set, h, 3, nullptr, 0, nullptr, 0);
    DisposeHandle(h);
    const FSSpec out = Folder("out");
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, name, false, &out, nullptr), noErr);
    EXPECT_EQ(conflicts.asked, (std::vector<std::string>{"a.png"}));
    EXPECT_EQ(TempFolder::Read(folder / "out/a.png"), "user's own file");
    // A refused set name converts nothing.
    const unsigned char bad[] = "\x02..";
    EXPECT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, bad, false, &out, nullptr), bdNamErr);
}

TEST_F(ConvertTest, AUsersFileNamedLikeTheOldTemporaryFileSurvivesAndNoTemporaryFileStays) {
    fixtures::WriteFile(folder / "media/a.jpg", fixtures::Jpeg(16, 16));
    folder.Write("out/~Lyrex Temporary File", "user's notes");
    AddAndSelect({"media/a.jpg"});
    const FSSpec out = Folder("out");
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, nullptr), noErr);
    EXPECT_EQ(TempFolder::Read(folder / "out/~Lyrex Temporary File"), "user's notes");
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"a.jpg", "~Lyrex Temporary File"}));
}

TEST_F(ConvertTest, FailedConversionsLeaveNoPartialFileAndTheUsersFilesUntouched) {
    fixtures::WriteFile(folder / "media/bad.jpg", fixtures::Truncate(fixtures::Jpeg(64, 48), 40));
    fixtures::WriteFile(folder / "media/good.jpg", fixtures::Jpeg(16, 16));
    folder.Write("media/notes.txt", "text");
    AddAndSelect({"media/bad.jpg", "media/good.jpg"});
    // An unreadable source fails (reason 28) and leaves nothing in the target folder.
    const FSSpec out = Folder("out");
    ConvertSummary summary;
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, &out, &summary), noErr);
    ASSERT_EQ(summary.outcomes.size(), 2u);
    EXPECT_EQ(summary.outcomes[0].reason, kReasonUnreadable);
    EXPECT_TRUE(summary.outcomes[0].failed);
    EXPECT_EQ(Names("out"), (std::vector<std::string>{"good.jpg"}));

    // The rename into place fails: the temporary file goes, the existing target and the source
    // stay, and the in-place source is not removed.
    const std::string good = TempFolder::Read(folder / "media/good.jpg");
    ConvertOptionsRec o = DefaultConvertOptions(ConvertMediaKind::Image);
    o.subType = 'PNGf';
    StoreOptions(ConvertMediaKind::Image, o);
    SetFileFaultHook([](SInt16, FileFaultPoint p, long) { return p == FileFaultPoint::kReplace ? OSErr(ioErr) : OSErr(noErr); });
    Select({2});
    ASSERT_EQ(ExportMediaFiles(ConvertMediaKind::Image, view, nullptr, false, nullptr, &summary), noErr);
    SetFileFaultHook({});
    ASSERT_EQ(summary.outcomes.size(), 1u);
    EXPECT_EQ(summary.outcomes[0].reason, kReasonFinishFailed);
    EXPECT_EQ(Names("media"), (std::vector<std::string>{"bad.jpg", "good.jpg", "notes.txt"}));
    EXPECT_EQ(TempFolder::Read(folder / "media/good.jpg"), good);
    EXPECT_EQ(ItemPath(2), folder / "media/good.jpg");
}
