// A self-contained copy of a QuickTime movie for a gallery: every stream copied as it is (no
// new encoding) into a new file whose movie header comes first, so a browser can start
// playing before the whole file has arrived.
#pragma once

#include <string>

// False (and no file left at destination) when the source cannot be read or written as a
// movie; the caller then copies the file byte for byte.
bool GalleryCopyMovie(const std::string& source, const std::string& destination);
