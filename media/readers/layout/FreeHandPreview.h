// FreeHand drawings ('FHD3', 'AGD1'..'AGD6', 'FH5 '..'FH9 ', 'FHX ', 'FH11'), catalogued by the
// preview picture the file carries; the drawing itself is never read. Newer files hold a JPEG
// or bitmap preview behind a header of their own; older ones end with a trailer that points to
// an indexed-colour preview. A built-in reader registered by the family only for edition codes
// 200 and 500.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

enum : OSErr {
    kFreeHandUnknownErr = -206,  // neither layout, or a header preview we cannot draw
    kFreeHandNoPreviewErr = -192,
};

void KindRegisterFreeHand();
bool IsFreeHandType(OSType type);

// 0 with *trailer set for files beginning "FH3" or "AGD", clear for 1C 01 00; -206 otherwise.
OSErr FreeHandProbe(const FSSpec* spec, bool* trailer);
// The preview in a new 32-bit world; marks the reading's picture as an embedded preview.
OSErr FreeHandMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen);
