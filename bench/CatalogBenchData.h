// The items of the generated benchmark catalog: photographs filed in a few hundred folders,
// each with a real thumbnail picture, IPTC annotations (keywords from a vocabulary of 500,
// people, place, a caption of about 200 bytes) and an EXIF metadata list of about 2 KB, so
// that open, save, sort, search and the look-alike scan meet the data they meet in use. The
// items are the same on every run (a fixed seed).
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "catalog/file/CatalogRec.h"
#include "platform/MacTypes.h"

#include <string>

struct BenchItem {
    ItemRec record{};
    Handle thumbnail = nullptr;     // a picture holding a JPEG image, as the catalog keeps them
    Handle annotations = nullptr;   // IPTC-IIM datasets, Windows-1252
    Handle metadata = nullptr;      // a flattened user-data list
    UInt8 label = 0;
};

// Item n (0-based) of the catalog. Every 40th item's thumbnail repeats the one before it, so
// the look-alike scan has pairs to find.
OSErr MakeBenchItem(int n, BenchItem* item);
void FreeBenchItem(BenchItem* item);
// Adds items 0 .. count-1 to the open catalog through CatalogAddItem.
void AddBenchItems(CatalogRec* catalog, int count);

// Stops the run, saying which step failed and its error, unless err is noErr.
void Check(OSErr err, const char* what);

// Words to search for: one that many items hold, one that a few hold, one that none holds.
std::string BenchCommonWord();
std::string BenchRareWord();
std::string BenchMissingWord();
