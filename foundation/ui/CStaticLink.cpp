#include "foundation/ui/CStaticLink.h"

#include <wx/hyperlink.h>

CStaticLink::CStaticLink(wxWindow* parent, wxWindowID id, const wxBitmap& icon, const wxString& tip)
    : wxStaticBitmap(parent, id, icon) {
    SetCursor(wxCursor(wxCURSOR_HAND));
    if (!tip.empty()) SetToolTip(tip);
    Bind(wxEVT_LEFT_UP, &CStaticLink::OnLeftUp, this);
}

void CStaticLink::OnLeftUp(wxMouseEvent& event) {
    event.Skip();
    wxHyperlinkEvent click(this, GetId(), wxString());
    GetEventHandler()->ProcessEvent(click);
}
