#include "platform/imaging/Gestalt.h"

OSErr Gestalt(OSType selector, SInt32* response) {
    if (!response) return paramErr;
    switch (selector) {
    case gestaltQuickTime:
        *response = kMediaLayerVersion;
        return noErr;
    case gestaltQTVRMgrAttr:
        *response = 1;  // panoramas are read and drawn by the media layer's own code
        return noErr;
    default:
        *response = 0;
        return gestaltUndefSelectorErr;
    }
}
