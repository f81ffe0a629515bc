// The facts the Catalog Info dialog shows about a catalog, as texts: the item count with the
// count at the last save, the file's creation and modification dates and its size, and where
// the file lies. A catalog never saved has no file: its dates, size and location show "-".
#pragma once

#include <string>

struct CatalogRec;

struct CatalogInfoTexts {
    std::string items;     // "12 ( 10 saved )"
    std::string created;   // "%A, %B %d, %Y" in the user's locale
    std::string modified;
    std::string size;      // by the byte-size format; "-" for an empty file
    std::string location;  // the catalog file's path
};

// Texts are UTF-8.
CatalogInfoTexts CatalogInfoTextsOf(const CatalogRec* catalog);
