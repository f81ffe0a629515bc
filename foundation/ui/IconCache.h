// The program's small icons by resource id, 16 x 16, loaded once and kept for the run. Each id
// names an icon of the desktop's theme (freedesktop names through wxArtProvider); where the
// theme has none, the program draws its own.
#pragma once

#include <wx/bitmap.h>

#include <map>

enum : short {
    kIconPopupArrow = 321,
    kIconFolder = 462,
    kIconWebLink = 471,
    kIconDisclosureOpen = 2604,
    kIconDisclosureClosed = 2605,
};

class CIconCache {
public:
    // The icon of the id, loading it on first use; an invalid bitmap when the id is unknown.
    wxBitmap Get(short id);
    size_t LoadedCount() const { return icons_.size(); }

private:
    std::map<short, wxBitmap> icons_;
};

CIconCache& GetIconCache();
wxBitmap GetIconCached(CIconCache& cache, short id);
// Lets go of every icon (at exit).
void FreeIconCache();

class wxDC;
// Draws the icon of the id scaled to the rectangle; masked draws only its shape, in black.
void DrawIconResource(wxDC& dc, const wxRect& rect, bool masked, short id);
// Draws it as a square of the size centred in the rectangle.
void DrawIconCentred(wxDC& dc, const wxRect& rect, int size, bool masked, short id);
