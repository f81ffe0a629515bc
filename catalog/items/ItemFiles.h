// The names and the alias by which an item's record refers to its file.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"

inline constexpr long kItemAliasCapacity = 444;

// Stores the file's name (offset 0), its stored name (offset 256: the whole path when it has
// fewer than 64 characters, else the file's name cut to 63) and an alias of the file (a full
// one, or a minimal one when the full one does not fit the 444 bytes; stored size 0 when
// neither fits) in the record, and the stored name's first two characters in the entry's flags
// (entry may be null). Texts are Windows-1252. fnfErr when the file does not exist.
OSErr ItemMakeShortPath(const FSSpec* catalogSpec, const FSSpec* file, ItemEntry* entry, ItemRec* record);

// Points the n-th visible item at another file: moves it to the folder node of the file's
// folder, then either reads the file's information again (refresh) or rebuilds the record's
// names and alias and rewrites the record.
OSErr CatalogSetItemFileSpec(CatalogRec* catalog, SInt32 n, const FSSpec* file, bool refresh);
// The file of the n-th visible item, through the folder tree: 0 when it was found, fnfErr when
// it is missing (the spec is still formed), other codes when the item has no location.
OSErr CatalogFindItemPath(CatalogRec* catalog, SInt32 n, FSSpec* file);
