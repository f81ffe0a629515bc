// Finding folders on disk and following them: resolving nodes, relocating folders that moved
// together with their catalog, and moving, renaming and merging nodes with their subtrees.
//
// Nothing here flushes the pending removals: a visitor that destroyed nodes while another walk
// still held them would leave that walk with freed nodes. Nodes are only queued; the public
// operations flush once they are done.
#include "catalog/foldertree/FolderTreeInternal.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/items/CustomFields.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemLabels.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTreeOps.h"

#include <algorithm>

namespace {

OSErr AsNotFound(OSErr err) { return (err == nsvErr || err == dirNFErr) ? OSErr(fnfErr) : err; }

bool IsPendingOrBelowPending(const FolderTree* tree, const FolderNode* node) {
    for (const FolderNode* n = node; n; n = n->parent)
        if (tree->pendingRemoval.count(const_cast<FolderNode*>(n))) return true;
    return false;
}

bool HasLiveChildren(const FolderTree* tree, const FolderNode* node) {
    for (FolderNode* child : node->children)
        if (!tree->pendingRemoval.count(child)) return true;
    return false;
}

class UnregisterPathsVisitor : public FolderVisitor {
public:
    UnregisterPathsVisitor(FolderTree* tree, bool dropAlias) : tree_(tree), dropAlias_(dropAlias) {}
    void Visit(FolderNode* node) override {
        auto it = tree_->pathMap.find(FolderTreePathKey(tree_, FolderNodeStoredPath(node)));
        if (it != tree_->pathMap.end() && it->second == node) tree_->pathMap.erase(it);
        if (dropAlias_) FolderNodeSetAlias(node, nullptr);
        FolderNodeVisitChildren(node, *this);
    }

private:
    FolderTree* tree_;
    bool dropAlias_;
};

class RegisterPathsVisitor : public FolderVisitor {
public:
    explicit RegisterPathsVisitor(FolderTree* tree) : tree_(tree) {}
    void Visit(FolderNode* node) override {
        tree_->pathMap[FolderTreePathKey(tree_, FolderNodeStoredPath(node))] = node;
        FolderNodeVisitChildren(node, *this);
    }

private:
    FolderTree* tree_;
};

// Moves the items and children of node into target (last first), then queues node when it is
// left empty.
void MergeInto(FolderTree* tree, FolderNode* node, FolderNode* target, bool dropAlias) {
    std::vector<UInt32> items = node->items;
    for (auto it = items.rbegin(); it != items.rend(); ++it) FolderTreeMoveItem(tree, *it, target);
    std::vector<FolderNode*> children = node->children;
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        FolderNodeMoveUnder(tree, *it, target, dropAlias);
    if (node->items.empty() && node->children.empty()) tree->pendingRemoval.insert(node);
}

}  // namespace

const FSSpec* FolderTreeAnchor(const CatalogRec* catalog, FSSpec* storage) {
    if (!catalog) return nullptr;
    return CatalogGetFileSpec(catalog, storage, nullptr) ? storage : nullptr;
}

OSErr FolderNodeCheckOnline(FolderTree* tree, FolderNode* node, const FSSpec* anchor) {
    FSSpec spec;
    OSErr err = FolderNodeResolve(tree, node, &spec);
    if (err != noErr) {
        FolderTreeRelocate(tree, node, anchor);
        err = FolderNodeResolve(tree, node, &spec);
        if (err != noErr) err = FolderNodeResolve(tree, node, &spec);
    }
    return AsNotFound(err);
}

CheckOnlineVisitor::CheckOnlineVisitor(FolderTree* tree, const FSSpec* anchor, bool removeVanished, bool recursive)
    : tree_(tree), anchor_(anchor), removeVanished_(removeVanished), recursive_(recursive) {}

void CheckOnlineVisitor::Visit(FolderNode* node) {
    OSErr err = noErr;
    if (node != tree_->root) err = FolderNodeCheckOnline(tree_, node, anchor_);
    if (recursive_) FolderNodeVisitChildren(node, *this);
    // Children queued for removal count as gone already.
    if (removeVanished_ && node != tree_->root && err != noErr && !(node->flags & kFolderWatched) &&
        node->items.empty() && !HasLiveChildren(tree_, node) && !IsPendingOrBelowPending(tree_, node))
        tree_->pendingRemoval.insert(node);
}

void FolderSubtreeUnregisterPaths(FolderTree* tree, FolderNode* node, bool dropAlias) {
    UnregisterPathsVisitor visitor(tree, dropAlias);
    visitor.Visit(node);
}

void FolderSubtreeRegisterPaths(FolderTree* tree, FolderNode* node) {
    RegisterPathsVisitor visitor(tree);
    visitor.Visit(node);
}

namespace {

// Files node under newParent as component, taking the new names on the way when given; a
// sibling already there under that name takes node's content instead and is answered.
FolderNode* Relocate(FolderTree* tree, FolderNode* node, FolderNode* newParent, const std::string& component,
                     const std::string* name, const std::u16string* unicodeName, bool dropAlias) {
    CheckOnlineVisitor look(tree, nullptr, false, false);
    FolderNodeVisitChildren(newParent, look);
    FolderNode* same = FolderNodeFindChild(newParent, component);
    if (same && same != node) {
        MergeInto(tree, node, same, dropAlias);
        return same;
    }
    FolderSubtreeUnregisterPaths(tree, node, dropAlias);
    if (FolderNode* old = node->parent) {
        auto it = std::find(old->children.begin(), old->children.end(), node);
        if (it != old->children.end()) old->children.erase(it);
    }
    if (name) {
        node->name = *name;
        node->unicodeName = *unicodeName;
    }
    FolderNodeInsertChild(tree, newParent, node);
    FolderSubtreeRegisterPaths(tree, node);
    return node;
}

}  // namespace

FolderNode* FolderNodeMoveUnder(FolderTree* tree, FolderNode* node, FolderNode* newParent, bool dropAlias) {
    if (node->parent == newParent) return node;
    return Relocate(tree, node, newParent, FolderNodePathComponent(node), nullptr, nullptr, dropAlias);
}

FolderNode* FolderNodeRename(FolderTree* tree, FolderNode* node, const std::string& name,
                             const std::u16string& unicodeName, bool dropAlias) {
    std::string component = unicodeName.empty() ? AnsiToUtf8(name) : Utf16ToUtf8(unicodeName);
    if (FolderNode* parent = node->parent) {
        FolderNode* same = FolderNodeFindChild(parent, component);
        if (same && same != node) {
            MergeInto(tree, node, same, dropAlias);
            return same;
        }
    }
    FolderSubtreeUnregisterPaths(tree, node, dropAlias);
    node->name = name;
    node->unicodeName = unicodeName;
    if (node->parent) FolderNodeSortChildren(node->parent);
    FolderSubtreeRegisterPaths(tree, node);
    return node;
}

FolderNode* FolderNodeMoveAndRename(FolderTree* tree, FolderNode* node, FolderNode* newParent,
                                    const std::string& name, const std::u16string& unicodeName, bool dropAlias) {
    const std::string component = unicodeName.empty() ? AnsiToUtf8(name) : Utf16ToUtf8(unicodeName);
    return Relocate(tree, node, newParent, component, &name, &unicodeName, dropAlias);
}

void FolderTreeMoveItem(FolderTree* tree, UInt32 itemId, FolderNode* dest) {
    FolderNode* current = FolderTreeFindItemNode(tree, itemId);
    if (current == dest) return;
    std::u16string unicodeName;
    if (current) {
        auto it = current->itemNames.find(itemId);
        if (it != current->itemNames.end()) unicodeName = it->second;
    }
    CatalogRec* catalog = tree->catalog;
    if (catalog) {
        // The destination keeps one item per file name: an item of the same name goes.
        std::vector<UInt32> doomed;
        if (unicodeName.empty()) {
            std::string name;
            if (SInt32 index = CatalogFindEntryIndexById(catalog, itemId)) {
                ItemRec record;
                if (CatalogReadEntryRecord(catalog, &catalog->entries[index - 1], &record) == noErr) {
                    std::string path = AnsiToUtf8(std::string_view(
                        reinterpret_cast<const char*>(record.fileName + 1), record.fileName[0]));
                    size_t cut = path.find_last_of("/\\:");
                    name = cut == std::string::npos ? path : path.substr(cut + 1);
                }
            }
            if (UInt32 other = name.empty() ? 0 : FolderNodeFindItem(dest, name, catalog); other && other != itemId)
                doomed.push_back(other);
        } else {
            for (const auto& [id, n] : dest->itemNames)
                if (id != itemId && n == unicodeName) doomed.push_back(id);
        }
        for (UInt32 id : doomed) {
            ImportDeleteItemById(catalog, id);
            // An id the catalog no longer holds must not stay filed either.
            if (FolderTreeFindItemNode(tree, id) == dest) FolderTreeRemoveItem(tree, id);
        }
    }
    if (current) FolderNodeRemoveItem(current, itemId);
    FolderNodeAddItem(tree, dest, itemId, std::move(unicodeName));
}

bool FolderTreeRelocate(FolderTree* tree, FolderNode* node, const FSSpec* anchor) {
    if (!anchor || !node || node->depth < 0 || node->relocationGuard) return false;
    struct Guard {
        FolderNode* node;
        UInt8 old;
        ~Guard() { node->relocationGuard = old; }
    } guard{node, node->relocationGuard};
    node->relocationGuard = 1;

    std::string anchorStored;
    if (FolderTreeSpecToStored(tree, anchor, &anchorStored) != noErr) return false;
    const char sep = FolderTreeSeparator(tree);
    std::string anchorFolder, catalogName;
    FolderSplitPath(anchorStored, sep, &anchorFolder, &catalogName);
    if (anchorFolder.empty()) return false;
    anchorFolder.push_back(sep);

    // The node's path below each of its ancestors, longest first, down to its name alone.
    std::vector<const FolderNode*> chain;
    for (const FolderNode* n = node; n && n->depth >= 0; n = n->parent) chain.push_back(n);
    std::string candidatePath;
    for (size_t start = chain.size(); start-- > 0;) {
        std::string relative;
        for (size_t i = start + 1; i-- > 0;) {
            if (!relative.empty()) relative.push_back(sep);
            relative += FolderNodePathComponent(chain[i]);
        }
        std::string stored = anchorFolder + relative;
        std::string native;
        FSSpec spec;
        if (FolderStoredToNative(tree->volumes, stored, &native) != noErr || native.empty() || native[0] != '/')
            continue;
        if (FSMakeFSSpecFromPath(native, &spec) != noErr || !FSpIsDirectory(&spec)) continue;
        candidatePath = stored;
        break;
    }
    if (candidatePath.empty()) return false;

    std::string parentPath, name;
    FolderSplitPath(candidatePath, sep, &parentPath, &name);
    FolderNode* parent = FolderTreeInsertPath(tree, parentPath, anchor);
    if (!parent || parent == node->parent || parent == node) return false;
    // A folder found inside its own subtree would make a cycle.
    for (const FolderNode* p = parent; p; p = p->parent)
        if (p == node) return false;
    FolderNode* moved = FolderNodeMoveUnder(tree, node, parent, false);
    CheckOnlineVisitor check(tree, anchor, false, true);
    check.Visit(moved);
    if (tree->catalog) FolderTreePostChanged(tree->catalog);
    return true;
}

void ImportDeleteItemById(CatalogRec* catalog, UInt32 itemId) {
    if (SInt32 index = CatalogFindEntryIndexById(catalog, itemId)) CatalogDeleteItem(catalog, index);
}
