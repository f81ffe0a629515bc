// The camera RAW preview readers: Olympus ORF, Leaf MOS, Sony SRF, Pentax PEF, Fuji RAF,
// Minolta MRW and Digital Negative DNG files are catalogued by the JPEG preview the camera
// stored inside them (found through their TIFF tags, maker notes or own block structures),
// with their facts from the same tags. Olympus E-10 and C-series files are decoded from their
// sensor data instead (OlympusDecoder.h). A DNG without a drawable preview is developed.
//
// Info readers fill the record, draw the preview into *offscreen when they can and add the
// file's tags to the metadata list; thumbnail readers draw the preview at most size x size,
// turned by the orientation code, and mark the picture as a stored preview.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

// The format name every reader here gives.
inline constexpr char kCameraRawFormatName[] = "TIFF (Camera RAW)";

using RawInfoReader = OSErr (*)(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
using RawThumbnailReader = OSErr (*)(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);

OSErr OrfGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr OrfMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
OSErr MosGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr MosMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
OSErr SrfGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr SrfMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
OSErr PefGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr PefMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
OSErr RafGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr RafMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
OSErr MrwGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr MrwMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
OSErr DngGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr DngMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);

// The bytes of the preview each format stores, located by the same walk the readers do, without
// decoding them (for extraction). -192 when the file holds none.
OSErr RawPreviewBytes(OSType type, const FSSpec* spec, Handle* jpeg);

// The Olympus maker-note preview of an ORF file whose tags are in the list.
OSErr ReadOlympusMakerNotePreview(const FSSpec* spec, UserData tags, GWorldPtr* out);
