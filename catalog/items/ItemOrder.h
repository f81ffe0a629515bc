// Moving items in the item order, showing and hiding items, and the mapping between visible
// numbers (1-based positions among the entries that are not hidden) and entry indexes
// (1-based positions among all entries).
#pragma once

#include "platform/MacTypes.h"

struct CatalogRec;

// Moves the marked visible items (marks: one byte per visible item, non-zero = marked) before
// the visible number place (1..count+1), keeping their order; the marks are rewritten to follow
// the items. True when the order changed.
bool CatalogMoveItems(CatalogRec* catalog, SInt32 place, UInt8* marks);

void CatalogShowAll(CatalogRec* catalog);
void CatalogInvertHidden(CatalogRec* catalog);
// Shows only the items whose ids (native u32) the handle lists; null shows all. With reorder
// the listed items take the list's order.
void CatalogShowOnly(CatalogRec* catalog, Handle ids, bool reorder);

// The entry index of a visible number; 0 when there is no such visible item.
SInt32 CatalogVisibleToIndex(const CatalogRec* catalog, SInt32 visibleNumber);
// The visible number of an entry index; 0 for a hidden entry or an index out of range.
SInt32 CatalogIndexToVisible(const CatalogRec* catalog, SInt32 index);
