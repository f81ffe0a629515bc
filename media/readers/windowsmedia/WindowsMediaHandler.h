// The reader family of the Windows media kinds (AVI, MPEG, ASF, WMV, WMA): duration, picture
// size and the current video image, all from one probe of the file.
#pragma once

#include "media/kinds/KindInfo.h"

#include <string>

// Opens the file and, with an info record, stores its duration (tenths of a second) and its
// picture size; seeks to the info's poster frame when that is not 0; hands the video image at
// that place (fitted within maxSide, 0 for its own size) to *preview. 0, or -1 when the file
// cannot be opened or has no picture (the duration is then already stored).
OSErr WindowsMediaProbe(const std::string& path, KindInfoRec* info, GWorldPtr* preview, SInt32 maxSide);

// The info reader: 0 when the probe succeeded, -1 otherwise. The user data is not used.
OSErr WindowsMediaGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                          UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
// The thumbnail maker: probes without an info record and answers 0 whatever the probe did.
OSErr WindowsMediaMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type,
                                UInt32* imageIndex, UInt16 orientation);
