#include "media/readers/panorama/QuickTimeVR.h"

#include "platform/imaging/Gestalt.h"

namespace {
UInt8 gAvailability = 0xFF;
}

UInt8 QuickTimeVRAvailability() {
    return gAvailability;
}

void QuickTimeVRInit() {
    if (gAvailability != 0xFF) return;
    SInt32 attributes = 0;
    gAvailability = Gestalt(gestaltQTVRMgrAttr, &attributes) == noErr && (attributes & 1) ? 1 : 0;
}

void QuickTimeVRShutdown() {
    gAvailability = 0xFF;
}
