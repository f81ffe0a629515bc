// Custom fields: a catalog's names for fields 769..784 (chunk 'USFL', 256 bytes a name) and
// their values, datasets 3:1..3:16 of an item's annotation block. When items move between
// catalogs the source's names are merged into the destination's and the values renumbered.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

inline constexpr int kMaxCustomFields = 16;

// Number of custom field names of the catalog.
SInt32 CatalogGetCustomFieldCount(const CatalogRec* catalog);
// 769 + the position of the first name equal to name without regard to case; 0 when none.
UInt32 CatalogFindCustomFieldByName(const CatalogRec* catalog, ConstStr255Param name);
// Appends datasets 3:1..3:n (n the catalog's name count) with the item's values to an
// annotation block, made when *block is null.
OSErr ItemCollectCustomFields(const CatalogRec* catalog, const ItemEntry* entry, Handle* block);

// Maps the source's custom field numbers onto the destination's: map[0] = the number of
// source names (at most 16); map[i] the destination position (1-based) of source name i,
// found without regard to case or appended while the destination holds fewer than 16 names;
// 0 when it can have none. True when any map[i] differs from i.
bool CustomFieldsMerge(Handle destinationNames, Handle sourceNames, UInt8 map[17]);
// Renumbers the custom field datasets of an annotation block by the map. True when a dataset
// moved.
bool ItemRemapCustomFields(Handle annotationBlock, const UInt8 map[17]);

// Two names equal without regard to case (Windows-1252 case folding).
bool CustomFieldNamesEqual(ConstStr255Param a, ConstStr255Param b);
