// Making an item from the record of an item of this or another catalog (copy and paste, drag
// and drop between catalog windows).
#include "catalog/items/ItemTransfer.h"

#include "catalog/items/CustomFields.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemLabels.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/items/ItemChanges.h"
#include "catalog/foldertree/FolderTreeInternal.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "foundation/text/Unicode.h"
#include "platform/Handles.h"

#include <algorithm>
#include <cstring>

namespace {

UInt32 BlockSize(const ItemRec& r, int block) {
    switch (block) {
        case kBlockThumbnail: return r.thumbnailSize;
        case kBlockAnnotations: return r.annotationsSize;
        case kBlockUrl: return r.urlSize;
        case kBlockMetadata: return r.metadataSize;
        default: return r.recordingSize;
    }
}

}  // namespace

OSErr CatalogCopyItemRecord(CatalogRec* catalog, SInt32 position, Handle recordData, UInt8 label,
                            const UInt8 customFieldMap[17], UInt32 flags, UInt32 folderNodeId) {
    (void)flags;
    if (!catalog || !recordData || !*recordData) return paramErr;
    const long size = GetHandleSize(recordData);
    if (size < long(kItemRecSize)) return paramErr;
    ItemRec record;
    std::memcpy(&record, *recordData, kItemRecSize);
    // The blocks follow the record in block order and must account for the data exactly.
    UInt64 total = kItemRecSize;
    for (int b = kBlockThumbnail; b <= kBlockRecording; ++b) total += BlockSize(record, b);
    if (total != UInt64(size)) return paramErr;

    Handle blocks[6] = {};
    long at = long(kItemRecSize);
    OSErr err = noErr;
    for (int b = kBlockThumbnail; b <= kBlockRecording && err == noErr; ++b) {
        const long n = long(BlockSize(record, b));
        if (n == 0) continue;
        blocks[b] = NewHandle(n);
        if (!blocks[b]) {
            err = memFullErr;
            break;
        }
        // Copied in pieces of a record's size, as a large recording may be.
        for (long done = 0; done < n; done += long(kItemRecSize))
            std::memcpy(*blocks[b] + done, *recordData + at + done, std::size_t(std::min(long(kItemRecSize), n - done)));
        at += n;
    }
    if (err == noErr && customFieldMap && blocks[kBlockAnnotations])
        ItemRemapCustomFields(blocks[kBlockAnnotations], customFieldMap);
    const SInt32 countBefore = catalog->itemCount;
    if (err == noErr)
        err = CatalogAddItem(catalog, &record, blocks[kBlockThumbnail], blocks[kBlockAnnotations], blocks[kBlockUrl],
                             blocks[kBlockMetadata], blocks[kBlockRecording], label > 9 ? 0 : label);
    for (Handle h : blocks)
        if (h) DisposeHandle(h);
    if (err != noErr || catalog->itemCount != countBefore + 1) return err;

    ItemEntry* entry = &catalog->entries[countBefore];
    const UInt32 id = entry->id;
    // The folder that held the item in its catalog, when that catalog is open here: the new
    // item is filed under the same folder on disk (the record holds the file's name only).
    FolderTree* sourceTree = nullptr;
    if (FolderNode* node = FolderTreeFindLiveNode(folderNodeId, &sourceTree)) {
        if (sourceTree == catalog->folderTree) {
            if (FolderTreeFindItemNode(catalog->folderTree, id) != node) {
                FolderTreeMoveItem(catalog->folderTree, id, node);
                FolderTreePostChanged(catalog);
            }
        } else {
            FSSpec folder, file;
            std::string name = AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(record.fileName + 1),
                                                           record.fileName[0]));
            name = name.substr(name.find_last_of('/') == std::string::npos ? 0 : name.find_last_of('/') + 1);
            if (FolderNodeResolve(sourceTree, node, &folder) == noErr && FSMakeChildSpec(&folder, name, &file) != bdNamErr &&
                !file.path.empty()) {
                FSSpec anchorStorage;
                CatalogFolderTreeAddItem(catalog, &file, id, FolderTreeAnchor(catalog, &anchorStorage));
            }
        }
    }
    // Before the visible item `position`; 0 or a number past the end appends.
    SInt32 seen = 0;
    for (SInt32 i = 0; i < countBefore && position > 0; ++i) {
        if (catalog->entries[i].flags & kEntryHiddenFlag) continue;
        if (++seen == position) {
            std::rotate(catalog->entries + i, catalog->entries + countBefore, catalog->entries + countBefore + 1);
            break;
        }
    }
    return noErr;
}
