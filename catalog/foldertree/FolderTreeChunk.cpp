// The folder tree as the data of the catalog's 'FSM!' chunk: one 'fldr' chunk per node in
// pre-order, each with a table of its children's offsets from the start of the data.
//
//   0 'fldr', 4 length of this node's own chunk, 8 A, 12 B, 16 C, 20 N, 24 K, 28 flags,
//   32 parent offset, 36 reserved 0, then the UTF-16 name (A bytes, with byte-order mark),
//   the Mac Roman name (B), the alias bytes (C), N item ids, N item-name lengths, the item
//   names, and K child offsets. All numbers big-endian.
#include "catalog/foldertree/FolderTree.h"

#include "foundation/text/CodePages.h"
#include "foundation/text/Unicode.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"
#include "platform/Handles.h"

#include <algorithm>
#include <new>
#include <unordered_set>

namespace {

constexpr OSType kNodeTag = 'fldr';
constexpr std::size_t kNodeHeaderSize = 40;
// Deeper than any path a file system gives; it keeps every walk over the tree bounded.
constexpr int kMaxTreeDepth = 1024;

void AppendBE32(std::vector<std::uint8_t>* out, UInt32 v) {
    std::uint8_t b[4];
    WriteBE32(b, v);
    out->insert(out->end(), b, b + 4);
}

std::vector<std::uint8_t> Utf16Field(const std::u16string& text) {
    std::vector<std::uint8_t> field;
    if (text.empty()) return field;
    field.reserve(2 + 2 * text.size());
    field.push_back(0xFF);
    field.push_back(0xFE);
    for (char16_t u : text) {
        field.push_back(std::uint8_t(u));
        field.push_back(std::uint8_t(u >> 8));
    }
    return field;
}

// A UTF-16 field with its byte-order mark, in either byte order; anything else is no name.
std::u16string DecodeUtf16Field(const std::uint8_t* p, std::size_t length) {
    std::size_t units = length / 2;
    if (units == 0) return {};
    bool little;
    if (p[0] == 0xFF && p[1] == 0xFE)
        little = true;
    else if (p[0] == 0xFE && p[1] == 0xFF)
        little = false;
    else
        return {};
    std::u16string text;
    text.reserve(units - 1);
    for (std::size_t i = 1; i < units; ++i) {
        const std::uint8_t* u = p + 2 * i;
        text.push_back(little ? char16_t(u[0] | (u[1] << 8)) : char16_t((u[0] << 8) | u[1]));
    }
    return text;
}

struct WriteStep {
    FolderNode* node;
    UInt32 parentOffset;
    std::size_t slot;   // where this node's offset goes in its parent's child table
};

struct ReadStep {
    FolderNode* node;
    std::size_t offset;
    std::string parentKey;   // path-map key of the parent
};

OSErr ReadNode(FolderTree* tree, const std::uint8_t* data, std::size_t length, const ReadStep& step,
               std::vector<ReadStep>* work, std::unordered_set<std::size_t>* visited,
               std::size_t* consumed) {
    FolderNode* node = step.node;
    const std::size_t at = step.offset;
    if (at > length || length - at < 8) return eofErr;
    if (ReadBE32(data + at) != kNodeTag) return noErr;   // the node stays as it was made
    if (length - at < kNodeHeaderSize) return eofErr;
    const std::uint8_t* h = data + at;
    const std::uint64_t a = ReadBE32(h + 8), b = ReadBE32(h + 12), c = ReadBE32(h + 16);
    const std::uint64_t n = ReadBE32(h + 20), k = ReadBE32(h + 24);
    const std::uint64_t room = length - at - kNodeHeaderSize;
    std::uint64_t fixed = a + b + c + 8 * n;
    if (fixed > room) return eofErr;
    node->flags = ReadBE32(h + 28);

    std::size_t p = at + kNodeHeaderSize;
    node->unicodeName = DecodeUtf16Field(data + p, std::size_t(a));
    p += std::size_t(a);
    node->name.assign(reinterpret_cast<const char*>(data + p), std::size_t(b));
    MacRomanToAnsi(node->name.data(), long(node->name.size()));
    p += std::size_t(b);
    if (c > 0) {
        Handle alias = nullptr;
        if (PtrToHand(data + p, &alias, Size(c)) != noErr) return memFullErr;
        FolderNodeSetAlias(node, alias);
    }
    p += std::size_t(c);

    const std::size_t idsAt = p;
    const std::size_t lengthsAt = p + std::size_t(4 * n);
    p = lengthsAt + std::size_t(4 * n);
    std::uint64_t namesTotal = 0;
    for (std::uint64_t i = 0; i < n; ++i) namesTotal += ReadBE32(data + lengthsAt + 4 * i);
    if (namesTotal > room - fixed || 4 * k > room - fixed - namesTotal) return eofErr;
    // Chunks of a sound file never overlap; a file whose nodes claim more bytes than there are
    // is refused before it can make the walk quadratic.
    *consumed += kNodeHeaderSize + std::size_t(fixed + namesTotal + 4 * k);
    if (*consumed > length) return kCatalogBadFileErr;

    node->items.clear();
    node->itemNames.clear();
    node->items.reserve(std::size_t(n));
    for (std::uint64_t i = 0; i < n; ++i) {
        const UInt32 id = ReadBE32(data + idsAt + 4 * i);
        const UInt32 nameLength = ReadBE32(data + lengthsAt + 4 * i);
        node->items.push_back(id);
        node->itemNames[id] = DecodeUtf16Field(data + p, nameLength);
        p += nameLength;
    }

    for (UInt32 id : node->items) tree->itemMap[id] = node;
    std::string key;
    if (node != tree->root) {
        key = node->depth == 0 ? FolderNodePathComponent(node)
                               : step.parentKey + '\\' + FolderNodePathComponent(node);
        tree->pathMap[key] = node;
    }

    if (k > 0) {
        if (node->depth + 1 >= kMaxTreeDepth) return kCatalogBadFileErr;
        std::vector<ReadStep> children;
        children.reserve(std::size_t(k));
        for (std::uint64_t i = 0; i < k; ++i) {
            const std::size_t childAt = ReadBE32(data + p + 4 * i);
            if (!visited->insert(childAt).second) return kCatalogBadFileErr;
            FolderNode* child = FolderNodeNew(tree, kFolderDummyName, {}, nullptr);
            child->parent = node;
            child->depth = node->depth + 1;
            node->children.push_back(child);
            children.push_back(ReadStep{child, childAt, key});
        }
        // The first child is read first, with its whole subtree, as the file lists them.
        work->insert(work->end(), children.rbegin(), children.rend());
    }
    return noErr;
}

class SortVisitor : public FolderVisitor {
public:
    void Visit(FolderNode* node) override {
        FolderNodeSortChildren(node);
        for (FolderNode* child : node->children) Visit(child);
    }
};

}  // namespace

OSErr FolderTreeWriteToBytes(FolderTree* tree, std::vector<std::uint8_t>* out) {
    try {
        out->clear();
        std::vector<WriteStep> work{WriteStep{tree->root, 0, SIZE_MAX}};
        while (!work.empty()) {
            WriteStep step = work.back();
            work.pop_back();
            FolderNode* node = step.node;
            const std::size_t start = out->size();
            if (step.slot != SIZE_MAX) WriteBE32(out->data() + step.slot, UInt32(start));

            std::vector<std::uint8_t> unicodeField = Utf16Field(node->unicodeName);
            std::vector<std::vector<std::uint8_t>> itemFields;
            itemFields.reserve(node->items.size());
            std::size_t namesTotal = 0;
            for (UInt32 id : node->items) {
                itemFields.push_back(Utf16Field(node->itemNames[id]));
                namesTotal += itemFields.back().size();
            }
            std::string name = node->name;
            AnsiToMacRoman(name.data(), long(name.size()));
            const std::size_t aliasSize = node->alias ? std::size_t(GetHandleSize(node->alias)) : 0;
            const std::size_t n = node->items.size(), k = node->children.size();
            const std::size_t chunkLength = kNodeHeaderSize + unicodeField.size() + name.size() +
                                            aliasSize + 8 * n + namesTotal + 4 * k;

            AppendBE32(out, kNodeTag);
            AppendBE32(out, UInt32(chunkLength));
            AppendBE32(out, UInt32(unicodeField.size()));
            AppendBE32(out, UInt32(name.size()));
            AppendBE32(out, UInt32(aliasSize));
            AppendBE32(out, UInt32(n));
            AppendBE32(out, UInt32(k));
            AppendBE32(out, node->flags);
            AppendBE32(out, step.parentOffset);
            AppendBE32(out, 0);
            out->insert(out->end(), unicodeField.begin(), unicodeField.end());
            out->insert(out->end(), name.begin(), name.end());
            if (aliasSize) {
                HLock(node->alias);
                out->insert(out->end(), *node->alias, *node->alias + aliasSize);
                HUnlock(node->alias);
            }
            for (UInt32 id : node->items) AppendBE32(out, id);
            for (const auto& f : itemFields) AppendBE32(out, UInt32(f.size()));
            for (const auto& f : itemFields) out->insert(out->end(), f.begin(), f.end());
            // The child table holds placeholders until each child's offset is known.
            const std::size_t table = out->size();
            for (std::size_t i = 0; i < k; ++i) {
                out->insert(out->end(), {0xEF, 0xBE, 0xAD, 0xDE});
            }
            for (std::size_t i = k; i-- > 0;)
                work.push_back(WriteStep{node->children[i], UInt32(start), table + 4 * i});
        }
        return noErr;
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
}

OSErr FolderTreeReadFromBytes(FolderTree* tree, const std::uint8_t* data, std::size_t length) {
    try {
        tree->loaded = 0;
        // Every entry of the maps points into the tree that is about to go.
        tree->itemMap.clear();
        tree->pathMap.clear();
        tree->visibleRows.clear();
        FolderNodeDestroy(tree, tree->root);
        tree->pendingRemoval.clear();
        tree->root = FolderNodeNew(tree, kFolderRootName, {}, nullptr);
        tree->root->depth = -1;

        std::vector<ReadStep> work{ReadStep{tree->root, 0, std::string()}};
        std::unordered_set<std::size_t> visited{0};
        std::size_t consumed = 0;
        OSErr err = noErr;
        while (!work.empty() && err == noErr) {
            ReadStep step = std::move(work.back());
            work.pop_back();
            err = ReadNode(tree, data, length, step, &work, &visited, &consumed);
        }
        SortVisitor sort;
        sort.Visit(tree->root);
        if (err != noErr) return err;
        FolderTreeRebuildVisible(tree);
        tree->loaded = 1;
        return noErr;
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
}

OSErr FolderTreeWrite(FolderTree* tree, SInt16 refNum) {
    std::vector<std::uint8_t> bytes;
    OSErr err = FolderTreeWriteToBytes(tree, &bytes);
    if (err != noErr) return err;
    long count = long(bytes.size());
    err = FSWrite(refNum, &count, bytes.data());
    if (err == noErr && count != long(bytes.size())) err = ioErr;
    return err;
}

OSErr FolderTreeRead(FolderTree* tree, SInt16 refNum, long length) {
    if (length < 0) return paramErr;
    std::vector<std::uint8_t> bytes;
    try {
        bytes.resize(std::size_t(length));
    } catch (const std::bad_alloc&) {
        return memFullErr;
    }
    long count = length;
    OSErr err = FSRead(refNum, &count, bytes.data());
    if (err != noErr) return err;
    return FolderTreeReadFromBytes(tree, bytes.data(), bytes.size());
}
