// The program's own JPEG reader: reads JPEG files through libjpeg when the graphics importer
// refuses them, tolerating damaged data (a cut-off file gives what it holds).
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

// Fills info from the JPEG header (pages 1, depth 24 for colour, 32 for CMYK, 8 for grey,
// encoding "Photo * JPEG", resolution 72 when the file names none, colour space by the
// decoder's, compression as the memory ratio of the data), reads the file's metadata as the
// graphics importers do, and decodes the image into a new offscreen of at most size x size.
OSErr JpegReaderGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata, SInt32 size);
// The image at most size x size in a new offscreen.
OSErr JpegReaderMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size);
