// Searching a folder tree for catalogs: hidden files and folders left out, files before
// sub-folders, a symbolic link that loops back searched once, a stop honoured; and the saved
// result's bytes, which refuse to be read when damaged.
#include "app/CatalogSearch.h"
#include "support/SettingsSandbox.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>

namespace {

std::vector<std::string> Found(const std::string& root, std::atomic<bool>* stop = nullptr, int stopAfter = 0) {
    std::atomic<bool> never{false};
    std::vector<std::string> out;
    SearchForCatalogs(
        root,
        [&](const FoundCatalog& f) {
            out.push_back(f.path.substr(root.size()));
            if (stop && int(out.size()) == stopAfter) *stop = true;
        },
        stop ? *stop : never);
    return out;
}

TEST(CatalogSearch, HiddenOnesAreLeftOutAndFilesComeBeforeSubFolders) {
    TempFolder t;
    t.Write("b.lxc", "x");
    t.Write("A.LXC", "x");
    t.Write("notes.txt", "x");
    t.Write(".hidden.lxc", "x");
    t.Write(".secret/in-hidden.lxc", "x");
    t.Write("sub/deeper/d.lxc", "x");
    t.Write("sub/c.lxc", "x");
    std::filesystem::create_directory(t / "folder.lxc");  // a folder with the name is no file
    EXPECT_EQ(Found(t.path()), (std::vector<std::string>{"/A.LXC", "/b.lxc", "/sub/c.lxc", "/sub/deeper/d.lxc"}));
}

TEST(CatalogSearch, ASymbolicLinkLoopEndsAndALinkedFolderIsSearchedOnce) {
    TempFolder t;
    t.Write("real/r.lxc", "x");
    ASSERT_EQ(symlink((t / "real").c_str(), (t / "real/back").c_str()), 0);  // real/back -> real
    ASSERT_EQ(symlink((t / "real").c_str(), (t / "zlink").c_str()), 0);      // a second way in
    ASSERT_EQ(symlink((t / "missing").c_str(), (t / "broken.lxc").c_str()), 0);
    EXPECT_EQ(Found(t.path()), (std::vector<std::string>{"/real/r.lxc"}));
}

TEST(CatalogSearch, AStopEndsTheWalk) {
    TempFolder t;
    for (const char* n : {"a/1.lxc", "b/2.lxc", "c/3.lxc"}) t.Write(n, "x");
    std::atomic<bool> stop{false};
    EXPECT_EQ(Found(t.path(), &stop, 1).size(), 1u);
}

TEST(CatalogSearchResult, TheSavedResultRoundTripsAndDamageIsRefused) {
    SettingsSandbox sandbox;
    CatalogSearchResult r;
    r.volume = "/media/Fotos";
    r.rows = {{"Jahr 2024.lxc", "/media/Fotos/Jahr 2024.lxc"}, {"été.lxc", "/media/Fotos/x/été.lxc"}};
    const std::vector<UInt8> bytes = EncodeCatalogSearchResult(r);
    // The volume: its byte count with the zero (13 UTF-16 units), then the text.
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(bytes[0], 26);
    EXPECT_EQ(bytes[4], '/');
    EXPECT_EQ(bytes[5], 0);
    CatalogSearchResult back;
    ASSERT_TRUE(DecodeCatalogSearchResult(bytes, &back));
    EXPECT_EQ(back.volume, r.volume);
    ASSERT_EQ(back.rows.size(), 2u);
    EXPECT_EQ(back.rows[1].name, "été.lxc");
    for (std::size_t cut : {std::size_t(0), std::size_t(3), bytes.size() - 1}) {
        std::vector<UInt8> damaged(bytes.begin(), bytes.begin() + long(cut));
        EXPECT_FALSE(DecodeCatalogSearchResult(damaged, &back)) << cut;
    }
    std::vector<UInt8> huge = bytes;
    huge[30] = 0xFF;  // the row count far beyond the bytes
    EXPECT_FALSE(DecodeCatalogSearchResult(huge, &back));

    EXPECT_FALSE(LoadCatalogSearchResult(&back)) << "nothing saved yet";
    SaveCatalogSearchResult(r);
    CatalogSearchResult loaded;
    ASSERT_TRUE(LoadCatalogSearchResult(&loaded));
    EXPECT_EQ(loaded.rows.size(), 2u);
    EXPECT_EQ(loaded.rows[0].path, "/media/Fotos/Jahr 2024.lxc");
}

}  // namespace
