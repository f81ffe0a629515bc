// The folder tree as the folder pane and the catalog engine use it, on real folders: rows and
// expansion, node information, pruning, renames, moves and merges that follow the disk, items
// found again when their folder moved together with the catalog, and add batches.
#include "ImportTestSupport.h"

namespace {

class FolderTreeOpsTest : public ImportTest {
protected:
    FolderNode* Node(const std::string& path) {
        FSSpec spec = Spec(path);
        return FolderTreeFindNodeBySpec(catalog->folderTree, &spec, false);
    }
    std::vector<std::string> RowNames() {
        std::vector<std::string> out;
        SInt32 n = FolderTreeVisibleCount(catalog);
        for (SInt32 i = 0; i < n; ++i) {
            FolderNode* node = FolderTreeVisibleNodeAt(catalog, i);
            out.push_back(std::string(size_t(node->depth), ' ') + (node->depth == 0 ? "<volume>" : node->name));
        }
        return out;
    }
    UInt32 IdOf(const std::string& path) {
        for (SInt32 i = 0; i < catalog->itemCount; ++i)
            if (ItemPath(catalog->entries[i].id) == path) return catalog->entries[i].id;
        return 0;
    }
};

TEST_F(FolderTreeOpsTest, RowsFollowExpansionAndRecursiveToggles) {
    Put("metadata-samples/Canon.jpg", "r/a/b/c/1.jpg");
    Put("metadata-samples/Canon.jpg", "r/a/d/2.jpg");
    ASSERT_EQ(Add({media / "r"}), noErr);
    FolderNode* r = Node(media / "r");
    ASSERT_NE(r, nullptr);
    // Only volume rows while nothing is expanded.
    std::vector<std::string> rows = RowNames();
    ASSERT_FALSE(rows.empty());
    for (const std::string& row : rows) EXPECT_EQ(row, "<volume>");
    // Expanding everything from the volume down shows every level in order.
    FolderNode* volume = r;
    while (volume->depth > 0) volume = volume->parent;
    FolderTreeToggleExpanded(catalog, volume, true);
    rows = RowNames();
    auto at = std::find(rows.begin(), rows.end(), std::string(size_t(r->depth), ' ') + "r");
    ASSERT_NE(at, rows.end());
    std::string pad(size_t(r->depth), ' ');
    EXPECT_EQ(std::vector<std::string>(at, rows.end()),
              (std::vector<std::string>{pad + "r", pad + " a", pad + "  b", pad + "   c", pad + "  d"}));
    // Collapsing a node recursively collapses its descendants too: expanding it alone again
    // shows only its children.
    FolderNode* a = Node(media / "r/a");
    FolderTreeToggleExpanded(catalog, a, true);
    EXPECT_FALSE(Node(media / "r/a/b")->flags & kFolderExpanded);
    FolderTreeToggleExpanded(catalog, a, false);
    rows = RowNames();
    at = std::find(rows.begin(), rows.end(), pad + "r");
    EXPECT_EQ(std::vector<std::string>(at, rows.end()), (std::vector<std::string>{pad + "r", pad + " a", pad + "  b", pad + "  d"}));
    EXPECT_EQ(FolderTreeVisibleNodeAt(catalog, FolderTreeVisibleCount(catalog)), nullptr);
}

TEST_F(FolderTreeOpsTest, NodeInfoCountsAndTheMissingFlag) {
    Put("metadata-samples/Canon.jpg", "i/1.jpg");
    Put("metadata-samples/Canon.jpg", "i/sub/2.jpg");
    Put("metadata-samples/Canon.jpg", "i/sub/3.jpg");
    ASSERT_EQ(Add({media / "i"}), noErr);
    FolderNode* i = Node(media / "i");
    Handle name = nullptr;
    bool hasChildren = false;
    UInt16 depth = 0;
    SInt32 items = 0, shown = 0;
    UInt32 flags = 0;
    ASSERT_EQ(FolderTreeGetNodeInfo(catalog, i, &name, &hasChildren, &depth, &items, &shown, &flags), noErr);
    ASSERT_NE(name, nullptr);
    EXPECT_STREQ(*name, "i");
    EXPECT_EQ(GetHandleSize(name), 2) << "with its terminator";
    DisposeHandle(name);
    EXPECT_TRUE(hasChildren);
    EXPECT_EQ(items, 1);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(flags & kFolderMissing);
    catalog->includeSubfolders = 1;
    ASSERT_EQ(FolderTreeGetNodeInfo(catalog, i, nullptr, nullptr, nullptr, nullptr, &shown, nullptr), noErr);
    EXPECT_EQ(shown, 3);
    UInt32 ids[8];
    EXPECT_EQ(FolderTreeCollectFolderItems(catalog, i, 8, ids), 3);
    EXPECT_EQ(FolderTreeCollectFolderItems(catalog, i, 2, ids), 2);

    std::filesystem::rename(media / "i/sub", media / "i/away");
    FolderNode* sub = Node(media / "i/sub");
    ASSERT_NE(sub, nullptr);
    ASSERT_EQ(FolderTreeGetNodeInfo(catalog, sub, nullptr, nullptr, nullptr, nullptr, nullptr, &flags), noErr);
    EXPECT_TRUE(flags & kFolderMissing);
    std::filesystem::rename(media / "i/away", media / "i/sub");
    ASSERT_EQ(FolderTreeGetNodeInfo(catalog, sub, nullptr, nullptr, nullptr, nullptr, nullptr, &flags), noErr);
    EXPECT_FALSE(flags & kFolderMissing);
}

TEST_F(FolderTreeOpsTest, PruningRemovesEmptyChainsAndKeepsWatchedFolders) {
    Put("metadata-samples/Canon.jpg", "p/keep/1.jpg");
    Put("metadata-samples/Canon.jpg", "p/x/y/z/2.jpg");
    Put("metadata-samples/Canon.jpg", "p/watched/3.jpg");
    ASSERT_EQ(Add({media / "p"}), noErr);
    // Removing the last item of a folder leaves the folder.
    for (const char* rel : {"p/x/y/z/2.jpg", "p/watched/3.jpg"}) {
        SInt32 index = CatalogFindEntryIndexById(catalog, IdOf(media / rel));
        ASSERT_EQ(CatalogDeleteItem(catalog, index), noErr);
    }
    EXPECT_NE(Node(media / "p/x/y/z"), nullptr);
    FolderTreeSetWatched(catalog, Node(media / "p/watched"), true);
    FolderTreeSetWatched(catalog, Node(media / "p/watched"), false);
    Node(media / "p/watched")->flags |= kFolderWatched;   // watched, without a running pass
    CatalogPruneFolders(catalog, false);
    EXPECT_EQ(Node(media / "p/x"), nullptr) << "the whole chain goes in one pass";
    EXPECT_NE(Node(media / "p/keep"), nullptr);
    EXPECT_NE(Node(media / "p/watched"), nullptr);
    CatalogPruneFolders(catalog, true);
    EXPECT_EQ(Node(media / "p/watched"), nullptr);
    EXPECT_NE(Node(media / "p"), nullptr);
}

TEST_F(FolderTreeOpsTest, RenamesAndMovesFollowTheDiskAndMergeIntoExistingFolders) {
    Put("metadata-samples/Canon.jpg", "m/a/same.jpg");
    Put("metadata-samples/Nikon.jpg", "m/a/only-a.jpg");
    Put("metadata-samples/Canon.jpg", "m/a/deep/d.jpg");
    Put("metadata-samples/Olympus.jpg", "m/b/same.jpg");
    Put("metadata-samples/Canon.jpg", "m/c/c.jpg");
    ASSERT_EQ(Add({media / "m"}), noErr);
    ASSERT_EQ(catalog->itemCount, 5);

    // A plain rename.
    std::filesystem::rename(media / "m/c", media / "m/renamed");
    FSSpec renamed = Spec(media / "m/renamed");
    ASSERT_EQ(FolderTreeRenameFolder(catalog, Node(media / "m/c"), &renamed), noErr);
    EXPECT_EQ(Node(media / "m/c"), nullptr);
    ASSERT_NE(Node(media / "m/renamed"), nullptr);
    EXPECT_EQ(Node(media / "m/renamed")->unicodeName, u"renamed");
    EXPECT_NE(IdOf(media / "m/renamed/c.jpg"), 0u);

    // A move into another folder, with its subtree.
    std::filesystem::create_directory(media / "m/b/inner");
    std::filesystem::rename(media / "m/a/deep", media / "m/b/inner/deep");
    FSSpec moved = Spec(media / "m/b/inner/deep");
    ASSERT_EQ(FolderTreeMoveFolder(catalog, Node(media / "m/a/deep"), &moved), noErr);
    EXPECT_NE(IdOf(media / "m/b/inner/deep/d.jpg"), 0u);
    EXPECT_EQ(Node(media / "m/a/deep"), nullptr);

    // Folder a is merged into b on disk: b keeps its own same.jpg, the catalog keeps one item
    // of that name in b, and a's other item moves along.
    std::filesystem::rename(media / "m/a/only-a.jpg", media / "m/b/only-a.jpg");
    std::filesystem::remove(media / "m/a/same.jpg");
    std::filesystem::remove(media / "m/a");
    FSSpec b = Spec(media / "m/b");
    ASSERT_EQ(FolderTreeRenameFolder(catalog, Node(media / "m/a"), &b), noErr);
    EXPECT_EQ(Node(media / "m/a"), nullptr);
    std::vector<std::string> paths = ItemPaths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::string>{media / "m/b/inner/deep/d.jpg", media / "m/b/only-a.jpg",
                                               media / "m/b/same.jpg", media / "m/renamed/c.jpg"}));
    EXPECT_TRUE(StaleIds().empty());
}

TEST_F(FolderTreeOpsTest, FoldersThatMovedWithTheCatalogAreFoundAgain) {
    Put("metadata-samples/Canon.jpg", "one/pics/2024/a.jpg");
    catalog->fileSpec = Spec(media / "one/cat.lxc");
    ASSERT_EQ(Add({media / "one/pics"}), noErr);
    const UInt32 id = catalog->entries[0].id;
    // The catalog and its media move together.
    std::filesystem::rename(media / "one", media / "two");
    catalog->fileSpec = Spec(media / "two/cat.lxc");
    FSSpec found;
    ASSERT_EQ(CatalogGetItemPath(catalog, &catalog->entries[0], &found), noErr);
    EXPECT_EQ(found.path, media / "two/pics/2024/a.jpg");
    EXPECT_EQ(ItemPath(id), media / "two/pics/2024/a.jpg");
    EXPECT_NE(Node(media / "two/pics/2024"), nullptr);
    EXPECT_TRUE(StaleIds().empty());
    // A file that is gone is reported as such.
    std::filesystem::remove(media / "two/pics/2024/a.jpg");
    EXPECT_EQ(CatalogGetItemPath(catalog, &catalog->entries[0], &found), fnfErr);
}

TEST_F(FolderTreeOpsTest, RemovingAFolderDeletesItsItems) {
    Put("metadata-samples/Canon.jpg", "d/keep.jpg");
    Put("metadata-samples/Canon.jpg", "d/gone/1.jpg");
    Put("metadata-samples/Canon.jpg", "d/gone/sub/2.jpg");
    ASSERT_EQ(Add({media / "d"}), noErr);
    Deliver();
    window.got.clear();
    FolderNode* gone = Node(media / "d/gone");
    const UInt32 goneId = gone->nodeId;
    const UInt32 subId = Node(media / "d/gone/sub")->nodeId;
    ASSERT_EQ(FolderTreeRemoveFolder(catalog, gone), noErr);
    EXPECT_EQ(ItemPaths(), std::vector<std::string>{media / "d/keep.jpg"});
    EXPECT_EQ(Node(media / "d/gone"), nullptr);
    EXPECT_TRUE(StaleIds().empty());
    // Windows heard of each destroyed node once (its children are flushed before it), and of
    // the change at once.
    std::vector<WPARAM> destroyed = window.Params(kMsgFolderNodeDestroyed);
    EXPECT_EQ(destroyed, (std::vector<WPARAM>{subId, goneId}));
    EXPECT_GE(window.Count(kMsgFolderTreeChanged), 1);
}

TEST_F(FolderTreeOpsTest, NamesDifferingInCaseAreTwoFolders) {
    Put("metadata-samples/Canon.jpg", "c/Photos/a.jpg");
    Put("metadata-samples/Canon.jpg", "c/photos/a.jpg");
    SInt32 added = 0;
    ASSERT_EQ(Add({media / "c"}, &added), noErr);
    EXPECT_EQ(added, 2);
    ASSERT_NE(Node(media / "c/Photos"), nullptr);
    ASSERT_NE(Node(media / "c/photos"), nullptr);
    EXPECT_NE(Node(media / "c/Photos"), Node(media / "c/photos"));
    EXPECT_EQ(Node(media / "c")->children.size(), 2u);
}

TEST_F(FolderTreeOpsTest, ARolledBackBatchRemovesOnlyWhatItMade) {
    Put("metadata-samples/Canon.jpg", "b/old/1.jpg");
    ASSERT_EQ(Add({media / "b"}), noErr);
    FolderNode* old = Node(media / "b/old");
    CatalogFolderTreeVisitRefresh(catalog);
    FSSpec made = Spec(media / "b/new/deeper");
    std::filesystem::create_directories(made.path);
    FolderNode* node = nullptr;
    ASSERT_EQ(FolderTreeAddFolder(catalog, &made, &node), noErr);
    EXPECT_EQ(FolderTreeFindNodeBySpec(catalog->folderTree, &made, true), nullptr) << "not marked: made in the batch";
    FSSpec oldSpec = Spec(media / "b/old");
    EXPECT_EQ(FolderTreeFindNodeBySpec(catalog->folderTree, &oldSpec, true), old);
    CatalogFolderTreeVisitB(catalog);
    EXPECT_EQ(Node(media / "b/new"), nullptr);
    EXPECT_EQ(Node(media / "b/old"), old);
    EXPECT_FALSE(old->flags & kFolderBatchMark);
}

}  // namespace
