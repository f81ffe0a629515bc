// Carrying a picture's metadata into its converted file: the EXIF segment of a JPEG source
// copied whole into a JPEG target, and the source's IPTC annotations (with the XMP packet made
// from them) written into JPEG and TIFF targets by our metadata writers.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"

#include <cstdint>
#include <string>
#include <vector>

// The whole APP1 "Exif" segment (marker, length and payload) of a JPEG file; empty when the file
// is not a JPEG or has none.
std::vector<std::uint8_t> ReadJpegExifSegment(const std::string& path);
// Puts a segment into encoded JPEG bytes after the start of image and the JFIF APP0 segment,
// when the bytes begin with a start of image; false (bytes unchanged) otherwise.
bool InsertJpegSegment(std::vector<std::uint8_t>* jpeg, const std::vector<std::uint8_t>& segment);
// Writes the IPTC block (and the XMP packet made from it) into the file, by the format's
// writer ('JPEG' or 'TIFF'); other formats are left alone.
OSErr WriteConvertedAnnotations(const FSSpec* file, OSType format, Handle iptc);
