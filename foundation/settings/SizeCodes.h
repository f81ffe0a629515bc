// The view size codes the output dialogs store, and the (mode, percent) pairs they stand for:
// codes 1 and 4..8 are modes of their own; 10..16 are mode 10 at 25, 50, 100, 200, 400, 800
// or 1600 per cent; anything else is mode 2.
#pragma once

#include "platform/MacTypes.h"

void SizeCodeToScale(SInt16 sizeCode, SInt16* mode, SInt16* percent);
// Modes 1, 2 and 4..8 give themselves; otherwise one of the percentages above gives its code
// 10..16; anything else 0.
SInt16 ScaleToSizeCode(SInt16 mode, SInt16 percent);
