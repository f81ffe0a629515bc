#include "catalog/items/ItemTransfer.h"

#include "catalog/items/ItemRecords.h"
#include "catalog/organize/OrganizeSets.h"
#include "catalog/save/WorkFile.h"
#include "catalog/foldertree/FolderTree.h"
#include "platform/Handles.h"

#include <unistd.h>

#include <cstring>

namespace {

void PutU32(Handle h, long at, UInt32 v) { std::memcpy(*h + at, &v, 4); }

UInt32 GetU32(const std::uint8_t* p) {
    UInt32 v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

Handle ItemPackTransfer(const CatalogRec* catalog, const ItemEntry* entry) {
    if (!catalog || !entry) return nullptr;
    const SInt16 file = CatalogGetItemRefNum(catalog, entry);
    if (file == 0) return nullptr;
    Handle record = nullptr;
    if (ItemReadRecordWithData(&record, file, entry->position, true, true) != noErr || !record) return nullptr;
    Handle sets = nullptr;
    if (OrganizeItemSetPaths(catalog, entry->id, &sets) != noErr) sets = nullptr;

    const UInt32 recordSize = UInt32(GetHandleSize(record));
    const UInt32 namesSize = catalog->customFieldNames ? UInt32(GetHandleSize(catalog->customFieldNames)) : 0;
    const UInt8 label = UInt8(entry->flags & kEntryLabelMask);
    const UInt32 labelSize = label ? 1 : 0;
    const UInt32 setsSize = sets ? UInt32(GetHandleSize(sets)) : 0;
    const UInt64 total = UInt64(kTransferHeaderSize) + recordSize + namesSize + labelSize + setsSize +
                         kTransferTrailerSize;
    Handle package = total < 0x7FFFFFFF ? NewHandle(Size(total)) : nullptr;
    if (package) {
        PutU32(package, 0, recordSize);
        PutU32(package, 4, namesSize);
        PutU32(package, 8, labelSize);
        PutU32(package, 12, setsSize);
        long at = kTransferHeaderSize;
        std::memcpy(*package + at, *record, recordSize);
        at += long(recordSize);
        if (namesSize) std::memcpy(*package + at, *catalog->customFieldNames, namesSize);
        at += long(namesSize);
        if (labelSize) (*package)[at] = char(label);
        at += long(labelSize);
        if (setsSize) std::memcpy(*package + at, *sets, setsSize);
        at += long(setsSize);
        const FolderNode* node = catalog->folderTree ? FolderTreeFindItemNode(catalog->folderTree, entry->id) : nullptr;
        PutU32(package, at, UInt32(getpid()));
        PutU32(package, at + 4, node ? node->nodeId : 0);
    }
    DisposeHandle(record);
    if (sets) DisposeHandle(sets);
    return package;
}

Handle ItemPackVisible(const CatalogRec* catalog, SInt32 n) {
    return ItemPackTransfer(catalog, CatalogGetItemEntry(catalog, n));
}

OSErr ItemTransferSplit(Handle package, TransferParts* parts) {
    if (!parts) return paramErr;
    *parts = TransferParts{};
    if (!package || !*package) return paramErr;
    const long size = GetHandleSize(package);
    if (size < kTransferHeaderSize + kTransferTrailerSize) return paramErr;
    const auto* p = reinterpret_cast<const std::uint8_t*>(*package);
    const UInt32 recordSize = GetU32(p), namesSize = GetU32(p + 4), labelSize = GetU32(p + 8),
                 setsSize = GetU32(p + 12);
    // Every part must be there, and nothing else: a package cut short or grown is refused.
    const UInt64 total = UInt64(kTransferHeaderSize) + recordSize + namesSize + labelSize + setsSize +
                         kTransferTrailerSize;
    if (total != UInt64(size)) return paramErr;
    if (recordSize < kItemRecSize || namesSize % kCustomFieldNameSize != 0 || labelSize > 1) return paramErr;
    ItemRec record;
    std::memcpy(&record, p + kTransferHeaderSize, sizeof record);
    if (UInt64(kItemRecSize) + ItemRecVarSize(&record) != recordSize) return paramErr;
    long at = kTransferHeaderSize;
    parts->record = p + at;
    parts->recordSize = recordSize;
    at += long(recordSize);
    parts->names = namesSize ? p + at : nullptr;
    parts->namesSize = namesSize;
    at += long(namesSize);
    if (labelSize) {
        parts->label = p[at];
        parts->hasLabel = true;
        if (parts->label < 1 || parts->label > 9) return paramErr;
    }
    at += long(labelSize);
    parts->sets = setsSize ? p + at : nullptr;
    parts->setsSize = setsSize;
    at += long(setsSize);
    parts->processId = GetU32(p + at);
    parts->nodeId = GetU32(p + at + 4);
    return noErr;
}

#include "catalog/items/CustomFields.h"

OSErr ItemUnpackTransfer(CatalogRec* catalog, SInt32 n, Handle package, UInt32 flags) {
    if (!catalog) return paramErr;
    TransferParts parts;
    OSErr err = ItemTransferSplit(package, &parts);
    if (err != noErr) return err;

    // Each part in a handle of its own, so that nothing points into the package any more.
    Handle record = nullptr, names = nullptr, sets = nullptr;
    auto freeAll = [&] {
        for (Handle h : {record, names, sets})
            if (h) DisposeHandle(h);
    };
    err = PtrToHand(parts.record, &record, Size(parts.recordSize));
    if (err == noErr && parts.namesSize) err = PtrToHand(parts.names, &names, Size(parts.namesSize));
    if (err == noErr && parts.setsSize) err = PtrToHand(parts.sets, &sets, Size(parts.setsSize));
    if (err != noErr) {
        freeAll();
        return err;
    }

    UInt8 map[17] = {};
    const UInt8* mapToUse = nullptr;
    if (names) {
        if (!catalog->customFieldNames) catalog->customFieldNames = NewHandle(0);
        const long namesBefore = catalog->customFieldNames ? GetHandleSize(catalog->customFieldNames) : 0;
        CustomFieldsMerge(catalog->customFieldNames, names, map);
        mapToUse = map;
        if (catalog->customFieldNames && GetHandleSize(catalog->customFieldNames) != namesBefore)
            CatalogSetModified(catalog);
    }
    // A folder node is known only inside the process that made the package.
    const UInt32 nodeId = parts.processId == UInt32(getpid()) ? parts.nodeId : 0;
    const UInt32 newId = catalog->nextItemId;
    err = CatalogCopyItemRecord(catalog, n, record, parts.hasLabel ? parts.label : 0, mapToUse, flags, nodeId);
    if (err == noErr && sets && CatalogFindEntryById(catalog, newId))
        OrganizeAddItemToSetPaths(catalog, newId, sets);
    freeAll();
    return err;
}
