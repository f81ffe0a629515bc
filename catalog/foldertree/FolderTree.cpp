// The folder tree in memory: nodes, their order, the maps, and removal.
#include "catalog/foldertree/FolderTree.h"

#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "platform/Handles.h"

#include <algorithm>
#include <atomic>

namespace {

std::atomic<UInt32> gNextNodeId{1};

// Every tree alive now, so that a node id from another catalog's window can be found again.
std::set<FolderTree*>& LiveTrees() {
    static std::set<FolderTree*> trees;
    return trees;
}

unsigned char LowerAscii(unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; }

void SetSubtreeDepth(FolderNode* node, SInt32 depth) {
    node->depth = depth;
    for (FolderNode* child : node->children) SetSubtreeDepth(child, depth + 1);
}

class VisibleRowsVisitor : public FolderVisitor {
public:
    explicit VisibleRowsVisitor(std::vector<FolderNode*>* rows) : rows_(rows) {}
    void Visit(FolderNode* node) override {
        if (node->depth >= 0) rows_->push_back(node);
        if (node->depth < 0 || (node->flags & kFolderExpanded)) FolderNodeVisitChildren(node, *this);
    }

private:
    std::vector<FolderNode*>* rows_;
};

}  // namespace

void FolderNodeVisitChildren(FolderNode* node, FolderVisitor& visitor) {
    std::vector<FolderNode*> copy = node->children;
    for (FolderNode* child : copy) visitor.Visit(child);
}

FolderNode* FolderNodeNew(FolderTree* tree, std::string name, std::u16string unicodeName, Handle alias) {
    auto* node = new FolderNode;
    node->tree = tree;
    node->name = std::move(name);
    node->unicodeName = std::move(unicodeName);
    node->alias = alias;
    node->nodeId = gNextNodeId++;
    return node;
}

void FolderNodeDestroy(FolderTree* tree, FolderNode* node) {
    tree->pendingRemoval.erase(node);
    // Folder watching and the windows drop what refers to the node, by its id.
    if (tree->scanWorker && tree->scanWorkerForgetNode) tree->scanWorkerForgetNode(tree->scanWorker, node);
    if (tree->catalog) ImportNotifyNow(tree->catalog, kMsgFolderNodeDestroyed, node->nodeId);
    if (tree->nodeDestroyed) tree->nodeDestroyed(node);
    while (!node->children.empty()) {
        FolderNode* child = node->children.back();
        FolderNodeDestroy(tree, child);
    }
    if (FolderNode* parent = node->parent) {
        auto it = std::find(parent->children.begin(), parent->children.end(), node);
        if (it != parent->children.end()) parent->children.erase(it);
    }
    if (node->alias) DisposeHandle(node->alias);
    delete node;
}

void FolderNodeSetAlias(FolderNode* node, Handle alias) {
    if (node->alias && node->alias != alias) DisposeHandle(node->alias);
    node->alias = alias;
}

static FolderTree* MakeTree(CatalogRec* catalog) {
    auto* tree = new FolderTree;
    tree->catalog = catalog;
    tree->root = FolderNodeNew(tree, kFolderRootName, {}, nullptr);
    tree->root->depth = -1;
    LiveTrees().insert(tree);
    return tree;
}

FolderTree* FolderTreeNewDetached(CatalogRec* catalog) { return MakeTree(catalog); }

FolderTree* FolderTreeNew(CatalogRec* catalog) {
    FolderTree* tree = MakeTree(catalog);
    VolumeTableRefresh(&tree->volumes);
    return tree;
}

FolderNode* FolderTreeFindLiveNode(UInt32 nodeId, FolderTree** tree) {
    if (tree) *tree = nullptr;
    if (!nodeId) return nullptr;
    for (FolderTree* t : LiveTrees()) {
        std::vector<FolderNode*> stack{t->root};
        while (!stack.empty()) {
            FolderNode* n = stack.back();
            stack.pop_back();
            if (n->nodeId == nodeId) {
                if (tree) *tree = t;
                return n;
            }
            stack.insert(stack.end(), n->children.begin(), n->children.end());
        }
    }
    return nullptr;
}

void FolderTreeFree(FolderTree* tree) {
    if (!tree) return;
    // The worker goes first: its thread and timer must not outlive the nodes.
    if (tree->scanWorker && tree->scanWorkerDelete) tree->scanWorkerDelete(tree->scanWorker);
    tree->scanWorker = nullptr;
    if (tree->root) FolderNodeDestroy(tree, tree->root);
    LiveTrees().erase(tree);
    delete tree;
}

char FolderTreeSeparator(const FolderTree* tree) { return FolderPathSeparator(tree->pathStyle); }

std::string FolderNodePathComponent(const FolderNode* node) {
    if (node->depth == 0 || node->unicodeName.empty()) return AnsiToUtf8(node->name);
    return Utf16ToUtf8(node->unicodeName);
}

std::string FolderNodeStoredPath(const FolderNode* node) {
    std::vector<const FolderNode*> chain;
    for (const FolderNode* n = node; n && n->depth >= 0; n = n->parent) chain.push_back(n);
    std::string path;
    char sep = FolderTreeSeparator(node->tree);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (!path.empty() || it != chain.rbegin()) path.push_back(sep);
        path += FolderNodePathComponent(*it);
    }
    return path;
}

std::string FolderNodeFullPath(const FolderNode* node) {
    std::vector<const FolderNode*> chain;
    for (const FolderNode* n = node; n && n->depth >= 0; n = n->parent) chain.push_back(n);
    std::string path;
    char sep = FolderTreeSeparator(node->tree);
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) path.push_back(sep);
        path += (*it)->name;
    }
    return path;
}

int FolderNameCompare(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = LowerAscii(static_cast<unsigned char>(a[i]));
        unsigned char cb = LowerAscii(static_cast<unsigned char>(b[i]));
        if (ca != cb) return ca < cb ? -1 : 1;
    }
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return 0;
}

void FolderNodeSortChildren(FolderNode* node) {
    std::stable_sort(node->children.begin(), node->children.end(),
                     [](const FolderNode* a, const FolderNode* b) {
                         return FolderNameCompare(a->name, b->name) < 0;
                     });
}

void FolderNodeInsertChild(FolderTree* tree, FolderNode* parent, FolderNode* child) {
    child->parent = parent;
    tree->pendingRemoval.erase(child);
    auto at = std::find_if(parent->children.begin(), parent->children.end(), [&](const FolderNode* c) {
        return FolderNameCompare(c->name, child->name) >= 0;
    });
    parent->children.insert(at, child);
    SetSubtreeDepth(child, parent->depth + 1);
}

FolderNode* FolderNodeFindChild(const FolderNode* node, std::string_view component) {
    for (FolderNode* child : node->children) {
        if (FolderNodePathComponent(child) == component) return child;
    }
    return nullptr;
}

void FolderNodeAddItem(FolderTree* tree, FolderNode* node, UInt32 itemId, std::u16string unicodeName) {
    node->items.push_back(itemId);
    tree->pendingRemoval.erase(node);
    node->itemNames[itemId] = std::move(unicodeName);
    tree->itemMap[itemId] = node;
}

void FolderNodeRemoveItem(FolderNode* node, UInt32 itemId) {
    auto it = std::find(node->items.begin(), node->items.end(), itemId);
    if (it != node->items.end()) node->items.erase(it);
    node->itemNames.erase(itemId);
}

void FolderNodeReorderItems(FolderNode* node, const UInt32* ids, long count) {
    size_t place = 0;
    for (long i = 0; i < count && place < node->items.size(); ++i) {
        auto it = std::find(node->items.begin() + place, node->items.end(), ids[i]);
        if (it == node->items.end()) continue;
        std::iter_swap(node->items.begin() + place, it);
        ++place;
    }
}

FolderNode* FolderTreeFindItemNode(const FolderTree* tree, UInt32 itemId) {
    auto it = tree->itemMap.find(itemId);
    return it == tree->itemMap.end() ? nullptr : it->second;
}

FolderNode* FolderTreeFindNodeByPath(const FolderTree* tree, std::string_view storedPath) {
    if (storedPath.empty()) return nullptr;
    auto it = tree->pathMap.find(FolderTreePathKey(tree, storedPath));
    return it == tree->pathMap.end() ? nullptr : it->second;
}

FolderNode* FolderTreeRemoveItem(FolderTree* tree, UInt32 itemId) {
    auto it = tree->itemMap.find(itemId);
    if (it == tree->itemMap.end()) return nullptr;
    FolderNode* node = it->second;
    FolderNodeRemoveItem(node, itemId);
    tree->itemMap.erase(it);
    return node;
}

std::string FolderTreePathKey(const FolderTree* tree, std::string_view storedPath) {
    std::string key(storedPath);
    if (tree->pathStyle == 0) std::replace(key.begin(), key.end(), ':', '\\');
    return key;
}

static std::string PathMapKey(const FolderNode* node) {
    return FolderTreePathKey(node->tree, FolderNodeStoredPath(node));
}

FolderNode* FolderTreeFlushNode(FolderTree* tree, FolderNode* node) {
    tree->pendingRemoval.erase(node);
    if (node == tree->root) return nullptr;
    for (UInt32 id : node->items) {
        auto it = tree->itemMap.find(id);
        if (it != tree->itemMap.end() && it->second == node) tree->itemMap.erase(it);
    }
    auto path = tree->pathMap.find(PathMapKey(node));
    if (path != tree->pathMap.end() && path->second == node) tree->pathMap.erase(path);
    while (!node->children.empty()) FolderTreeFlushNode(tree, node->children.back());
    FolderNode* parent = node->parent;
    FolderNodeDestroy(tree, node);
    return parent;
}

void FolderTreeFlushPending(FolderTree* tree) {
    while (!tree->pendingRemoval.empty()) FolderTreeFlushNode(tree, *tree->pendingRemoval.begin());
}

void FolderTreeRebuildVisible(FolderTree* tree) {
    tree->visibleRows.clear();
    VisibleRowsVisitor visitor(&tree->visibleRows);
    visitor.Visit(tree->root);
}

std::string FolderTreeItemFolderPath(const FolderTree* tree, UInt32 itemId) {
    FolderNode* node = FolderTreeFindItemNode(tree, itemId);
    if (!node) return {};
    return FolderNodeStoredPath(node) + FolderTreeSeparator(tree);
}

FolderNode* FolderTreeInsertPath(FolderTree* tree, std::string_view storedPath, const FSSpec* catalogSpec) {
    if (storedPath.empty()) return nullptr;
    const char sep = FolderTreeSeparator(tree);
    std::vector<std::string> missing;  // innermost last
    std::string path(storedPath);
    FolderNode* found = nullptr;
    while (!path.empty()) {
        found = FolderTreeFindNodeByPath(tree, path);
        if (found) break;
        std::string folder, name;
        FolderSplitPath(path, sep, &folder, &name);
        missing.push_back(name);
        path = folder;
    }
    // A component that is not well-formed UTF-8 could not be found again by its path.
    for (const std::string& component : missing) {
        if (component.empty() || Utf16ToUtf8(Utf8ToUtf16(component)) != component) return nullptr;
    }
    FolderNode* current = found ? found : tree->root;
    std::string prefix = found ? path : std::string();
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (!prefix.empty()) prefix.push_back(sep);
        prefix += *it;
        if (FolderNode* child = FolderNodeFindChild(current, *it)) {
            current = child;
            continue;
        }
        // The 8-bit name is what Windows-1252 can hold; the UTF-16 name keeps the exact one.
        std::u16string unicodeName;
        if (current != tree->root) {
            unicodeName = FolderUnicodeNameFromDisk(tree->volumes, prefix);
            std::string exact;
            if (unicodeName.empty() && !Utf8ToAnsiExact(*it, &exact)) unicodeName = Utf8ToUtf16(*it);
        }
        FolderNode* node = FolderNodeNew(tree, Utf8ToAnsi(*it), std::move(unicodeName), nullptr);
        FolderNodeInsertChild(tree, current, node);
        tree->pathMap[PathMapKey(node)] = node;
        current = node;
    }
    (void)catalogSpec;
    return current;
}

FolderNode* FolderTreeAddItemPath(FolderTree* tree, std::string_view storedItemPath, UInt32 itemId,
                                  const FSSpec* catalogSpec, FolderNode* node) {
    std::string folder, name;
    FolderSplitPath(storedItemPath, FolderTreeSeparator(tree), &folder, &name);
    if (node) folder = FolderNodeStoredPath(node);
    FolderNode* target = FolderTreeInsertPath(tree, folder, catalogSpec);
    if (!target) return nullptr;
    std::u16string unicodeName = FolderUnicodeNameFromDisk(tree->volumes, storedItemPath);
    std::string exact;
    if (unicodeName.empty() && !Utf8ToAnsiExact(name, &exact)) unicodeName = Utf8ToUtf16(name);
    // An id stays in one node: filing it again moves it.
    if (FolderNode* old = FolderTreeFindItemNode(tree, itemId)) {
        if (old == target) return target;
        FolderNodeRemoveItem(old, itemId);
    }
    FolderNodeAddItem(tree, target, itemId, std::move(unicodeName));
    return target;
}
