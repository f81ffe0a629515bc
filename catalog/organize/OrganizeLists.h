// The per-catalog block of organize lists: one list per organizable field, with the field's
// expanded and enabled flags, the primitive operations on lists and entries, and the chunks
// that keep them in the catalog file ('CSET' the sets list, 'CS00' the other stored lists,
// 'MSOP' and 'MSVI' the flags; the older 'OpMs' and 'VsMs' are read).
//
// Entries are numbered from 1; 0 means none (or all, where said). Entry pointers stay valid
// until their entry is removed from its list.
#pragma once

#include "catalog/organize/OrganizeEntry.h"
#include "catalog/organize/OrganizeList.h"
#include "platform/MacTypes.h"

#include <cstdint>
#include <memory>

struct CatalogRec;

inline constexpr int kOrganizeRowCount = 45;

enum : UInt32 {
    kOrganizeLabelsField = 522,
    kOrganizeSetsField = 162,
    kOrganizeDateField = 161,
};

struct OrganizeFieldRow {
    UInt32 position;        // byte of the field in 'MSOP'/'MSVI', tag of its list in 'CS00'
    UInt32 fieldId;         // 0 in the end row
    UInt8 offInNewCatalog;  // 0: shown in a new catalog
    UInt8 storedList;       // 1: the list is saved in 'CS00'
    UInt8 removableValue;   // 1: removing an entry takes its value out of the items
    UInt8 fourthFlag;
    UInt32 renamable;
};
static_assert(sizeof(OrganizeFieldRow) == 16);

// The organizable fields in Catalog Index order; row 45 is the end row.
extern const OrganizeFieldRow kOrganizeFieldTable[kOrganizeRowCount];

struct OrganizeLists {
    std::unique_ptr<OrganizeList> lists[kOrganizeRowCount];  // null: the field has no list
    UInt8 expanded[kOrganizeRowCount] = {};
    UInt8 enabled[kOrganizeRowCount] = {};
};

// The table row of a field (0-based), -1 when it is not organizable.
int OrganizeFieldRowIndex(UInt32 fieldId);
const OrganizeFieldRow* OrganizeFieldRowFor(UInt32 fieldId);

// ---- the block -----------------------------------------------------------------------------

OSErr OrganizeListsAlloc(CatalogRec* catalog);
void OrganizeListsFree(CatalogRec* catalog);
// For a new catalog the fields shown by default are enabled and folded; for any catalog the
// sets list exists afterwards (maybe empty).
OSErr OrganizeListsInitFlags(CatalogRec* catalog, bool isNew);

OrganizeList* OrganizeGetList(const CatalogRec* catalog, UInt32 fieldId);
bool OrganizeHasList(const CatalogRec* catalog, UInt32 fieldId);
// The next field in table order after fieldId (0: the first), with enabledOnly the next
// enabled one; 0 at the end or for a field that is not in the table.
UInt32 OrganizeNextField(const CatalogRec* catalog, UInt32 fieldId, bool enabledOnly);
bool OrganizeIsExpanded(const CatalogRec* catalog, UInt32 fieldId);
// Field 0 sets the flag of every row.
void OrganizeSetExpanded(CatalogRec* catalog, UInt32 fieldId, bool expanded);
bool OrganizeIsEnabled(const CatalogRec* catalog, UInt32 fieldId);
// Disabling drops the field's list (the sets list stays); the caller builds a list after
// enabling. Marks the catalog modified.
void OrganizeSetEnabled(CatalogRec* catalog, UInt32 fieldId, bool enabled);
// Replaces the field's list by an empty one; null for a field that is not in the table.
OrganizeList* OrganizeResetList(CatalogRec* catalog, UInt32 fieldId);

UInt32 OrganizeGetEntryCount(const CatalogRec* catalog, UInt32 fieldId);
OrganizeEntry* OrganizeGetEntry(const CatalogRec* catalog, UInt32 fieldId, UInt32 n);
// For sequential reading; entries are reached directly, so this is OrganizeGetEntry.
OrganizeEntry* OrganizeLookupEntry(const CatalogRec* catalog, UInt32 fieldId, UInt32 n);
UInt32 OrganizeCountEntries(const OrganizeList* list);
OrganizeEntry* OrganizeListEntryAt(const OrganizeList* list, UInt32 n);
// The stored thumbnail of the entry's first item fitted into width x height (a picture the
// caller disposes of); null when the entry has no items or the item is gone.
Handle OrganizeEntryThumbnail(const CatalogRec* catalog, const OrganizeEntry* entry, SInt16 width, SInt16 height);
// 1-based number of an entry in the field's list, 0 when it is not there.
UInt32 OrganizeEntryNumber(const CatalogRec* catalog, UInt32 fieldId, const OrganizeEntry* entry);

// ---- editing primitives --------------------------------------------------------------------

// Inserts the entry image (memory order) after entry n (0: before the first; past the end:
// appended). paramErr when the bytes hold no whole entry.
OSErr OrganizeInsertEntry(CatalogRec* catalog, UInt32 fieldId, const void* bytes, long length, UInt32 n);
// Inserts an empty, expanded entry with that text, level and container flag after entry n.
OSErr OrganizeInsertNamedEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, ConstStr255Param text,
                               UInt8 level, UInt8 container);
// Replaces entry n by the image; null bytes remove entry n with all its sub-entries.
OSErr OrganizeReplaceEntry(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const void* bytes, long length);
// Adds the ids entry n does not hold yet, in the given order.
OSErr OrganizeEntryAddItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const UInt32* ids, UInt32 count);
// Removes the ids from entry n, or from every entry when n is 0; true when any was removed.
bool OrganizeEntryRemoveItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n, const UInt32* ids, UInt32 count);
bool OrganizeEntryClearItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n);
// Removes the ids of items no longer in the catalog.
bool OrganizeEntryPurgeItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n);
// Puts the ids into the order of the catalog's items; unknown ids follow in their old order.
bool OrganizeEntrySortItems(CatalogRec* catalog, UInt32 fieldId, UInt32 n);
// Appends (u32 each, machine order) the ids of entry n, and with withSubEntries of its
// sub-entries, to the handle.
OSErr OrganizeCollectItems(const CatalogRec* catalog, UInt32 fieldId, UInt32 n, bool withSubEntries, Handle out);
void OrganizeUpdateContainers(CatalogRec* catalog, UInt32 fieldId);
// Looks for text at level among the entries after parent n; see the .cpp for the stop rules.
bool OrganizeFindChild(const CatalogRec* catalog, UInt32 fieldId, ConstStr255Param text, UInt8 level,
                       UInt32 parent, bool sorted, UInt32* outLast, UInt32* outPosition);
// The last container before position n one level above the entry; 0 when none.
UInt32 OrganizeFindParent(const CatalogRec* catalog, UInt32 fieldId, const OrganizeEntry* entry, UInt32 n);
void OrganizeToggleExpanded(CatalogRec* catalog, UInt32 fieldId, UInt32 n, bool withSubEntries);
// "#" and count + 1, raised until no top-level entry has that text.
void OrganizeMakeUniqueName(const CatalogRec* catalog, UInt32 fieldId, Str255 text);
// The k-th entry (list order) holding the item, its number in *outNumber; null when none.
OrganizeEntry* OrganizeFindEntryWithItem(const CatalogRec* catalog, UInt32 fieldId, UInt32 k, UInt32 itemId,
                                         UInt32* outNumber);
// Index (1-based) of the last entry of entry n's subtree (n itself when it has none).
UInt32 OrganizeSubtreeEnd(const OrganizeList* list, UInt32 n);

// ---- byte images of whole lists ------------------------------------------------------------

// A list's entries back to back in memory order (the clipboard and paste form).
OSErr OrganizeListToHandle(const OrganizeList* list, Handle* out);
// Reads such a handle; answers false when the bytes end in a part entry (the whole entries
// before it are kept).
bool OrganizeListFromBytes(const std::uint8_t* bytes, long length, bool fileOrder, bool dateList,
                           std::vector<std::unique_ptr<OrganizeEntry>>* out);

// ---- chunks --------------------------------------------------------------------------------

// Hands one chunk of the stream to the lists ('CSET', 'CS00', 'MSOP', 'MSVI' and the older
// 'OpMs', 'VsMs'). Anything that does not fit is left out; answers false when something was.
bool OrganizeListsReadChunk(CatalogRec* catalog, OSType tag, const std::uint8_t* data, long length);
// The data of one chunk as it is written ('CSET', 'CS00', 'MSOP' or 'MSVI').
std::vector<std::uint8_t> OrganizeListsChunkData(const CatalogRec* catalog, OSType tag);
// Writes 'CSET', 'CS00', 'MSOP' and 'MSVI' at the file's mark.
OSErr OrganizeListsWriteChunks(SInt16 refNum, CatalogRec* catalog);
