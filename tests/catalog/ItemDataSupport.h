// Catalogs with items that carry variable data, for the item and field tests: records with
// their five blocks written into a catalog file or appended to an open catalog's work file,
// and the pieces those blocks are made of (IPTC datasets, user-data lists in their stored
// forms).
#pragma once

#include "catalog/file/CatalogRec.h"
#include "catalog/fields/FieldIds.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "support/TempFolder.h"

#include <cstdint>
#include <string>
#include <vector>

using ByteString = std::string;

// One item: its record (memory order) and its blocks in Windows-1252 / stored form.
struct TestItem {
    ItemRec record{};
    ByteString thumbnail, annotations, url, metadata, recording;
    UInt32 flags = 0;   // entry flags to give it (label, hidden ...)
};

TestItem MakeTestItem(const std::string& name, UInt32 fileSize = 1000);

// An IPTC dataset: marker, record, dataset, big-endian length, data.
ByteString Dataset(FieldId id, const ByteString& data, UInt8 marker = 0x1C);

// A user-data list built from (type, bytes) items, flattened; text items for the 0xA9 types.
struct TestUdItem {
    OSType type;
    ByteString bytes;
    bool text = false;
};
ByteString FlattenedUserData(const std::vector<TestUdItem>& items);

// A compact EXIF list: byte order, count, then per entry tag, type, count (little-endian),
// two unused bytes and the value bytes (already in the list's byte order).
struct TestExifEntry {
    UInt16 tag, type, count;
    ByteString value;
};
ByteString CompactExif(char order, const std::vector<TestExifEntry>& entries);

ByteString BE16(UInt16 v);
ByteString BE32(UInt32 v);
ByteString LE16(UInt16 v);
ByteString LE32(UInt32 v);

// A catalog file of these items (records each followed by its blocks in file order, the
// chunk stream of the catalog given, the trailer). Entries of catalog are replaced.
OSErr WriteCatalogWithItems(const std::string& path, CatalogRec* catalog, const std::vector<TestItem>& items);

// Appends an item to an open catalog: record and blocks at the end of its work file, a new
// entry with bit 27 set. Answers the entry's index (1-based), 0 on failure.
SInt32 AppendWorkFileItem(CatalogRec* catalog, const TestItem& item);

// A new untitled catalog with a work file in folder; engines started.
CatalogRec* NewCatalogWithWorkFile(const TempFolder& folder, const std::string& workName = "work");
// Opens a catalog file with a work file beside it.
CatalogRec* OpenCatalogWithWorkFile(const std::string& path, const TempFolder& folder,
                                    const std::string& workName = "work");

std::string PText(ConstStr255Param s);

// The ids in an id-list handle (four bytes each), in order; disposes of the handle. Empty for
// a null handle.
std::vector<UInt32> Ids(Handle h);
