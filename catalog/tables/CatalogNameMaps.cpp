#include "catalog/tables/CatalogNameMaps.h"

#include "catalog/items/ItemRecords.h"
#include "foundation/text/PString.h"

#include <new>

namespace {

std::string Text(ConstStr255Param s) { return std::string(reinterpret_cast<const char*>(s + 1), s[0]); }

bool StoredName(const CatalogRec* catalog, const ItemEntry* entry, std::string* name) {
    if (!entry) return false;
    unsigned char stored[64];
    if (ItemReadRecordRaw(CatalogGetItemRefNum(catalog, entry), entry->position, stored,
                          offsetof(ItemRec, storedName), sizeof stored) != noErr)
        return false;
    if (stored[0] > 63) stored[0] = 63;
    *name = Text(stored);
    return true;
}

}  // namespace

CatalogStringTable* CatalogStringTableNew(const CatalogRec* catalog) {
    auto* t = new (std::nothrow) CatalogStringTable;
    if (t) t->catalog = catalog;
    return t;
}

void CatalogStringTableFree(CatalogStringTable* table) { delete table; }

bool CatalogStringTableLookup(CatalogStringTable* table, UInt32 itemId, Str255 name) {
    if (!name) return false;
    name[0] = 0;
    if (!table) return false;
    auto it = table->names.find(itemId);
    if (it == table->names.end()) {
        std::string stored;
        if (!StoredName(table->catalog, CatalogFindEntryById(table->catalog, itemId), &stored)) return false;
        it = table->names.emplace(itemId, stored).first;
    }
    PStrFromBytes(name, it->second.data(), long(it->second.size()));
    return true;
}

CatalogFolderMap* CatalogFolderMapNew(const CatalogRec* catalog) {
    auto* m = new (std::nothrow) CatalogFolderMap;
    if (m) m->catalog = catalog;
    return m;
}

void CatalogFolderMapFree(CatalogFolderMap* map) { delete map; }

bool CatalogFolderMapAddItem(CatalogFolderMap* map, SInt32 n) {
    if (!map) return false;
    std::string stored;
    if (!StoredName(map->catalog, CatalogGetItemEntry(map->catalog, n), &stored)) return false;
    map->texts.insert(stored);
    return true;
}

void CatalogFolderMapAddText(CatalogFolderMap* map, ConstStr255Param text) {
    if (map && text) map->texts.insert(Text(text));
}

bool CatalogFolderMapContains(const CatalogFolderMap* map, ConstStr255Param text) {
    return map && text && map->texts.count(Text(text)) != 0;
}

long CatalogFolderMapCount(const CatalogFolderMap* map) { return map ? long(map->texts.size()) : 0; }
