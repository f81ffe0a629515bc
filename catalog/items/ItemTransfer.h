// The transfer package in which an item travels between catalogs (copy and paste, drag and
// drop), inside this program and between its processes on one machine. Native byte order:
//
//   0   u32 recordSize   the record (memory order) and its five blocks in file order, the
//                        annotations and the URL in Windows-1252
//   4   u32 namesSize    the source catalog's custom field names, 256 bytes each (0: none)
//   8   u32 labelSize    1 when a label byte follows, else 0
//   12  u32 setsSize     the item's set paths (0: in no set)
//   16  the record data, the names, the label, the set paths
//   end u32 process id, u32 folder node id: the node that held the item in the source catalog,
//       honoured only inside the process that made the package (node ids are never reused
//       while the program runs); no address ever travels.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

#include <cstdint>

inline constexpr long kTransferHeaderSize = 16;
inline constexpr long kTransferTrailerSize = 8;

// The parts of a package, pointing into its handle (valid until the handle is resized).
struct TransferParts {
    const std::uint8_t* record = nullptr;
    UInt32 recordSize = 0;
    const std::uint8_t* names = nullptr;
    UInt32 namesSize = 0;
    UInt8 label = 0;
    bool hasLabel = false;
    const std::uint8_t* sets = nullptr;
    UInt32 setsSize = 0;
    UInt32 processId = 0;
    UInt32 nodeId = 0;
};

// The package of an entry's item; null when it cannot be read or memory ran out.
Handle ItemPackTransfer(const CatalogRec* catalog, const ItemEntry* entry);
// The same for the n-th visible item.
Handle ItemPackVisible(const CatalogRec* catalog, SInt32 n);
// Checks a package from the outside world and splits it: every size against the handle and
// against the others (the record's own block sizes must account for its data exactly, names
// come in whole 256-byte names, a label is one byte of 1..9). paramErr for anything else.
OSErr ItemTransferSplit(Handle package, TransferParts* parts);

// Makes a new item before the n-th visible item (0, or a number past the end, appends) from a
// package: the source's custom field names merged into the catalog's and the values renumbered,
// its label, the folder it came from (when the package was made by this process and the folder
// node still lives), and its sets made again by path. paramErr for a package that does not pass
// ItemTransferSplit; the answers of the item add otherwise.
OSErr ItemUnpackTransfer(CatalogRec* catalog, SInt32 n, Handle package, UInt32 flags);

// Makes an item from a record with its variable data (the 1024-byte record in memory order,
// then its five blocks in block order, exactly as long as the record's sizes say; paramErr
// otherwise), with a label, the custom fields renumbered by the map (may be null), filed in
// the folder node of that id when it is one of this catalog's (else by the record's path), and
// placed before the visible item `position` (0 or a number past the end appends).
OSErr CatalogCopyItemRecord(CatalogRec* catalog, SInt32 position, Handle recordData, UInt8 label,
                            const UInt8 customFieldMap[17], UInt32 flags, UInt32 folderNodeId);
