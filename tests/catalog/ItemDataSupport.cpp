#include "ItemDataSupport.h"

#include "catalog/file/CatalogEngine.h"
#include "foundation/text/CodePages.h"
#include "foundation/text/PString.h"
#include "media/metadata/IptcBlock.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"
#include "platform/Handles.h"

#include <cstring>

ByteString BE16(UInt16 v) { return ByteString{char(v >> 8), char(v)}; }
ByteString BE32(UInt32 v) { return ByteString{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }
ByteString LE16(UInt16 v) { return ByteString{char(v), char(v >> 8)}; }
ByteString LE32(UInt32 v) { return ByteString{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; }

std::string PText(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

TestItem MakeTestItem(const std::string& name, UInt32 fileSize) {
    TestItem t;
    PStrFromBytes(t.record.fileName, name.data(), long(name.size()));
    PStrFromBytes(t.record.storedName, name.data(), long(name.size() > 63 ? 63 : name.size()));
    t.record.kind = 'JPEG';
    t.record.fileSize = fileSize;
    t.record.width = 640;
    t.record.height = 480;
    t.record.resolution = 72;
    return t;
}

ByteString Dataset(FieldId id, const ByteString& data, UInt8 marker) {
    return ByteString{char(marker), char(id >> 8), char(id & 0xFF)} + BE16(UInt16(data.size())) + data;
}

ByteString FlattenedUserData(const std::vector<TestUdItem>& items) {
    UserData ud = nullptr;
    NewUserData(&ud);
    for (const TestUdItem& i : items) {
        Handle h = nullptr;
        PtrToHand(i.bytes.data(), &h, Size(i.bytes.size()));
        if (i.text)
            AddUserDataText(ud, h, i.type, 1, 0);
        else
            AddUserData(ud, h, i.type);
        DisposeHandle(h);
    }
    Handle flat = NewHandle(0);
    PutUserDataIntoHandle(ud, flat);
    ByteString out(*flat, std::size_t(GetHandleSize(flat)));
    DisposeHandle(flat);
    DisposeUserData(ud);
    return out;
}

ByteString CompactExif(char order, const std::vector<TestExifEntry>& entries) {
    ByteString out;
    out += order;
    out += char(entries.size());
    for (const TestExifEntry& e : entries) out += LE16(e.tag) + LE16(e.type) + LE16(e.count) + ByteString(2, 0) + e.value;
    return out;
}

namespace {

// The record in file order followed by its blocks in file order, texts in Mac Roman.
ByteString RecordBytes(const TestItem& item) {
    ItemRec r = item.record;
    r.thumbnailSize = UInt32(item.thumbnail.size());
    r.annotationsSize = UInt32(item.annotations.size());
    r.urlSize = UInt32(item.url.size());
    r.metadataSize = UInt32(item.metadata.size());
    r.recordingSize = UInt32(item.recording.size());
    ItemRecToFileOrder(&r);
    ByteString out(reinterpret_cast<const char*>(&r), sizeof r);
    out += item.thumbnail;
    ByteString annotations = item.annotations;
    if (!annotations.empty()) {
        Handle h = nullptr;
        PtrToHand(annotations.data(), &h, Size(annotations.size()));
        IptcConvertCharset(h, 0);
        annotations.assign(*h, std::size_t(GetHandleSize(h)));
        DisposeHandle(h);
    }
    out += annotations;
    ByteString url = item.url;
    AnsiToMacRoman(url.data(), long(url.size()));
    out += url;
    out += item.metadata;
    out += item.recording;
    return out;
}

ItemEntry EntryFor(CatalogRec* catalog, const TestItem& item) {
    ItemEntry e{};
    e.id = catalog->nextItemId++;
    e.flags = item.flags;
    ItemEntrySetNameChars(&e, item.record.storedName);
    return e;
}

void Count(CatalogRec* catalog, const ItemEntry& e, long bytes) {
    catalog->itemCount++;
    if (e.flags & kEntryLabelMask) catalog->labelledCount++;
    if (e.flags & kEntryHiddenFlag) catalog->hiddenCount++;
    catalog->dataSize += SInt32(bytes);
}

}  // namespace

OSErr WriteCatalogWithItems(const std::string& path, CatalogRec* catalog, const std::vector<TestItem>& items) {
    FSSpec spec;
    OSErr err = FSMakeFSSpecFromPath(path, &spec);
    if (err != noErr && err != fnfErr) return err;
    if (err == noErr) FSpDelete(&spec);
    if ((err = FSpCreate(&spec, 0, 0, -1)) != noErr) return err;
    SInt16 ref = 0;
    if ((err = FSpOpenDF(&spec, fsRdWrPerm, &ref)) != noErr) return err;
    auto write = [&](const void* p, long n) {
        long count = n;
        if (err == noErr) err = FSWrite(ref, &count, p);
    };
    catalog->itemCount = catalog->labelledCount = catalog->hiddenCount = catalog->dataSize = 0;
    ByteString head = BE32(UInt32(items.size())) + BE32(kCatalogFileTag);
    write(head.data(), 8);
    long at = 8;
    for (const TestItem& item : items) {
        ItemEntry e = EntryFor(catalog, item);
        e.position = SInt32(at);
        ByteString bytes = RecordBytes(item);
        write(bytes.data(), long(bytes.size()));
        at += long(bytes.size());
        catalog->entries[catalog->itemCount] = e;
        Count(catalog, e, long(bytes.size()));
    }
    catalog->endOfRecords = SInt32(at);
    if (err == noErr) err = CatalogWriteChunks(ref, catalog);
    ByteString tail = BE32(kCatalogFileTag) + BE32(UInt32(at));
    write(tail.data(), 8);
    FSClose(ref);
    return err;
}

SInt32 AppendWorkFileItem(CatalogRec* catalog, const TestItem& item) {
    if (!catalog->workRefNum) return 0;
    SInt64 end = 0;
    if (GetEOF64(catalog->workRefNum, &end) != noErr) return 0;
    ByteString bytes = RecordBytes(item);
    long count = long(bytes.size());
    if (FSWriteAt(catalog->workRefNum, end, &count, bytes.data()) != noErr) return 0;
    ItemEntry e = EntryFor(catalog, item);
    e.position = SInt32(end);
    e.flags |= kEntryInWorkFileFlag;
    catalog->entries[catalog->itemCount] = e;
    Count(catalog, e, long(bytes.size()));
    return catalog->itemCount;
}

CatalogRec* NewCatalogWithWorkFile(const TempFolder& folder, const std::string& workName) {
    CatalogEngineInit(400, 200);
    FSSpec work;
    FSMakeFSSpecFromPath(folder / workName, &work);
    CatalogRec* catalog = nullptr;
    CatalogOpen(&catalog, nullptr, &work, nullptr, nullptr, nullptr, 0);
    return catalog;
}

CatalogRec* OpenCatalogWithWorkFile(const std::string& path, const TempFolder& folder, const std::string& workName) {
    FSSpec spec, work;
    FSMakeFSSpecFromPath(path, &spec);
    FSMakeFSSpecFromPath(folder / workName, &work);
    CatalogRec* catalog = nullptr;
    CatalogOpen(&catalog, &spec, &work, nullptr, nullptr, nullptr, 0);
    return catalog;
}

std::vector<UInt32> Ids(Handle h) {
    std::vector<UInt32> out;
    if (!h) return out;
    out.resize(std::size_t(GetHandleSize(h) / 4));
    if (!out.empty()) std::memcpy(out.data(), *h, out.size() * 4);  // an empty handle has no block
    DisposeHandle(h);
    return out;
}
