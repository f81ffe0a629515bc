// The operations by which the folder pane, the catalog engine and folder watching read and
// change a catalog's folder tree. They keep the tree's maps consistent, remove nodes only
// through the pending-removal set (flushed before they return), and tell the windows about
// changes: 0x8071 (folder tree changed) and 0x8074 (a node is being destroyed, sent at once).
//
// Item operations answer fnfErr when the item has no folder node and paramErr when something
// inside failed by an exception; a folder that cannot be found on disk counts as fnfErr.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <string>
#include <string_view>
#include <vector>

struct CatalogRec;
struct CInfoPBRec;

// Catalog messages of the folder tree.
enum : UInt32 {
    kMsgItemChanged = 0x806A,
    kMsgItemsAdded = 0x806B,
    kMsgFolderTreeChanged = 0x8071,
    kMsgScanResultsWaiting = 0x8073,
    kMsgFolderNodeDestroyed = 0x8074,
};

// ---- rows of the folder pane ---------------------------------------------------------------

// Rebuilds the rows, then answers their number.
SInt32 FolderTreeVisibleCount(CatalogRec* catalog);
// The node of a row of the last rebuild; null for a row outside 0..count-1.
FolderNode* FolderTreeVisibleNodeAt(CatalogRec* catalog, SInt32 row);
// Flips the node's expanded flag; with recursive, the node and every descendant take the
// opposite of the node's current state. Then rebuilds the rows.
void FolderTreeToggleExpanded(CatalogRec* catalog, FolderNode* node, bool recursive);
// What the pane shows of a node; every out pointer may be null. The name is zero-terminated
// Windows-1252 text in a new handle. The node is looked up on disk: flag 8 is set when it
// cannot be found and cleared when it can.
OSErr FolderTreeGetNodeInfo(CatalogRec* catalog, FolderNode* node, Handle* name, bool* hasChildren,
                            UInt16* depth, SInt32* itemCount, SInt32* shownCount, UInt32* flags);
// At most max item ids of the node (with include-subfolders, of its whole subtree in pre-order)
// into ids; answers how many.
SInt32 FolderTreeCollectFolderItems(CatalogRec* catalog, FolderNode* node, SInt32 max, UInt32* ids);
// Whether a folder shows its whole subtree (the catalog's include-subfolders setting).
bool CatalogIncludesSubfolders(const CatalogRec* catalog);

// ---- folders -------------------------------------------------------------------------------

// Finds or makes the node of a folder; posts 0x8071.
OSErr FolderTreeAddFolder(CatalogRec* catalog, const FSSpec* folder, FolderNode** outNode);
// Deletes the items of the node's subtree from the catalog, then the node; sends 0x8071 at once.
OSErr FolderTreeRemoveFolder(CatalogRec* catalog, FolderNode* node);
// The node follows its folder to a new name (spec: the folder under its new name) or a new
// place; a folder of the same name already there takes the node's items and children.
OSErr FolderTreeRenameFolder(CatalogRec* catalog, FolderNode* node, const FSSpec* renamed);
OSErr FolderTreeMoveFolder(CatalogRec* catalog, FolderNode* node, const FSSpec* moved);
// Queues every node without items and children for removal (watched ones only with
// pruneWatched), children first, so chains of empty folders go in one pass.
void FolderTreePruneEmpty(FolderTree* tree, bool pruneWatched);
void CatalogPruneFolders(CatalogRec* catalog, bool pruneWatched);

// ---- items ---------------------------------------------------------------------------------

// The node with that id, null when the tree has none (walks the tree).
FolderNode* FolderTreeFindNodeById(FolderTree* tree, UInt32 nodeId);
// The node of a folder spec, or null; with markedOnly a node without the batch mark counts as
// not found. Nothing is created.
FolderNode* FolderTreeFindNodeBySpec(FolderTree* tree, const FSSpec* folder, bool markedOnly);
// The folder node of a stored path, looked up as the spec look-up does (parents looked at on
// disk when the path is not known).
FolderNode* FolderTreeLookUpPath(FolderTree* tree, std::string_view storedPath, bool markedOnly);
// The id of the item filed under a stored item path, 0 when none.
UInt32 FolderTreeFindNodeByPath(FolderTree* tree, std::string_view storedItemPath, CatalogRec* catalog,
                                bool markedOnly);
// The id of the item filed in node whose file has that leaf name (UTF-8), 0 when none. Names
// compare exactly, as file names do on this system.
UInt32 FolderNodeFindItem(const FolderNode* node, std::string_view name, CatalogRec* catalog);
// Files a new item under the folder of its spec (or stored path, or under node when given);
// marks the catalog modified and posts 0x8071. fnfErr when the path cannot be filed.
OSErr CatalogFolderTreeAddItem(CatalogRec* catalog, const FSSpec* file, UInt32 itemId, const FSSpec* catalogSpec);
OSErr CatalogFolderTreeAddItemPath(CatalogRec* catalog, std::string_view storedPath, UInt32 itemId,
                                   const FSSpec* catalogSpec, FolderNode* node = nullptr);
// Takes an item out of its folder (the item is being deleted); marks the catalog modified and
// posts 0x8071.
void CatalogRemoveItemFromFolders(CatalogRec* catalog, UInt32 itemId);
// Moves an item to the node of its file's new folder. An item of the same name already there
// is deleted from the catalog.
OSErr CatalogSetItemFolder(CatalogRec* catalog, UInt32 itemId, const FSSpec* file, const FSSpec* catalogSpec);
// The native spec of an item's file, found again under the catalog's folder when its folder
// moved there together with the catalog.
OSErr CatalogGetItemPath(CatalogRec* catalog, const ItemEntry* entry, FSSpec* file);

// ---- the catalog engine's entries into its tree ----------------------------------------------

struct CatalogStringTable;
// The node of a folder spec; with create, made when missing.
FolderNode* CatalogFindFolderNodeBySpec(CatalogRec* catalog, const FSSpec* folder, bool create);
// The node of a stored folder path, null when none.
FolderNode* CatalogFindFolderNodeByPath(CatalogRec* catalog, std::string_view storedPath, bool markedOnly);
// The node that files an item, null when none.
FolderNode* CatalogFindItemFolderNode(CatalogRec* catalog, UInt32 itemId);
// The id of the item filed in node for the file of spec, 0 when none (the name cache, which
// may be null, keeps the items' names read from their records).
UInt32 CatalogFindItemInFolder(FolderNode* node, CatalogStringTable* names, const FSSpec* file);
// The volumes mounted now, looked up again, with the volume nodes checked.
void CatalogRefreshVolumes(CatalogRec* catalog);

// ---- checks --------------------------------------------------------------------------------

void CatalogFolderTreeCheck(CatalogRec* catalog, const FSSpec* catalogSpec);

// ---- add batches ---------------------------------------------------------------------------

// Opens an add batch: volumes refreshed, pending removals flushed, every node marked (64).
void CatalogFolderTreeVisitRefresh(CatalogRec* catalog);
// Commits it: the marks are cleared.
void CatalogFolderTreeVisitA(CatalogRec* catalog);
// Rolls it back: every node made during the batch (without the mark) is removed, the marks of
// the others cleared.
void CatalogFolderTreeVisitB(CatalogRec* catalog);
