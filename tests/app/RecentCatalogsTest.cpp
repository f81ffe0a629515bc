// The recent catalogs of File > Open Recent: ten at most, oldest first, paths compared exactly,
// kept in the per-user settings.
#include "app/RecentCatalogs.h"

#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(RecentCatalogs, AnEleventhCatalogDropsTheOldest) {
    RecentCatalogs r;
    for (int i = 1; i <= 11; ++i) EXPECT_TRUE(r.Add("/c/" + std::to_string(i) + ".lxc"));
    ASSERT_EQ(10u, r.Size());
    EXPECT_EQ("/c/2.lxc", *r.At(0));
    EXPECT_EQ("/c/11.lxc", *r.At(9));
    EXPECT_EQ(nullptr, r.At(10));
}

TEST(RecentCatalogs, AListedPathStaysWhereItIsAndOneDifferingInCaseIsAnotherFile) {
    RecentCatalogs r;
    r.Add("/c/a.lxc");
    r.Add("/c/b.lxc");
    EXPECT_FALSE(r.Add("/c/a.lxc"));
    EXPECT_EQ("/c/a.lxc", *r.At(0));
    EXPECT_TRUE(r.Add("/c/A.lxc"));
    EXPECT_EQ(3u, r.Size());
    EXPECT_FALSE(r.Add(""));
}

TEST(RecentCatalogs, BuildingTheMenuDropsMissingFilesAndNumbersTheRestFromTheFront) {
    TempFolder dir;
    const std::string a = dir.Write("a.lxc", "x"), c = dir.Write("c.lxc", "x");
    RecentCatalogs r;
    r.Add(a);
    r.Add(dir / "b.lxc");
    r.Add(c);
    EXPECT_EQ((std::vector<std::string>{a, c}), r.KeepExisting());
    ASSERT_EQ(2u, r.Size());
    EXPECT_EQ(c, *r.At(1));  // the id kFirstRecentCommand + 1 opens c
}

TEST(RecentCatalogs, TheListSurvivesASaveAndLoadWithEmptySlotsSkipped) {
    SettingsSandbox sandbox;
    RecentCatalogs r;
    r.Add("/c/one.lxc");
    r.Add("/c/Two words \u00e9.lxc");
    r.Add("/c/" + std::string(300, 'x') + ".lxc");  // longer than a registry string may be
    ASSERT_TRUE(r.Save());
    RecentCatalogs back;
    back.Add("/stale.lxc");
    back.Load();
    EXPECT_EQ(r.Entries(), back.Entries());
}

TEST(RecentCatalogs, ClearEmptiesTheListAndASavedEmptyListLoadsEmpty) {
    SettingsSandbox sandbox;
    RecentCatalogs r;
    r.Add("/c/one.lxc");
    r.Save();
    r.Clear();
    EXPECT_EQ(0u, r.Size());
    r.Save();
    RecentCatalogs back;
    back.Load();
    EXPECT_EQ(0u, back.Size());
}

}  // namespace
