// The folder pane's view of the tree: its rows, expanding and collapsing, what a row shows, and
// the items a folder stands for.
#include "catalog/foldertree/FolderTreeOps.h"

#include "catalog/file/CatalogRec.h"
#include "platform/Handles.h"

#include <cstring>

namespace {

class CountItemsVisitor : public FolderVisitor {
public:
    void Visit(FolderNode* node) override {
        count += SInt32(node->items.size());
        FolderNodeVisitChildren(node, *this);
    }
    SInt32 count = 0;
};

class SetExpandedVisitor : public FolderVisitor {
public:
    explicit SetExpandedVisitor(bool expanded) : expanded_(expanded) {}
    void Visit(FolderNode* node) override {
        if (expanded_)
            node->flags |= kFolderExpanded;
        else
            node->flags &= ~UInt32(kFolderExpanded);
        FolderNodeVisitChildren(node, *this);
    }

private:
    bool expanded_;
};

class CollectIdsVisitor : public FolderVisitor {
public:
    explicit CollectIdsVisitor(std::vector<UInt32>* ids) : ids_(ids) {}
    void Visit(FolderNode* node) override {
        ids_->insert(ids_->end(), node->items.begin(), node->items.end());
        FolderNodeVisitChildren(node, *this);
    }

private:
    std::vector<UInt32>* ids_;
};

}  // namespace

bool CatalogIncludesSubfolders(const CatalogRec* catalog) {
    return catalog->includeSubfolders != 0;
}

SInt32 FolderTreeVisibleCount(CatalogRec* catalog) {
    FolderTree* tree = catalog->folderTree;
    if (!tree) return 0;
    FolderTreeRebuildVisible(tree);
    return SInt32(tree->visibleRows.size());
}

FolderNode* FolderTreeVisibleNodeAt(CatalogRec* catalog, SInt32 row) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || row < 0 || std::size_t(row) >= tree->visibleRows.size()) return nullptr;
    return tree->visibleRows[std::size_t(row)];
}

void FolderTreeToggleExpanded(CatalogRec* catalog, FolderNode* node, bool recursive) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !node) return;
    if (recursive) {
        SetExpandedVisitor visitor(!(node->flags & kFolderExpanded));
        visitor.Visit(node);
    } else {
        node->flags ^= kFolderExpanded;
    }
    FolderTreeRebuildVisible(tree);
}

OSErr FolderTreeGetNodeInfo(CatalogRec* catalog, FolderNode* node, Handle* name, bool* hasChildren,
                            UInt16* depth, SInt32* itemCount, SInt32* shownCount, UInt32* flags) {
    FolderTree* tree = catalog->folderTree;
    if (!tree || !node) return paramErr;
    if (name) {
        std::string text = node->depth == 0 && VolumeKeyParse(node->name, nullptr, nullptr, nullptr)
                               ? VolumeKeyDisplay(node->name, &tree->volumes)
                               : node->name;
        *name = nullptr;
        if (PtrToHand(text.c_str(), name, long(text.size() + 1)) != noErr) *name = nullptr;
    }
    if (hasChildren) *hasChildren = !node->children.empty();
    if (depth) *depth = UInt16(node->depth);
    if (itemCount) *itemCount = SInt32(node->items.size());
    if (shownCount) {
        if (CatalogIncludesSubfolders(catalog)) {
            CountItemsVisitor counter;
            counter.Visit(node);
            *shownCount = counter.count;
        } else {
            *shownCount = SInt32(node->items.size());
        }
    }
    FSSpec spec;
    if (node->depth >= 0) {
        if (FolderNodeResolve(tree, node, &spec) != noErr)
            node->flags |= kFolderMissing;
        else
            node->flags &= ~UInt32(kFolderMissing);
    }
    if (flags) *flags = node->flags;
    FolderTreeFlushPending(tree);
    return noErr;
}

SInt32 FolderTreeCollectFolderItems(CatalogRec* catalog, FolderNode* node, SInt32 max, UInt32* ids) {
    if (!node || max <= 0 || !ids) return 0;
    std::vector<UInt32> all;
    if (CatalogIncludesSubfolders(catalog)) {
        CollectIdsVisitor collect(&all);
        collect.Visit(node);
    } else {
        all = node->items;
    }
    SInt32 n = std::min<SInt32>(max, SInt32(all.size()));
    if (n > 0) std::memcpy(ids, all.data(), std::size_t(n) * sizeof(UInt32));
    return n;
}
