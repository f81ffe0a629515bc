// Items of a catalog under test, changed the way the item operations change them (records in
// the work file, entries, counters, the lowest hole), and snapshots of everything a save must
// leave alone when it fails.
#pragma once

#include "CatalogFileSupport.h"

#include <string>
#include <vector>

namespace savetest {

struct TestItem {
    std::string path;          // stored path, also the record's file name
    std::string thumbnail;     // block bytes (empty: absent)
    std::string annotations;   // Windows-1252 texts become one 2:120 dataset each
    std::string url;
    std::string metadata;
    std::string recording;
    UInt32 fileSize = 1000;
};

// An annotation block of one ANSI caption dataset.
std::string CaptionBlock(const std::string& ansiText);

// Appends the item to the work file (with its reserve) and to the entries, files it in the
// folder tree, counts it. Answers the entry index.
SInt32 AddWorkItem(CatalogRec* catalog, const TestItem& item);
// Rewrites the item's record and blocks: in place in the work file while its reserve holds
// it, else appended; a record of the catalog file moves to the work file and may lower the
// lowest hole.
void UpdateItem(CatalogRec* catalog, SInt32 index, const TestItem& item);
// Removes the entry (0-based), lowering the lowest hole when its record was in the catalog file.
void DeleteItem(CatalogRec* catalog, SInt32 index);

// The record's file name of each entry, in item order.
std::vector<std::string> ItemNames(const CatalogRec* catalog);
// The record of an entry with all its blocks, exactly as stored (reserve field set to 0).
Bytes StoredRecord(const CatalogRec* catalog, SInt32 index);

// Everything a failed save must leave as it was.
struct CatalogSnapshot {
    std::vector<ItemEntry> entries;
    SInt32 itemCount, dataSize, endOfRecords, lowestHole, itemCountAtSave;
    UInt32 modifiedStamp;
    std::string filePath;
    SInt16 catalogRefNum, workRefNum;
    std::vector<Bytes> records;   // StoredRecord of every entry, read through the catalog
    SInt64 workLength = 0;
    Bytes workFile;   // when not huge
};
CatalogSnapshot TakeSnapshot(const CatalogRec* catalog);
// Empty when equal, else what differs.
std::string CompareSnapshots(const CatalogSnapshot& a, const CatalogSnapshot& b);

// What a saved catalog file must be: records back to back from offset 8 without reserves,
// the 'CELL' chunk pointing at them, the trailer at the end. Empty when it is.
std::string CheckSavedFile(const std::string& path);
// The record names of a catalog file, in item order, opened the way a user opens it.
std::vector<std::string> NamesInFile(const std::string& path, OSErr* err = nullptr);

std::string FileNameOf(const ItemRec& record);

}  // namespace savetest
