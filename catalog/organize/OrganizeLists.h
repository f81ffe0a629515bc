// The per-catalog block of organize lists: one list handle per organizable field, with the
// field's expanded and enabled flags, and their chunks in the catalog file ('CSET' the sets
// list, 'CS00' the other stored lists, 'MSOP' and 'MSVI' the flags).
//
// A list is a handle of entries back to back: Str255 text at 0 (in date-list entries only
// bytes 0..247), expanded at 256, level at 257, container at 258, a scratch byte at 259, four
// zero bytes, the u32 item count at 264 and the item ids from 268. An entry occupies
// 268 + 4 x count bytes, but at least 272.
#pragma once

#include "platform/MacTypes.h"

#include <cstdint>

struct CatalogRec;

inline constexpr int kOrganizeRowCount = 45;
inline constexpr long kOrganizeEntryHeaderSize = 268;
inline constexpr long kOrganizeEntryMinSize = 272;

struct OrganizeFieldRow {
    UInt32 position;        // byte of the field in 'MSOP'/'MSVI', tag of its list in 'CS00'
    UInt32 fieldId;         // 0 in the end row
    UInt8 offInNewCatalog;  // 0: shown in a new catalog
    UInt8 storedList;       // 1: the list is saved in 'CS00'
    UInt8 removableValue;
    UInt8 fourthFlag;
    UInt32 renamable;
};

// The organizable fields in Catalog Index order; row 45 is the end row.
extern const OrganizeFieldRow kOrganizeFieldTable[kOrganizeRowCount];

struct OrganizeLists {
    Handle lists[kOrganizeRowCount];      // null: the field has no list
    UInt8 expanded[kOrganizeRowCount];
    UInt8 enabled[kOrganizeRowCount];
};

// The table row of a field (0-based), -1 when it is not organizable.
int OrganizeFieldRowIndex(UInt32 fieldId);

OSErr OrganizeListsAlloc(CatalogRec* catalog);
void OrganizeListsFree(CatalogRec* catalog);
// For a new catalog the fields shown by default are enabled and folded; for any catalog the
// sets list exists afterwards (maybe empty).
OSErr OrganizeListsInitFlags(CatalogRec* catalog, bool isNew);
Handle OrganizeGetList(const CatalogRec* catalog, UInt32 fieldId);

// Byte size of an entry with this item count: 268 + 4 x count, at least 272.
long OrganizeEntrySizeForCount(UInt32 count);

// Checks that a list's entries lie within its bytes (count and ids in memory order) and cuts
// it after the last whole entry; answers false when something was cut.
bool OrganizeListCheck(Handle list);

// Hands one chunk of the stream to the lists ('CSET', 'CS00', 'MSOP', 'MSVI' and the older
// 'OpMs', 'VsMs'). Anything that does not fit is left out; answers false when something was.
bool OrganizeListsReadChunk(CatalogRec* catalog, OSType tag, const std::uint8_t* data, long length);
// Writes 'CSET', 'CS00', 'MSOP' and 'MSVI' at the file's mark.
OSErr OrganizeListsWriteChunks(SInt16 refNum, CatalogRec* catalog);
