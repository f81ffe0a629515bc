#include "catalog/items/ItemBlocks.h"

#include "catalog/fields/FieldEngine.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/text/CodePages.h"
#include "media/metadata/Exif.h"
#include "media/metadata/IptcBlock.h"
#include "platform/Handles.h"
#include "platform/Files.h"

#include <cstring>

namespace {

// Index of a block's size in the record's size fields (1004: recording, 1008: metadata,
// 1012: thumbnail, 1016: annotations, 1020: URL).
constexpr int kSizeSlot[6] = {-1, 2, 3, 4, 1, 0};

OSErr ReadSizes(SInt16 file, SInt32 position, UInt32 recordOrder[5]) {
    return ItemReadRecordRaw(file, position, recordOrder, offsetof(ItemRec, recordingSize), 20);
}

OSErr Locate(SInt16 file, SInt32 position, const UInt32 recordOrder[5], int block, SInt64* offset,
             UInt32* size) {
    *offset = 0;
    *size = 0;
    if (block < 1 || block > 5) return paramErr;
    SInt64 at = SInt64(position) + SInt64(kItemRecSize);
    for (int b = 1; b < block; ++b) at += recordOrder[kSizeSlot[b]];
    UInt32 length = recordOrder[kSizeSlot[block]];
    SInt64 fileLength = 0;
    OSErr err = GetEOF64(file, &fileLength);
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

void FreeCachedBlocks(FieldEngineState& e) {
    if (e.annotationBlock) DisposeHandle(e.annotationBlock);
    if (e.metadata) DisposeUserData(e.metadata);
    e.annotationBlock = nullptr;
    e.metadata = nullptr;
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
        FreeCachedBlocks(e);
        FieldTableInit();
        UInt32 recordOrder[5];
        if (file == 0 || ReadSizes(file, position, recordOrder) != noErr) return;
        std::memcpy(e.blockSizes, recordOrder, sizeof recordOrder);
        e.blockFile = file;
        e.blockPosition = position;
    }
    SInt64 offset;
    UInt32 size;
    if (which == 2 && !e.metadata && !e.metadataTried) {
        e.metadataTried = true;
        if (Locate(file, position, e.blockSizes, kBlockMetadata, &offset, &size) == noErr) {
            Handle h = ReadBytes(file, offset, size);
            if (h) {
                e.metadata = MetadataBlockToUserData(h);
                DisposeHandle(h);
            }
        }
    } else if (which == 3 && !e.annotationBlock && !e.annotationTried) {
        e.annotationTried = true;
        if (Locate(file, position, e.blockSizes, kBlockAnnotations, &offset, &size) == noErr) {
            e.annotationBlock = ReadBytes(file, offset, size);
            if (e.annotationBlock) IptcConvertCharset(e.annotationBlock, 1);
        }
    }
}

Handle ItemCachedAnnotationBlock() { return FieldEngine().annotationBlock; }
UserData ItemCachedMetadata() { return FieldEngine().metadata; }
