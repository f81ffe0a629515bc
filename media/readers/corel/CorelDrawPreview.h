// The CorelDRAW kinds of the built-in readers: a CorelDRAW file is a RIFF file whose "DISP"
// chunk holds a device-independent bitmap preview; that preview is the file's picture. The
// kinds are registered by the family only for edition codes 200 and 500.
#pragma once

#include "platform/Files.h"
#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// 'CDR ', 'CDR5' ... 'CDR9', 'CDRA' "CorelDRAW", category Illustration.
void KindRegisterCorelDraw();
bool IsCorelDrawType(OSType type);

// The preview at its own size into a new offscreen. eofErr when the file ends before a "DISP"
// chunk, -8969 for a "DISP" chunk too small for a bitmap header or larger than the file, the
// file's or the decoder's error otherwise.
OSErr CorelDrawPreview(OSType type, const FSSpec* spec, GWorldPtr* offscreen);
