// The operations by which the folder pane, the catalog engine and folder watching read and
// change a catalog's folder tree. They keep the tree's maps consistent, remove nodes only
// through the pending-removal set, and tell the windows about changes: 0x8071 (folder tree
// changed) and 0x8074 (a node is being destroyed, sent at once).
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "import/foldertree/FolderTree.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string_view>

struct CatalogRec;

// Catalog messages of the folder tree.
enum : UInt32 {
    kMsgItemChanged = 0x806A,
    kMsgItemsAdded = 0x806B,
    kMsgFolderTreeChanged = 0x8071,
    kMsgScanResultsWaiting = 0x8073,
    kMsgFolderNodeDestroyed = 0x8074,
};

// ---- items ---------------------------------------------------------------------------------

// Files a new item under the folder of its spec (or stored path, or under node when given);
// marks the catalog modified and posts 0x8071. fnfErr when the path cannot be filed.
OSErr CatalogFolderTreeAddItem(CatalogRec* catalog, const FSSpec* file, UInt32 itemId, const FSSpec* catalogSpec);
OSErr CatalogFolderTreeAddItemPath(CatalogRec* catalog, std::string_view storedPath, UInt32 itemId,
                                   const FSSpec* catalogSpec, FolderNode* node = nullptr);
// Takes an item out of its folder (the item is being deleted); marks the catalog modified and
// posts 0x8071.
void CatalogRemoveItemFromFolders(CatalogRec* catalog, UInt32 itemId);
