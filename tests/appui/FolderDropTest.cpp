// Items dragged from a catalog window's grid onto a folder of its side panel's folder list move
// into that folder on disk, with the catalog following them; a volume or a folder gone from the
// disk takes no drop; a drag resting on a folded folder unfolds it.
#include "appui/AppTestSupport.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "app/ui/commands/CMenuHandler.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "window/ui/CGridView.h"
#include "window/ui/CPaneFolderList.h"
#include "window/ui/CPaneView.h"
#include "window/ui/CSidePanel.h"
#include "window/ui/CGridContainer.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewSelection.h"

#include <filesystem>

namespace {

class FolderDropTest : public AppTest {
protected:
    std::string Picture(const std::string& folder, const std::string& name) {
        std::filesystem::create_directories(files_ / folder);
        const std::string path = files_ / folder + "/" + name;
        std::filesystem::copy_file(LYREX_SHARED_FIXTURES "/orientation/landscape_1.jpg", path);
        return path;
    }
    static std::string ItemPath(CatalogRec* catalog, SInt32 n) {
        FSSpec file;
        return CatalogFindItemPath(catalog, n, &file) == noErr ? file.path : std::string();
    }
    // Unfolds every folder of the list.
    static void UnfoldAll(CatalogRec* catalog, CPaneFolderList* list) {
        for (int guard = 0; guard < 30; ++guard) {
            bool opened = false;
            for (int i = 0; i < list->GetRowCount() && !opened; ++i) {
                FolderNode* node = FolderTreeFindNodeById(catalog->folderTree, list->NodeAt(i));
                if (node && !node->children.empty() && !(node->flags & kFolderExpanded)) {
                    FolderTreeToggleExpanded(catalog, node, false);
                    list->Rebuild(true);
                    opened = true;
                }
            }
            if (!opened) break;
        }
    }
};

TEST_F(FolderDropTest, SelectedItemsDroppedOnAFolderMoveThereAndTheCatalogFollows) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = Frame(0);
    const std::string a = Picture("trip/day one", "a.jpg");
    const std::string b = Picture("trip/day two", "b.jpg");
    const std::string c = Picture("trip/day three", "c.jpg");
    ASSERT_EQ(noErr, frame->AddFiles({a, b, c}));
    frame->SetViewMode(kViewList);
    frame->Show();
    Pump();
    ASSERT_TRUE(frame->GetMenuHandler()->Execute(203));
    CPaneFolderList* list = frame->GetGridContainer()->GetSidePanel()->GetViewPane()->GetFolderList();
    CatalogRec* catalog = frame->GetCatalog();
    list->Rebuild(true);
    UnfoldAll(catalog, list);

    const FolderNode* dayTwo = CatalogFindItemFolderNode(catalog, ItemGetId(catalog, 2));
    ASSERT_NE(nullptr, dayTwo);
    const int target = list->RowOfNode(dayTwo->nodeId);
    ASSERT_GE(target, 0);
    EXPECT_FALSE(list->RowTakesDrops(0)) << "the volume takes no drop";
    EXPECT_TRUE(list->RowTakesDrops(target));

    // Item 1 (in "day one") is selected and dropped on "day two".
    ViewRec* view = frame->GetViewRec();
    ViewSelectItem(view, 1, kSelectAlone, false);
    const wxRect rect = list->RowRect(target);
    EXPECT_TRUE(list->TrackGridDrag(rect.x + 60, rect.y + 2, false));
    EXPECT_EQ(target, list->DropRow());
    EXPECT_TRUE(list->DropGridItems(rect.x + 60, rect.y + 2, view));
    EXPECT_EQ(-1, list->DropRow());
    EXPECT_FALSE(std::filesystem::exists(a));
    const std::string moved = (files_ / "trip/day two/a.jpg");
    EXPECT_TRUE(std::filesystem::exists(moved));
    EXPECT_EQ(moved, ItemPath(catalog, 1)) << "the item points at its file's new place";
    EXPECT_EQ(b, ItemPath(catalog, 2));

    // A folder gone from the disk takes nothing.
    const FolderNode* dayThree = CatalogFindItemFolderNode(catalog, ItemGetId(catalog, 3));
    ASSERT_NE(nullptr, dayThree);
    const UInt32 goneId = dayThree->nodeId;
    std::filesystem::remove_all(files_ / "trip/day three");
    // A look-up already under way may still have seen it; the next one finds it gone.
    ASSERT_TRUE(PumpUntil([&] {
        list->CheckDisks();
        return list->RowOfNode(goneId) >= 0 && list->IsMissing(list->RowOfNode(goneId));
    }));
    const int gone = list->RowOfNode(goneId);
    EXPECT_FALSE(list->RowTakesDrops(gone));
    const wxRect goneRect = list->RowRect(gone);
    EXPECT_FALSE(list->DropGridItems(goneRect.x + 60, goneRect.y + 2, view));
    EXPECT_EQ(moved, ItemPath(catalog, 1)) << "nothing moved";
}

TEST_F(FolderDropTest, ADragRestingOnAFoldedFolderUnfoldsIt) {
    ASSERT_TRUE(Start({}));
    CMainFrame* frame = Frame(0);
    ASSERT_EQ(noErr, frame->AddFiles({Picture("deep/inner", "c.jpg")}));
    frame->Show();
    Pump();
    ASSERT_TRUE(frame->GetMenuHandler()->Execute(203));
    CPaneFolderList* list = frame->GetGridContainer()->GetSidePanel()->GetViewPane()->GetFolderList();
    CatalogRec* catalog = frame->GetCatalog();
    list->Rebuild(true);
    // The first folded row with sub-folders.
    int folded = -1;
    for (int i = 0; i < list->GetRowCount() && folded < 0; ++i) {
        const FolderNode* node = FolderTreeFindNodeById(catalog->folderTree, list->NodeAt(i));
        if (node && !node->children.empty() && !(node->flags & kFolderExpanded)) folded = i;
    }
    ASSERT_GE(folded, 0);
    const int rows = list->GetRowCount();
    EXPECT_TRUE(list->ToggleRowForDrag(folded, false, true));
    EXPECT_GT(list->GetRowCount(), rows);
    EXPECT_FALSE(list->ToggleRowForDrag(folded, true, true)) << "rows dragged inside a panel do not unfold folders";
}

}  // namespace
