// Pictures and movies held in memory: the bytes of an image or a movie that came in a handle
// (a resource of the program, a block from the clipboard) read through the movie layer as if
// they were a file, and made into a picture of their first frame.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// Reads the bytes in the handle as a movie or still image and draws its first frame, at its
// natural size, into a new 32-bit world (*outPicture, the caller's to dispose) whose frame
// (0, 0, height, width) goes to *outFrame when one is asked for. The first argument is unused
// (0); `level` is the caller's value handed on unchanged (1 to 9; the program hands 5) and
// must be in that range. -50 for a missing handle or out argument, an empty handle or a level
// out of range; the movie layer's error when the bytes are no picture (-2048, -2010, -2054,
// -8969). The handle is left as it was.
OSErr MovieImportFromHandle(void* reserved, Handle data, GWorldPtr* outPicture, Rect* outFrame, SInt32 level);
