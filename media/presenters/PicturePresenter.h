// The picture presenters of the media object: a picture from a file (type 1), kept at full
// size in an offscreen as the kind's reader draws it for display (upright by its orientation,
// colour-matched), shown at any percent with scrolling, turned, paged through and optionally
// painted with an exposure warning; and a QuickDraw picture held in memory (type 3).
#pragma once

#include "media/presenters/MediaObject.h"

#include <memory>

// Opens page (1-based; 0 means 1) of pageCount of the file, turned by the orientation code.
// With the object's open option A set and a window smaller than the picture both ways, the
// picture is kept shrunk to the window. The reader's error, or -108.
std::unique_ptr<MediaBackend> PicturePresenterOpen(MediaObject& object, const FSSpec& spec, OSType kind, UInt32 page,
                                                   UInt32 pageCount, UInt16 orientation, OSErr& err);
// Shows the caller's offscreen (copied). -50 without one.
std::unique_ptr<MediaBackend> PicturePresenterOpenWorld(MediaObject& object, GWorldPtr world, OSErr& err);
// A copy of the picture in the handle. -50 without a handle.
std::unique_ptr<MediaBackend> MemoryPicturePresenterOpen(Handle picture, OSErr& err);

// Turns the open picture (type 1): with code 0 or fromUnturned the current turn is undone
// first. False when the object holds no picture from a file.
bool PicturePresenterRotate(MediaObject* object, UInt16 code, bool fromUnturned);
// The orientation code the open picture is shown with now.
UInt16 PicturePresenterOrientation(MediaObject* object);
// The picture's offscreen (type 1), the presenter's own.
GWorldPtr PicturePresenterWorld(MediaObject* object);
