// The catalog-level tables that are not item records, and the small operations over the item
// entries: the hidden-field set's changes, the three stored folder references, the info text
// and import settings, the counters, the view-settings accessors and lists of item ids.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

// ---- hidden fields -----------------------------------------------------------------------------

// Hides (hide set) or shows a field id or a field group ('GRP' in the top three bytes, the group
// number in the low byte) in the Info panel; the windows hear of it at once and the catalog is
// marked modified.
void CatalogHiddenFieldsChange(CatalogRec* catalog, UInt32 id, bool hide);

// ---- folder references ---------------------------------------------------------------------------

enum : int {
    kFolderRefFirst = 0,     // chunk 'FLDR'
    kFolderRefSecond = 1,    // chunk 'VCSF'
    kFolderRefCamera = 2,    // chunk 'CPTF': where camera pictures go
};
// Resolves stored reference n (0..2) into spec (emptied first). Without a stored reference
// reference 0 gives the desktop folder, the others resNotFound; a reference that cannot be
// resolved gives resFNotFound for 1, the resolver's error for 0 and 2 (the stored reference is
// kept: a disk that is not mounted now may be back later). resNotFound for another number.
OSErr CatalogGetFolderRef(CatalogRec* catalog, int n, FSSpec* spec);
// Stores a new reference n to spec; false (nothing changed) for another number or when the
// folder cannot be referred to.
bool CatalogSetFolderRef(CatalogRec* catalog, int n, const FSSpec* spec);

// ---- catalog values ------------------------------------------------------------------------------

void CatalogGetInfoText(const CatalogRec* catalog, Str255 text);
void CatalogSetInfoText(CatalogRec* catalog, ConstStr255Param text);
void CatalogGetImportSettings(const CatalogRec* catalog, ImportSettingsRec* settings);
void CatalogSetImportSettings(CatalogRec* catalog, const ImportSettingsRec* settings);

// Shown items (never below 0), labelled items, bytes of item data, bytes of the items' files,
// and items added by the latest import.
SInt32 CatalogGetItemCount(const CatalogRec* catalog);
SInt32 CatalogGetLabelledCount(const CatalogRec* catalog);
SInt32 CatalogGetDataSize(const CatalogRec* catalog);
UInt64 CatalogGetTotalMediaSize(const CatalogRec* catalog);
SInt32 CatalogCountMarked(const CatalogRec* catalog);

// ---- view settings -------------------------------------------------------------------------------

inline constexpr int kViewSlotCount = 4;

// The side panel kind (view-prefs byte 8): 1 or 2, else 0.
UInt8 CatalogGetViewKind(const CatalogRec* catalog);
void CatalogSetSidePanelMode(CatalogRec* catalog, UInt8 mode);
UInt8 CatalogGetViewMode(const CatalogRec* catalog);
void CatalogSetViewMode(CatalogRec* catalog, UInt8 mode);
UInt16 CatalogGetPrefWord(const CatalogRec* catalog);
UInt8 CatalogGetPrefByte(const CatalogRec* catalog);
// The column list, slot record and colours of view slot n (0..3); null for another slot.
ViewFieldList* CatalogGetSlotRec(CatalogRec* catalog, int slot);
ViewModeSettings* CatalogGetSlotRec16(CatalogRec* catalog, int slot);
ViewColors* CatalogGetSlotRec24(CatalogRec* catalog, int slot);
// The thumbnail side of slot n in pixels (32 x its size step); 0 for another slot.
SInt32 CatalogGetSlotSize(const CatalogRec* catalog, int slot);
// Stores a size step (1..20) that differs from the slot's; true when it did. Every change marks
// the catalog modified; a step past the kept thumbnails' tells the windows so.
bool CatalogSetSlotSize(CatalogRec* catalog, int step, int slot);

// ---- id lists ------------------------------------------------------------------------------------

// New handles of native u32 ids in item order; the caller disposes of them.
Handle ItemListCopyIds(const CatalogRec* catalog);
Handle ItemListCopyVisibleIds(const CatalogRec* catalog);
// Items with that label, or with any label for 0xFF; hidden ones left out with visibleOnly.
Handle ItemListCopyIdsWithLabel(const CatalogRec* catalog, UInt8 label, bool visibleOnly);
// Items waiting for their refresh; null when there are none.
Handle ItemListCopyIdsMark2(const CatalogRec* catalog);
// Items added by the latest import.
Handle ItemListCopyMarkedIds(const CatalogRec* catalog);
