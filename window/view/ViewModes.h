// The view mode switch (List, Thumbnail, Media) and the zoom of each mode.
#pragma once

#include "window/view/ViewRec.h"

void ViewSetMode(ViewRec* view, UInt8 mode);
void ViewZoom(ViewRec* view, bool zoomIn);
void ViewToggleActualSize(ViewRec* view);
void ViewKeepCurrentVisible(ViewRec* view);
