#include "platform/imaging/Gestalt.h"

OSErr Gestalt(OSType selector, SInt32* response) {
    if (!response) return paramErr;
    switch (selector) {
    case gestaltQuickTime:
        *response = kMediaLayerVersion;
        return noErr;
    default:
        *response = 0;
        return gestaltUndefSelectorErr;
    }
}
