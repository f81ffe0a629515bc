#include "catalog/items/ItemBlocks.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/text/CodePages.h"
#include "media/metadata/Exif.h"
#include "media/metadata/IptcBlock.h"
#include "platform/ByteOrder.h"
#include "platform/Handles.h"
#include "platform/Files.h"

#include <cstring>
#include <string>
#include <thread>

namespace {

// Index of a block's size in the record's size fields (1004: recording, 1008: metadata,
// 1012: thumbnail, 1016: annotations, 1020: URL).
constexpr int kSizeSlot[6] = {-1, 2, 3, 4, 1, 0};

// The five size fields at the record's end, from the record cache when it holds the record,
// else straight from the file: 20 bytes instead of the whole record, which a getter that only
// wants a block never looks at.
OSErr ReadSizes(SInt16 file, SInt32 position, UInt32 recordOrder[5]) {
    constexpr long kOffset = offsetof(ItemRec, recordingSize);
    const FieldEngineState& e = FieldEngine();
    // The owner test first: other threads must not even look at the kept record's key.
    if (std::this_thread::get_id() == e.recordCacheOwner && file != 0 && e.recordFile == file &&
        e.recordPosition == position)
        return ItemReadRecordRaw(file, position, recordOrder, kOffset, 20);
    if (file == 0 || position < 0) return rfNumErr;
    std::uint8_t bytes[20];
    long count = 20;
    OSErr err = FSReadAt(file, SInt64(position) + kOffset, &count, bytes);
    if (err == noErr && count != 20) err = eofErr;
    if (err != noErr) return err;
    for (int i = 0; i < 5; ++i) recordOrder[i] = ReadBE32(bytes + 4 * i);
    return noErr;
}

OSErr Locate(SInt16 file, SInt32 position, const UInt32 recordOrder[5], int block, SInt64* offset,
             UInt32* size) {
    *offset = 0;
    *size = 0;
    if (block < 1 || block > 5) return paramErr;
    SInt64 at = SInt64(position) + SInt64(kItemRecSize);
    for (int b = 1; b < block; ++b) at += recordOrder[kSizeSlot[b]];
    UInt32 length = recordOrder[kSizeSlot[block]];
    // The length this process knows is enough to let a block through; only a block that seems
    // to run past it is measured against the file itself before it is refused.
    SInt64 fileLength = 0;
    OSErr err = FSGetKnownEOF(file, &fileLength);
    if (err == noErr && at + SInt64(length) > fileLength) err = GetEOF64(file, &fileLength);
    if (err != noErr) return err;
    if (at + SInt64(length) > fileLength) return eofErr;
    *offset = at;
    *size = length;
    return noErr;
}

Handle ReadBytes(SInt16 file, SInt64 offset, UInt32 size) {
    if (size == 0) return nullptr;
    Handle h = NewHandle(Size(size));
    if (!h) return nullptr;
    long count = long(size);
    if (FSReadAt(file, offset, &count, *h) != noErr || count != long(size)) {
        DisposeHandle(h);
        return nullptr;
    }
    return h;
}

bool IsCompactExif(Handle block) {
    const unsigned char first = static_cast<unsigned char>(**block);
    return first == 'I' || first == 'M';
}

// A stored metadata block as the cache keeps it: a compact EXIF block becomes a list, a sound
// flattened list stays as it is (its items are read in place), anything else is dropped.
void CacheMetadataBlock(FieldEngineState& e, Handle block) {
    if (!block || !*block || GetHandleSize(block) < 1) {
        if (block) DisposeHandle(block);
        return;
    }
    const unsigned char first = static_cast<unsigned char>(**block);
    if (IsCompactExif(block) || first == 'C') {
        e.metadata = MetadataBlockToUserData(block);
        DisposeHandle(block);
        return;
    }
    const UInt8* item = nullptr;
    Size length = 0;
    if (FindFlattenedUserData(*block, GetHandleSize(block), 0, 0, &item, &length) == paramErr) {
        DisposeHandle(block);
        return;
    }
    e.metadataBlock = block;
}

}  // namespace

void ItemRecBlockSizes(const ItemRec* r, UInt32 sizes[5]) {
    sizes[0] = r->thumbnailSize;
    sizes[1] = r->annotationsSize;
    sizes[2] = r->urlSize;
    sizes[3] = r->metadataSize;
    sizes[4] = r->recordingSize;
}

OSErr ItemBlockLocation(SInt16 file, SInt32 position, int block, SInt64* offset, UInt32* size) {
    if (!offset || !size) return paramErr;
    *offset = 0;
    *size = 0;
    UInt32 recordOrder[5];
    OSErr err = ReadSizes(file, position, recordOrder);
    if (err != noErr) return err;
    return Locate(file, position, recordOrder, block, offset, size);
}

Handle ItemReadBlock(const CatalogRec* catalog, const ItemEntry* entry, int block) {
    if (!catalog || !entry || block < 1 || block > 5) return nullptr;
    SInt16 file = CatalogGetItemRefNum(catalog, entry);
    if (file == 0) return nullptr;
    SInt64 offset;
    UInt32 size;
    if (ItemBlockLocation(file, entry->position, block, &offset, &size) != noErr) return nullptr;
    Handle h = ReadBytes(file, offset, size);
    if (!h) return nullptr;
    if (block == kBlockAnnotations)
        IptcConvertCharset(h, 1);
    else if (block == kBlockUrl)
        MacRomanToAnsi(*h, GetHandleSize(h));
    return h;
}

Handle ItemReadAnnotationsForEdit(const CatalogRec* catalog, const ItemEntry* entry) {
    if (Handle block = ItemReadBlock(catalog, entry, kBlockAnnotations)) return block;
    ItemRec record;
    if (ItemLoadRecord(catalog, entry, &record) != noErr || record.annotationsSize != 0) return nullptr;
    return NewHandle(0);
}

Handle ItemGetThumbnailBlock(const CatalogRec* catalog, SInt32 n) {
    return ItemReadBlock(catalog, CatalogGetItemEntry(catalog, n), kBlockThumbnail);
}

UserData MetadataBlockToUserData(Handle block) {
    if (!block || !*block || GetHandleSize(block) < 1) return nullptr;
    UserData list = nullptr;
    const unsigned char first = static_cast<unsigned char>(**block);
    if (first == 'I' || first == 'M') {
        if (NewUserData(&list) != noErr) return nullptr;
        if (!ExifReadFromTiffBlock(block, list)) {
            DisposeUserData(list);
            list = nullptr;
        }
    } else if (first != 'C') {
        if (NewUserDataFromHandle(block, &list) != noErr) list = nullptr;
    }
    return list;
}

void ItemLoadVariableBlock(SInt16 file, SInt32 position, int which) {
    FieldEngineState& e = FieldEngine();
    if (e.blockFile != file || e.blockPosition != position) {
        FieldEngineFreeBlocks(e);
        FieldTableInit();
        UInt32 recordOrder[5];
        if (file == 0 || ReadSizes(file, position, recordOrder) != noErr) return;
        std::memcpy(e.blockSizes, recordOrder, sizeof recordOrder);
        e.blockFile = file;
        e.blockPosition = position;
    }
    SInt64 offset;
    UInt32 size;
    if (which == 2 && !e.metadata && !e.metadataBlock && !e.metadataTried) {
        e.metadataTried = true;
        if (Locate(file, position, e.blockSizes, kBlockMetadata, &offset, &size) == noErr)
            CacheMetadataBlock(e, ReadBytes(file, offset, size));
    } else if (which == 3 && !e.annotationBlock && !e.annotationTried) {
        e.annotationTried = true;
        if (Locate(file, position, e.blockSizes, kBlockAnnotations, &offset, &size) == noErr)
            e.annotationBlock = ReadBytes(file, offset, size);
    }
}

Handle ItemCachedAnnotationBlock() {
    FieldEngineState& e = FieldEngine();
    if (e.annotationBlock && !e.annotationAnsi) {
        IptcConvertCharset(e.annotationBlock, 1);
        e.annotationAnsi = true;
    }
    return e.annotationBlock;
}

bool ItemCachedAnnotationDataset(UInt16 key, SInt16 occurrence, void* out, long capacity, UInt16* length,
                                 UInt8* marker) {
    *length = 0;
    *marker = 0;
    FieldEngineState& e = FieldEngine();
    if (!e.annotationBlock) return false;
    // The walk is the same in either character set: only the datasets' text differs.
    Ptr data = IptcFindDataset(key, occurrence, e.annotationBlock, length, marker);
    if (!data) return false;
    long n = *length < capacity ? long(*length) : capacity;
    if (n > 0) {
        std::memcpy(out, data, std::size_t(n));
        if (!e.annotationAnsi && *marker == IptcMarkerAnsi) MacRomanToAnsi(out, n);
    }
    return true;
}

UserData ItemCachedMetadata() {
    FieldEngineState& e = FieldEngine();
    if (!e.metadata && e.metadataBlock) e.metadata = MetadataBlockToUserData(e.metadataBlock);
    return e.metadata;
}

bool ItemCachedMetadataPresent() {
    const FieldEngineState& e = FieldEngine();
    return e.metadata || e.metadataBlock;
}

bool ItemCachedMetadataItem(OSType type, long index, bool asText, std::string* out) {
    out->clear();
    FieldEngineState& e = FieldEngine();
    if (index < 1) return false;
    if (e.metadataBlock) {
        const UInt8* item = nullptr;
        Size length = 0;
        if (FindFlattenedUserData(*e.metadataBlock, GetHandleSize(e.metadataBlock), type, index, &item,
                                  &length) != noErr)
            return false;
        if (asText && !FindUserDataTextEntry(item, length, 0, &item, &length)) return false;
        out->assign(reinterpret_cast<const char*>(item), std::size_t(length));
        return true;
    }
    if (!e.metadata) return false;
    Handle h = NewHandle(0);
    if (!h) return false;
    OSErr err = asText ? GetUserDataText(e.metadata, h, type, index, 0) : GetUserData(e.metadata, h, type, index);
    if (err == noErr) out->assign(*h, std::size_t(GetHandleSize(h)));
    DisposeHandle(h);
    return err == noErr;
}
