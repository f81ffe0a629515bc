// The view settings written into a catalog file when its window closes, without a save.
#pragma once

#include "catalog/file/CatalogRecords.h"
#include "platform/Files.h"

// Walks the chunk stream from endOfRecords to the '025i' that ends it and writes the first 44
// bytes of prefs (already in file order) over the start of the 'PREF' chunk's data; the
// file's modification date is kept. Errors end the walk silently.
void CatalogWriteViewPrefsInPlace(const FSSpec* spec, SInt32 endOfRecords,
                                  const CatalogViewPrefs* prefsInFileOrder);
