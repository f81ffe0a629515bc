// Names of a gallery's files: safe for a web server and a URL, Windows-1252 letters made
// plain, repeated names numbered, media page names cut to length.
#include "output/html/GalleryNames.h"

#include <gtest/gtest.h>

TEST(GalleryNamesTest, UnsafeCharactersBecomeUnderscoresAndLettersArePlain) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"Photo.TIF", "photo.tif"},
        {"My \"best\" shot.jpg", "my__best__shot.jpg"},
        {"R&D #1 100%.jpg", "r_d__1_100_.jpg"},
        {"a<b>c|d?e:f;g'h`i{j}[k].jpg", "a_b_c_d_e_f_g_h_i_j__k_.jpg"},
        {"Caf\xE9 cr\xE8me.jpg", "cafe_creme.jpg"},
        {"Stra\xDF" "e \xC6on \x8A\x9E\x9F.jpg", "strasse_aeon_szy.jpg"},
        {"\x80 \xA9 \xB0.jpg", "_____.jpg"},
        {"(copy)-2_x.jpg", "(copy)-2_x.jpg"},
        {"..", "__"},
        {"a/b", "a_b"},
    };
    for (const auto& c : cases) EXPECT_EQ(SanitizeFileName(c.in), c.out) << c.in;
}

TEST(GalleryNamesTest, RepeatedNamesGetANumberBeforeTheExtension) {
    GalleryNameSet set;
    EXPECT_EQ(set.MakeNameUnique("photo.jpg"), "photo.jpg");
    EXPECT_EQ(set.MakeNameUnique("photo.jpg"), "photo_1.jpg");
    EXPECT_EQ(set.MakeNameUnique("photo_1.jpg"), "photo_1_1.jpg");
    EXPECT_EQ(set.MakeNameUnique("PHOTO.jpg"), "PHOTO_2.jpg");
    EXPECT_EQ(set.MakeNameUnique("readme"), "readme");
    EXPECT_EQ(set.MakeNameUnique("readme"), "readme_1");
}

TEST(GalleryNamesTest, PageNamesAreCutToTwentySixCharactersBeforeTheExtension) {
    const std::string forty = "abcdefghijklmnopqrstuvwxyz0123456789ABCD.jpg";
    EXPECT_EQ(GalleryPageName(forty, 3, false, ".htm"), "abcdefghijklmnopqrstuvwxyz.htm");
    EXPECT_EQ(GalleryPageName("Photo.TIF", 3, false, ".html"), "photo.html");
    EXPECT_EQ(GalleryPageName("archive.tar.gz", 3, false, ".htm"), "archive.tar.gz.htm");
    EXPECT_EQ(GalleryPageName("dots.....x.jpg", 3, false, ".htm"), "dots.....x.htm");
    EXPECT_EQ(GalleryPageName("abcdefghijklmnopqrstuvwxy....long.jpg", 3, false, ".htm"),
              "abcdefghijklmnopqrstuvwxy.htm");
    EXPECT_EQ(GalleryPageName("Photo.TIF", 12, true, ".htm"), "12.htm");
}
