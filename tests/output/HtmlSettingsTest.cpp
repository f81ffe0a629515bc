// The gallery's settings record: its stored bytes, the defaults, the repairs made on loading,
// saving (and a failed save reported), the template-set check, the codes of the sheet's
// lists, and the site title kept in the catalog.
#include "GalleryTestSupport.h"

#include "foundation/settings/ProgramKey.h"
#include "foundation/settings/RegistryKey.h"
#include "output/html/GalleryRenditions.h"
#include "output/html/HtmlTemplates.h"

#include <cstring>

namespace {

template <typename T>
T At(const HtmlSettingsRec& r, std::size_t offset) {
    T v;
    std::memcpy(&v, reinterpret_cast<const UInt8*>(&r) + offset, sizeof v);
    return v;
}

void Store(const void* bytes, std::size_t size) {
    CRegistryKey key;
    ASSERT_TRUE(OpenUserKey(&key, kRegHTMLSettings));
    ASSERT_TRUE(key.WriteBinary(kRegHTMLSettings, bytes, DWORD(size)));
}

}  // namespace

using HtmlSettingsTest = GalleryTest;

TEST_F(HtmlSettingsTest, TheDefaultsLieAtTheirOffsets) {
    const HtmlSettingsRec d = HtmlSettingsDefaults();
    EXPECT_EQ(At<UInt32>(d, 0), 0x20001u);
    const struct {
        std::size_t offset;
        int value;
    } bytes[] = {{4, 0}, {5, 0}, {6, 0}, {7, 1}, {10, 2}, {11, 0}, {12, 0}, {13, 1}, {14, 0}, {15, 0}, {20, 0},
                 {92, 0}, {93, 0}, {94, 2}, {95, 2}, {124, 1}, {125, 1}, {126, 0}, {127, 1}};
    for (const auto& b : bytes) EXPECT_EQ(At<UInt8>(d, b.offset), b.value) << b.offset;
    EXPECT_EQ(At<SInt16>(d, 8), 96);
    EXPECT_EQ(At<UInt32>(d, 16), 1u);
    EXPECT_EQ(At<SInt32>(d, 84), 4);
    EXPECT_EQ(At<SInt32>(d, 88), 4);
    EXPECT_EQ(At<SInt16>(d, 96), 640);
    EXPECT_EQ(At<SInt16>(d, 98), 480);
    const UInt16 colours[] = {0xFFFF, 0xFFFF, 0xFFFF, 0, 0, 0xFFFF, 0, 0, 0, 0xEEEE, 0xEEEE, 0xEEEE};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(At<UInt16>(d, std::size_t(100 + 2 * i)), colours[i]) << i;
    EXPECT_EQ(At<SInt32>(d, 128), 100);
    for (std::size_t o = 132; o < sizeof d; ++o) ASSERT_EQ(At<UInt8>(d, o), 0) << o;
}

TEST_F(HtmlSettingsTest, LoadingRepairsValuesOutOfRange) {
    const struct {
        void (*change)(HtmlSettingsRec*);
        void (*check)(const HtmlSettingsRec&);
    } cases[] = {
        {[](HtmlSettingsRec* s) { s->rows = -2; }, [](const HtmlSettingsRec& s) { EXPECT_EQ(s.rows, 4); EXPECT_EQ(s.columns, 4); }},
        {[](HtmlSettingsRec* s) { s->columns = 0; s->rows = 7; }, [](const HtmlSettingsRec& s) { EXPECT_EQ(s.columns, 4); EXPECT_EQ(s.rows, 7); }},
        {[](HtmlSettingsRec* s) { s->thumbnailSize = 8; }, [](const HtmlSettingsRec& s) { EXPECT_EQ(s.thumbnailSize, 96); }},
        {[](HtmlSettingsRec* s) { s->thumbnailSize = 512; }, [](const HtmlSettingsRec& s) { EXPECT_EQ(s.thumbnailSize, 512); }},
        {[](HtmlSettingsRec* s) { s->mediaWidth = 20000; s->mediaHeight = 15; },
         [](const HtmlSettingsRec& s) { EXPECT_EQ(s.mediaWidth, 640); EXPECT_EQ(s.mediaHeight, 480); }},
        {[](HtmlSettingsRec* s) { s->previewFit = 1; s->mediaFit = 7; },
         [](const HtmlSettingsRec& s) { EXPECT_EQ(s.previewFit, 2); EXPECT_EQ(s.mediaFit, 2); }},
        {[](HtmlSettingsRec* s) { s->previewFit = 3; s->mediaFit = 1; },
         [](const HtmlSettingsRec& s) { EXPECT_EQ(s.previewFit, 3); EXPECT_EQ(s.mediaFit, 1); }},
        {[](HtmlSettingsRec* s) { s->targetKilobytes = 0; }, [](const HtmlSettingsRec& s) { EXPECT_EQ(s.targetKilobytes, 100); }},
    };
    for (const auto& c : cases) {
        HtmlSettingsRec s = HtmlSettingsDefaults();
        c.change(&s);
        Store(&s, sizeof s);
        HtmlSettingsRec loaded;
        EXPECT_TRUE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
        c.check(loaded);
    }
}

TEST_F(HtmlSettingsTest, AMissingShortOrOtherVersionRecordGivesTheDefaults) {
    HtmlSettingsRec loaded;
    loaded.columns = 9;
    EXPECT_TRUE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
    EXPECT_EQ(std::memcmp(&loaded, &settings, sizeof loaded), 0);
    HtmlSettingsRec other = HtmlSettingsDefaults();
    other.version = 0x20000;
    other.columns = 9;
    Store(&other, sizeof other);
    EXPECT_TRUE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
    EXPECT_EQ(loaded.columns, 4);
    other.version = kHtmlSettingsVersion;
    Store(&other, 600);
    EXPECT_TRUE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
    EXPECT_EQ(loaded.columns, 4);
}

TEST_F(HtmlSettingsTest, ASavedRecordLoadsAsItWasSaved) {
    HtmlSettingsRec s = HtmlSettingsDefaults();
    s.version = 7;
    s.columns = 5;
    s.jpegQuality = 4;
    s.textEncoding = 2;
    s.link = {0x1212, 0x3434, 0x5656};
    ASSERT_EQ(SaveHtmlSettings(&s), noErr);
    EXPECT_EQ(s.version, kHtmlSettingsVersion);
    HtmlSettingsRec loaded;
    ASSERT_TRUE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
    EXPECT_EQ(std::memcmp(&loaded, &s, sizeof s), 0);
}

TEST_F(HtmlSettingsTest, AFailedSaveIsReported) {
    // The per-user store cannot be made where a file stands in the way.
    fixtures::WriteFile(sandbox.Root() + "/blocked", "x");
    sandbox.Set("XDG_CONFIG_HOME", sandbox.Root() + "/blocked");
    RegistryForgetCachedStores();
    HtmlSettingsRec s = HtmlSettingsDefaults();
    EXPECT_NE(SaveHtmlSettings(&s), noErr);
}

TEST_F(HtmlSettingsTest, ATemplateSetThatCannotBeFoundIsCleared) {
    HtmlSettingsRec s = HtmlSettingsDefaults();
    s.templateChoice = 3;
    s.templateSet[0] = 4;
    std::memcpy(s.templateSet + 1, "Blue", 4);
    Store(&s, sizeof s);
    HtmlSettingsRec loaded;
    EXPECT_FALSE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
    EXPECT_EQ(loaded.templateSet[0], 0);
    EXPECT_EQ(loaded.templateChoice, 1u);
    // Once the set is there it stays chosen.
    SettingsSandbox::WriteFile(sandbox.Root() + "/data/Lyrex/HTML Templates/Blue/index.html", "<html></html>");
    EXPECT_TRUE(LoadHtmlSettings(&loaded, kGalleryTemplatesFolder));
    EXPECT_EQ(loaded.templateSet[0], 4);
    EXPECT_EQ(loaded.templateChoice, 3u);
    // A build with a set that is gone reports an invalid parameter.
    std::filesystem::remove_all(sandbox.Root() + "/data/Lyrex/HTML Templates");
    EXPECT_EQ(BuildHtmlGallery(catalog, Folder("site"), kGalleryTemplatesFolder, nullptr), kGalleryInvalidParameter);
}

TEST_F(HtmlSettingsTest, TemplateItemsAreLookedUpByKind) {
    FSSpec item;
    EXPECT_EQ(FindTemplateItem(kGalleryTemplatesFolder, 2, "", &item), paramErr);
    EXPECT_EQ(FindTemplateItem(kGalleryTemplatesFolder, 1, "Blue", &item), fnfErr);
    SettingsSandbox::WriteFile(sandbox.Root() + "/common/Lyrex/HTML Templates/Blue/index.html", "x");
    std::filesystem::create_directories(sandbox.Root() + "/common/Lyrex/HTML Templates/Blue/assets");
    EXPECT_EQ(FindTemplateItem(kGalleryTemplatesFolder, 1, "Blue", &item), noErr);
    EXPECT_EQ(item.path, sandbox.Root() + "/common/Lyrex/HTML Templates/Blue/index.html");
    EXPECT_EQ(FindTemplateItem(kGalleryTemplatesFolder, 5, "Blue", &item), noErr);
    EXPECT_EQ(FindTemplateItem(kGalleryTemplatesFolder, 1, "../Blue", &item), fnfErr);
}

TEST_F(HtmlSettingsTest, CodesOfTheSheetsListsGiveTheirValues) {
    const int shown[][2] = {{0, 3}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 3}, {7, 3}, {255, 3}};
    for (const auto& q : shown) EXPECT_EQ(HtmlQualityCodeShown(UInt8(q[0])), q[1]) << q[0];
    const int thumbs[][2] = {{1, 64}, {2, 96}, {3, 128}, {4, 160}};
    for (const auto& t : thumbs) EXPECT_EQ(HtmlThumbnailSizeForCode(UInt8(t[0])), t[1]);
    const int boxes[][3] = {{1, 320, 240}, {2, 480, 360}, {3, 640, 480}, {4, 800, 600}, {0, 800, 600}};
    for (const auto& b : boxes) {
        SInt16 w = 0, h = 0;
        HtmlMediaBoxForCode(UInt8(b[0]), &w, &h);
        EXPECT_EQ(w, b[1]);
        EXPECT_EQ(h, b[2]);
    }
    const char* extensions[] = {"htm", "htm", "html", "shtml", "php", "asp", "xml", "htm"};
    for (int c = 0; c < 8; ++c) EXPECT_EQ(PageExtensionText(UInt8(c)), extensions[c]) << c;
    const int quality[][2] = {{1, 0x000}, {2, 0x100}, {3, 0x200}, {4, 0x300}, {5, 0x3FF}, {0, 0x200}, {7, 0x200}};
    for (const auto& q : quality) EXPECT_EQ(GalleryCodecQuality(UInt8(q[0])), std::uint32_t(q[1]));
    HtmlSettingsRec s = HtmlSettingsDefaults();
    s.jpegQuality = kHtmlQualityTargetSize;
    EXPECT_EQ(GalleryTargetBytes(s), 102400u);
    s.jpegQuality = 5;
    EXPECT_EQ(GalleryTargetBytes(s), 0u);
}

TEST_F(HtmlSettingsTest, TheSiteTitleIsKeptInTheCatalogCutToWhatItHolds) {
    catalog->modifiedStamp = 0;
    GallerySetSiteTitle(catalog, std::string(80, 'x'));
    EXPECT_EQ(GalleryGetSiteTitle(catalog), std::string(63, 'x'));
    EXPECT_NE(catalog->modifiedStamp, 0u);
    catalog->modifiedStamp = 0;
    GallerySetSiteTitle(catalog, std::string(63, 'x'));
    EXPECT_EQ(catalog->modifiedStamp, 0u);  // unchanged: not modified
}
