// The Kodak DCR reader. The RAW library stands in for the vendor's DCS libraries: it develops
// the sensor data at one of three sizes (full, half, quarter), turned while reading by a
// quarter, half or three-quarter turn; flips are applied afterwards.
#pragma once

#include "foundation/interface/Orientation.h"
#include "media/kinds/KindInfo.h"
#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/UserData.h"
#include "platform/imaging/GWorld.h"

class RawFile;

enum : OSErr { kKodakOpenErr = -19 };

// The turn done while reading for an orientation code: 'W ' 90, 'CW' 270, 'HV' 180, others 0.
SInt32 KodakRotationForCode(UInt16 orientation);
// Develops at size mode 0 (full), 1 (half) or 2 (quarter), turned by 0, 90, 180 or 270
// degrees; -50 for any other mode or turn.
OSErr KodakDevelop(RawFile& file, int sizeMode, SInt32 rotation, GWorldPtr* out);

OSErr KodakDcrGetInfo(const FSSpec* spec, KindInfoRec* info, GWorldPtr* offscreen, UserData metadata);
OSErr KodakDcrMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, UInt16 orientation);
