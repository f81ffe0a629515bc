// Whether panorama (QuickTime VR) support is there: checked once at the engine start. Without
// it panoramas play as ordinary movies.
#pragma once

#include "platform/MacTypes.h"

// 0xFF before the check, 0 absent, 1 present.
UInt8 QuickTimeVRAvailability();
void QuickTimeVRInit();
void QuickTimeVRShutdown();
