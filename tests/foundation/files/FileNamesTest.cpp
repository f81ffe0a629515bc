#include "foundation/files/FileNames.h"
#include "support/PascalString.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

TEST(ReplaceExtension, ReplacesOrAddsWithinTheLimit) {
    std::string long254(254, 'n');
    std::string stem250(250, 's');
    // "é" is two bytes: a cut must not leave half of it.
    std::string accented = std::string(250, 'a') + "é" + "é";
    struct Case {
        std::string name;
        const char* ext;
        std::string want;
    } cases[] = {
        {"photo.jpeg", "tif", "photo.tif"},
        {"photo.jpg", "tif", "photo.tif"},
        {"photo", "tif", "photo.tif"},
        {"x.y", "tif", "x.y.tif"},              // a one-letter extension stays and one is added
        {"archive.tar.gz", "tif", "archive.tar.gz.tif"},
        {".jpg", "tif", ".tif"},
        {long254, "tif", std::string(251, 'n') + ".tif"},
        {stem250 + ".jpeg", "tif", stem250 + ".tif"},
        {accented, "tif", std::string(250, 'a') + ".tif"},
    };
    for (const auto& c : cases) {
        PStr255 p(c.name);
        ReplaceExtension(p.s, c.ext);
        EXPECT_EQ(p.str(), c.want) << c.name;
        EXPECT_LE(p.s[0], 255);
    }
}

TEST(ExtensionToOSType, UpperCasedAndPadded) {
    struct Case {
        const char* name;
        OSType want;
    } cases[] = {
        {"a.psd", 'PSD '}, {"photo.JPEG", 'JPEG'}, {"x.tiff", 'TIFF'}, {"x.c", 'C   '},
        {"name.", 0}, {"name", 0}, {"x.abcde", 0}, {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(ExtensionToOSType(PStr255(c.name).s), c.want) << c.name;
}

TEST(MakeUniqueFileName, NumbersUntilFree) {
    TempFolder tmp;
    FSSpec folder;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp.path(), &folder), noErr);
    tmp.Write("pic.jpg", "");
    tmp.Write("pic 1.jpg", "");
    tmp.Write("readme", "");
    tmp.Write(std::string(250, 'b') + ".jpeg", "");
    struct Case {
        std::string name;
        std::string want;
    } cases[] = {
        {"pic.jpg", "pic 2.jpg"},
        {"new.jpg", "new.jpg"},            // a free name stays
        {"readme", "readme 1"},
        {std::string(250, 'b') + ".jpeg", std::string(245, 'b') + " 1.jpeg"},
    };
    for (const auto& c : cases) {
        PStr255 p(c.name);
        EXPECT_EQ(MakeUniqueFileName(&folder, p.s), noErr) << c.name;
        EXPECT_EQ(p.str(), c.want) << c.name;
        EXPECT_LE(p.s[0], 255);
    }
}

TEST(MakeUniqueFileName, EndsOnAnyOtherAnswer) {
    TempFolder tmp;
    FSSpec missing;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp / "no/such/folder", &missing), dirNFErr);
    PStr255 p("pic.jpg");
    EXPECT_EQ(MakeUniqueFileName(&missing, p.s), dirNFErr);
    EXPECT_EQ(p.str(), "pic.jpg");
    FSSpec folder;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp.path(), &folder), noErr);
    PStr255 bad("a/b");
    EXPECT_EQ(MakeUniqueFileName(&folder, bad.s), bdNamErr);
    EXPECT_EQ(bad.str(), "a/b");
}

}  // namespace
