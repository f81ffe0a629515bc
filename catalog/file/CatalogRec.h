// One open catalog. The record owns everything of its catalog while it is open: the item
// entries, the tables kept as chunks, the folder tree, the organize lists, the open files.
// Every catalog operation takes it first.
#pragma once

#include "catalog/file/CatalogEngine.h"
#include "catalog/file/CatalogRecords.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <cstdint>
#include <memory>
#include <set>

struct FolderTree;
struct LookAlikeSignatures;
struct OrganizeLists;
struct CatalogRec;

// Phase 0 start, 1 step, 2 end; a non-zero answer to a step ends the operation with it.
using CatalogProgressProc = OSErr (*)(short phase, long current, long total, long refCon);
// Asked for the password of a catalog that has one; 0 to go on.
using CatalogPasswordProc = OSErr (*)(CatalogRec* catalog);

// What an open had to repair, so the window can tell the user. 0 after a clean open.
enum : UInt32 {
    kOpenRebuiltEntries = 1u << 0,   // item entries rebuilt by scanning the records: the
                                     // catalog-level tables of the file were not read or lost
    kOpenChunkReadError = 1u << 1,   // the chunk stream ended in an error that the rebuild hid
    kOpenScanErrorIgnored = 1u << 2, // the rebuild scan failed and was accepted (Alt held)
    kOpenChunksSkipped = 1u << 3,    // chunks of the wrong length or beyond their bounds ignored
    kOpenEntriesRepaired = 1u << 4,  // entries given new ids or labels cleared
};

struct CatalogRec {
    ItemEntry* entries = nullptr;              // entryCapacity entries, zero-filled
    FolderTree* folderTree = nullptr;
    ImportSettingsRec* importSettings = nullptr;   // 'IMPF'
    SInt32 itemCount = 0;                      // hidden ones included
    SInt32 labelledCount = 0;
    SInt32 hiddenCount = 0;
    SInt32 dataSize = 0;                       // 1024 per record plus its variable data
    SInt32 mediaSize32 = 0;                    // sum of the items' file sizes, 32-bit copy
    CatalogViewPrefs viewPrefs{};              // 'PREF'
    unsigned char password[256] = {};          // 'SIGN': length-prefixed; 0 = none
    Handle rankList = nullptr;                 // 'RANK'
    Handle customFieldNames = nullptr;         // 'USFL'
    Handle printSettings = nullptr;            // 'PRNT', opaque
    CatalogFontPrefs* fontPrefs = nullptr;     // 'FONT'
    UInt32 savedEdition = 0;                   // 'SVar'
    UInt64 mediaSize64 = 0;                    // 'MBWd'
    std::set<UInt32>* hiddenFields = nullptr;  // 'HFld'
    Handle folderRef0 = nullptr;               // 'FLDR'
    Handle folderRef1 = nullptr;               // 'VCSF'
    Handle folderRef2 = nullptr;               // 'CPTF'
    SInt32 lockSlot = -1;
    SInt16 lockRefNum = 0;
    SInt16 workRefNum = 0;                     // 0: opened without a work file (read-only)
    SInt16 catalogRefNum = 0;                  // 0: never saved
    UInt32 nextItemId = 1;
    SInt32 lowestHole = 0;
    SInt32 endOfRecords = 0;
    SInt32 itemCountAtSave = 0;
    UInt32 modifiedStamp = 0;                  // 0: unmodified
    Str255 displayName = {};
    FSSpec fileSpec;                           // path empty: never saved
    Handle listeners = nullptr;
    UInt32 infoItemId = 0;
    Handle infoRows = nullptr;
    Handle infoCaption = nullptr;
    UInt8 infoCaptionState = 0;
    OrganizeLists* organizeLists = nullptr;

    // Folder settings of the window: 0, a folder shows only its own items; else its whole
    // subtree. Kept while the catalog is open.
    UInt8 includeSubfolders = 0;

    SInt32 entryCapacity = 0;                  // entries allocated (the capacity at open)
    UInt32 openWarnings = 0;                   // kOpen... bits of the last open

    // The likeness signatures the last look-alike scan made of the thumbnails, kept while the
    // catalog is open so the next scan decodes only the thumbnails that changed. A cache, not
    // the catalog's data: a scan over a catalog it may not change still fills it.
    mutable std::shared_ptr<LookAlikeSignatures> lookAlikeSignatures;
};

// ---- open and close ------------------------------------------------------------------------

// Opens the catalog named by catalogSpec, or makes a new untitled one when it is null. With a
// work file spec, a work file is made there (only when no file of that name exists: another
// catalog's unsaved records are never thrown away) and opened read/write.
OSErr CatalogOpen(CatalogRec** outCatalog, const FSSpec* catalogSpec, const FSSpec* workSpec,
                  CatalogPasswordProc passwordProc, ConstStr255Param password,
                  CatalogProgressProc progressProc, long refCon);
void CatalogClose(CatalogRec* catalog, bool writeViewPrefs);

// The kOpen... bits of the open that made the catalog (0 after a clean open).
UInt32 CatalogGetOpenWarnings(const CatalogRec* catalog);

// Stamps the catalog as changed now.
void CatalogSetModified(CatalogRec* catalog);
bool CatalogIsModified(const CatalogRec* catalog);

// False for a catalog never saved (the out spec is then empty); the out byte is set to 0.
bool CatalogGetFileSpec(const CatalogRec* catalog, FSSpec* spec, UInt8* outByte);
// Without keepExtension a name ending in ".lxc" or ".LXC" loses it.
void CatalogGetDisplayName(const CatalogRec* catalog, StringPtr name, bool keepExtension);
// The file's name, or "Catalog" and the running number for a new catalog.
void CatalogSetDisplayName(CatalogRec* catalog, const FSSpec* spec);

// The font settings of view slot n (0..3).
CatalogFontEntry* CatalogGetFontRec(CatalogRec* catalog, int slot);
// Repairs the font settings after reading.
void CatalogCheckFonts(CatalogRec* catalog);

// The file holding an entry's record: the work file when its bit 27 is set, else the catalog
// file (also for a null entry).
SInt16 CatalogGetItemRefNum(const CatalogRec* catalog, const ItemEntry* entry);

// ---- the catalog file ----------------------------------------------------------------------

inline constexpr OSType kCatalogFileTag = '025i';
inline constexpr long kCatalogHeaderSize = 8;
inline constexpr long kCatalogTrailerSize = 8;

OSErr CatalogOpenFile(CatalogRec* catalog, const FSSpec* spec, CatalogPasswordProc passwordProc,
                      ConstStr255Param password, CatalogProgressProc progressProc, long refCon);
OSErr CatalogReadChunks(CatalogRec* catalog, CatalogProgressProc progressProc, long refCon);
// Rebuilds the entries by walking the records from offset 8: entry n gets id n and no label.
OSErr CatalogRebuildEntries(CatalogRec* catalog);
OSErr CatalogRecomputeMediaSize(CatalogRec* catalog, CatalogProgressProc progressProc, long refCon);
// 0 when the password matches the stored one, else kWrongPasswordErr.
OSErr CatalogCheckPassword(const CatalogRec* catalog, ConstStr255Param password);

// Writes one chunk: tag and length big-endian, then the data; nothing (and 0) when data is
// null or length 0.
OSErr ChunkWrite(SInt16 refNum, OSType tag, const void* data, long length);
// Writes only a chunk's head (tag and length big-endian), for a chunk whose data follows.
OSErr ChunkWriteHead(SInt16 refNum, OSType tag, UInt32 length);
// Writes the chunk stream at the file's mark (the end of the records), in the reader's order.
OSErr CatalogWriteChunks(SInt16 refNum, CatalogRec* catalog);

// ---- entries (catalog tables) --------------------------------------------------------------

// Repairs the entries after reading: the flags' byte order of old files, unused bits, labels
// out of range, ids 0 or repeated (renumbered after the largest). 0, or paramErr when ids were
// renumbered (the catalog is then marked modified).
OSErr CatalogCheckItems(CatalogRec* catalog);
// Reverses the flags of every entry when they were stored in the other byte order.
void CatalogFixEntryByteOrder(CatalogRec* catalog);

OSErr CatalogHiddenFieldsOpen(CatalogRec* catalog);
OSErr CatalogHiddenFieldsClose(CatalogRec* catalog);
bool CatalogHiddenFieldsContains(const CatalogRec* catalog, UInt32 id);
// The set's ids ascending, big-endian, in the handle (sized to fit).
OSErr CatalogHiddenFieldsWrite(const CatalogRec* catalog, Handle h);
// Empties the set and inserts every big-endian u32 of the handle.
OSErr CatalogHiddenFieldsRead(CatalogRec* catalog, Handle h);

// Reads the 1024-byte record of an entry from its file, in memory order.
OSErr CatalogReadEntryRecord(const CatalogRec* catalog, const ItemEntry* entry, ItemRec* record);
