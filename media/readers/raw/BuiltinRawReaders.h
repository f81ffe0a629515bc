// The built-in readers family (handler 7): the camera RAW formats, Alias Pix, Seattle Filmworks,
// CorelDRAW previews and the Windows pictures (their registration, which the kind engine runs
// only for edition codes 200 and 500) and the thumbnails of the Office and PDF documents; the two
// dispatchers that the info and thumbnail calls of the engine reach for handler 7. Types that no
// reader here serves are declined (information) or have no thumbnail maker.
#pragma once

#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"

// Registers the kinds in the family's order: Alias Pix, Sigma, Seattle Filmworks, Nikon, Kodak, Canon, then the
// seven RAW preview rows, CorelDRAW, then the Windows pictures.
void KindRegisterBuiltinReaders();

OSErr BuiltinReaderGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                           UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr BuiltinReaderMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type,
                                 UInt32* imageIndex, UInt16 orientation);
