// The dialog bases' fitting of push buttons and controls to their (translated) texts, on real
// windows: the measures come from the window's dialog units and the default GUI font, the
// arithmetic from ButtonFitting.h.
#pragma once

#include "foundation/ui/ButtonFitting.h"

#include <wx/string.h>

class wxWindow;

// X and Y of the window: pixels of 1,000 dialog units / 1,500 and / 1,625.
DialogUnits DialogUnitsOf(wxWindow* window);
// Width of the text (access-key marks left out) in the default GUI font.
int GuiTextWidth(wxWindow* window, const wxString& text);

// Lays out the push buttons of the given control ids (IDOK and IDCANCEL as 1 and 2; 0 or a
// missing id takes no room) in one row along the bottom of the dialog: each sized to its text,
// the third at the right margin, the second left of it, the first at the left margin. The row
// is appended to the dialog's sizer (made when it has none); calling it again re-fits the row.
void FitDialogButtons(wxWindow* dialog, int margin, int first, int second, int third);
// Sizes the control of that id to its text plus extra pixels, without moving it.
void FitControlToText(wxWindow* dialog, int controlId, int extra);
