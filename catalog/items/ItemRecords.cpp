#include "catalog/items/ItemRecords.h"

#include "catalog/fields/FieldEngine.h"
#include "platform/ByteOrder.h"
#include "platform/Files.h"

#include <cstring>
#include <thread>

namespace {

bool Visible(const ItemEntry& e) { return (e.flags & kEntryHiddenFlag) == 0; }

}  // namespace

ItemEntry* CatalogGetItemEntry(const CatalogRec* catalog, SInt32 n) {
    if (!catalog || !catalog->entries || n < 1 || n > catalog->itemCount) return nullptr;
    if (catalog->hiddenCount == 0) return &catalog->entries[n - 1];
    SInt32 seen = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        if (Visible(catalog->entries[i]) && ++seen == n) return &catalog->entries[i];
    return nullptr;
}

SInt32 CatalogFindItemById(const CatalogRec* catalog, UInt32 id) {
    if (!catalog || !catalog->entries || id == 0) return 0;
    SInt32 visible = 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i) {
        const ItemEntry& e = catalog->entries[i];
        if (!Visible(e)) continue;
        ++visible;
        if (e.id == id) return visible;
    }
    return 0;
}

SInt32 CatalogFindEntryIndexById(const CatalogRec* catalog, UInt32 id) {
    if (!catalog || !catalog->entries || id == 0) return 0;
    for (SInt32 i = 0; i < catalog->itemCount; ++i)
        if (catalog->entries[i].id == id) return i + 1;
    return 0;
}

ItemEntry* CatalogFindEntryById(const CatalogRec* catalog, UInt32 id) {
    SInt32 index = CatalogFindEntryIndexById(catalog, id);
    return index ? &catalog->entries[index - 1] : nullptr;
}

bool CatalogHasItemId(const CatalogRec* catalog, UInt32 id) {
    return CatalogFindEntryIndexById(catalog, id) != 0;
}

UInt32 ItemGetId(const CatalogRec* catalog, SInt32 n) {
    const ItemEntry* e = CatalogGetItemEntry(catalog, n);
    return e ? e->id : 0;
}

bool ItemIsPendingRefresh(const CatalogRec* catalog, SInt32 n) {
    const ItemEntry* e = CatalogGetItemEntry(catalog, n);
    return e && (e->flags & kEntryPendingFlag) != 0;
}

UInt8 ItemGetLabel(const CatalogRec* catalog, SInt32 n) {
    const ItemEntry* e = CatalogGetItemEntry(catalog, n);
    return e ? UInt8(e->flags & kEntryLabelMask) : 0;
}

OSErr ItemReadRecordRaw(SInt16 file, SInt32 position, void* buffer, long offset, long length) {
    if (!buffer || offset < 0 || length < 0 || offset + length > long(kItemRecSize)) return paramErr;
    FieldEngineState& e = FieldEngine();
    if (std::this_thread::get_id() != e.recordCacheOwner) {
        if (file == 0 || position < 0) {
            std::memset(buffer, 0, std::size_t(length));
            return rfNumErr;
        }
        ItemRec scratch;
        long count = long(kItemRecSize);
        OSErr err = FSReadAt(file, position, &count, &scratch);
        if (err == noErr && count != long(kItemRecSize)) err = eofErr;
        if (err != noErr) {
            std::memset(buffer, 0, std::size_t(length));
            return err;
        }
        ItemRecToNativeOrder(&scratch);
        std::memcpy(buffer, reinterpret_cast<const std::uint8_t*>(&scratch) + offset, std::size_t(length));
        return noErr;
    }
    if (e.recordFile != file || e.recordPosition != position || file == 0) {
        e.recordFile = -1;
        e.recordPosition = -1;
        OSErr err = file == 0 || position < 0 ? rfNumErr : noErr;
        ItemRec scratch;
        if (err == noErr) {
            long count = long(kItemRecSize);
            err = FSReadAt(file, position, &count, &scratch);
            if (err == noErr && count != long(kItemRecSize)) err = eofErr;
        }
        if (err != noErr) {
            std::memset(buffer, 0, std::size_t(length));
            return err;
        }
        ItemRecToNativeOrder(&scratch);
        std::memcpy(e.record, &scratch, kItemRecSize);
        e.recordFile = file;
        e.recordPosition = position;
    }
    std::memcpy(buffer, e.record + offset, std::size_t(length));
    return noErr;
}

OSErr ItemLoadRecord(const CatalogRec* catalog, const ItemEntry* entry, ItemRec* record) {
    if (!catalog || !entry || !record) return paramErr;
    return ItemReadRecordRaw(CatalogGetItemRefNum(catalog, entry), entry->position, record, 0,
                             long(kItemRecSize));
}

OSErr ItemReadRecord(const CatalogRec* catalog, SInt32 n, ItemRec* record) {
    const ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry) {
        if (record) std::memset(record, 0, sizeof *record);
        return paramErr;
    }
    return ItemLoadRecord(catalog, entry, record);
}

OSErr ItemReadViewSettings(const CatalogRec* catalog, SInt32 n, void* settings16) {
    if (!settings16) return paramErr;
    auto* out = static_cast<UInt8*>(settings16);
    std::memset(out, 0, 16);
    const ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry) return paramErr;
    OSErr err = ItemReadRecordRaw(CatalogGetItemRefNum(catalog, entry), entry->position, out,
                                  offsetof(ItemRec, viewSettings0), 16);
    if (err != noErr) return err;
    UInt32 first, second;
    std::memcpy(&first, out, 4);
    std::memcpy(&second, out + 4, 4);
    if (first > 2) std::memset(out, 0, 4);
    if (second > 60) std::memset(out + 4, 0, 4);
    if (out[9] < 1 || out[9] > 9) out[9] = 0;
    if (out[10] < 1 || out[10] > 16) out[10] = 0;
    if (out[11] < 1 || out[11] > 13) out[11] = 0;
    return noErr;
}
