// Giving items a label (1..9, 0 none) with the catalog's labelled count, its organize list of
// labels and its windows kept up to date.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

// Sets an entry's label; a label above 9 counts as 0. False for a null entry or the label it
// has already. Unless quiet the item's windows hear of it and the catalog is marked modified.
bool CatalogSetItemLabel(CatalogRec* catalog, ItemEntry* entry, UInt8 label, bool quiet);
// Sets the label of every entry whose id the handle (native u32 ids) holds.
void CatalogSetLabelForIds(CatalogRec* catalog, Handle ids, UInt8 label);
// The visible number of an entry (1-based), 0 when it is hidden or not the catalog's.
SInt32 CatalogEntryVisibleNumber(const CatalogRec* catalog, const ItemEntry* entry);
