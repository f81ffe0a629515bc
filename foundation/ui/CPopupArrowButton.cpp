#include "foundation/ui/CPopupArrowButton.h"

#include "foundation/ui/IconCache.h"

#include <wx/dc.h>

CPopupArrowButton::CPopupArrowButton(wxWindow* parent, wxWindowID id, const wxString& text, const wxBitmap& icon)
    : CButtonXp(parent, id, icon, wxSize(-1, 24)) {
    SetLabel(text);
    SetMinSize(wxSize(GetTextExtent(text).x + 40, 24));
}

void CPopupArrowButton::DrawContent(wxDC& dc, const wxRect& rect) {
    const wxBitmap arrow = GetIconCache().Get(kIconPopupArrow);
    if (arrow.IsOk()) dc.DrawBitmap(arrow, rect.GetRight() - 16, rect.y + (rect.height - 16) / 2, true);
    if (icon_.IsOk()) {
        dc.DrawBitmap(icon_, rect.width / 2 - 12, rect.height / 2 - 8, true);
        return;
    }
    dc.SetFont(GetFont());
    dc.SetTextForeground(IsEnabled() ? GetForegroundColour() : wxColour(0x80, 0x80, 0x80));
    dc.DrawLabel(GetLabel(), wxRect(rect.x + 16, rect.y, rect.width - 32, rect.height), wxALIGN_CENTER);
}
