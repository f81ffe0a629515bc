// Helpers shared by the Info panel code and not meant for its callers.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/info/InfoRow.h"
#include "platform/MacTypes.h"

// The index-th stored value of a field of the current item as the panel shows it (with
// units); false, and an empty text, when it has none.
bool InfoStoredValueText(const CatalogRec* catalog, UInt32 fieldId, UInt32 index, Str255 text);
// The current item's caption text in a new handle (empty when it has none); null when memory
// ran out.
Handle InfoStoredCaption(const CatalogRec* catalog);
// The same for any item.
Handle InfoItemCaption(const CatalogRec* catalog, const ItemEntry* entry);
// A date the user typed as the panel shows it and as the annotation stores it (eight digits,
// year, month, day); false when it does not parse.
bool InfoParseEventDate(ConstStr255Param typed, Str255 shown, Str255 digits);

// The pending edits of the rows (and the caption when its state is 2) applied to the annotation
// block of the current item: single values replaced or removed, each list field as its rows
// show it now. True when the block changed.
bool InfoApplyToCurrentBlock(const InfoRow* rows, UInt32 count, Handle caption, UInt8 captionState, Handle block);
// The same for another selected item: only what was edited, added or removed is applied;
// list values are added when missing and removed where present.
bool InfoApplyToOtherBlock(const InfoRow* rows, UInt32 count, Handle caption, UInt8 captionState, Handle block);
