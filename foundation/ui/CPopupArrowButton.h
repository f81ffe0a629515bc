// A themed button with a drop-down arrow at its right edge, showing its icon or its text.
#pragma once

#include "foundation/ui/CButtonXp.h"

class CPopupArrowButton : public CButtonXp {
public:
    CPopupArrowButton(wxWindow* parent, wxWindowID id, const wxString& text, const wxBitmap& icon = wxBitmap());

protected:
    void DrawContent(wxDC& dc, const wxRect& rect) override;
};
