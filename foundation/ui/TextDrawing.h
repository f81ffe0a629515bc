// Measuring and drawing short texts in the default GUI font, the way the lists and panes of
// the catalog window do.
#pragma once

#include "platform/MacTypes.h"

#include <wx/string.h>

class wxDC;
class wxRect;
class wxWindow;

// The height of "0" in the default GUI font, at least 15; padded: 4 more.
int GetTextHeight(wxWindow* window);
int GetTextHeightPadded(wxWindow* window);
// The width of a Windows-1252 string in the DC's font.
int MeasurePStrWidth(ConstStr255Param text, wxDC& dc);
// Draws at the base line (x, y): alignment -1 right of x, 1 centred on x, else left from x; the
// DC's text colour, no background.
void DrawTextAligned(const wxString& text, int x, int y, int alignment, wxDC& dc);
// Draws wrapped at word breaks inside the rectangle (alignment as above), cut at its bottom.
void DrawTextWrappedInRect(const wxString& text, const wxRect& rect, int alignment, wxDC& dc);
