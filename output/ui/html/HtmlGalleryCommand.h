// The HTML Gallery command: the sheet over the stored settings, then a folder, then the build
// with its progress window, the browser on the first page when asked, and the result told.
#pragma once

#include "platform/MacTypes.h"

class wxWindow;
struct CatalogRec;

// Answers the build's result, or kGalleryCancelled when the sheet or the chooser was cancelled.
UInt16 HtmlGalleryCommand(wxWindow* parent, CatalogRec* catalog);
