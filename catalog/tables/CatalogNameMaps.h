// Two per-use helpers over the items' stored names (item record offset 256): a cache from item
// id to stored name for the folder-tree code, and a sorted set of names that the output code
// fills while it names the files it writes.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

#include <map>
#include <set>
#include <string>
#include <unordered_map>

struct CatalogStringTable {
    const CatalogRec* catalog = nullptr;
    std::unordered_map<UInt32, std::string> names;   // item id -> stored name
};

CatalogStringTable* CatalogStringTableNew(const CatalogRec* catalog);
void CatalogStringTableFree(CatalogStringTable* table);
// The stored name of the item with that id, read once; false (and empty) for an unknown id.
bool CatalogStringTableLookup(CatalogStringTable* table, UInt32 itemId, Str255 name);

struct CatalogFolderMap {
    const CatalogRec* catalog = nullptr;
    std::set<std::string> texts;   // sorted, byte order
};

CatalogFolderMap* CatalogFolderMapNew(const CatalogRec* catalog);
void CatalogFolderMapFree(CatalogFolderMap* map);
// Adds the stored name of the n-th visible item; false when there is no such item.
bool CatalogFolderMapAddItem(CatalogFolderMap* map, SInt32 n);
void CatalogFolderMapAddText(CatalogFolderMap* map, ConstStr255Param text);
bool CatalogFolderMapContains(const CatalogFolderMap* map, ConstStr255Param text);
long CatalogFolderMapCount(const CatalogFolderMap* map);
