// The readers of the web page kinds: the page drawn by the web page host into a 640 x 640
// offscreen for the information (with the file's line-ending style as its encoding) and an
// 800 x 800 one for thumbnails, each within 3 seconds. Pages are drawn on the user-interface
// thread: a reading on another thread hands the drawing over to it and waits.
#pragma once

#include "media/kinds/KindInfo.h"

#include <string>

// Installs the readers of handler 9. Called once on the user-interface thread, which must run
// the GLib main loop (the program's event loop does).
void WebPageReadersInstall();

// The time a page is given to load (3000 ms until set; tests on busy machines give more).
void WebPageSetTimeLimit(int milliseconds);

// Draws the page into the world's area (0, 0, width, height): 0 when drawn, -1 when the page
// failed (the area is then grey) or could not be drawn at all.
int RenderWebPage(int width, int height, const std::string& path, GWorldPtr world);

OSErr WebPageGetInfo(const FSSpec* spec, KindInfoRec* info, PicHandle* picture, GWorldPtr* offscreen,
                     UserData metadata, Handle* colorProfile, UInt32 optionA, UInt32 optionB, SInt32 size);
OSErr WebPageMakeThumbnail(const FSSpec* spec, GWorldPtr* offscreen, SInt32 size, OSType type, UInt32* imageIndex,
                           UInt16 orientation);
