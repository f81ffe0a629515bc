// Searching a disk for catalog files (".lxc"), for the Catalog Finder: depth first, files
// before sub-folders; hidden files and folders (names starting with ".") and the kernel's
// pseudo file systems are left out; a folder reached twice (through a symbolic link that
// loops back, or two links to one folder) is searched once. The search runs on any thread and
// stops when asked. Also the saved result the dialog keeps between runs.
#pragma once

#include "platform/MacTypes.h"

#include <atomic>
#include <functional>
#include <string>
#include <vector>

struct FoundCatalog {
    std::string name;  // the file name, UTF-8
    std::string path;  // the full path, UTF-8
};

// Calls found for every catalog file under root, in the order met; answers false when stop
// became true before the walk ended.
bool SearchForCatalogs(const std::string& root, const std::function<void(const FoundCatalog&)>& found,
                       const std::atomic<bool>& stop);

// The saved result: the volume's mount path and the rows. Stored as the typed setting 'EXPO'
// 17: three fields of a 32-bit byte count followed by that many bytes of UTF-16 text with its
// terminating zero (the volume, then each row's name and path), the row count between the
// volume and the rows, integers in the machine's order. The volume has a length of its own
// because a mount path does not fit the four UTF-16 units a drive letter needs.
struct CatalogSearchResult {
    std::string volume;
    std::vector<FoundCatalog> rows;
};
std::vector<UInt8> EncodeCatalogSearchResult(const CatalogSearchResult& result);
// False (and out unchanged) for bytes that do not hold a whole, well-formed result.
bool DecodeCatalogSearchResult(const std::vector<UInt8>& bytes, CatalogSearchResult* out);
inline constexpr OSType kCatalogSearchSettingType = 'EXPO';
inline constexpr SInt16 kCatalogSearchSettingIndex = 17;
bool LoadCatalogSearchResult(CatalogSearchResult* out);
void SaveCatalogSearchResult(const CatalogSearchResult& result);

// What the Catalog Finder shows of a catalog file: its item count, its comments, when it was
// last saved (the locale's date and time) and the first item's thumbnail fitted into width x
// height (null when there is none; the caller disposes of it). False when the file cannot be
// opened (gone, damaged, or protected by a password).
struct CatalogSummary {
    SInt32 items = 0;
    std::string comments;  // Windows-1252
    std::string savedOn;   // Windows-1252
    Handle preview = nullptr;
};
bool ReadCatalogSummary(const std::string& path, SInt16 width, SInt16 height, CatalogSummary* out);
