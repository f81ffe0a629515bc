// Items in the folder tree: looking folders and items up, filing and moving items, an item's
// path on disk and the field values the tree gives.
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/text/Unicode.h"
#include "platform/Handles.h"

#include <exception>

namespace {

std::string RecordLeafName(CatalogRec* catalog, UInt32 itemId) {
    SInt32 index = CatalogFindEntryIndexById(catalog, itemId);
    if (!index) return {};
    ItemRec record;
    if (CatalogReadEntryRecord(catalog, &catalog->entries[index - 1], &record) != noErr) return {};
    std::string path =
        AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(record.fileName + 1), record.fileName[0]));
    size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

// The item's file name as filed (UTF-8): its UTF-16 name in the node, else its record's.
std::string ItemLeafName(CatalogRec* catalog, const FolderNode* node, UInt32 itemId) {
    auto it = node->itemNames.find(itemId);
    if (it != node->itemNames.end() && !it->second.empty()) return Utf16ToUtf8(it->second);
    return catalog ? RecordLeafName(catalog, itemId) : std::string();
}

OSErr NodeNativeFolder(FolderTree* tree, const FolderNode* node, FSSpec* spec) {
    OSErr err = FolderNodeResolve(tree, node, spec);
    return (err == nsvErr || err == dirNFErr) ? OSErr(fnfErr) : err;
}

OSErr BuildItemSpec(CatalogRec* catalog, FolderTree* tree, const FolderNode* node, UInt32 itemId, FSSpec* file) {
    FSSpec folder;
    OSErr err = NodeNativeFolder(tree, node, &folder);
    if (err != noErr) return err;
    std::string name = ItemLeafName(catalog, node, itemId);
    if (name.empty()) return fnfErr;
    err = FSMakeChildSpec(&folder, name, file);
    return (err == nsvErr || err == dirNFErr) ? OSErr(fnfErr) : err;
}

class MarkVisitor : public FolderVisitor {
public:
    explicit MarkVisitor(bool mark) : mark_(mark) {}
    void Visit(FolderNode* node) override {
        if (node->depth >= 0) {
            if (mark_)
                node->flags |= kFolderBatchMark;
            else
                node->flags &= ~UInt32(kFolderBatchMark);
        }
        FolderNodeVisitChildren(node, *this);
    }

private:
    bool mark_;
};

// Queues every node without the mark (its subtree goes with it) and clears the others' marks.
class SweepVisitor : public FolderVisitor {
public:
    explicit SweepVisitor(FolderTree* tree) : tree_(tree) {}
    void Visit(FolderNode* node) override {
        if (node->depth >= 0 && !(node->flags & kFolderBatchMark)) {
            tree_->pendingRemoval.insert(node);
            return;
        }
        node->flags &= ~UInt32(kFolderBatchMark);
        FolderNodeVisitChildren(node, *this);
    }

private:
    FolderTree* tree_;
};

}  // namespace

FolderNode* FolderTreeFindNodeById(FolderTree* tree, UInt32 nodeId) {
    if (!tree || !nodeId) return nullptr;
    std::vector<FolderNode*> stack{tree->root};
    while (!stack.empty()) {
        FolderNode* n = stack.back();
        stack.pop_back();
        if (n->nodeId == nodeId) return n;
        stack.insert(stack.end(), n->children.begin(), n->children.end());
    }
    return nullptr;
}

FolderNode* FolderTreeLookUpPath(FolderTree* tree, std::string_view storedPath, bool markedOnly) {
    if (storedPath.empty()) return nullptr;
    FolderNode* node = FolderTreeFindNodeByPath(tree, storedPath);
    if (!node) {
        std::string parentPath, name;
        FolderSplitPath(FolderTreePathKey(tree, storedPath), '\\', &parentPath, &name);
        if (FolderNode* parent = FolderTreeLookUpPath(tree, parentPath, false)) {
            FSSpec anchorStorage;
            CheckOnlineVisitor look(tree, FolderTreeAnchor(tree->catalog, &anchorStorage), false, false);
            FolderNodeVisitChildren(parent, look);
            node = FolderTreeFindNodeByPath(tree, storedPath);
        }
    }
    if (node && markedOnly && !(node->flags & kFolderBatchMark)) return nullptr;
    return node;
}

FolderNode* FolderTreeFindNodeBySpec(FolderTree* tree, const FSSpec* folder, bool markedOnly) {
    if (!tree || !folder) return nullptr;
    std::string stored;
    if (FolderTreeSpecToStored(tree, folder, &stored) != noErr) return nullptr;
    return FolderTreeLookUpPath(tree, stored, markedOnly);
}

UInt32 FolderTreeFindNodeByPath(FolderTree* tree, std::string_view storedItemPath, CatalogRec* catalog,
                                bool markedOnly) {
    std::string folder, name;
    FolderSplitPath(storedItemPath, FolderTreeSeparator(tree), &folder, &name);
    FolderNode* node = FolderTreeLookUpPath(tree, folder, markedOnly);
    return node ? FolderNodeFindItem(node, name, catalog) : 0;
}

UInt32 FolderNodeFindItem(const FolderNode* node, std::string_view name, CatalogRec* catalog) {
    if (!node || name.empty()) return 0;
    for (UInt32 id : node->items)
        if (ItemLeafName(catalog, node, id) == name) return id;
    return 0;
}

OSErr CatalogSetItemFolder(CatalogRec* catalog, UInt32 itemId, const FSSpec* file, const FSSpec* catalogSpec) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !file) return paramErr;
    try {
        std::string stored, folder, name;
        OSErr err = FolderTreeSpecToStored(tree, file, &stored);
        if (err != noErr) return err;
        FolderSplitPath(stored, FolderTreeSeparator(tree), &folder, &name);
        FolderNode* dest = FolderTreeInsertPath(tree, folder, catalogSpec);
        if (!dest) return fnfErr;
        FolderTreeMoveItem(tree, itemId, dest);
        // The item takes its name as the disk spells it now.
        std::u16string unicodeName = FolderUnicodeNameFromDisk(tree->volumes, stored);
        if (unicodeName.empty()) unicodeName = Utf8ToUtf16(name);
        dest->itemNames[itemId] = unicodeName;
    } catch (const std::exception&) {
        FolderTreeFlushPending(tree);
        return paramErr;
    }
    FolderTreeFlushPending(tree);
    CatalogSetModified(catalog);
    FolderTreePostChanged(catalog);
    return noErr;
}

OSErr CatalogGetItemPath(CatalogRec* catalog, const ItemEntry* entry, FSSpec* file) {
    FolderTree* tree = catalog ? catalog->folderTree : nullptr;
    if (!tree || !entry || !file) return paramErr;
    OSErr err = noErr;
    try {
        FolderNode* node = FolderTreeFindItemNode(tree, entry->id);
        if (!node) {
            err = fnfErr;
        } else {
            err = BuildItemSpec(catalog, tree, node, entry->id, file);
            if (err != noErr) {
                // The folder may have moved together with the catalog: look for it there.
                FSSpec anchorStorage;
                const FSSpec* anchor = FolderTreeAnchor(catalog, &anchorStorage);
                if (FolderTreeRelocate(tree, node, anchor)) {
                    FolderNode* now = FolderTreeFindItemNode(tree, entry->id);
                    err = now ? BuildItemSpec(catalog, tree, now, entry->id, file) : OSErr(fnfErr);
                    if (err == noErr && now != node) err = CatalogSetItemFolder(catalog, entry->id, file, anchor);
                }
                if (err != noErr) err = fnfErr;
            }
        }
    } catch (const std::exception&) {
        err = paramErr;
    }
    FolderTreeFlushPending(tree);
    return err;
}

FolderNode* CatalogFindFolderNodeBySpec(CatalogRec* catalog, const FSSpec* folder, bool create) {
    FolderTree* tree = catalog ? catalog->folderTree : nullptr;
    if (!tree || !folder) return nullptr;
    if (!create) return FolderTreeFindNodeBySpec(tree, folder, false);
    std::string stored;
    if (FolderTreeSpecToStored(tree, folder, &stored) != noErr) return nullptr;
    FSSpec anchorStorage;
    return FolderTreeInsertPath(tree, stored, FolderTreeAnchor(catalog, &anchorStorage));
}

FolderNode* CatalogFindFolderNodeByPath(CatalogRec* catalog, std::string_view storedPath, bool markedOnly) {
    return catalog && catalog->folderTree ? FolderTreeLookUpPath(catalog->folderTree, storedPath, markedOnly) : nullptr;
}

FolderNode* CatalogFindItemFolderNode(CatalogRec* catalog, UInt32 itemId) {
    return catalog && catalog->folderTree ? FolderTreeFindItemNode(catalog->folderTree, itemId) : nullptr;
}

UInt32 CatalogFindItemInFolder(FolderNode* node, CatalogStringTable* names, const FSSpec* file) {
    if (!node || !file) return 0;
    (void)names;   // the names filed with the node come first; records are read only without them
    return FolderNodeFindItem(node, FSSpecName(*file), node->tree ? node->tree->catalog : nullptr);
}

void CatalogRefreshVolumes(CatalogRec* catalog) {
    if (catalog && catalog->folderTree) FolderTreeRefreshVolumes(catalog->folderTree);
}

void CatalogFolderTreeCheck(CatalogRec* catalog, const FSSpec* catalogSpec) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return;
    FolderTreeCheckFolders(tree, catalogSpec, false, true, nullptr);
    FolderTreeFlushPending(tree);
}

void CatalogFolderTreeVisitRefresh(CatalogRec* catalog) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return;
    FolderTreeRefreshVolumes(tree);
    FolderTreeFlushPending(tree);
    MarkVisitor mark(true);
    mark.Visit(tree->root);
}

void CatalogFolderTreeVisitA(CatalogRec* catalog) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return;
    MarkVisitor clear(false);
    clear.Visit(tree->root);
}

void CatalogFolderTreeVisitB(CatalogRec* catalog) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return;
    SweepVisitor sweep(tree);
    sweep.Visit(tree->root);
    FolderTreeFlushPending(tree);
}
