#include "catalog/items/ItemFiles.h"

#include "foundation/text/PString.h"
#include "foundation/text/Unicode.h"
#include "platform/Aliases.h"
#include "platform/Handles.h"

#include <cstring>

OSErr ItemMakeShortPath(const FSSpec* catalogSpec, const FSSpec* file, ItemEntry* entry, ItemRec* record) {
    if (!file || !record || file->path.empty()) return paramErr;
    const std::string name = Utf8ToAnsi(FSSpecName(*file));
    const std::string path = Utf8ToAnsi(file->path);
    PStrFromBytes(record->fileName, name.data(), long(name.size()));
    const std::string& stored = path.size() < 64 ? path : name;
    PStrFromBytes(record->storedName, stored.data(), long(stored.size() > 63 ? 63 : stored.size()));
    if (entry) ItemEntrySetNameChars(entry, record->storedName);

    AliasHandle alias = nullptr;
    OSErr err = NewAlias(catalogSpec, file, &alias);
    if (err == noErr && GetHandleSize(alias) > kItemAliasCapacity) {
        DisposeHandle(alias);
        alias = nullptr;
        err = NewAliasMinimal(file, &alias);
    }
    std::memset(record->alias, 0, sizeof record->alias);
    record->aliasSize = 0;
    record->aliasStoredSize = 0;
    if (err != noErr) return err;
    const long size = GetHandleSize(alias);
    record->aliasSize = UInt16(size > 0xFFFF ? 0xFFFF : size);
    if (size <= kItemAliasCapacity) {
        std::memcpy(record->alias, *alias, std::size_t(size));
        record->aliasStoredSize = UInt16(size);
    }
    DisposeHandle(alias);
    return noErr;
}

#include "catalog/items/ItemChanges.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/items/ItemMediaInfo.h"
#include "catalog/foldertree/FolderTreeOps.h"

OSErr CatalogSetItemFileSpec(CatalogRec* catalog, SInt32 n, const FSSpec* file, bool refresh) {
    if (!catalog || !file) return paramErr;
    const ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry) return paramErr;
    const UInt32 id = entry->id;
    const FSSpec* catalogSpec = catalog->fileSpec.path.empty() ? nullptr : &catalog->fileSpec;
    OSErr err = CatalogSetItemFolder(catalog, id, file, catalogSpec);
    if (err != noErr) return err;
    // Moving may have deleted another item of that name: find the entry again.
    ItemEntry* moved = CatalogFindEntryById(catalog, id);
    if (!moved) return paramErr;
    if (refresh) {
        const RefreshOptions options = RefreshOptionsAll();
        return CatalogRefreshItemFromFile(catalog, moved, &options, nullptr, file);
    }
    ItemRec record;
    err = ItemLoadRecord(catalog, moved, &record);
    if (err == noErr) err = ItemMakeShortPath(catalogSpec, file, moved, &record);
    if (err == noErr)
        err = CatalogUpdateItem(catalog, moved, &record, nullptr, nullptr, nullptr, nullptr, nullptr, false);
    return err;
}

OSErr CatalogFindItemPath(CatalogRec* catalog, SInt32 n, FSSpec* file) {
    if (!file) return paramErr;
    *file = FSSpec{};
    const ItemEntry* entry = CatalogGetItemEntry(catalog, n);
    if (!entry) return paramErr;
    return CatalogGetItemPath(catalog, entry, file);
}
