#include "foundation/files/SideFiles.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(SideFiles, NamedAfterTheFileWithSlotDigit) {
    TempFolder tmp;
    tmp.Write("Photos/Main.lxc", "catalog");
    FSSpec catalog;
    ASSERT_EQ(FSMakeFSSpecFromPath(tmp / "Photos/Main.lxc", &catalog), noErr);
    for (short n = 0; n <= 9; ++n) {
        FSSpec side;
        ASSERT_EQ(MakeSideFileSpec(&catalog, &side, n), noErr);
        EXPECT_EQ(side.path, tmp / ("Photos/Main.lxc_" + std::to_string(n)));
        EXPECT_EQ(side.parID, catalog.parID);
    }
    FSSpec side;
    EXPECT_EQ(MakeSideFileSpec(&catalog, &side, 10), paramErr);
    EXPECT_EQ(MakeSideFileSpec(&catalog, &side, -1), paramErr);

    EXPECT_EQ(LockFileSpec(&catalog, &side, 3), fnfErr);
    EXPECT_EQ(side.path, tmp / "Photos/Main.lxc_3");
    ASSERT_EQ(CreateHiddenSideFile(&catalog, &side, 3), noErr);
    EXPECT_EQ(LockFileSpec(&catalog, &side, 3), noErr);
    EXPECT_EQ(CreateHiddenSideFile(&catalog, &side, 3), dupFNErr);   // exclusive
    EXPECT_EQ(TempFolder::Read(catalog.path), "catalog");
}

TEST(SideFiles, NameThatCannotGrowIsRefused) {
    TempFolder tmp;
    for (size_t len : {253u, 254u, 255u}) {
        std::string name(len, 'c');
        tmp.Write(name, "");
        FSSpec spec, side;
        ASSERT_EQ(FSMakeFSSpecFromPath(tmp / name, &spec), noErr);
        EXPECT_EQ(MakeSideFileSpec(&spec, &side, 0), len <= 253 ? noErr : bdNamErr) << len;
        EXPECT_EQ(CreateHiddenSideFile(&spec, &side, 0), len <= 253 ? noErr : bdNamErr) << len;
    }
}

}  // namespace

TEST(MediaSideFiles, TheSoundBesideAPictureIsFoundByItsStemInEitherCase) {
    TempFolder dir;
    dir.Write("IMG_1.JPG", "p");
    dir.Write("IMG_1.WAV", "s");
    dir.Write("IMG_1.wav", "t");
    dir.Write("IMG_10.WAV", "other picture");
    dir.Write("img_1.WAV", "another name (names are exact)");
    dir.Write("noext", "p");
    dir.Write("noext.wav", "s");
    FSSpec picture, bare, sound;
    FSMakeFSSpecFromPath(dir / "IMG_1.JPG", &picture);
    FSMakeFSSpecFromPath(dir / "noext", &bare);
    FSMakeFSSpecFromPath(dir / "IMG_1.WAV", &sound);
    std::vector<std::string> found;
    for (const FSSpec& s : FindMediaSideFiles(picture)) found.push_back(s.path);
    EXPECT_EQ(found, (std::vector<std::string>{dir / "IMG_1.WAV", dir / "IMG_1.wav"}));
    ASSERT_EQ(FindMediaSideFiles(bare).size(), 1u);
    EXPECT_EQ(FindMediaSideFiles(bare)[0].path, dir / "noext.wav");
    // A sound file is not its own side file.
    EXPECT_EQ(FindMediaSideFiles(sound).size(), 1u);
}

TEST(MediaSideFiles, ASideFileTakesItsPicturesNewNameAndKeepsItsOwnExtension) {
    const struct {
        const char *side, *media, *expected;
    } cases[] = {
        {"IMG_1.WAV", "Trip08.jpg", "Trip08.WAV"},
        {"IMG_1.wav", "a.b.tif", "a.b.wav"},
        {"IMG_1.WAV", "readme", "readme.WAV"},
    };
    for (const auto& c : cases) EXPECT_EQ(MediaSideFileName(c.side, c.media), c.expected) << c.media;
}
