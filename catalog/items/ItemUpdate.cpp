// Rewriting an item's record and variable data.
#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemOrder.h"

#include "catalog/fields/FieldDef.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/info/InfoRows.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemCounters.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/save/WorkFile.h"
#include "platform/Handles.h"
#include "platform/UiHooks.h"

#include <vector>

namespace {

constexpr int kBlockCount = 5;

SInt32 EntryIndex(const CatalogRec* catalog, const ItemEntry* entry) {
    return SInt32(entry - catalog->entries) + 1;
}

bool EntryBelongs(const CatalogRec* catalog, const ItemEntry* entry) {
    return entry >= catalog->entries && entry < catalog->entries + catalog->itemCount;
}

// The bytes of a record and its blocks as they stand in the file, so that a rewrite in place
// that fails half-way can put them back.
struct StoredImage {
    SInt16 refNum = 0;
    SInt64 position = 0;
    std::vector<char> bytes;

    OSErr Take(SInt16 ref, SInt64 pos, long length) {
        refNum = ref;
        position = pos;
        bytes.resize(size_t(length));
        long got = length;
        OSErr err = FSReadAt(ref, pos, &got, bytes.data());
        return err == noErr && got != length ? OSErr(eofErr) : err;
    }
    void PutBack() const {
        long count = long(bytes.size());
        FSWriteAt(refNum, position, &count, bytes.data());
        FieldEngineReset();
    }
};

void SetBlockSizes(ItemRec* record, Handle const blocks[kBlockCount]) {
    UInt32 sizes[kBlockCount];
    for (int k = 0; k < kBlockCount; ++k) sizes[k] = blocks[k] ? UInt32(GetHandleSize(blocks[k])) : 0;
    record->thumbnailSize = sizes[0];
    record->annotationsSize = sizes[1];
    record->urlSize = sizes[2];
    record->metadataSize = sizes[3];
    record->recordingSize = sizes[4];
}

UInt32 StoredBlockSize(const ItemRec& r, int block) {
    switch (block) {
        case 1: return r.thumbnailSize;
        case 2: return r.annotationsSize;
        case 3: return r.urlSize;
        case 4: return r.metadataSize;
        default: return r.recordingSize;
    }
}

void AnnounceChange(CatalogRec* catalog, const ItemEntry* entry) {
    SInt32 visible = CatalogIndexToVisible(catalog, EntryIndex(catalog, entry));
    if (visible > 0) CatalogNotifyNow(catalog, kCatalogMsgItemChanged, visible);
}

// Only the fixed record changes, in place in the work file. The blocks stay as stored, so the
// record keeps the stored block sizes and reserve whatever the caller's copy says.
OSErr RewriteFixedRecord(CatalogRec* catalog, ItemEntry* entry, ItemRec* record, const ItemRec& stored) {
    record->thumbnailSize = stored.thumbnailSize;
    record->annotationsSize = stored.annotationsSize;
    record->urlSize = stored.urlSize;
    record->metadataSize = stored.metadataSize;
    record->recordingSize = stored.recordingSize;
    record->reserve = stored.reserve;

    ItemRec old = stored;
    ItemRecToFileOrder(&old);
    ItemRec fileOrder = *record;
    ItemRecToFileOrder(&fileOrder);
    long count = sizeof fileOrder;
    OSErr err = FSWriteAt(catalog->workRefNum, entry->position, &count, &fileOrder);
    if (err == noErr && count != long(sizeof fileOrder)) err = ioErr;
    if (err != noErr) {
        count = sizeof old;
        FSWriteAt(catalog->workRefNum, entry->position, &count, &old);
    }
    FieldEngineReset();
    if (err != noErr) return err;

    item_counters::AddMediaSize(catalog, SInt64(record->fileSize) - SInt64(stored.fileSize));
    CatalogSetModified(catalog);
    AnnounceChange(catalog, entry);
    return noErr;
}

}  // namespace

OSErr CatalogUpdateItem(CatalogRec* catalog, ItemEntry* entry, ItemRec* record, Handle thumbnail,
                        Handle annotations, Handle url, Handle metadata, Handle recording,
                        bool reindex) {
    if (!catalog || !entry || !record || !EntryBelongs(catalog, entry)) return paramErr;
    if (!catalog->workRefNum) {
        UiBeep();
        return permErr;
    }
    ItemRec stored;
    if (OSErr err = CatalogReadEntryRecord(catalog, entry, &stored); err != noErr) return err;
    FieldEngineReset();

    const bool inWorkFile = (entry->flags & kEntryInWorkFileFlag) != 0;
    Handle given[kBlockCount] = {thumbnail, annotations, url, metadata, recording};
    const bool anyGiven = thumbnail || annotations || url || metadata || recording;
    if (inWorkFile && !anyGiven) return RewriteFixedRecord(catalog, entry, record, stored);

    // Blocks not given are read from the item as stored. A block that is there but cannot be
    // read stops the update: writing without it would drop it.
    Handle blocks[kBlockCount] = {};
    bool owned[kBlockCount] = {};
    auto disposeRead = [&] {
        for (int k = 0; k < kBlockCount; ++k)
            if (owned[k] && blocks[k]) DisposeHandle(blocks[k]);
    };
    for (int k = 0; k < kBlockCount; ++k) {
        if (given[k]) {
            blocks[k] = given[k];
            continue;
        }
        if (StoredBlockSize(stored, k + 1) == 0) continue;
        blocks[k] = ItemReadBlock(catalog, entry, k + 1);
        owned[k] = true;
        if (!blocks[k]) {
            disposeRead();
            return -1;
        }
    }
    SetBlockSizes(record, blocks);
    const SInt64 oldSize = SInt64(ItemRecVarSize(&stored));
    const SInt64 newSize = SInt64(ItemRecVarSize(record));

    // A work-file record is rewritten where it is while its reserve holds the growth.
    SInt32 target = -1;
    StoredImage image;
    if (inWorkFile) {
        SInt64 reserve = SInt64(stored.reserve) + oldSize - newSize;
        if (reserve >= 0) {
            if (image.Take(catalog->workRefNum, entry->position, long(kItemRecSize + oldSize)) != noErr) {
                disposeRead();
                return -1;
            }
            record->reserve = UInt32(reserve);
            target = entry->position;
        }
    }
    SInt32 written = 0;
    SInt32 position = ItemWriteRecord(record, blocks[0], blocks[1], blocks[2], blocks[3], blocks[4],
                                      catalog->workRefNum, target, &written);
    if (position < 0) {
        if (target >= 0) image.PutBack();
        disposeRead();
        return -1;
    }

    if (!inWorkFile && entry->position < catalog->lowestHole) catalog->lowestHole = entry->position;
    const bool wasPending = (entry->flags & kEntryPendingFlag) != 0;
    entry->position = position;
    entry->flags = (entry->flags & ~kEntryPendingFlag) | kEntryInWorkFileFlag;

    if (wasPending || reindex) OrganizeIndexItem(catalog, entry, annotations != nullptr);
    if (catalog->infoItemId == entry->id && (annotations || url || metadata)) InfoLoadItem(catalog, entry);
    AnnounceChange(catalog, entry);
    disposeRead();

    CatalogSetModified(catalog);
    item_counters::AddDataSize(catalog, newSize - oldSize);
    item_counters::AddMediaSize(catalog, SInt64(record->fileSize) - SInt64(stored.fileSize));
    return noErr;
}

OSErr CatalogUpdateVisibleItem(CatalogRec* catalog, SInt32 visibleNumber, ItemRec* record,
                               Handle thumbnail, Handle annotations, Handle url, Handle metadata,
                               Handle recording, bool reindex) {
    SInt32 index = CatalogVisibleToIndex(catalog, visibleNumber);
    if (index == 0) return paramErr;
    return CatalogUpdateItem(catalog, &catalog->entries[index - 1], record, thumbnail, annotations,
                             url, metadata, recording, reindex);
}
