#include "catalog/items/ItemBlocks.h"

#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemRecords.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"

namespace {

UInt32 StoredSize(const ItemRec& r, int block) {
    UInt32 sizes[5];
    ItemRecBlockSizes(&r, sizes);
    return sizes[block - 1];
}

}  // namespace

OSErr ItemReplaceBlock(CatalogRec* catalog, SInt32 n, int block, Handle data) {
    if (block < 1 || block > 5) return paramErr;
    ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry) return paramErr;
    ItemRec record;
    OSErr err = ItemLoadRecord(catalog, entry, &record);
    if (err != noErr) return err;
    const long newSize = data ? GetHandleSize(data) : 0;
    if (newSize == 0 && StoredSize(record, block) == 0) return noErr;
    if (block == kBlockAnnotations) GetDateTime(&record.annotatedDate);

    Handle empty = nullptr;
    Handle given = data;
    if (!given) {
        empty = NewHandle(0);
        if (!empty) return memFullErr;
        given = empty;
    }
    Handle blocks[5] = {};
    blocks[block - 1] = given;
    err = CatalogUpdateVisibleItem(catalog, n, &record, blocks[0], blocks[1], blocks[2], blocks[3], blocks[4],
                                   block == kBlockAnnotations);
    if (empty) DisposeHandle(empty);
    return err;
}

OSErr ItemSetAnnotationDataset(CatalogRec* catalog, SInt32 n, FieldId fieldId, SInt16 index,
                               const void* data, SInt16 length) {
    if (fieldId > 0xFFFF || index < 1 || length < 0) return paramErr;
    const ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry) return paramErr;
    Handle block = ItemReadBlock(catalog, entry, kBlockAnnotations);
    if (!block) {
        ItemRec record;
        OSErr err = ItemLoadRecord(catalog, entry, &record);
        if (err != noErr) return err;
        // A block that is there but cannot be read must not be replaced by an empty one.
        if (record.annotationsSize != 0) return ioErr;
        block = NewHandle(0);
        if (!block) return memFullErr;
    }
    const SInt16 mode = length == 0 ? kIptcRemove : kIptcReplace;
    OSErr err = noErr;
    if (IptcSetDataset(UInt16(fieldId), index, data, length, block, mode, IptcMarkerAnsi))
        err = ItemReplaceBlock(catalog, n, kBlockAnnotations, block);
    else if (MemError() != noErr)
        err = memFullErr;
    DisposeHandle(block);
    return err;
}
