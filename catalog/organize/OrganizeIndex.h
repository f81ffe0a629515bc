// Filling the organize lists from the items and keeping them current item by item: whole
// lists built when a field's group is shown, one item re-indexed when it is added or changed,
// a deleted item taken out of every list, and the date list's year, month and day hierarchy.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/organize/OrganizeLists.h"
#include "platform/MacTypes.h"

// Builds the field's list from all items (the sets list is never built from items).
OSErr OrganizeBuildList(CatalogRec* catalog, UInt32 fieldId, CatalogProgressProc progress, long refCon);
// Re-indexes one item in every list there is: the lists of file properties, dates and
// labels always, the others only when its annotations changed; never the sets.
void OrganizeIndexItem(CatalogRec* catalog, const ItemEntry* entry, bool annotationsChanged);
// Re-indexes one item in one list; true when the list changed (or the item's values were
// found again).
bool OrganizeIndexItemField(CatalogRec* catalog, UInt32 fieldId, const ItemEntry* entry);
// Takes a deleted item out of every entry of every list; emptied entries stay.
void OrganizeRemoveItemFromAll(CatalogRec* catalog, UInt32 itemId);
// Puts the item into the date list, making the year, month and day entries it needs, and
// answers the day entry's number; 0 without a date list or for date 0. Item id 0 only makes
// the entries, for a date the user adds before giving it items.
UInt32 OrganizeAddItemDate(CatalogRec* catalog, UInt32 itemId, UInt32 date);
// The text the Organize panel shows for an entry of the field's list.
void OrganizeEntryText(const OrganizeEntry* entry, UInt32 fieldId, Str255 text);
// The colour an entry of the sample colour list (field 27) stands for; false for other
// fields and for a text that is no packed colour.
bool OrganizeEntryColor(const OrganizeEntry* entry, UInt32 fieldId, RGBColor* colour);
