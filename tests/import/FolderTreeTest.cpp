// The folder tree in memory and its 'FSM!' chunk: order of children, the maps, removal,
// and the chunk written and read exactly, also from damaged or hostile data.
#include "catalog/foldertree/FolderTree.h"

#include "foundation/text/Unicode.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct TreeDeleter {
    void operator()(FolderTree* t) const { FolderTreeFree(t); }
};
using TreePtr = std::unique_ptr<FolderTree, TreeDeleter>;

TreePtr NewTree() { return TreePtr(FolderTreeNewDetached(nullptr)); }

// A node made by hand under parent, as a read or an insert would make it.
FolderNode* AddNode(FolderTree* tree, FolderNode* parent, const std::string& name,
                    const std::u16string& unicodeName = {}) {
    FolderNode* node = FolderNodeNew(tree, name, unicodeName, nullptr);
    FolderNodeInsertChild(tree, parent, node);
    tree->pathMap[FolderTreePathKey(tree, FolderNodeStoredPath(node))] = node;
    return node;
}

std::vector<std::string> ChildNames(const FolderNode* node) {
    std::vector<std::string> names;
    for (const FolderNode* c : node->children) names.push_back(c->name);
    return names;
}

// Everything a reader and a writer must agree on, in a comparable form.
std::string Describe(const FolderNode* node, int indent = 0) {
    std::string out(std::size_t(indent), ' ');
    out += node->name + " u=" + Utf16ToUtf8(node->unicodeName) + " flags=" + std::to_string(node->flags) +
           " depth=" + std::to_string(node->depth);
    if (node->alias) out += " alias=" + std::to_string(GetHandleSize(node->alias));
    out += " items=";
    for (UInt32 id : node->items) {
        auto it = node->itemNames.find(id);
        out += std::to_string(id) + ":" + (it == node->itemNames.end() ? "" : Utf16ToUtf8(it->second)) + ",";
    }
    out += "\n";
    for (const FolderNode* c : node->children) out += Describe(c, indent + 2);
    return out;
}

// Where a node chunk's child table starts.
std::size_t ChildTableAt(const Bytes& b, std::size_t at) {
    const std::size_t n = ReadBE32(b.data() + at + 20);
    const std::size_t ids = at + 40 + ReadBE32(b.data() + at + 8) + ReadBE32(b.data() + at + 12) +
                            ReadBE32(b.data() + at + 16);
    const std::size_t lengths = ids + 4 * n;
    std::size_t names = 0;
    for (std::size_t i = 0; i < n; ++i) names += ReadBE32(b.data() + lengths + 4 * i);
    return lengths + 4 * n + names;
}

// The maps send every entry to a live node that holds it under its own path.
std::string CheckTree(const FolderTree* tree) {
    std::set<const FolderNode*> live;
    std::vector<const FolderNode*> work{tree->root};
    std::string problems;
    while (!work.empty()) {
        const FolderNode* n = work.back();
        work.pop_back();
        live.insert(n);
        for (const FolderNode* c : n->children) {
            if (c->parent != n) problems += "parent link; ";
            if (c->depth != n->depth + 1) problems += "depth; ";
            work.push_back(c);
        }
        for (std::size_t i = 1; i < n->children.size(); ++i)
            if (FolderNameCompare(n->children[i - 1]->name, n->children[i]->name) > 0) problems += "order; ";
    }
    for (const auto& [id, node] : tree->itemMap) {
        if (!live.count(node)) {
            problems += "item map dangling; ";
            continue;
        }
        if (std::find(node->items.begin(), node->items.end(), id) == node->items.end()) problems += "item map; ";
    }
    for (const auto& [path, node] : tree->pathMap) {
        if (!live.count(node)) {
            problems += "path map dangling; ";
            continue;
        }
        if (FolderTreePathKey(tree, FolderNodeStoredPath(node)) != path) problems += "path map key; ";
    }
    for (const FolderNode* n : tree->pendingRemoval)
        if (!live.count(n)) problems += "pending dangling; ";
    return problems;
}

Bytes WriteTree(FolderTree* tree) {
    Bytes bytes;
    EXPECT_EQ(FolderTreeWriteToBytes(tree, &bytes), noErr);
    return bytes;
}

// Two volumes: one written on Windows (drive letter key), one of this system; nested
// folders, names outside Windows-1252, flags, an alias, items with and without names.
TreePtr SampleTree() {
    TreePtr tree = NewTree();
    FolderTree* t = tree.get();
    FolderNode* stick = AddNode(t, t->root, "E\t1234567890\tSTICK");
    FolderNode* data = AddNode(t, t->root, "@\t305441741\tDATA");
    FolderNode* photos = AddNode(t, stick, "Photos", u"Photos");
    FolderNode* cafe = AddNode(t, photos, "Caf\xE9", u"Caf\u00E9");
    FolderNode* japan = AddNode(t, data, "??", u"\u65E5\u672C");
    FolderNode* zeta = AddNode(t, data, "zeta");
    photos->flags = kFolderExpanded | kFolderMissing | kFolderScanWaiting;
    japan->flags = kFolderWatched;
    Handle alias = nullptr;
    PtrToHand("ALIASBYTES", &alias, 10);
    FolderNodeSetAlias(cafe, alias);
    FolderNodeAddItem(t, photos, 7, u"a.jpg");
    FolderNodeAddItem(t, photos, 3, u"b.jpg");
    FolderNodeAddItem(t, cafe, 9, u"");
    FolderNodeAddItem(t, japan, 4, u"\u5199\u771F.jpg");
    FolderNodeAddItem(t, zeta, 12, u"z.tif");
    return tree;
}

TEST(FolderTree, NewTreeWritesOneRootChunk) {
    TreePtr tree = NewTree();
    EXPECT_EQ(tree->root->name, "<root>");
    EXPECT_EQ(tree->root->depth, -1);
    FolderTreeRebuildVisible(tree.get());
    EXPECT_TRUE(tree->visibleRows.empty());
    const Bytes expected = {'f', 'l', 'd', 'r', 0, 0, 0, 46, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0,
                            0,   0,   0,   0,   0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0, 0, 0, '<', 'r', 'o', 'o',
                            't', '>'};
    EXPECT_EQ(WriteTree(tree.get()), expected);
}

TEST(FolderTree, ChunkBytesOfASmallTree) {
    TreePtr tree = NewTree();
    FolderNode* vol = AddNode(tree.get(), tree->root, "E\t1\tX");
    vol->flags = 0x80000002u;   // all 32 bits are kept
    FolderNodeAddItem(tree.get(), vol, 5, u"a");
    Bytes expected = {'f', 'l', 'd', 'r', 0, 0, 0, 50, 0, 0, 0, 0, 0, 0, 0, 6, 0, 0, 0, 0,
                      0,   0,   0,   0,   0, 0, 0, 1,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
                      '<', 'r', 'o', 'o', 't', '>', 0, 0, 0, 50};
    const Bytes volume = {'f', 'l', 'd', 'r', 0, 0, 0, 57, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0,
                          0,   0,   0,   1,   0, 0, 0, 0,  0x80, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0,
                          'E', '\t', '1', '\t', 'X', 0, 0, 0, 5, 0, 0, 0, 4, 0xFF, 0xFE, 'a', 0};
    // 40 + the name (5) + one id and its length (8) + the name "a" with its mark (4).
    ASSERT_EQ(volume.size(), 57u);
    Bytes all = expected;
    all.insert(all.end(), volume.begin(), volume.end());
    Bytes written = WriteTree(tree.get());
    EXPECT_EQ(written, all);
}

TEST(FolderTree, ChildrenOrderIgnoresCase) {
    TreePtr tree = NewTree();
    FolderNode* vol = AddNode(tree.get(), tree->root, "E\t1\tX");
    for (const char* n : {"beta", "Alpha", "alpha2"}) AddNode(tree.get(), vol, n);
    EXPECT_EQ(ChildNames(vol), (std::vector<std::string>{"Alpha", "alpha2", "beta"}));
}

TEST(FolderTree, DestroyingASubtreeAnnouncesEveryNodeParentsFirst) {
    TreePtr tree = NewTree();
    FolderNode* a = AddNode(tree.get(), tree->root, "E\t1\tX");
    FolderNode* b = AddNode(tree.get(), a, "b");
    FolderNode* c = AddNode(tree.get(), b, "c");
    FolderNode* d = AddNode(tree.get(), b, "d");
    std::vector<UInt32> told;
    tree->nodeDestroyed = [&](FolderNode* n) { told.push_back(n->nodeId); };
    const std::vector<UInt32> ids = {a->nodeId, b->nodeId, d->nodeId, c->nodeId};
    tree->pathMap.clear();   // destruction itself leaves the maps to the flush
    FolderNodeDestroy(tree.get(), a);
    EXPECT_EQ(told, ids);    // each node before its children, children from the last
    EXPECT_TRUE(tree->root->children.empty());
    tree->nodeDestroyed = nullptr;
}

TEST(FolderTree, FlushingANodeClearsItsMapEntries) {
    TreePtr tree = NewTree();
    FolderNode* a = AddNode(tree.get(), tree->root, "E\t1\tX");
    FolderNode* b = AddNode(tree.get(), a, "b");
    FolderNode* c = AddNode(tree.get(), b, "c");
    FolderNodeAddItem(tree.get(), c, 1, u"x");
    FolderNodeAddItem(tree.get(), a, 2, u"y");
    int told = 0;
    tree->nodeDestroyed = [&](FolderNode*) { ++told; };
    EXPECT_EQ(FolderTreeFlushNode(tree.get(), b), a);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(FolderTreeFindItemNode(tree.get(), 1), nullptr);
    EXPECT_EQ(FolderTreeFindItemNode(tree.get(), 2), a);
    EXPECT_EQ(FolderTreeFlushNode(tree.get(), tree->root), nullptr);   // the root stays
    EXPECT_EQ(CheckTree(tree.get()), "");
    tree->nodeDestroyed = nullptr;
}

TEST(FolderTree, ChunkRoundTripKeepsEverything) {
    TreePtr tree = SampleTree();
    Bytes first = WriteTree(tree.get());
    TreePtr back = NewTree();
    ASSERT_EQ(FolderTreeReadFromBytes(back.get(), first.data(), first.size()), noErr);
    EXPECT_TRUE(back->loaded);
    EXPECT_EQ(Describe(back->root), Describe(tree->root));
    EXPECT_EQ(CheckTree(back.get()), "");
    EXPECT_EQ(back->pathMap.size(), tree->pathMap.size());
    for (const auto& [path, node] : tree->pathMap) {
        FolderNode* found = FolderTreeFindNodeByPath(back.get(), path);
        ASSERT_NE(found, nullptr) << path;
        EXPECT_EQ(found->name, node->name);
    }
    EXPECT_EQ(FolderTreeFindItemNode(back.get(), 4)->unicodeName, u"\u65E5\u672C");
    EXPECT_EQ(WriteTree(back.get()), first);
    // Rows: the volumes, and below them only what is expanded.
    FolderTreeRebuildVisible(back.get());
    std::vector<std::string> rows;
    for (FolderNode* n : back->visibleRows) rows.push_back(n->name);
    EXPECT_EQ(rows, (std::vector<std::string>{"@\t305441741\tDATA", "E\t1234567890\tSTICK"}));
}

TEST(FolderTree, ReadingSortsChildrenAndHonoursEitherByteOrder) {
    TreePtr tree = NewTree();
    FolderNode* vol = AddNode(tree.get(), tree->root, "E\t1\tX");
    AddNode(tree.get(), vol, "a", u"a");
    AddNode(tree.get(), vol, "b", u"b");
    Bytes bytes = WriteTree(tree.get());
    // The volume's chunk follows the root's (50 bytes); swap its two child offsets.
    const std::size_t volTable = ChildTableAt(bytes, 50);
    std::swap_ranges(bytes.begin() + long(volTable), bytes.begin() + long(volTable + 4),
                     bytes.begin() + long(volTable + 4));
    // Child "a" (first written) holds its UTF-16 name big-endian, child "b" none at all.
    const std::size_t a = ReadBE32(bytes.data() + volTable + 4);
    const std::size_t b = ReadBE32(bytes.data() + volTable);
    ASSERT_EQ(bytes[a + 40], 0xFF);
    bytes[a + 40] = 0xFE;
    bytes[a + 41] = 0xFF;
    bytes[a + 42] = 0;
    bytes[a + 43] = 'a';
    bytes[b + 40] = 'x';   // no byte-order mark
    TreePtr back = NewTree();
    ASSERT_EQ(FolderTreeReadFromBytes(back.get(), bytes.data(), bytes.size()), noErr);
    FolderNode* v = back->root->children.at(0);
    EXPECT_EQ(ChildNames(v), (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(v->children[0]->unicodeName, u"a");
    EXPECT_EQ(v->children[1]->unicodeName, u"");
    EXPECT_EQ(v->children[1]->name, "b");
}

TEST(FolderTree, AnItemListedTwiceBelongsToTheNodeReadLast) {
    TreePtr tree = NewTree();
    FolderNode* vol = AddNode(tree.get(), tree->root, "E\t1\tX");
    FolderNode* first = AddNode(tree.get(), vol, "first");
    FolderNode* second = AddNode(tree.get(), vol, "second");
    first->items.push_back(8);
    second->items.push_back(8);
    Bytes bytes = WriteTree(tree.get());
    TreePtr back = NewTree();
    ASSERT_EQ(FolderTreeReadFromBytes(back.get(), bytes.data(), bytes.size()), noErr);
    EXPECT_EQ(FolderTreeFindItemNode(back.get(), 8)->name, "second");
}

TEST(FolderTree, WrongTagsGiveEmptyNodesNotErrors) {
    TreePtr tree = SampleTree();
    Bytes bytes = WriteTree(tree.get());
    // A child chunk with another tag: a "<dummyname>" child with nothing in it.
    const std::size_t firstChild = ReadBE32(bytes.data() + 46);
    Bytes damaged = bytes;
    damaged[firstChild] = 'X';
    TreePtr back = NewTree();
    ASSERT_EQ(FolderTreeReadFromBytes(back.get(), damaged.data(), damaged.size()), noErr);
    ASSERT_EQ(back->root->children.size(), 2u);
    const FolderNode* dummy = back->root->children[0];
    EXPECT_EQ(dummy->name, "<dummyname>");
    EXPECT_TRUE(dummy->children.empty() && dummy->items.empty() && dummy->flags == 0);
    EXPECT_EQ(CheckTree(back.get()), "");
    // The root's own tag wrong: an empty root.
    damaged = bytes;
    damaged[0] = 'X';
    ASSERT_EQ(FolderTreeReadFromBytes(back.get(), damaged.data(), damaged.size()), noErr);
    EXPECT_TRUE(back->root->children.empty());
    EXPECT_EQ(back->root->name, "<root>");
}

// Hostile and damaged chunk data: each gives an error or a consistent tree, never a crash,
// a hang or a read outside the data (the ASan build runs these too).
TEST(FolderTree, HostileChunkData) {
    TreePtr sample = SampleTree();
    const Bytes good = WriteTree(sample.get());
    const std::size_t firstChild = ReadBE32(good.data() + 46);
    struct Case {
        const char* name;
        void (*damage)(Bytes*, std::size_t firstChild);
        OSErr expected;
    };
    const Case cases[] = {
        {"child offset back to the root", [](Bytes* b, std::size_t) { WriteBE32(b->data() + 46, 0); },
         kCatalogBadFileErr},
        {"grandchild offset back to its parent", [](Bytes* b, std::size_t c) {
             WriteBE32(b->data() + ChildTableAt(*b, c), UInt32(c)); }, kCatalogBadFileErr},
        {"child offset past the end", [](Bytes* b, std::size_t) { WriteBE32(b->data() + 46, 0x7FFFFFF0); },
         eofErr},
        {"huge item count", [](Bytes* b, std::size_t c) { WriteBE32(b->data() + c + 20, 0xFFFFFFFF); }, eofErr},
        {"huge name length", [](Bytes* b, std::size_t c) { WriteBE32(b->data() + c + 12, 0xFFFFFFF0); }, eofErr},
        {"huge UTF-16 length", [](Bytes* b, std::size_t c) { WriteBE32(b->data() + c + 8, 0x80000000); }, eofErr},
        {"huge alias length", [](Bytes* b, std::size_t c) { WriteBE32(b->data() + c + 16, 0x10000000); }, eofErr},
        {"huge child count", [](Bytes* b, std::size_t) { WriteBE32(b->data() + 24, 0x40000000); }, eofErr},
        {"two children at one offset", [](Bytes* b, std::size_t c) { WriteBE32(b->data() + 50, UInt32(c)); },
         kCatalogBadFileErr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes bad = good;
        c.damage(&bad, firstChild);
        TreePtr tree = NewTree();
        EXPECT_EQ(FolderTreeReadFromBytes(tree.get(), bad.data(), bad.size()), c.expected);
        EXPECT_FALSE(tree->loaded);
        EXPECT_EQ(CheckTree(tree.get()), "");
    }
}

TEST(FolderTree, EveryTruncationAndEveryFlippedByte) {
    TreePtr sample = SampleTree();
    const Bytes good = WriteTree(sample.get());
    for (std::size_t cut = 0; cut < good.size(); ++cut) {
        TreePtr tree = NewTree();
        OSErr err = FolderTreeReadFromBytes(tree.get(), good.data(), cut);
        ASSERT_EQ(CheckTree(tree.get()), "") << "cut at " << cut;
        EXPECT_NE(err, noErr) << "cut at " << cut;
    }
    for (std::size_t at = 0; at < good.size(); ++at) {
        for (std::uint8_t flip : {0x01, 0x80, 0xFF}) {
            Bytes bad = good;
            bad[at] ^= flip;
            TreePtr tree = NewTree();
            FolderTreeReadFromBytes(tree.get(), bad.data(), bad.size());
            ASSERT_EQ(CheckTree(tree.get()), "") << "byte " << at << " ^ " << int(flip);
            Bytes again;
            ASSERT_EQ(FolderTreeWriteToBytes(tree.get(), &again), noErr);
        }
    }
}

TEST(FolderTree, ADeepChainIsRefused) {
    // 2,000 nested nodes, each the only child of the one before.
    Bytes bytes;
    const int depth = 2000;
    for (int i = 0; i < depth; ++i) {
        std::uint8_t h[44] = {};
        WriteBE32(h, 'fldr');
        WriteBE32(h + 4, 44);
        WriteBE32(h + 24, 1);   // one child
        WriteBE32(h + 40, UInt32((i + 1) * 44));
        bytes.insert(bytes.end(), h, h + 44);
    }
    TreePtr tree = NewTree();
    EXPECT_EQ(FolderTreeReadFromBytes(tree.get(), bytes.data(), bytes.size()), kCatalogBadFileErr);
    EXPECT_EQ(CheckTree(tree.get()), "");
}

TEST(FolderTree, InsertPathMakesEveryMissingLevelOnce) {
    TreePtr tree = NewTree();
    const std::string vol = "@\t7\tDATA";
    FolderNode* c = FolderTreeInsertPath(tree.get(), vol + "\\a\\b\\c", nullptr);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->name, "c");
    EXPECT_EQ(c->depth, 3);
    EXPECT_EQ(FolderNodeStoredPath(c), vol + "\\a\\b\\c");
    EXPECT_EQ(FolderTreeInsertPath(tree.get(), vol + "\\a\\b\\c", nullptr), c);
    FolderNode* b = FolderTreeFindNodeByPath(tree.get(), vol + "\\a\\b");
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(c->parent, b);
    // Names compare exactly: another case is another folder.
    FolderNode* other = FolderTreeInsertPath(tree.get(), vol + "\\A", nullptr);
    EXPECT_NE(other, b->parent);
    EXPECT_EQ(ChildNames(tree->root->children[0]), (std::vector<std::string>{"A", "a"}));
    // A name outside Windows-1252 keeps its exact form in UTF-16 and is found again by it.
    FolderNode* jp = FolderTreeInsertPath(tree.get(), vol + "\\\xE6\x97\xA5\xE6\x9C\xAC", nullptr);
    ASSERT_NE(jp, nullptr);
    EXPECT_EQ(jp->name, "??");
    EXPECT_EQ(jp->unicodeName, u"\u65E5\u672C");
    EXPECT_NE(FolderTreeInsertPath(tree.get(), vol + "\\\xE4\xB8\xAD\xE5\x9B\xBD", nullptr), jp);
    EXPECT_EQ(FolderTreeInsertPath(tree.get(), vol + "\\bad\xFF", nullptr), nullptr);
    EXPECT_EQ(CheckTree(tree.get()), "");
}

TEST(FolderTree, ItemsFiledMovedAndRemoved) {
    TreePtr tree = NewTree();
    const std::string vol = "@\t7\tDATA";
    FolderNode* a = FolderTreeAddItemPath(tree.get(), vol + "\\pics\\a.jpg", 1, nullptr, nullptr);
    FolderTreeAddItemPath(tree.get(), vol + "\\pics\\b.jpg", 2, nullptr, nullptr);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->items, (std::vector<UInt32>{1, 2}));
    EXPECT_EQ(FolderTreeItemFolderPath(tree.get(), 2), vol + "\\pics\\");
    // Filed again elsewhere: the id moves, it is never in two nodes.
    FolderNode* other = FolderTreeAddItemPath(tree.get(), vol + "\\other\\a.jpg", 1, nullptr, nullptr);
    EXPECT_EQ(a->items, (std::vector<UInt32>{2}));
    EXPECT_EQ(FolderTreeFindItemNode(tree.get(), 1), other);
    const UInt32 order[] = {9, 2};
    FolderNodeReorderItems(a, order, 2);
    EXPECT_EQ(FolderTreeRemoveItem(tree.get(), 2), a);
    EXPECT_TRUE(a->items.empty());
    EXPECT_EQ(FolderTreeRemoveItem(tree.get(), 2), nullptr);
    // Removing the last item leaves the folder; queuing and flushing removes it.
    tree->pendingRemoval.insert(a);
    FolderTreeFlushPending(tree.get());
    EXPECT_EQ(FolderTreeFindNodeByPath(tree.get(), vol + "\\pics"), nullptr);
    EXPECT_EQ(CheckTree(tree.get()), "");
}

TEST(FolderTree, ReorderItemsFollowsTheGivenIds) {
    TreePtr tree = NewTree();
    FolderNode* vol = AddNode(tree.get(), tree->root, "E\t1\tX");
    for (UInt32 id : {1u, 2u, 3u, 4u}) FolderNodeAddItem(tree.get(), vol, id, u"");
    const UInt32 order[] = {3, 99, 1};
    FolderNodeReorderItems(vol, order, 3);
    EXPECT_EQ(vol->items, (std::vector<UInt32>{3, 1, 2, 4}));
}

}  // namespace
