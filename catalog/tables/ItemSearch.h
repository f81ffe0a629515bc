// Finding items by a text anywhere in their data (record, annotations, URL, metadata, set
// names, label name), and grouping items whose thumbnails look alike.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

// The ids (native u32, item order) of the items (all of them, or those whose ids the restrict
// handle holds) whose data holds the text, letter case ignored; null when none does. The label
// name counts too. The raw record bytes are searched as well, so a short text may match
// bytes that are no text.
Handle ItemSearchText(const CatalogRec* catalog, const void* text, long length, Handle restrictIds);
// The same test for the n-th visible item, without the label name.
bool ItemMatchesText(const CatalogRec* catalog, SInt32 n, const void* text, long length);

// Groups the visible items whose thumbnails look alike (within the two tolerances), with
// sameName only items of equal stored names. Only items whose ids the restrict handle holds
// start a comparison (any later item may join their group). The answer holds, group by group,
// the ids of each group's members in item order; the progress procedure sees phase 0 with the
// item count, phase 1 per item (a non-zero answer ends the scan with the groups found so far),
// phase 2 at the end.
Handle ItemScanWithProgress(const CatalogRec* catalog, bool sameName, long tolerance1, long tolerance2,
                            Handle restrictIds, CatalogProgressProc progress, long refCon);
