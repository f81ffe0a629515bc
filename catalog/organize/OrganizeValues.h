// Values given to and taken from items through the organize lists: dropping items on an
// entry, taking an entry's value away, removing and renaming entries. Each edit changes the
// items' annotations (or labels, or the sets), rewrites the changed items, keeps the lists in
// step and announces the change for the field.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

// Gives entry n's value to the items (a handle of u32 unique ids).
void OrganizeAssignItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, Handle itemIds,
                         CatalogProgressProc progress, long refCon);
// Takes entry n's value from the items.
void OrganizeUnassignItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, Handle itemIds,
                           CatalogProgressProc progress, long refCon);
// Removes entry n: its value from its items, or (file properties and dates) its items from
// the catalog; a set goes with its subtree and leaves the items alone.
void OrganizeRemoveEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, CatalogProgressProc progress, long refCon);
// Gives entry n a new text and its items the new value. Answers the entry's position after
// the rename; a text another entry has already is refused with 0 (n when it is the entry's own).
UInt32 OrganizeRenameEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const void* text, long length,
                           CatalogProgressProc progress, long refCon);
