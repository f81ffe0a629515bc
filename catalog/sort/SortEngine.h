// Putting a catalog's items into a new order: sorted by one field, shuffled, reversed, or in
// the order of a list of item ids. The order is the order of the catalog's entry array itself,
// so it is saved with the catalog and every window shows it. After a sort or a shuffle the
// shown items come first and the hidden ones after them, in their earlier order.
#pragma once

#include "catalog/sort/SortKeys.h"
#include "platform/MacTypes.h"

#include <vector>

struct CatalogRec;
struct ItemEntry;

// The sort field recorded after a shuffle.
inline constexpr UInt32 kSortFieldShuffled = 8000;

// Reads the value of a field for one entry into value and answers its type (0: no value).
using SortValueGetter = UInt8 (*)(CatalogRec* catalog, const ItemEntry* entry, UInt32 fieldId,
                                  FieldValue* value, void* refCon);

// Sorts the shown items by one field, each value read once through getter (item after item in
// the order their records lie in the files, not in the present order), stably, in the
// direction the catalog's view settings hold (byte 24: 0 ascending, 1 descending). Records the
// field as the catalog's sort field. True when the order changed (the catalog is then marked
// modified); false when nothing is shown or the items were in that order already.
bool SortCatalogByValues(CatalogRec* catalog, UInt32 fieldId, UInt8 textMode,
                         SortValueGetter getter, void* refCon);

// SortCatalogByValues with each item's first value of the field as the field getter gives it.
// textMode is the program's preference: kSortTextNatural or kSortTextByteOrder.
bool SortCatalogByFields(CatalogRec* catalog, UInt32 fieldId, UInt8 textMode);

// Shuffles the shown items at random and records kSortFieldShuffled as the sort field. True
// when the order changed (the catalog is then marked modified).
bool SortCatalogShuffle(CatalogRec* catalog);

// Reverses the order of the shown items (the hidden ones stay behind them), flips the
// catalog's direction byte and marks it modified. Answers true.
bool CatalogReverseOrder(CatalogRec* catalog);

// Moves the listed items (a handle of native-order u32 ids) into the listed order: the slots
// the listed items held are filled front to back in the list's order, every other item keeps
// its place. Ids that are not in the catalog, and repeats of an id, are skipped. Answers 0
// (paramErr for a null catalog).
OSErr CatalogReorderItems(CatalogRec* catalog, Handle ids);

// Rebuilds the entry array so that its entry i is the old entry order[i] (1-based entry
// numbers). Nothing changes, and the answer is false, unless order names every entry exactly
// once.
bool CatalogApplyOrder(CatalogRec* catalog, const std::vector<SInt32>& order);
