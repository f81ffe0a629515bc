#include "SaveSupport.h"

#include "catalog/save/WorkFile.h"
#include "foundation/text/PString.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace savetest {

namespace {

Handle HandleOf(const std::string& bytes) {
    if (bytes.empty()) return nullptr;
    Handle h = nullptr;
    PtrToHand(bytes.data(), &h, Size(bytes.size()));
    return h;
}

struct Blocks {
    Handle h[5] = {};
    ~Blocks() {
        for (Handle x : h)
            if (x) DisposeHandle(x);
    }
};

ItemRec RecordFor(const TestItem& item, Blocks* blocks) {
    ItemRec r = MakeItemRecord(item.path, item.fileSize);
    r.thumbnailSize = UInt32(item.thumbnail.size());
    r.annotationsSize = UInt32(item.annotations.size());
    r.urlSize = UInt32(item.url.size());
    r.metadataSize = UInt32(item.metadata.size());
    r.recordingSize = UInt32(item.recording.size());
    blocks->h[0] = HandleOf(item.thumbnail);
    blocks->h[1] = HandleOf(item.annotations);
    blocks->h[2] = HandleOf(item.url);
    blocks->h[3] = HandleOf(item.metadata);
    blocks->h[4] = HandleOf(item.recording);
    return r;
}

SInt32 Write(ItemRec* r, Blocks& b, SInt16 ref, SInt32 position, SInt32* size) {
    return ItemWriteRecord(r, b.h[0], b.h[1], b.h[2], b.h[3], b.h[4], ref, position, size);
}

}  // namespace

std::string CaptionBlock(const std::string& ansiText) {
    std::string out = {char(0x1C), char(2), char(120), char(ansiText.size() >> 8), char(ansiText.size() & 0xFF)};
    return out + ansiText;
}

std::string FileNameOf(const ItemRec& record) {
    return std::string(reinterpret_cast<const char*>(record.fileName + 1), record.fileName[0]);
}

SInt32 AddWorkItem(CatalogRec* c, const TestItem& item) {
    Blocks b;
    ItemRec r = RecordFor(item, &b);
    SInt32 size = 0;
    SInt32 pos = Write(&r, b, c->workRefNum, -1, &size);
    if (pos < 0) return -1;
    SInt32 index = c->itemCount;
    ItemEntry& e = c->entries[index];
    e = ItemEntry{};
    e.position = pos;
    e.id = c->nextItemId++;
    ItemEntrySetNameChars(&e, r.storedName);
    e.flags |= kEntryAddedFlag | kEntryInWorkFileFlag;
    c->itemCount++;
    c->dataSize += size;
    c->mediaSize32 += SInt32(item.fileSize);
    c->mediaSize64 += item.fileSize;
    FolderTreeAddItemPath(c->folderTree, item.path, e.id, nullptr, nullptr);
    CatalogSetModified(c);
    return index;
}

void UpdateItem(CatalogRec* c, SInt32 index, const TestItem& item) {
    ItemEntry& e = c->entries[index];
    ItemRec old;
    if (CatalogReadEntryRecord(c, &e, &old) != noErr) return;
    Blocks b;
    ItemRec r = RecordFor(item, &b);
    UInt64 oldSize = ItemRecVarSize(&old), newSize = ItemRecVarSize(&r);
    SInt32 position = -1;
    if (e.flags & kEntryInWorkFileFlag) {
        SInt64 reserve = SInt64(old.reserve) + SInt64(oldSize) - SInt64(newSize);
        if (reserve >= 0) {
            r.reserve = UInt32(reserve);
            position = e.position;
        }
    }
    SInt32 size = 0;
    SInt32 pos = Write(&r, b, c->workRefNum, position, &size);
    if (pos < 0) return;
    if (!(e.flags & kEntryInWorkFileFlag) && e.position < c->lowestHole) c->lowestHole = e.position;
    e.position = pos;
    e.flags |= kEntryInWorkFileFlag;
    c->dataSize += SInt32(newSize) - SInt32(oldSize);
    CatalogSetModified(c);
}

void DeleteItem(CatalogRec* c, SInt32 index) {
    ItemEntry e = c->entries[index];
    ItemRec r;
    if (CatalogReadEntryRecord(c, &e, &r) == noErr) c->dataSize -= SInt32(kItemRecSize + ItemRecVarSize(&r));
    if (!(e.flags & kEntryInWorkFileFlag) && e.position < c->lowestHole) c->lowestHole = e.position;
    std::memmove(c->entries + index, c->entries + index + 1, std::size_t(c->itemCount - index - 1) * sizeof(ItemEntry));
    c->itemCount--;
    FolderTreeRemoveItem(c->folderTree, e.id);
    CatalogSetModified(c);
}

std::vector<std::string> ItemNames(const CatalogRec* c) {
    std::vector<std::string> names;
    for (SInt32 i = 0; i < c->itemCount; ++i) {
        ItemRec r;
        names.push_back(CatalogReadEntryRecord(c, &c->entries[i], &r) == noErr ? FileNameOf(r) : "<unreadable>");
    }
    return names;
}

Bytes StoredRecord(const CatalogRec* c, SInt32 index) {
    const ItemEntry& e = c->entries[index];
    SInt16 ref = CatalogGetItemRefNum(c, &e);
    std::uint8_t head[kItemRecSize];
    long count = long(kItemRecSize);
    if (FSReadAt(ref, e.position, &count, head) != noErr) return {};
    UInt64 blocks = 0;
    for (std::size_t off : {1004, 1008, 1012, 1016, 1020}) blocks += ReadBE32(head + off);
    Bytes out(kItemRecSize + blocks);
    count = long(out.size());
    if (FSReadAt(ref, e.position, &count, out.data()) != noErr) return {};
    WriteBE32(out.data() + 1000, 0);
    return out;
}

CatalogSnapshot TakeSnapshot(const CatalogRec* c) {
    CatalogSnapshot s;
    s.entries.assign(c->entries, c->entries + c->itemCount);
    s.itemCount = c->itemCount;
    s.dataSize = c->dataSize;
    s.endOfRecords = c->endOfRecords;
    s.lowestHole = c->lowestHole;
    s.itemCountAtSave = c->itemCountAtSave;
    s.modifiedStamp = c->modifiedStamp;
    s.filePath = c->fileSpec.path;
    s.catalogRefNum = c->catalogRefNum;
    s.workRefNum = c->workRefNum;
    for (SInt32 i = 0; i < c->itemCount; ++i) s.records.push_back(StoredRecord(c, i));
    SInt64 length = 0;
    if (c->workRefNum && GetEOF64(c->workRefNum, &length) == noErr) {
        s.workLength = length;
        // A huge (sparse) work file is compared by its length only.
        if (length > (64 << 20)) return s;
        s.workFile.resize(std::size_t(length));
        long count = long(length);
        FSReadAt(c->workRefNum, 0, &count, s.workFile.data());
    }
    return s;
}

std::string CompareSnapshots(const CatalogSnapshot& a, const CatalogSnapshot& b) {
    std::ostringstream d;
    if (a.itemCount != b.itemCount) d << "itemCount; ";
    if (a.entries.size() != b.entries.size() ||
        (!a.entries.empty() &&
         std::memcmp(a.entries.data(), b.entries.data(), a.entries.size() * sizeof(ItemEntry)) != 0))
        d << "entries; ";
    if (a.dataSize != b.dataSize) d << "dataSize; ";
    if (a.endOfRecords != b.endOfRecords) d << "endOfRecords; ";
    if (a.lowestHole != b.lowestHole) d << "lowestHole; ";
    if (a.itemCountAtSave != b.itemCountAtSave) d << "itemCountAtSave; ";
    if (a.modifiedStamp != b.modifiedStamp) d << "modifiedStamp; ";
    if (a.filePath != b.filePath) d << "fileSpec; ";
    if (a.catalogRefNum != b.catalogRefNum) d << "catalogRefNum; ";
    if (a.workRefNum != b.workRefNum) d << "workRefNum; ";
    for (std::size_t i = 0; i < a.records.size() && i < b.records.size(); ++i)
        if (a.records[i] != b.records[i] || a.records[i].empty()) d << "record " << i << "; ";
    if (a.workLength != b.workLength) d << "work file length; ";
    if (a.workFile != b.workFile) d << "work file bytes; ";
    return d.str();
}

std::string CheckSavedFile(const std::string& path) {
    Bytes file = ReadBytes(path);
    CatalogImage image;
    if (!ParseCatalogImage(file, &image)) return "not a well-formed catalog file";
    std::ostringstream d;
    if (image.headerTag != kCatalogFileTag) d << "header tag; ";
    // Walk the records back to back.
    std::vector<UInt32> starts;
    std::size_t at = 0;
    while (at < image.records.size()) {
        if (at + kItemRecSize > image.records.size()) {
            d << "record cut at " << at << "; ";
            break;
        }
        const std::uint8_t* r = image.records.data() + at;
        if (ReadBE32(r + 1000) != 0) d << "reserve at " << at + 8 << "; ";
        UInt64 blocks = 0;
        for (std::size_t off : {1004, 1008, 1012, 1016, 1020}) blocks += ReadBE32(r + off);
        starts.push_back(UInt32(at + 8));
        at += kItemRecSize + blocks;
    }
    if (starts.size() != image.headerCount) d << "header count " << image.headerCount << " for " << starts.size() << " records; ";
    TestChunk* cell = image.Find('CELL');
    std::size_t cellCount = cell ? cell->data.size() / 12 : 0;
    if (cellCount != starts.size()) d << "CELL has " << cellCount << " entries; ";
    for (std::size_t i = 0; i < cellCount && i < starts.size(); ++i) {
        UInt32 pos = ReadBE32(cell->data.data() + 12 * i);
        if (pos != starts[i] && std::find(starts.begin(), starts.end(), pos) == starts.end())
            d << "entry " << i << " points between records; ";
        if (ReadBE32(cell->data.data() + 12 * i + 8) & kEntryInWorkFileFlag)
            d << "entry " << i << " still in the work file; ";
    }
    return d.str();
}

std::vector<std::string> NamesInFile(const std::string& path, OSErr* err) {
    CatalogRec* c = nullptr;
    OSErr e = OpenCatalogAt(path, &c);
    if (err) *err = e;
    if (e != noErr) return {"<open failed " + std::to_string(e) + ">"};
    std::vector<std::string> names = ItemNames(c);
    CatalogClose(c, false);
    return names;
}

}  // namespace savetest
