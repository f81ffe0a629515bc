// The Canon RAW reader: CRW files (CIFF heaps) and CR2 files (TIFF). Dimensions, shooting data
// and the embedded JPEG preview are read straight from the file; when the RAW option asks for
// developed pictures, the thumbnail is developed from the sensor data through the RAW library
// (CanonRawDevelop) and falls back on the preview when that fails. Heap offsets and lengths are
// checked against the heap that holds them and the file; heaps nest at most kCrwMaxDepth deep.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

#include <cstdint>
#include <cstdio>
#include <string>

inline constexpr int kCrwMaxDepth = 8;

// What a CRW heap walk keeps.
struct CanonRawRecord {
    std::FILE* stream = nullptr;
    SInt64 fileSize = 0;
    UInt16 byteOrder = 0;          // 0x4949 "II" or 0x4D4D "MM"
    UInt32 previewOffset = 0, previewLength = 0;
    UInt32 width = 0, height = 0, rotation = 0, colorDepth = 0;
    UInt32 colorSpace = 0;
    SInt16 targetExposureTime = 0, targetAperture = 0, baseIso = 0, exposureCompensation = 0, whiteBalance = 0;
    SInt16 flashMode = 0, meteringMode = 0, exposureMode = 0;
    SInt16 focalLength = 0, shortFocal = 0, longFocal = 0;
    UInt32 captureTime = 0;
    SInt32 timeZoneCode = 0;
    UInt32 timeZoneInfo = 0;
    char make[64] = {};
    char model[64] = {};
};

// 2 for CR2, 1 for CRW, 0 otherwise or when 16 bytes cannot be read.
int CanonRawProbe(const FSSpec* spec);

// With colorProfile, a CRW shot in sRGB or Adobe RGB hands out a copy of that standard profile
// (when the engine found it) for the thumbnail's colour matching.
OSErr CanonRawGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata,
                      Handle* colorProfile = nullptr);
OSErr CanonRawMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);

// For a CR2 file read by the TIFF importer: the facts of a Canon RAW.
OSErr CanonTiffRawSetInfo(KindInfoRec* info);
// Develops the file; turns it by the orientation code on success.
OSErr CanonTiffRawDevelop(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);

// The heap walk (record's stream open) and the header check with the root heap walk.
OSErr ReadCanonCrwHeap(CanonRawRecord* record, SInt64 start, SInt64 length, int depth = 0);
OSErr CanonCrwOpen(CanonRawRecord* record);
// Opens the file and does the CRW work of info and thumbnail (each out may be null). The
// profile of the shot's colour space (1 sRGB, 2 Adobe RGB), when the engine holds it, names
// the info's profile and is copied to *colorProfile.
OSErr CanonCrwRead(const FSSpec* spec, GWorldPtr* offscreen, UserData metadata, KindInfoRec* info,
                   Handle* colorProfile = nullptr);
OSErr CanonCr2ReadPreview(const FSSpec* spec, GWorldPtr* offscreen, KindInfoRec* info, UserData metadata);
// The shooting data of the record as metadata items.
void CanonCrwSetMetadata(const CanonRawRecord& record, UserData metadata);

// Develops the sensor data of a CRW or CR2 file into a new offscreen of at most size x size
// (0: whole), as shot. -108 when memory is short, -8962 for data the library cannot develop.
OSErr CanonRawDevelop(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size);
