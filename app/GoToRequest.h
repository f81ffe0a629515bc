// The request of the Go To dialog, remembered for the whole run and shared by every window so
// that Go Again repeats it anywhere: go to the item with a number, to the next item that
// contains a text, or to the next labelled item.
#pragma once

#include "platform/MacTypes.h"

enum : UInt8 {
    kGoToNeverUsed = 0,
    kGoToItemNumber = 1,
    kGoToContaining = 2,
    kGoToLabelled = 3,
};

struct GoToRequest {
    UInt8 kind = kGoToNeverUsed;
    SInt32 number = 0;
    Str255 text = {};  // length-prefixed, Windows-1252
};

// Whether a request of that kind can run in a catalog showing visibleCount items of which
// labelledCount carry a label: a number within 1..visibleCount, a text that is not empty, at
// least one labelled item. Kind 0 (and any other) never can.
bool GoToIsValid(UInt8 kind, SInt32 number, ConstStr255Param text, SInt32 visibleCount, SInt32 labelledCount);
