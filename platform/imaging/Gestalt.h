// Version facts of the media layer, asked by selector as the core asks them.
#pragma once

#include "platform/MacTypes.h"

enum : OSErr { gestaltUndefSelectorErr = -5551 };

enum : OSType {
    gestaltQuickTime = 'qtim',     // version of the media layer
    gestaltQTVRMgrAttr = 'qtvr',   // panorama support: bit 0 set when present
};

// The media layer stands for QuickTime 6.5.
inline constexpr SInt32 kMediaLayerVersion = 0x06500000;

OSErr Gestalt(OSType selector, SInt32* response);
