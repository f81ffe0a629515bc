// Drawing the rows of the side panel's lists: icons and colour swatches indented by level,
// the disclosure triangle, the row's background with its bottom line, its text (ellipsised,
// struck out for missing entries) and its count at the right.
#pragma once

#include <wx/colour.h>
#include <wx/font.h>
#include <wx/gdicmn.h>
#include <wx/string.h>

class wxDC;

void DrawListIcon(wxDC& dc, const wxRect& row, int level, short iconId);
void DrawListColourSwatch(wxDC& dc, const wxRect& row, int level, const wxColour& colour);
void DrawListIconRight(wxDC& dc, const wxRect& row, short iconId);
void DrawDisclosureIcon(wxDC& dc, const wxRect& row, bool expanded, int level);
// Fills the row but its last line with fill, and draws that line in line.
void DrawListRowBackground(wxDC& dc, const wxRect& row, const wxColour& fill, const wxColour& line);
// The default GUI font with the given attributes.
wxFont MakeListFont(bool bold, bool italic, bool underline, bool strikeOut);
// The row's text in its text rectangle: wrapped rows break at words and end with an ellipsis,
// one-line rows are cut with one.
void LayoutListRow(wxDC& dc, const wxRect& row, const wxString& text, int level, bool hasRightIcon, bool wrapped);
void DrawListRowStruckOut(wxDC& dc, const wxRect& row, const wxString& text, int level, bool hasRightIcon,
                          bool wrapped);
// The count right-aligned in its box; 0 shows "-".
void DrawListRowCount(wxDC& dc, const wxRect& row, long count);
