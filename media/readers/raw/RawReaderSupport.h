// Pieces the camera RAW readers share: bounded reads of preview blocks, drawing JPEG previews,
// the facts every RAW info record gets, tag values from the metadata list, and the last steps
// of a thumbnail (fitting it to the requested size and turning it).
#pragma once

#include "media/kinds/KindInfo.h"
#include "media/metadata/MetaFile.h"
#include "media/readers/raw/RawLibrary.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

#include <string>
#include <vector>

// Result codes of the RAW readers beside the common ones.
enum : OSErr {
    kRawNotThisLayoutErr = -206,  // not the block layout of the format
    kRawFormatErr = -8960,        // not of the expected format (info readers)
    kRawThumbnailFormatErr = -8961,
    kRawDataErr = -8962,          // header or data not readable
};

// No camera stores a preview larger than this; a length that asks for more is damage.
inline constexpr SInt64 kRawMaxPreviewBytes = 64LL << 20;

// Reads length bytes at offset into a new handle: -192 for a length of 0, -8969 for a block
// that lies (partly) outside the file or is larger than any preview, file errors as they come.
OSErr RawReadBlock(MetaReader& file, SInt64 offset, SInt64 length, Handle* out);
OSErr RawReadFileBlock(const FSSpec* spec, SInt64 offset, SInt64 length, Handle* out);
// Draws JPEG bytes into a new 32-bit offscreen ('BGRA'); the importer's error when it cannot.
OSErr RawDrawJpeg(Handle jpeg, GWorldPtr* out);

// Width, height, resolution, depth, one page, colour space 'RGB ' and the memory ratio.
void RawFillImageInfo(KindInfoRec* info, UInt32 width, UInt32 height, UInt32 resolution, UInt32 depth);
void RawSetFormatName(KindInfoRec* info, const char* name);
void RawAppendFormatName(KindInfoRec* info, const char* text);

// Tells the presenter that the picture of this read is a preview stored in the file.
void RawMarkPreview(bool isPreview = true);
// The EXIF orientation value of a turn in degrees: 90 gives 6, 180 gives 3, 270 gives 8,
// anything else 0.
SInt16 RawOrientationFromDegrees(SInt32 degrees);

// The first item of the tag as a 32-bit number (2-byte items sign-extended, 8-byte items
// numerator / denominator); false when there is none.
bool RawTagValue(UserData list, OSType tag, SInt32* value);
// Every 32-bit value of the first item of the tag (its size / 4 of them).
std::vector<UInt32> RawTagArray32(UserData list, OSType tag);
// The bytes of the first item of the tag.
bool RawTagBytes(UserData list, OSType tag, std::vector<std::uint8_t>* out);

// Known EXIF values through the metadata store: a 16-bit value, a rational, a text item.
void RawStoreShort(UserData list, UInt16 exifTag, UInt16 value);
void RawStoreRational(UserData list, UInt16 exifTag, UInt32 numerator, UInt32 denominator);
void RawStoreText(UserData list, OSType type, const std::string& text);
// The lens text: "50 mm" for a prime (long length equal or 0), "17-40 mm" for a zoom; empty
// when the short length is 0.
std::string RawLensText(SInt32 shortFocal, SInt32 longFocal);
// The lens text item type of the metadata list.
inline constexpr OSType kRawLensTextItem = 0x6578B002;
// Appends a text as a plain item (the lens text 0x6578B002 is kept so).
void RawAppendText(UserData list, OSType type, const std::string& text);

// The last steps of every RAW thumbnail: shrink to size x size when larger (not for the
// display size), then turn by the orientation code. A failure disposes of the picture.
OSErr RawFinishThumbnail(OSErr err, GWorldPtr* out, SInt32 size, UInt16 orientation);

// The RAW option of the engine (the second byte of the Kodak look value): non-zero asks for
// the previews stored in the files rather than developed pictures.
bool RawPrefersEmbeddedPreview();
// A picture developed from the sensor data at most size x size (as shot), with the progress
// callback of the current read.
OSErr RawDevelopFile(const FSSpec* spec, SInt32 size, GWorldPtr* out);
