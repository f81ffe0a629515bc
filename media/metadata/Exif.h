// EXIF and TIFF-structured metadata: the directories (IFDs) of a TIFF file, of a TIFF-based
// camera RAW file, or of the TIFF block inside a JPEG APP1 "Exif" segment, read into the
// file's metadata list (MetaValueStore.h) with the EXIF, GPS and sub-directories followed and
// the maker notes of several camera makers decoded into standard EXIF values.
//
// Item types written: 'TIFF' (the 8-byte header: the byte-order bytes as read, magic and the
// first directory's offset in native order); the 0xA9 text items for ImageDescription, Make,
// Model, Software, Artist, Copyright, UserComment and the XP texts; 'XMP ' and 'iptc' blocks as
// stored; 'ex' + tag and 0x0677 + GPS tag through MetaStoreValue (big-endian); every other
// entry under its bare tag number (native order, or the big-endian form a known-field store
// left); 0x927C (Olympus maker-note offset), 0x2020, 'JOFT'/'JSZE', 0x0081/0x0088, and the
// decoded maker-note values 0x6578B001..B003.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"

// The TIFF Orientation (1..8) found by the most recent metadata read on this thread, 0 when
// none or out of range. ExifReadFromFile clears it; the kind engine takes it after a reader
// returns.
SInt16& LastExifOrientation();

// Camera maker codes, from the Make text.
enum : OSType {
    kMakerAsahi = 'Asah',
    kMakerPentax = 'PNTX',
    kMakerNikon = 'NIKN',
    kMakerCanon = 'CANN',
    kMakerKodak = 'KODK',
    kMakerOlympus = 'OLYM',
    kMakerMinolta = 'MLTA',
};
OSType ExifMakerFromMake(const void* make, long length);

// Bytes per value of a TIFF type (1..12); 0 for any other type.
long TiffTypeSize(UInt16 type);

// Reads the TIFF-structured metadata whose header lies at the base offset (0 for TIFF and
// TIFF-based RAW files, the APP1 payload + 6 for JPEG). Either out may be null; with both null
// nothing is read. The ICC profile out receives a profile found in the directories when it is
// still empty.
OSErr ExifReadFromFile(const FSSpec* spec, SInt64 base, UserData metadata, Handle* iccProfile);
// The same from a given first directory offset (relative to the base; -1: the header's).
// Only opening, positioning and reading the header report errors; a damaged directory ends
// its chain silently and what was read stays.
OSErr TiffReadMetadata(const FSSpec* spec, SInt64 base, SInt64 firstIfd, UserData metadata, Handle* iccProfile);
// The same over TIFF-structured bytes held in memory (an EXIF block of a Photoshop file).
OSErr ExifReadFromBytes(const void* bytes, std::size_t size, UserData metadata, Handle* iccProfile);

// Names used by the readers for the same walk.
inline OSErr TiffReadFileTags(const FSSpec* spec, SInt64 headerOffset, UserData metadata, long /*flags*/ = 0) {
    return TiffReadMetadata(spec, headerOffset, -1, metadata, nullptr);
}
inline OSErr TiffReadIfd(const FSSpec* spec, SInt64 headerOffset, SInt64 ifdOffset, UserData metadata, long /*flags*/ = 0) {
    return TiffReadMetadata(spec, headerOffset, ifdOffset, metadata, nullptr);
}

// Decodes the compact EXIF list the catalog keeps: byte 0 the byte order ('I' or 'M'), byte 1
// the entry count, then per entry u16 tag, u16 type, u16 count (little-endian), two unused
// bytes and count x type-size value bytes, entries back to back. True when at least one entry
// had a value. A list cut short ends at the block's end.
bool ExifReadFromTiffBlock(Handle block, UserData metadata);

// 'CRW ' or 'DCB ' for camera RAW files in TIFF clothing, else 0.
OSType TiffDetectRawKind(const FSSpec* spec, bool checkMakers);

// The standard colour profiles the kind engine loaded (either may be null). ColorSpace sRGB
// and the interoperability index "R98"/"R03" hand out copies of them.
void ExifSetStandardProfiles(Handle srgb, Handle adobeRgb);
