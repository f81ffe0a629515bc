#include "CatalogFileSupport.h"

#include "catalog/file/CatalogEngine.h"
#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <set>
#include <sstream>

namespace {

void PutBE32(Bytes* out, UInt32 v) {
    std::uint8_t b[4];
    WriteBE32(b, v);
    out->insert(out->end(), b, b + 4);
}

}  // namespace

Bytes CatalogImage::Build() const {
    Bytes out;
    PutBE32(&out, headerCount);
    PutBE32(&out, headerTag);
    out.insert(out.end(), records.begin(), records.end());
    const UInt32 endOfRecords = UInt32(out.size());
    for (const TestChunk& c : chunks) {
        PutBE32(&out, c.tag);
        PutBE32(&out, UInt32(c.data.size()));
        out.insert(out.end(), c.data.begin(), c.data.end());
    }
    if (trailer) {
        if (endTag) PutBE32(&out, kCatalogFileTag);
        PutBE32(&out, UInt32(long(endOfRecords) + endOfRecordsDelta));
    }
    return out;
}

TestChunk* CatalogImage::Find(OSType tag) {
    for (TestChunk& c : chunks)
        if (c.tag == tag) return &c;
    return nullptr;
}

void CatalogImage::Remove(OSType tag) {
    chunks.erase(std::remove_if(chunks.begin(), chunks.end(), [&](const TestChunk& c) { return c.tag == tag; }),
                 chunks.end());
}

bool ParseCatalogImage(const Bytes& file, CatalogImage* image) {
    if (file.size() < 16) return false;
    *image = CatalogImage{};
    image->headerCount = ReadBE32(file.data());
    image->headerTag = ReadBE32(file.data() + 4);
    const std::size_t eor = ReadBE32(file.data() + file.size() - 4);
    if (eor < 8 || eor > file.size() - 8) return false;
    image->records.assign(file.begin() + 8, file.begin() + long(eor));
    std::size_t at = eor;
    for (;;) {
        if (at + 4 > file.size()) return false;
        OSType tag = ReadBE32(file.data() + at);
        if (tag == kCatalogFileTag) break;
        if (at + 8 > file.size()) return false;
        std::size_t len = ReadBE32(file.data() + at + 4);
        if (at + 8 + len > file.size()) return false;
        image->chunks.push_back({tag, Bytes(file.begin() + long(at + 8), file.begin() + long(at + 8 + len))});
        at += 8 + len;
    }
    return at + 8 == file.size();
}

ItemRec MakeItemRecord(const std::string& pathAnsi, UInt32 fileSize) {
    ItemRec r{};
    PStrFromBytes(r.fileName, pathAnsi.data(), long(pathAnsi.size()));
    std::string name = pathAnsi.substr(pathAnsi.find_last_of("/\\") + 1);
    if (name.size() > 63) name.resize(63);
    std::memcpy(r.storedName + 1, name.data(), name.size());
    r.storedName[0] = UInt8(name.size());
    r.kind = 'JPEG';
    r.fileSize = fileSize;
    r.width = 640;
    r.height = 480;
    return r;
}

void AddTestItems(CatalogRec* catalog, const std::vector<ItemRec>& records,
                  const std::vector<std::string>& storedPaths) {
    for (std::size_t i = 0; i < records.size(); ++i) {
        ItemEntry& e = catalog->entries[catalog->itemCount];
        e = ItemEntry{};
        e.id = catalog->nextItemId++;
        ItemEntrySetNameChars(&e, records[i].storedName);
        catalog->itemCount++;
        catalog->dataSize += SInt32(kItemRecSize + ItemRecVarSize(&records[i]));
        catalog->mediaSize32 += SInt32(records[i].fileSize);
        catalog->mediaSize64 += records[i].fileSize;
        if (i < storedPaths.size()) {
            FolderNode* node = FolderTreeAddItemPath(catalog->folderTree, storedPaths[i], e.id, nullptr, nullptr);
            // The UTF-16 name the disk would give for the file.
            if (node && node->itemNames[e.id].empty())
                node->itemNames[e.id] = Utf8ToUtf16(storedPaths[i].substr(storedPaths[i].rfind('\\') + 1));
        }
    }
}

OSErr WriteCatalogFile(const std::string& path, CatalogRec* catalog, const std::vector<ItemRec>& records) {
    FSSpec spec;
    OSErr err = FSMakeFSSpecFromPath(path, &spec);
    if (err != noErr && err != fnfErr) return err;
    if (err == noErr) FSpDelete(&spec);
    err = FSpCreate(&spec, 0, 0, -1);
    if (err != noErr) return err;
    SInt16 ref = 0;
    err = FSpOpenDF(&spec, fsRdWrPerm, &ref);
    if (err != noErr) return err;
    auto write = [&](const void* p, long n) {
        long count = n;
        if (err == noErr) err = FSWrite(ref, &count, p);
    };
    std::uint8_t head[8];
    WriteBE32(head, UInt32(catalog->itemCount));
    WriteBE32(head + 4, kCatalogFileTag);
    write(head, 8);
    long at = 8;
    for (SInt32 i = 0; i < catalog->itemCount && i < SInt32(records.size()); ++i) {
        ItemRec r = records[std::size_t(i)];
        catalog->entries[i].position = SInt32(at);
        ItemRecToFileOrder(&r);
        write(&r, sizeof r);
        at += long(sizeof r);
    }
    catalog->endOfRecords = SInt32(at);
    if (err == noErr) err = CatalogWriteChunks(ref, catalog);
    WriteBE32(head, kCatalogFileTag);
    WriteBE32(head + 4, UInt32(at));
    write(head, 8);
    FSClose(ref);
    return err;
}

Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

void StartCatalogEngine(SInt32 editionCode) { CatalogEngineInit(editionCode, 200); }

OSErr OpenCatalogAt(const std::string& path, CatalogRec** catalog, ConstStr255Param password,
                    CatalogPasswordProc proc, CatalogProgressProc progress, long refCon) {
    FSSpec spec;
    OSErr err = FSMakeFSSpecFromPath(path, &spec);
    if (err != noErr) return err;
    return CatalogOpen(catalog, &spec, nullptr, proc, password, progress, refCon);
}

std::string CheckCatalogInvariants(const CatalogRec* c) {
    std::ostringstream problems;
    if (c->itemCount < 0 || c->itemCount > c->entryCapacity) problems << "item count " << c->itemCount << "; ";
    std::set<UInt32> ids;
    SInt32 labelled = 0;
    for (SInt32 i = 0; i < c->itemCount && i < c->entryCapacity; ++i) {
        const ItemEntry& e = c->entries[i];
        if (e.id == 0 || !ids.insert(e.id).second) problems << "id " << e.id << " at " << i << "; ";
        if (e.id >= c->nextItemId) problems << "id " << e.id << " not below next id; ";
        if ((e.flags & kEntryLabelMask) > 9) problems << "label at " << i << "; ";
        if (e.flags & kEntryLabelMask) ++labelled;
        if (e.flags & kEntryUnusedMask) problems << "unused flag bits at " << i << "; ";
    }
    if (labelled != c->labelledCount) problems << "labelled count; ";
    if (c->hiddenCount != 0) problems << "hidden count; ";
    FolderTree* tree = c->folderTree;
    if (!tree || !tree->root) {
        problems << "no folder tree; ";
    } else {
        std::set<const FolderNode*> live;
        std::vector<const FolderNode*> work{tree->root};
        while (!work.empty()) {
            const FolderNode* n = work.back();
            work.pop_back();
            live.insert(n);
            for (std::size_t i = 0; i < n->children.size(); ++i) {
                if (n->children[i]->parent != n) problems << "parent link; ";
                if (i > 0 && FolderNameCompare(n->children[i - 1]->name, n->children[i]->name) > 0)
                    problems << "children out of order under " << n->name << "; ";
                work.push_back(n->children[i]);
            }
        }
        for (const auto& [id, node] : tree->itemMap) {
            if (!live.count(node)) {
                problems << "item map sends " << id << " to a node not in the tree; ";
                continue;
            }
            if (std::find(node->items.begin(), node->items.end(), id) == node->items.end())
                problems << "item map sends " << id << " to a node without it; ";
        }
        for (const auto& [path, node] : tree->pathMap) {
            if (!live.count(node))
                problems << "path map entry " << path << " to a node not in the tree; ";
            else if (FolderTreePathKey(tree, FolderNodeStoredPath(node)) != path)
                problems << "path map entry " << path << "; ";
        }
    }
    return problems.str();
}

void MakeTestEntries(CatalogRec* catalog, int n, const std::vector<UInt32>& hiddenIds) {
    catalog->itemCount = n;
    catalog->hiddenCount = 0;
    for (int i = 0; i < n; ++i) {
        catalog->entries[i] = ItemEntry{8 + 1024 * i, UInt32(i + 1), 0};
        if (std::find(hiddenIds.begin(), hiddenIds.end(), UInt32(i + 1)) != hiddenIds.end()) {
            catalog->entries[i].flags |= kEntryHiddenFlag;
            ++catalog->hiddenCount;
        }
    }
}

std::vector<UInt32> EntryIds(const CatalogRec* catalog) {
    std::vector<UInt32> ids;
    for (int i = 0; i < catalog->itemCount; ++i) ids.push_back(catalog->entries[i].id);
    return ids;
}
