// The variable data of an item: five blocks stored right after its record, in this order:
// thumbnail (a picture), annotations (IPTC-IIM datasets), URL text, metadata (a user-data list
// in one of its stored forms), recording (a sound annotation). Each block is exactly as long
// as its size field in the record; 0 means absent.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/fields/FieldIds.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"

#include <string>

enum : int {
    kBlockThumbnail = 1,
    kBlockAnnotations = 2,
    kBlockUrl = 3,
    kBlockMetadata = 4,
    kBlockRecording = 5,
};

// The size fields of the five blocks, in block order (from the record in memory order).
void ItemRecBlockSizes(const ItemRec* record, UInt32 sizes[5]);
// Where block 1..5 of the record at (file, position) lies and how long it is. The record and
// the blocks before it must lie within the file: a record whose sizes claim more than the file
// holds gives eofErr, so nothing is ever allocated from a damaged size.
OSErr ItemBlockLocation(SInt16 file, SInt32 position, int block, SInt64* offset, UInt32* size);

// Block 1..5 of an entry in a new handle owned by the caller; null when the block is empty,
// the number is not 1..5, or the read fails. The annotations come back in Windows-1252
// dataset by dataset, the URL text too.
Handle ItemReadBlock(const CatalogRec* catalog, const ItemEntry* entry, int block);
// The entry's annotation block to edit: an empty handle when the item has none; null when
// memory ran out or a block it has cannot be read (so that it is never replaced by an empty one).
Handle ItemReadAnnotationsForEdit(const CatalogRec* catalog, const ItemEntry* entry);
// The thumbnail block of the n-th visible item.
Handle ItemGetThumbnailBlock(const CatalogRec* catalog, SInt32 n);

// Turns a stored metadata block into a user-data list, by its first byte: 'I' or 'M' a
// compact EXIF list, 'C' nothing, anything else a flattened user-data list. Null when it holds
// nothing or is damaged.
UserData MetadataBlockToUserData(Handle block);

// Makes the field engine's variable-block cache hold the block sizes of the record at (file,
// position) and, for which 2, its metadata list, for which 3, its annotation block. Another
// item's blocks are freed first. Failures leave the block unloaded.
void ItemLoadVariableBlock(SInt16 file, SInt32 position, int which);
// The cached blocks (null when the item has none or loading failed); valid until the next
// load of another item or reset of the field engine. The metadata list of a flattened block
// is made on the first call.
Handle ItemCachedAnnotationBlock();
UserData ItemCachedMetadata();
// Occurrence (from 1) of dataset key of the cached annotation block, as IptcFindDataset finds
// it in the block ItemCachedAnnotationBlock gives (8-bit text in Windows-1252, NULs turned into
// spaces): its first capacity bytes are copied into out, *length and *marker are the dataset's.
// False (both 0) when there is no such dataset. Only the dataset read is converted.
bool ItemCachedAnnotationDataset(UInt16 key, SInt16 occurrence, void* out, long capacity, UInt16* length,
                                 UInt8* marker);
// Whether the cached item has metadata that a list can be made of.
bool ItemCachedMetadataPresent();
// Item (type, index) of the cached metadata, the bytes GetUserData would give of its list
// (with asText, the region-0 text GetUserDataText would give), copied into out; false when
// there is no such item. A flattened block is read where it lies, without making the list.
bool ItemCachedMetadataItem(OSType type, long index, bool asText, std::string* out);

// The entry's stored thumbnail fitted into width x height (proportions kept, at least 6 x 6
// pixels), redrawn as a new picture at 72 dpi; null without a thumbnail or when it cannot be
// drawn. The caller disposes of the picture.
Handle ItemGetThumbnailPicture(const CatalogRec* catalog, const ItemEntry* entry, SInt16 width, SInt16 height);

// Replaces block 1..5 of the n-th visible item (null or empty data removes it); nothing
// happens, and the answer is 0, when the block is empty and stays so. A new annotation block
// stamps the item's annotated date and re-indexes the item in the organize lists. The answers
// of the item update (permErr without a work file, -1 when the write failed).
OSErr ItemReplaceBlock(CatalogRec* catalog, SInt32 n, int block, Handle data);
// Writes (or, with length 0, removes) occurrence index of a dataset in the n-th visible item's
// annotation block, as 8-bit text.
OSErr ItemSetAnnotationDataset(CatalogRec* catalog, SInt32 n, FieldId fieldId, SInt16 index,
                               const void* data, SInt16 length);
