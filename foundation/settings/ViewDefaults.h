// The settings a new catalog view takes from the preferences and gives back when it closes,
// so the next view opens the way the last one was left. The view keeps these fields in its
// own state; the 2,064-byte block lies apart, owned by the view.
#pragma once

#include "platform/MacTypes.h"

#include <cstddef>

struct ViewPrefsFields {
    Rect windowRect;
    UInt16 viewSetting;
    UInt16 viewDimensions[2];
    UInt8 viewFlags[4];
    UInt8 block320[320];
    UInt8 block64[64];
    UInt8 block96[96];
    UInt8* block2064;   // the view's separate block; null when it has none yet
};

inline constexpr std::size_t kViewBlock2064Size = 2064;

// From the preferences into the view (the separate block only when the view has one).
void ViewDefaultsFromPrefs(ViewPrefsFields* view);
// From the view back into the preferences.
void ViewDefaultsToPrefs(const ViewPrefsFields* view);
