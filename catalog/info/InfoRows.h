// Building the Info panel's rows for the current item: media information, photo EXIF data,
// movie tracks, cue points, the annotations, the list fields and the sets holding the item.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/info/InfoRow.h"

// Rebuilds the rows for an item, or (null) the headers shown when no item is current.
void InfoLoadItem(CatalogRec* catalog, const ItemEntry* entry);
// InfoLoadItem for the n-th visible item; 0 for none.
void InfoLoadVisibleItem(CatalogRec* catalog, SInt32 n);
