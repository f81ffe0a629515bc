// Folders of the tree as the folder pane changes them: adding, removing with their items,
// following a rename or a move on disk, and pruning empty folders.
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"

#include "catalog/file/CatalogRec.h"
#include "foundation/text/Unicode.h"

#include <exception>

namespace {

class PruneVisitor : public FolderVisitor {
public:
    PruneVisitor(FolderTree* tree, bool pruneWatched) : tree_(tree), pruneWatched_(pruneWatched) {}
    void Visit(FolderNode* node) override {
        FolderNodeVisitChildren(node, *this);
        if (node->depth < 0) return;
        if ((node->flags & kFolderWatched) && !pruneWatched_) return;
        if (!node->items.empty()) return;
        // Children already queued in this pass count as gone, so a chain of folders that only
        // held each other goes in one pass.
        for (FolderNode* child : node->children)
            if (!tree_->pendingRemoval.count(child)) return;
        tree_->pendingRemoval.insert(node);
    }

private:
    FolderTree* tree_;
    bool pruneWatched_;
};

class CollectIdsVisitor : public FolderVisitor {
public:
    void Visit(FolderNode* node) override {
        ids.insert(ids.end(), node->items.begin(), node->items.end());
        FolderNodeVisitChildren(node, *this);
    }
    std::vector<UInt32> ids;
};

// The stored path of a folder spec and its split into parent path and name.
OSErr SplitFolderSpec(FolderTree* tree, const FSSpec* spec, std::string* stored, std::string* parent,
                      std::string* name) {
    OSErr err = FolderTreeSpecToStored(tree, spec, stored);
    if (err != noErr) return err;
    FolderSplitPath(*stored, FolderTreeSeparator(tree), parent, name);
    return name->empty() ? OSErr(bdNamErr) : OSErr(noErr);
}

}  // namespace

OSErr FolderTreeAddFolder(CatalogRec* catalog, const FSSpec* folder, FolderNode** outNode) {
    if (outNode) *outNode = nullptr;
    FolderTree* tree = catalog->folderTree;
    if (!tree || !folder) return paramErr;
    FolderNode* node = nullptr;
    try {
        std::string stored;
        OSErr err = FolderTreeSpecToStored(tree, folder, &stored);
        if (err != noErr) return err;
        FSSpec anchorStorage;
        node = FolderTreeInsertPath(tree, stored, FolderTreeAnchor(catalog, &anchorStorage));
    } catch (const std::exception&) {
        return paramErr;
    }
    if (!node) return bdNamErr;
    if (outNode) *outNode = node;
    FolderTreePostChanged(catalog);
    return noErr;
}

OSErr FolderTreeRemoveFolder(CatalogRec* catalog, FolderNode* node) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !node || node == tree->root) return paramErr;
    CollectIdsVisitor collect;
    collect.Visit(node);
    for (UInt32 id : collect.ids) {
        ImportDeleteItemById(catalog, id);
    }
    FolderTreeFlushNode(tree, node);
    FolderTreeSendChanged(catalog);
    return noErr;
}

OSErr FolderTreeRenameFolder(CatalogRec* catalog, FolderNode* node, const FSSpec* renamed) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !node || node->depth <= 0 || !renamed) return paramErr;
    OSErr err = noErr;
    try {
        std::string stored, parentPath, name;
        err = SplitFolderSpec(tree, renamed, &stored, &parentPath, &name);
        if (err == noErr) {
            std::u16string unicodeName = FolderUnicodeNameFromDisk(tree->volumes, stored);
            if (unicodeName.empty()) unicodeName = Utf8ToUtf16(name);
            FSSpec anchorStorage;
            FolderNode* parent = FolderTreeInsertPath(tree, parentPath, FolderTreeAnchor(catalog, &anchorStorage));
            if (!parent) {
                err = bdNamErr;
            } else {
                FolderNodeMoveAndRename(tree, node, parent, Utf8ToAnsi(name), unicodeName, true);
            }
        }
    } catch (const std::exception&) {
        err = paramErr;
    }
    FolderTreeFlushPending(tree);
    if (err == noErr) {
        FolderTreePostChanged(catalog);
        CatalogSetModified(catalog);
    }
    return err;
}

OSErr FolderTreeMoveFolder(CatalogRec* catalog, FolderNode* node, const FSSpec* moved) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !node || node->depth <= 0 || !moved) return paramErr;
    OSErr err = noErr;
    try {
        std::string stored, parentPath, name;
        err = SplitFolderSpec(tree, moved, &stored, &parentPath, &name);
        FSSpec anchorStorage;
        FolderNode* parent =
            err == noErr ? FolderTreeInsertPath(tree, parentPath, FolderTreeAnchor(catalog, &anchorStorage)) : nullptr;
        if (err == noErr && !parent) err = bdNamErr;
        // A folder cannot move into its own subtree.
        for (const FolderNode* p = parent; err == noErr && p; p = p->parent)
            if (p == node) err = paramErr;
        if (err == noErr) {
            std::u16string unicodeName = FolderUnicodeNameFromDisk(tree->volumes, stored);
            if (unicodeName.empty()) unicodeName = Utf8ToUtf16(name);
            // Renamed and moved in one step, so that a folder of the new name beside the old
            // place is never mistaken for the destination.
            FolderNodeMoveAndRename(tree, node, parent, Utf8ToAnsi(name), unicodeName, true);
        }
    } catch (const std::exception&) {
        err = paramErr;
    }
    FolderTreeFlushPending(tree);
    if (err == noErr) {
        CatalogSetModified(catalog);
        FolderTreePostChanged(catalog);
    }
    return err;
}

void FolderTreePruneEmpty(FolderTree* tree, bool pruneWatched) {
    PruneVisitor prune(tree, pruneWatched);
    prune.Visit(tree->root);
}

void CatalogPruneFolders(CatalogRec* catalog, bool pruneWatched) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return;
    FolderTreePruneEmpty(tree, pruneWatched);
    FolderTreeFlushPending(tree);
    CatalogSetModified(catalog);
    FolderTreeSendChanged(catalog);
}
