// Finding item entries by visible number or id, and reading item records through the field
// engine's one-record cache.
//
// A visible number is the 1-based position of an entry among the entries whose hidden bit is
// clear; with no hidden items it is the entry's position.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

// ---- entries --------------------------------------------------------------------------------

// The entry with visible number n, or null.
ItemEntry* CatalogGetItemEntry(const CatalogRec* catalog, SInt32 n);
// The visible number of the item with that id; 0 when there is none or it is hidden.
SInt32 CatalogFindItemById(const CatalogRec* catalog, UInt32 id);
// The entry with that id among all entries, or null.
ItemEntry* CatalogFindEntryById(const CatalogRec* catalog, UInt32 id);
bool CatalogHasItemId(const CatalogRec* catalog, UInt32 id);
// 1-based index in the entry array (hidden entries counted); 0 when none has the id.
SInt32 CatalogFindEntryIndexById(const CatalogRec* catalog, UInt32 id);

// Of the n-th visible item: its id, its pending-refresh bit, its label; 0 when there is none.
UInt32 ItemGetId(const CatalogRec* catalog, SInt32 n);
bool ItemIsPendingRefresh(const CatalogRec* catalog, SInt32 n);
UInt8 ItemGetLabel(const CatalogRec* catalog, SInt32 n);

// ---- records ----------------------------------------------------------------------------------

// Copies length bytes from offset of the record at (file, position), in memory order, through
// the cache. A read that fails empties the cache, zeroes the caller's bytes and answers the
// error, so that no caller rewrites a record it never read. paramErr for a range outside the
// 1024 bytes.
OSErr ItemReadRecordRaw(SInt16 file, SInt32 position, void* buffer, long offset, long length);
// The whole record of an entry (from the work file when its record lies there).
OSErr ItemLoadRecord(const CatalogRec* catalog, const ItemEntry* entry, ItemRec* record);
// The same for the n-th visible item; paramErr when there is none.
OSErr ItemReadRecord(const CatalogRec* catalog, SInt32 n, ItemRec* record);
// The 16 per-item view settings at offset 336 of the n-th visible item, values out of range
// reset to 0.
OSErr ItemReadViewSettings(const CatalogRec* catalog, SInt32 n, void* settings16);
