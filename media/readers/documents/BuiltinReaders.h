// The built-in readers' handler (7): the type-to-reader dispatch. Only the Office and PDF
// kinds are registered in this edition; they go to the document thumbnails.
#pragma once

#include "media/kinds/KindInfo.h"

OSErr BuiltinReaderGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                           UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr BuiltinReaderMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type,
                                 UInt32* imageIndex, UInt16 orientation);
