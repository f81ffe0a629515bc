// Items filed in the folder tree as the catalog engine adds and deletes them.
#include "catalog/foldertree/FolderTreeOps.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/text/Unicode.h"
#include "platform/TimerService.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class Listener : public MessageWindow {
public:
    LRESULT WindowProc(UINT message, WPARAM, LPARAM) override {
        if (message == kMsgFolderTreeChanged) ++changes;
        return 0;
    }
    int changes = 0;
};

TEST(FolderTreeFiling, ItemsAreFiledUnderTheirFolderAndTakenOutAgain) {
    ManualTimerService timers;
    SetTimerService(&timers);
    CatalogNotificationsReset();
    CatalogEngineInit(400, 200);
    TempFolder dir;
    dir.Write("pics/2024/a.jpg", "x");
    dir.Write("pics/2024/b.jpg", "x");
    CatalogRec* catalog = nullptr;
    ASSERT_EQ(CatalogOpen(&catalog, nullptr, nullptr, nullptr, nullptr, nullptr, 0), noErr);
    Listener window;
    CatalogAddListener(catalog, &window, kMsgFolderTreeChanged);

    FSSpec a, b;
    ASSERT_EQ(FSMakeFSSpecFromPath(dir / "pics/2024/a.jpg", &a), noErr);
    ASSERT_EQ(FSMakeFSSpecFromPath(dir / "pics/2024/b.jpg", &b), noErr);
    ASSERT_EQ(CatalogFolderTreeAddItem(catalog, &a, 7, nullptr), noErr);
    ASSERT_EQ(CatalogFolderTreeAddItem(catalog, &b, 9, nullptr), noErr);
    EXPECT_TRUE(CatalogIsModified(catalog));
    FolderNode* node = FolderTreeFindItemNode(catalog->folderTree, 7);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node, FolderTreeFindItemNode(catalog->folderTree, 9));
    EXPECT_EQ(node->unicodeName, u"2024");
    EXPECT_EQ(node->items, (std::vector<UInt32>{7, 9}));
    EXPECT_EQ(node->itemNames[9], u"b.jpg");
    timers.Advance(kNotifyIntervalMs);
    EXPECT_EQ(window.changes, 1) << "a burst of filings is one change for the windows";

    // By its stored path, into a node that is given.
    std::string stored = FolderTreeItemFolderPath(catalog->folderTree, 7) + "c.jpg";
    ASSERT_EQ(CatalogFolderTreeAddItemPath(catalog, stored, 11, nullptr), noErr);
    EXPECT_EQ(FolderTreeFindItemNode(catalog->folderTree, 11), node);
    EXPECT_EQ(CatalogFolderTreeAddItemPath(catalog, "", 12, nullptr), fnfErr);

    CatalogRemoveItemFromFolders(catalog, 7);
    EXPECT_EQ(FolderTreeFindItemNode(catalog->folderTree, 7), nullptr);
    EXPECT_EQ(node->items, (std::vector<UInt32>{9, 11}));
    timers.Advance(kNotifyIntervalMs);
    EXPECT_EQ(window.changes, 2);

    CatalogRemoveListener(catalog, &window, 0);
    CatalogClose(catalog, false);
    CatalogNotificationsReset();
    SetTimerService(nullptr);
}

}  // namespace
