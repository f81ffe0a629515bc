// Pieces the folder-tree operations share: looking nodes up on disk, finding moved folders
// again, and moving or renaming nodes with their subtree.
#pragma once

#include "catalog/foldertree/FolderTree.h"
#include "platform/Files.h"

#include <string>
#include <string_view>

struct CatalogRec;

// Resolves one node on disk; when it cannot be found, looks for it under the catalog's folder
// (anchor) and tries again. fnfErr stands for every kind of "not there".
OSErr FolderNodeCheckOnline(FolderTree* tree, FolderNode* node, const FSSpec* anchor);

// Resolves nodes on disk (relocating them when needed) and, with removeVanished, queues the
// ones not found that hold nothing and are not watched.
class CheckOnlineVisitor : public FolderVisitor {
public:
    CheckOnlineVisitor(FolderTree* tree, const FSSpec* anchor, bool removeVanished, bool recursive);
    void Visit(FolderNode* node) override;

private:
    FolderTree* tree_;
    const FSSpec* anchor_;
    bool removeVanished_;
    bool recursive_;
};

// The catalog's own file spec when it was saved, else null (into storage).
const FSSpec* FolderTreeAnchor(const CatalogRec* catalog, FSSpec* storage);

// Path-map entries of a subtree, around a rename or a move.
void FolderSubtreeUnregisterPaths(FolderTree* tree, FolderNode* node, bool dropAlias);
void FolderSubtreeRegisterPaths(FolderTree* tree, FolderNode* node);

// Moves the node with its subtree under newParent; a child of the same name already there
// takes its items and children (the node is then queued for removal). Answers the node that
// now stands for the folder.
FolderNode* FolderNodeMoveUnder(FolderTree* tree, FolderNode* node, FolderNode* newParent, bool dropAlias);
// Gives the node a new name; a sibling of that name takes its items and children. Answers the
// node that now stands for the folder.
FolderNode* FolderNodeRename(FolderTree* tree, FolderNode* node, const std::string& name,
                             const std::u16string& unicodeName, bool dropAlias);
// Gives the node a new name and a new parent at once; a child of newParent with that name
// takes its items and children. Answers the node that now stands for the folder.
FolderNode* FolderNodeMoveAndRename(FolderTree* tree, FolderNode* node, FolderNode* newParent,
                                    const std::string& name, const std::u16string& unicodeName, bool dropAlias);
// Files an item under dest, deleting from the catalog an item of dest that has the same file
// name.
void FolderTreeMoveItem(FolderTree* tree, UInt32 itemId, FolderNode* dest);
// Looks for a vanished folder under the folder that holds the catalog file; moves the node
// there when found. True when it moved.
bool FolderTreeRelocate(FolderTree* tree, FolderNode* node, const FSSpec* anchor);

// The catalog's notifications, queued and sent at once.
void ImportPostNotification(CatalogRec* catalog, UInt32 message, UInt32 parameter);
void ImportNotifyNow(CatalogRec* catalog, UInt32 message, UInt32 parameter);
// Deletes the item with that id from the catalog (nothing when it is not there).
void ImportDeleteItemById(CatalogRec* catalog, UInt32 itemId);
// Tells the windows that the tree changed (queued).
void FolderTreePostChanged(CatalogRec* catalog);
// The same, sent at once.
void FolderTreeSendChanged(CatalogRec* catalog);
