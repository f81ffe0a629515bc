// Device-independent bitmaps as Windows files embed them (a BITMAPINFOHEADER or larger header,
// the colour table and the pixels, without the 14-byte file header): wrapped into a bitmap file
// so the 'BMP ' graphics importer can read them. Metafiles, CorelDRAW previews and DOS EPS
// previews carry their pictures this way.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

#include <cstddef>
#include <cstdint>

// The bitmap file for the DIB in a new handle: "BM", its length, and the offset of the pixels
// worked out from the header (colour count, bit-field masks). Null when the bytes cannot hold
// a bitmap header or memory is short.
Handle BitmapFileFromDib(const std::uint8_t* dib, std::size_t size);

// The DIB drawn into a new 32-bit world at its own size; null with *err set when it cannot be
// read.
GWorldPtr DibToOffscreen(const std::uint8_t* dib, std::size_t size, OSErr* err);
