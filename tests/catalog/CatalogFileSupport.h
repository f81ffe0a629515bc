// Building and taking apart catalog files for the tests: the file as header, records, a list
// of chunks and the trailer, so a test can drop, replace or damage any piece; and the writing
// of a whole catalog from an open CatalogRec (header, records, CatalogWriteChunks, trailer).
#pragma once

#include "catalog/file/CatalogRec.h"

#include <cstdint>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

struct TestChunk {
    OSType tag;
    Bytes data;
};

struct CatalogImage {
    UInt32 headerCount = 0;
    OSType headerTag = kCatalogFileTag;
    Bytes records;                 // from offset 8
    std::vector<TestChunk> chunks;
    bool trailer = true;
    bool endTag = true;            // the '025i' that ends the chunk stream
    long endOfRecordsDelta = 0;    // added to the true end-of-records offset in the trailer

    Bytes Build() const;
    // The chunk with this tag, or null.
    TestChunk* Find(OSType tag);
    void Remove(OSType tag);
};

// Takes apart a well-formed file.
bool ParseCatalogImage(const Bytes& file, CatalogImage* image);

// An item record in memory order with a file name (the full path) and its stored name.
ItemRec MakeItemRecord(const std::string& pathAnsi, UInt32 fileSize);

// Appends records to a catalog made by CatalogOpen: entries, counts, and (when stored paths
// are given) the items filed in its folder tree.
void AddTestItems(CatalogRec* catalog, const std::vector<ItemRec>& records,
                  const std::vector<std::string>& storedPaths = {});

// Writes the catalog as a file (what a save writes): header, the records given for its
// entries in order, the chunk stream and the trailer. Entry positions and endOfRecords are
// set to where the records went.
OSErr WriteCatalogFile(const std::string& path, CatalogRec* catalog, const std::vector<ItemRec>& records);

Bytes ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const Bytes& bytes);

// Engines set up as the program starts them (edition 400, level 200).
void StartCatalogEngine(SInt32 editionCode = 400);

// Opens a file (no work file, no password procedure).
OSErr OpenCatalogAt(const std::string& path, CatalogRec** catalog, ConstStr255Param password = nullptr,
                    CatalogPasswordProc proc = nullptr, CatalogProgressProc progress = nullptr,
                    long refCon = 0);

// The invariants every catalog that opened must hold; empty when they do, else what is wrong.
std::string CheckCatalogInvariants(const CatalogRec* catalog);

// Gives the catalog n entries with ids 1..n (records 1024 bytes apart from offset 8), the
// listed ids hidden and counted so.
void MakeTestEntries(CatalogRec* catalog, int n, const std::vector<UInt32>& hiddenIds = {});
// The ids of the catalog's entries in their order.
std::vector<UInt32> EntryIds(const CatalogRec* catalog);
