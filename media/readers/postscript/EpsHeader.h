// The text side of PostScript, EPS and Illustrator files: the document-structuring comments and
// the comments Illustrator and Photoshop write (size, resolution, creator, raster data, colour
// profile, Photoshop resources, the Illustrator thumbnail in hexadecimal comment lines), read
// line by line without interpreting any PostScript; and the binary preview (metafile or TIFF)
// behind the DOS EPS header.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"
#include "platform/imaging/Picture.h"

#include <string>
#include <string_view>

enum : OSErr {
    kEpsNoHeaderErr = -11005,      // no "%!PS-", or no size after reading
    kEpsBadThumbnailErr = -8960,   // an Illustrator thumbnail whose pixel count is wrong
    kEpsNoPreviewErr = -192,       // no DOS EPS header, or no preview behind it
};

// User-data types the header reader adds.
inline constexpr OSType kUserDataCreator = 0xA9737772;  // (c)swr
inline constexpr OSType kUserDataFormat = 0xA9666D74;   // (c)fmt
inline constexpr OSType kUserDataUrl = 0xA975726C;      // (c)url

// The last %%BoundingBox of the file, in points (the page size Ghostscript crops to).
struct EpsBox {
    double width = 0;
    double height = 0;
};

// Reads the header comments into info (width, height, resolution, depth, colour space,
// compression ratio, format name, profile name) and the user data; the Illustrator thumbnail
// becomes a picture when `picture` is given (null: decoded, not made); `bounds` (may be null)
// gets the bounding box (or the %ImageData size, which comes later in the files that have it);
// `box` (may be null) the bounding box in points. -43 when the file cannot be opened, -11005
// without "%!PS-" or without a size.
OSErr ReadEpsHeader(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, UserData metadata, Rect* bounds,
                    EpsBox* box = nullptr);

// The preview behind a DOS EPS header (the metafile first, then the TIFF) in a new 32-bit
// world. -192 without the header or without either preview.
OSErr EpsReadDosPreview(const FSSpec* spec, GWorldPtr* offscreen);

// Pieces of the reading, open for their tests.
// The bytes of a hexadecimal line: pairs of upper-case digits; anything else is skipped.
std::string EpsDecodeHex(std::string_view line);
// "Raster (<encoding name>)" for encodings 1 to 6, else "Vector", with " | Raster" when the file
// holds raster data.
std::string EpsFormatText(int encoding, bool raster);
