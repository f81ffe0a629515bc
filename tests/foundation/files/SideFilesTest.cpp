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
