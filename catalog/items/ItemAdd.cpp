// Adding items: a full record from the import code, or a bare record made from a file.
#include "catalog/items/ItemChanges.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRec.h"
#include "catalog/items/ItemCounters.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemLabels.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/save/WorkFile.h"
#include "foundation/text/Unicode.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "media/kinds/KindEngine.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"
#include "platform/UiHooks.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

// The refusals every add makes first.
OSErr CheckRoom(CatalogRec* catalog) {
    if (!catalog->workRefNum) {
        UiBeep();
        return permErr;
    }
    if (CatalogIsFull(catalog)) return mFulErr;
    return noErr;
}

UInt32 Now() {
    UInt32 now = 0;
    GetDateTime(&now);
    return now;
}

// Takes the next entry for a record written at position.
ItemEntry* AppendEntry(CatalogRec* catalog, SInt32 position, UInt32 flags) {
    ItemEntry* entry = &catalog->entries[catalog->itemCount];
    entry->position = position;
    entry->id = catalog->nextItemId++;
    entry->flags = flags;
    return entry;
}

// Files a new item in the folder tree: a path of this system by the file spec it names (its
// folder need not exist any more), any other path by its text.
void FileInFolderTree(CatalogRec* catalog, const ItemRec* record, UInt32 id) {
    const FSSpec* catalogSpec = catalog->fileSpec.path.empty() ? nullptr : &catalog->fileSpec;
    std::string utf8 = AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(record->fileName + 1),
                                                   record->fileName[0]));
    if (!utf8.empty() && utf8[0] == '/') {
        FSSpec spec;
        OSErr err = FSMakeFSSpecFromPath(utf8, &spec);
        if ((err == noErr || err == fnfErr || err == dirNFErr) &&
            CatalogFolderTreeAddItem(catalog, &spec, id, catalogSpec) == noErr)
            return;
    }
    CatalogFolderTreeAddItemPath(catalog, utf8, id, catalogSpec);
}

// The record's block sizes are those of the blocks given: the writer writes what the sizes say.
void SetBlockSizes(ItemRec* record, Handle thumbnail, Handle annotations, Handle url, Handle metadata,
                   Handle recording) {
    auto size = [](Handle h) { return h ? UInt32(GetHandleSize(h)) : 0u; };
    record->thumbnailSize = size(thumbnail);
    record->annotationsSize = size(annotations);
    record->urlSize = size(url);
    record->metadataSize = size(metadata);
    record->recordingSize = size(recording);
}

}  // namespace

bool CatalogIsFull(const CatalogRec* catalog) {
    if (catalog->itemCount >= catalog->entryCapacity) return true;
    return SInt64(catalog->itemCount) + catalog->hiddenCount >= CatalogGetCapacity();
}

OSErr CatalogAddItem(CatalogRec* catalog, ItemRec* record, Handle thumbnail, Handle annotations,
                     Handle url, Handle metadata, Handle recording, UInt8 label) {
    if (!catalog || !record) return paramErr;
    if (OSErr err = CheckRoom(catalog); err != noErr) return err;

    record->dateAdded = Now();
    SetBlockSizes(record, thumbnail, annotations, url, metadata, recording);
    SInt32 written = 0;
    SInt32 position = ItemWriteRecord(record, thumbnail, annotations, url, metadata, recording,
                                      catalog->workRefNum, -1, &written);
    if (position < 0) return dskFulErr;

    ItemEntry* entry = AppendEntry(catalog, position, kEntryAddedFlag | kEntryInWorkFileFlag);
    ItemEntrySetNameChars(entry, record->storedName);
    item_counters::AddMediaSize(catalog, record->fileSize);
    item_counters::AddDataSize(catalog, written);
    ++catalog->itemCount;

    CatalogSetItemLabel(catalog, entry, label, true);
    OrganizeIndexItem(catalog, entry, annotations != nullptr);
    FileInFolderTree(catalog, record, entry->id);

    CatalogPostNotification(catalog, kCatalogMsgItemsAdded, 0);
    CatalogSetModified(catalog);
    return noErr;
}

OSErr CatalogAddItemFromFile(CatalogRec* catalog, const FSSpec* file, const KindFileRec* info,
                             ItemEntry** outEntry) {
    if (outEntry) *outEntry = nullptr;
    if (!catalog || !file || !info) return paramErr;
    if (OSErr err = CheckRoom(catalog); err != noErr) return err;

    ItemRec record;
    std::memset(&record, 0, sizeof record);
    ItemEntry entry{0, 0, 0};
    const FSSpec* catalogSpec = catalog->fileSpec.path.empty() ? nullptr : &catalog->fileSpec;
    if (OSErr err = ItemMakeShortPath(catalogSpec, file, &entry, &record); err != noErr) return err;
    record.kind = info->type;
    record.fileSize = info->size;
    record.created = info->created;
    record.modified = info->modified;
    record.dateAdded = Now();

    // Written at the end of the work file without a reserve: the refresh that follows an
    // import rewrites the record with its thumbnail and data anyway.
    SInt64 end = 0;
    if (GetEOF64(catalog->workRefNum, &end) != noErr || end > SInt64(INT32_MAX) - SInt64(kItemRecSize))
        return dskFulErr;
    SInt32 written = 0;
    SInt32 position = ItemWriteRecord(&record, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      catalog->workRefNum, SInt32(end), &written);
    if (position < 0) return dskFulErr;

    ItemEntry* added = AppendEntry(catalog, position,
                                   kEntryAddedFlag | kEntryPendingFlag | kEntryInWorkFileFlag);
    ItemEntrySetNameChars(added, record.storedName);
    item_counters::AddMediaSize(catalog, record.fileSize);
    item_counters::AddDataSize(catalog, written);
    ++catalog->itemCount;
    CatalogFolderTreeAddItem(catalog, file, added->id, catalogSpec);
    if (outEntry) *outEntry = added;
    return noErr;
}
