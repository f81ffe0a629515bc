// Changing the set of items of an open catalog and their records: adding an item (a full
// record from the import code, or a bare record made from a file), rewriting an item's record
// and variable data, and deleting an item. Each keeps the entry array, the catalog's counters
// and the work file consistent and announces the change to the catalog's windows.
//
// Entry indexes are 1-based positions among all entries; visible numbers are 1-based
// positions among the entries that are not hidden.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

struct CatalogRec;
struct ItemEntry;
struct ItemRec;
struct KindFileRec;

// True when a new item would not fit: the items plus the hidden items reach the capacity of
// the edition (hidden items count twice, as they always have).
bool CatalogIsFull(const CatalogRec* catalog);

// Adds an item from a full record and its variable data (each handle may be null; the
// annotations and the URL in Windows-1252) with a label (0 none). The record's date added is
// set to now. permErr (with a beep) without a work file, mFulErr when the catalog is full,
// dskFulErr when the work file cannot be written.
OSErr CatalogAddItem(CatalogRec* catalog, ItemRec* record, Handle thumbnail, Handle annotations,
                     Handle url, Handle metadata, Handle recording, UInt8 label);

// Adds a bare item for a file of the folder import: its names and alias, type, size and dates
// (from info), the date added. The new entry is marked as pending refresh; outEntry (may be
// null) receives it. Raises no notification: the import code does. The same refusals as
// CatalogAddItem.
OSErr CatalogAddItemFromFile(CatalogRec* catalog, const FSSpec* file, const KindFileRec* info,
                             ItemEntry** outEntry);

// Rewrites an item's record; a null block keeps the stored one. With reindex (or when the item
// waited for its refresh) the item is indexed again in the organize lists. permErr (with a
// beep) without a work file; -1 when the write failed (the entry and the item's stored data are
// then as they were).
OSErr CatalogUpdateItem(CatalogRec* catalog, ItemEntry* entry, ItemRec* record, Handle thumbnail,
                        Handle annotations, Handle url, Handle metadata, Handle recording,
                        bool reindex);
OSErr CatalogUpdateVisibleItem(CatalogRec* catalog, SInt32 visibleNumber, ItemRec* record,
                               Handle thumbnail, Handle annotations, Handle url, Handle metadata,
                               Handle recording, bool reindex);

// Deletes the item at an entry index; paramErr for an index outside 1..itemCount, permErr
// (with a beep) without a work file.
OSErr CatalogDeleteItem(CatalogRec* catalog, SInt32 index);
OSErr CatalogDeleteVisibleItem(CatalogRec* catalog, SInt32 visibleNumber);

// Removes the 'RANK' rows of an item.
void RankRemoveItem(CatalogRec* catalog, UInt32 itemId);
