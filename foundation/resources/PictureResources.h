// Pictures kept among the program's typed resources: an image stored as a 'TIFF' resource
// (the thumbnail frame and shadow mats) made into an offscreen picture for drawing.
#pragma once

#include "platform/MacTypes.h"
#include "platform/imaging/GWorld.h"

// Loads the 'TIFF' resource of the id and makes the picture from it through the movie layer's
// import from memory: a new 32-bit world (the caller's) and its frame. -192 when there is no
// such resource, -50 without a place for the picture, else the import's error.
OSErr LoadPictResource(SInt16 resourceId, GWorldPtr* outPicture, Rect* outFrame);
