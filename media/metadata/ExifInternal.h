// Shared between the EXIF directory walker and the maker-note decoders.
#pragma once

#include "media/metadata/MetaFile.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// Directory kinds: 0 the main chain, else the tag that led to the directory.
enum : UInt16 {
    kIfdMain = 0,
    kIfdExif = 0x8769,
    kIfdGps = 0x8825,
    kIfdMakerNote = 0x927C,
};

constexpr int kMaxVisitedIfds = 16;

struct ExifDecodeContext {
    UInt8 byteOrder = 'I';   // 'I' little-endian, 'M' big-endian; changed while a maker note is walked
    UInt16 nikonVersion = 0; // Nikon maker-note form: 0 none, 1, 2
    SInt64 base = 0;         // file offset of the TIFF header; directory offsets are relative to it
    OSType maker = 0;        // camera maker code from the Make tag
    SInt32 visitedCount = 0;
    SInt64 visited[kMaxVisitedIfds] = {};  // absolute offsets of the directories walked
    MetaReader* file = nullptr;
};

UInt16 ExifGet16(const ExifDecodeContext& ctx, const void* p);
UInt32 ExifGet32(const ExifDecodeContext& ctx, const void* p);

// Reads an entry's value (raw: the entry's last four bytes): inline when it fits there, else at
// base + offset, then in native order by type (tags 0x83BB, 0x8568 and 700 keep the bytes as
// stored). Null when it has no bytes, is larger than a value may be, or lies (partly) outside
// the file.
Handle TiffReadEntryValue(ExifDecodeContext& ctx, UInt16 tag, UInt16 type, UInt32 count, const std::uint8_t* raw);
// Reads a whole directory at the absolute offset into memory: its entry count, then the
// entries (12 bytes each) and the next directory's offset (4 bytes) into whole. An error when
// it cannot be read whole; kBadMediaDataErr for a count above the walker's limit.
OSErr TiffReadDirectory(ExifDecodeContext& ctx, SInt64 absolute, UInt32* count, std::vector<std::uint8_t>* whole);

// Converts a value read in the context's byte order to native order, by type.
void TiffSwapValue(std::uint8_t* bytes, std::size_t size, UInt16 type, UInt8 byteOrder);

// Stores one entry's value (native order) by directory kind and tag.
void ExifStoreEntry(ExifDecodeContext& ctx, UInt16 dirKind, UInt16 tag, Handle value, UserData metadata);

// The Nikon maker note at the offset (relative to the base): adjusts the base and byte order
// for the forms that carry their own header and gives the directory's offset. False when the
// note cannot be read or names a byte order that is neither 'I' nor 'M'.
bool NikonMakerNoteHeader(ExifDecodeContext& ctx, UInt32 noteOffset, SInt64* directoryOffset);
void NikonDecodeEntry(ExifDecodeContext& ctx, UInt16 tag, Handle value, UserData metadata);
void CanonDecodeCameraSettings(Handle value, UserData metadata);
void CanonDecodeShotInfo(Handle value, UserData metadata);
void PentaxDecodeEntry(ExifDecodeContext& ctx, UInt16 tag, Handle value, UserData metadata);

// The text of a UserComment value ("ASCII", "JIS" or undefined character code) from its first
// byte that is neither NUL nor a space; false for any other code or no text.
bool ExifCleanUserComment(const std::uint8_t* bytes, std::size_t size, std::size_t* textStart);
// An XP text (UTF-16 little-endian) as 8-bit text of half the value's size.
void ExifStoreXpText(UserData metadata, OSType type, Handle value);
