// Building a gallery site from a catalog made here: the files and folders written, the index
// pages and their tables, names made safe, captions encoded, Japanese pages, sounds and movies,
// rebuilds, the JPEG quality and target size (read back by djpeg), the logo, frame and
// annotations, missing files, cancel, and assets a page refers to. Every page's links and
// pictures are checked to resolve to files of the site.
#include "GalleryTestSupport.h"

#include "foundation/settings/Preferences.h"
#include "foundation/settings/TypedSettings.h"
#include "media/imaging/Offscreen.h"
#include "output/html/GalleryCategoryIcons.h"
#include "output/html/GalleryRenditions.h"

#include <gif_lib.h>

#include <sstream>

namespace {

struct JpegFacts {
    int width = 0, height = 0;
    std::string pixels;  // P6 data
};

JpegFacts Decode(const std::string& path) {
    JpegFacts f;
    std::string pnm;
    if (RunTool({"djpeg", "-pnm", path}, &pnm) != 0) return f;
    std::istringstream header(pnm);
    std::string magic;
    int maxValue = 0;
    header >> magic >> f.width >> f.height >> maxValue;
    f.pixels = pnm.substr(std::size_t(header.tellg()) + 1);
    return f;
}

std::size_t FileSize(const std::string& path) { return std::size_t(std::filesystem::file_size(path)); }

}  // namespace

TEST_F(GalleryTest, SeventeenItemsInFourByFourCellsMakeTwoIndexPagesAndAPageEach) {
    std::vector<std::string> files;
    for (int i = 1; i <= 17; ++i) {
        const std::string name = "p" + std::to_string(100 + i) + ".jpg";
        Picture(name);
        files.push_back("media/" + name);
    }
    AddAndSelect(files);
    FSSpec first;
    EXPECT_EQ(Build(&first), kGalleryDone);
    EXPECT_EQ(first.path, Site("index.htm"));
    EXPECT_TRUE(Exists("index.htm"));
    EXPECT_TRUE(Exists("index2.htm"));
    EXPECT_FALSE(Exists("index3.htm"));
    EXPECT_EQ(Pages().size(), 19u);
    for (int i = 101; i <= 117; ++i) {
        EXPECT_TRUE(Exists("source/p" + std::to_string(i) + ".htm"));
        EXPECT_TRUE(Exists("preview/p" + std::to_string(i) + ".jpg"));
        EXPECT_TRUE(Exists("source/image/p" + std::to_string(i) + ".jpg"));
    }
    // Page 1: four rows of four cells of each template row; page 2: one row of one cell.
    const std::string one = Page("index.htm"), two = Page("index2.htm");
    EXPECT_EQ(Count(one, "<tr>"), 8);
    EXPECT_EQ(Count(one, "<img "), 16);
    EXPECT_EQ(Count(two, "<tr>"), 2);
    EXPECT_EQ(Count(two, "<img "), 1);
    EXPECT_NE(two.find("href=\"source/p117.htm\""), std::string::npos);
    // The navigation: the current page as text, the other as a link.
    EXPECT_NE(one.find("1-16 | <a href=\"index2.htm\" target=\"_self\">17-17</a>"), std::string::npos);
    EXPECT_NE(two.find("<a href=\"index.htm\" target=\"_self\">1-16</a> | 17-17"), std::string::npos);
    // Media pages wrap around: the first one's previous page is the last item's.
    const std::string media1 = Page("source/p101.htm");
    EXPECT_NE(media1.find("<a href=\"p117.htm\">previous</a>"), std::string::npos);
    EXPECT_NE(media1.find("<a href=\"../index.htm\">index</a>"), std::string::npos);
    EXPECT_NE(media1.find("<a href=\"p102.htm\">next</a>"), std::string::npos);
    EXPECT_NE(Page("source/p117.htm").find("<a href=\"../index2.htm\">index</a>  | <a href=\"p101.htm\">next</a>"),
              std::string::npos);
    EXPECT_TRUE(BrokenLinks().empty()) << ::testing::PrintToString(BrokenLinks());
}

TEST_F(GalleryTest, NamesWithMarkupAndUrlCharactersGiveSafeFilesAndWorkingLinks) {
    const std::vector<std::string> names = {"Beach day.jpg", "R&D \"one\" #2 100%.jpg", "Caf\xC3\xA9 cr\xC3\xA8me.jpg",
                                            "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.jpg", "a<b>'c'.jpg"};
    std::vector<std::string> files;
    for (const auto& n : names) {
        Picture(n);
        files.push_back("media/" + n);
    }
    AddAndSelect(files);
    settings.includeFileNames = 1;
    EXPECT_EQ(Build(), kGalleryDone);
    // The names shown are the files' own, letters outside Windows-1252 included.
    const std::string index = Page("index.htm");
    for (const char* shown : {">Beach day<", ">R&amp;D &quot;one&quot; #2 100%<", ">Caf&eacute; cr&egrave;me<",
                              ">&#917;&#955;&#955;&#940;&#948;&#945;<", ">a&lt;b&gt;'c'<"})
        EXPECT_NE(index.find(shown), std::string::npos) << shown;
    EXPECT_EQ(Names("site/preview"), (std::vector<std::string>{"______.jpg", "a_b__c_.jpg", "beach_day.jpg",
                                                               "cafe_creme.jpg", "r_d__one___2_100_.jpg"}));
    EXPECT_TRUE(BrokenLinks().empty()) << ::testing::PrintToString(BrokenLinks());
    for (const auto& page : Pages()) {
        // No raw markup character of a name ever lands inside an attribute.
        const std::string html = Page(page);
        EXPECT_EQ(html.find("\"one\""), std::string::npos) << page;
        EXPECT_EQ(html.find("a<b>"), std::string::npos) << page;
    }
}

TEST_F(GalleryTest, TwoFilesOfTheSameNameGetNumberedPreviewsAndPages) {
    std::filesystem::create_directories(folder / "media/other");
    Picture("Photo.JPG");
    Picture("other/Photo.JPG");
    AddAndSelect({"media/Photo.JPG", "media/other/Photo.JPG"});
    EXPECT_EQ(Build(), kGalleryDone);
    EXPECT_EQ(Names("site/preview"), (std::vector<std::string>{"photo.jpg", "photo_1.jpg"}));
    EXPECT_TRUE(Exists("source/photo.htm"));
    EXPECT_TRUE(Exists("source/photo_1.htm"));
    EXPECT_TRUE(BrokenLinks().empty()) << ::testing::PrintToString(BrokenLinks());
}

TEST_F(GalleryTest, CaptionsAreEncodedUnlessHtmlInCaptionsIsSet) {
    Picture("a.jpg");
    AddAndSelect({"media/a.jpg"});
    Annotate(1, "<b>Sun</b> & \"sea\"\r\n\xE2\x82\xAC 5", {"beach", "sea"});
    settings.includeMediaInfo = 1;
    const std::string token = "(Lyrex:Caption)";
    ASSERT_EQ(Build(), kGalleryDone);
    std::string media = Page("source/a.htm");
    EXPECT_NE(media.find("<b>Caption:</b><br>&lt;b&gt;Sun&lt;/b&gt; &amp; &quot;sea&quot;<br /><br />&euro; 5"),
              std::string::npos)
        << media;
    settings.htmlInCaptions = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    media = Page("source/a.htm");
    EXPECT_NE(media.find("<b>Caption:</b><br><b>Sun</b> & \"sea\"<br /><br />&euro; 5"), std::string::npos) << media;
}

TEST_F(GalleryTest, JapanesePagesDeclareTheCharsetTheyAreWrittenIn) {
    Picture("a.jpg");
    AddAndSelect({"media/a.jpg"});
    Annotate(1, "\xE3\x81\x82\xE3\x81\x84 caf\xC3\xA9");
    settings.includeMediaInfo = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    EXPECT_NE(Page("index.htm").find("charset=iso-8859-1\""), std::string::npos);
    settings.textEncoding = kHtmlEncodingJapanese;
    ASSERT_EQ(Build(), kGalleryDone);
    const std::string media = Page("source/a.htm");
    EXPECT_NE(media.find("charset=x-sjis\""), std::string::npos);
    EXPECT_NE(Page("index.htm").find("charset=x-sjis\""), std::string::npos);
    // The kana as Shift-JIS pairs, the letter Shift-JIS lacks as a reference.
    EXPECT_NE(media.find("\x82\xA0\x82\xA2 caf&#233;"), std::string::npos);
}

TEST_F(GalleryTest, TheSiteTitleAndColoursComeFromTheCatalogAndTheSettings) {
    Picture("a.jpg");
    AddAndSelect({"media/a.jpg"});
    GallerySetSiteTitle(catalog, "Summer & \"Sea\" \xE9t\xE9");
    settings.background = {0x1111, 0x2222, 0x3333};
    settings.link = {0xAAAA, 0xBBBB, 0xCCCC};
    settings.includeFileNames = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    const std::string index = Page("index.htm");
    EXPECT_NE(index.find("<title>Summer &amp; &quot;Sea&quot; &eacute;t&eacute;</title>"), std::string::npos);
    EXPECT_NE(index.find("bgcolor=\"#112233\""), std::string::npos);
    EXPECT_NE(index.find("link=\"#AABBCC\""), std::string::npos);
    EXPECT_NE(index.find("<font size=\"2\">a</font>"), std::string::npos) << index;
    EXPECT_NE(index.find("Made with Lyrex Ondrel&#8482; | 05/06/24"), std::string::npos) << index;
    EXPECT_NE(Page("source/a.htm").find("<title>Summer &amp; &quot;Sea&quot; &eacute;t&eacute; | 1.1</title>"),
              std::string::npos);
}

TEST_F(GalleryTest, NoItemsWriteTheFoldersButNoPageAndSendNoBrowserAnywhere) {
    MakeView(kViewList, 400, 300, false);
    GallerySetLaunchBrowserPreference(true);
    FSSpec first;
    EXPECT_EQ(Build(&first), kGalleryDone);
    EXPECT_TRUE(std::filesystem::is_directory(Site("source/image")));
    EXPECT_TRUE(std::filesystem::is_directory(Site("preview")));
    EXPECT_TRUE(Pages().empty());
    EXPECT_TRUE(first.path.empty());
    EXPECT_FALSE(GalleryShouldOpenBrowser(kGalleryDone, first));
}

TEST_F(GalleryTest, TheBrowserOpensOnlyAWrittenFirstPageAfterASuccessfulBuild) {
    Picture("a.jpg");
    AddAndSelect({"media/a.jpg"});
    FSSpec first;
    ASSERT_EQ(Build(&first), kGalleryDone);
    GallerySetLaunchBrowserPreference(false);
    EXPECT_FALSE(GalleryShouldOpenBrowser(kGalleryDone, first));
    GallerySetLaunchBrowserPreference(true);
    EXPECT_TRUE(GalleryShouldOpenBrowser(kGalleryDone, first));
    EXPECT_TRUE(GalleryShouldOpenBrowser(kGalleryMissingFiles, first));
    EXPECT_FALSE(GalleryShouldOpenBrowser(kGalleryCancelled, first));
    EXPECT_FALSE(GalleryShouldOpenBrowser(kGalleryFileError, first));
}

TEST_F(GalleryTest, SoundsAreCopiedAndARebuildReplacesAStaleCopy) {
    ASSERT_TRUE(moviefixtures::MakeSound(folder / "media/tone.wav", {"-c:a", "pcm_s16le"}));
    AddAndSelect({"media/tone.wav"});
    // A file of the same name left in the site by someone else.
    std::filesystem::create_directories(Site("source/image"));
    fixtures::WriteFile(Site("source/image/tone.wav"), "stale");
    settings.showController = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    EXPECT_EQ(TempFolder::Read(Site("source/image/tone.wav")), TempFolder::Read(folder / "media/tone.wav"));
    const std::string media = Page("source/tone.htm");
    EXPECT_NE(media.find("<param name=\"src\" value=\"./image/tone.wav\" />"), std::string::npos) << media;
    EXPECT_NE(media.find("width=\"320\" height=\"16\""), std::string::npos);
    settings.showController = 0;
    ASSERT_EQ(Build(), kGalleryDone);
    EXPECT_NE(Page("source/tone.htm").find("width=\"320\" height=\"0\""), std::string::npos);
    EXPECT_TRUE(Exists("preview/icon1.gif"));
}

TEST_F(GalleryTest, MoviesAreCopiedWithTheirHeaderFirst) {
    // A movie whose header lies at its end, as most recorders write it.
    ASSERT_TRUE(moviefixtures::MakeMovie(folder / "media/clip.mov", {"-c:v", "mpeg4"}));
    const std::string original = TempFolder::Read(folder / "media/clip.mov");
    ASSERT_GT(original.find("moov"), original.find("mdat"));
    AddAndSelect({"media/clip.mov"});
    ASSERT_EQ(Build(), kGalleryDone);
    const std::string copy = TempFolder::Read(Site("source/image/clip.mov"));
    ASSERT_FALSE(copy.empty());
    EXPECT_LT(copy.find("moov"), copy.find("mdat"));
    const auto probe = moviefixtures::ProbeFile(Site("source/image/clip.mov"));
    EXPECT_EQ(probe.at("streams.stream.0.width"), "160");
    EXPECT_NE(Page("source/clip.htm").find("<param name=\"src\" value=\"./image/clip.mov\" />"), std::string::npos);
    EXPECT_TRUE(BrokenLinks().empty()) << ::testing::PrintToString(BrokenLinks());
}

TEST_F(GalleryTest, PreviewsAndRenditionsFitTheirBoxesAtTheChosenQuality) {
    Picture("wide.jpg", 800, 400);
    AddAndSelect({"media/wide.jpg"});
    settings.thumbnailSize = 128;
    settings.mediaWidth = 320;
    settings.mediaHeight = 240;
    settings.jpegQuality = 5;
    ASSERT_EQ(Build(), kGalleryDone);
    const JpegFacts preview = Decode(Site("preview/wide.jpg"));
    EXPECT_EQ(preview.width, 128);
    EXPECT_EQ(preview.height, 64);
    const JpegFacts source = Decode(Site("source/image/wide.jpg"));
    EXPECT_EQ(source.width, 320);
    EXPECT_EQ(source.height, 160);
    const std::size_t best = FileSize(Site("source/image/wide.jpg"));
    settings.jpegQuality = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    EXPECT_LT(FileSize(Site("source/image/wide.jpg")), best);
    const std::string index = Page("index.htm");
    EXPECT_NE(index.find("width=\"128\" height=\"64\""), std::string::npos);
}

TEST_F(GalleryTest, ATargetSizeIsReachedByTheBestQualityThatFits) {
    Picture("big.jpg", 1200, 900);
    AddAndSelect({"media/big.jpg"});
    settings.mediaWidth = 1200;
    settings.mediaHeight = 900;
    auto sizeAt = [&](UInt8 quality, SInt32 targetKb) {
        settings.jpegQuality = quality;
        settings.targetKilobytes = targetKb;
        EXPECT_EQ(Build(), kGalleryDone);
        return FileSize(Site("source/image/big.jpg"));
    };
    const std::size_t least = sizeAt(1, 100), best = sizeAt(5, 100);
    ASSERT_GT(best, least + 8192);
    const SInt32 targetKb = SInt32((least + best) / 2 / 1024);
    const std::size_t fitted = sizeAt(kHtmlQualityTargetSize, targetKb);
    EXPECT_LE(fitted, std::size_t(targetKb) * 1024);
    EXPECT_GT(fitted, least);
    EXPECT_EQ(Decode(Site("source/image/big.jpg")).width, 1200);
    // A target below what the least quality makes gives the least quality.
    EXPECT_EQ(sizeAt(kHtmlQualityTargetSize, SInt32(least / 1024 / 2)), least);
}

TEST_F(GalleryTest, TheFrameIsOnePixelOfBlackAroundThePicture) {
    // Grey quadrants, the lower two light (170 and 255): the frame shows as dark edges there.
    fixtures::WriteFile(folder / "media/quads.jpg", fixtures::Jpeg(64, 64, fixtures::JpegKind::Grey));
    AddAndSelect({"media/quads.jpg"});
    settings.border = 1;
    settings.jpegQuality = 5;
    ASSERT_EQ(Build(), kGalleryDone);
    for (const char* file : {"source/image/quads.jpg", "preview/quads.jpg"}) {
        const JpegFacts f = Decode(Site(file));
        ASSERT_EQ(f.width, 64) << file;
        auto at = [&](int x, int y) { return int(std::uint8_t(f.pixels[std::size_t((y * f.width + x) * 3)])); };
        EXPECT_LT(at(0, 48), 60) << file;
        EXPECT_LT(at(48, 63), 60) << file;
        EXPECT_LT(at(63, 48), 60) << file;
        EXPECT_GT(at(48, 48), 220) << file;   // the inside is left as it was
        EXPECT_GT(at(16, 48), 140) << file;
    }
}

TEST_F(GalleryTest, TheStoredLogoIsDrawnAtItsPosition) {
    fixtures::WriteFile(folder / "media/grey.jpg", fixtures::Jpeg(200, 200, fixtures::JpegKind::Grey));
    AddAndSelect({"media/grey.jpg"});
    // A pure red 20 x 20 logo, stored as the logo setting's picture.
    const Rect bounds{0, 0, 20, 20};
    const RGBColor red{0xFFFF, 0, 0};
    GWorldPtr logo = nullptr;
    ASSERT_EQ(OffscreenNewFilled(&logo, k32BGRAPixelFormat, &bounds, &red), noErr);
    PicHandle picture = nullptr;
    ASSERT_EQ(OffscreenToPicture(logo, nullptr, Fixed(72 << 16), &picture), noErr);
    DisposeGWorld(logo);
    SaveTypedSetting('LOGO', 128, reinterpret_cast<Handle>(picture));
    DisposeHandle(reinterpret_cast<Handle>(picture));
    GetPreferences()->galleryImageLevel = 9;  // bottom right
    settings.logo = 1;
    settings.jpegQuality = 5;
    ASSERT_EQ(Build(), kGalleryDone);
    const JpegFacts f = Decode(Site("source/image/grey.jpg"));
    ASSERT_EQ(f.width, 200);
    auto pixel = [&](int x, int y) { return f.pixels.substr(std::size_t((y * f.width + x) * 3), 3); };
    const std::string logoPixel = pixel(200 - 8 - 10, 200 - 8 - 10);
    EXPECT_GT(std::uint8_t(logoPixel[0]), 200);
    EXPECT_LT(std::uint8_t(logoPixel[1]), 60);
    const std::string corner = pixel(20, 20);
    EXPECT_LT(std::abs(int(std::uint8_t(corner[0])) - int(std::uint8_t(corner[1]))), 20);
}

TEST_F(GalleryTest, AnnotationsAreWrittenIntoTheRenditionsWhenAsked) {
    Picture("a.jpg");
    AddAndSelect({"media/a.jpg"});
    Annotate(1, "At the sea", {"beach"});
    settings.embedAnnotations = 1;
    ASSERT_EQ(Build(), kGalleryDone);
    std::string out;
    RunTool({"exiftool", "-s3", "-IPTC:Caption-Abstract", Site("source/image/a.jpg")}, &out);
    EXPECT_EQ(out.substr(0, 10), "At the sea");
    EXPECT_EQ(Decode(Site("source/image/a.jpg")).width, 48);
}

TEST_F(GalleryTest, AMissingFileGivesIconsAndResultOne) {
    Picture("gone.jpg");
    Picture("here.jpg");
    AddAndSelect({"media/gone.jpg", "media/here.jpg"});
    std::filesystem::remove(folder / "media/gone.jpg");
    ASSERT_EQ(Build(), kGalleryMissingFiles);
    EXPECT_TRUE(Exists("preview/icon0.gif"));
    EXPECT_TRUE(Exists("source/image/icon0.gif"));
    EXPECT_TRUE(Exists("preview/here.jpg"));
    int error = 0;
    GifFileType* gif = DGifOpenFileName(Site("preview/icon0.gif").c_str(), &error);
    ASSERT_NE(gif, nullptr);
    ASSERT_EQ(DGifSlurp(gif), GIF_OK);
    EXPECT_EQ(gif->SWidth, 32);
    EXPECT_EQ(gif->SHeight, 32);
    DGifCloseFile(gif, &error);
    EXPECT_EQ(TempFolder::Read(Site("preview/icon0.gif")).substr(0, 6), "GIF89a");
    EXPECT_NE(Page("index.htm").find("src=\"preview/icon0.gif\" alt=\"icon0\" width=\"32\" height=\"32\""), std::string::npos);
    EXPECT_TRUE(BrokenLinks().empty()) << ::testing::PrintToString(BrokenLinks());
}

TEST_F(GalleryTest, EveryCategoryHasItsOwnIcon) {
    std::set<std::string> seen;
    for (UInt8 c = 0; c <= 8; ++c) {
        const auto gif = CategoryIconGif(c);
        ASSERT_GT(gif.size(), 30u) << int(c);
        EXPECT_EQ(std::string(gif.begin(), gif.begin() + 6), "GIF89a");
        seen.insert(std::string(gif.begin(), gif.end()));
    }
    EXPECT_EQ(seen.size(), 8u);  // category 8 and above draw as category 0
}

TEST_F(GalleryTest, CancellingDuringTheMediaPagesWritesNoIndexPage) {
    Picture("a.jpg");
    Picture("b.jpg");
    Picture("c.jpg");
    AddAndSelect({"media/a.jpg", "media/b.jpg", "media/c.jpg"});
    // Updates: the start, three renditions, the pages' start, then the first media page.
    progress.cancelAtUpdate = 6;
    EXPECT_EQ(Build(), kGalleryCancelled);
    EXPECT_TRUE(Exists("source/a.htm"));
    EXPECT_FALSE(Exists("source/b.htm"));
    EXPECT_FALSE(Exists("index.htm"));
    EXPECT_EQ(progress.title, "Generating HTML Gallery:");
    EXPECT_EQ(progress.total, 6);
    EXPECT_EQ(progress.lines, (std::vector<std::string>{"Building media folders...", "Building sources..."}));
    EXPECT_EQ(progress.ends, 1);
}

TEST_F(GalleryTest, AssetsAreCopiedFromTheSetButNeverFromOutsideIt) {
    const std::string set = sandbox.Root() + "/data/Lyrex/HTML Templates/Blue";
    std::filesystem::create_directories(set + "/assets");
    fixtures::WriteFile(set + "/index.html", "<html></html>");
    fixtures::WriteFile(set + "/assets/style.css", "body{}");
    fixtures::WriteFile(set + "/secret.txt", "secret");
    const std::string site = folder / "site";
    EXPECT_TRUE(CopyReferencedAssets("<link href=\"assets/style.css\">", site, "Blue", kGalleryTemplatesFolder));
    EXPECT_EQ(TempFolder::Read(folder / "site/assets/style.css"), "body{}");
    EXPECT_FALSE(CopyReferencedAssets("<img src=\"assets/../secret.txt\">", site, "Blue", kGalleryTemplatesFolder));
    EXPECT_FALSE(CopyReferencedAssets("<img src=\"assets/sub/x.png\">", site, "Blue", kGalleryTemplatesFolder));
    EXPECT_FALSE(CopyReferencedAssets("<img src=\"assets/..\">", site, "Blue", kGalleryTemplatesFolder));
    EXPECT_FALSE(std::filesystem::exists(folder / "site/secret.txt"));
    EXPECT_FALSE(CopyReferencedAssets("<img src=\"assets/none.png\">", site, "Blue", kGalleryTemplatesFolder));
    EXPECT_TRUE(CopyReferencedAssets("<p>no assets</p>", site, "Blue", kGalleryTemplatesFolder));
}

TEST_F(GalleryTest, PagesOfASmallCatalogMatchTheirGoldenFiles) {
    // Names with blanks, quotation marks, "&", "#", "%" and Greek letters; a caption with markup;
    // keywords; the Western and the Japanese pages. LYREX_WRITE_GOLDEN=1 rewrites the files.
    Picture("Beach day.jpg");
    Picture("R&D \"one\" #2 100%.jpg");
    Picture("\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.jpg");
    AddAndSelect({"media/Beach day.jpg", "media/R&D \"one\" #2 100%.jpg",
                  "media/\xCE\x95\xCE\xBB\xCE\xBB\xCE\xAC\xCE\xB4\xCE\xB1.jpg"});
    Annotate(1, "<b>Sun</b> & \"sea\"\r\n\xE3\x81\x82 \xE2\x82\xAC", {"beach", "caf\xE9"});
    GallerySetSiteTitle(catalog, "Summer & \"Sea\"");
    settings.columns = 2;
    settings.rows = 1;
    settings.includeFileNames = 1;
    settings.includeMediaInfo = 1;
    const std::string goldenFolder = std::string(LYREX_TEST_FIXTURES) + "/gallery/";
    const bool write = std::getenv("LYREX_WRITE_GOLDEN") != nullptr;
    for (UInt8 encoding : {UInt8(1), UInt8(kHtmlEncodingJapanese)}) {
        settings.textEncoding = encoding;
        ASSERT_EQ(Build(), kGalleryDone);
        const std::string suffix = encoding == kHtmlEncodingJapanese ? "-japanese" : "";
        for (const char* page : {"index.htm", "index2.htm", "source/beach_day.htm", "source/______.htm"}) {
            std::string golden = std::string(page);
            for (char& c : golden)
                if (c == '/') c = '-';
            golden = goldenFolder + golden.substr(0, golden.size() - 4) + suffix + ".htm";
            if (write) SettingsSandbox::WriteFile(golden, Page(page));
            EXPECT_EQ(Page(page), TempFolder::Read(golden)) << page << suffix;
        }
    }
}
