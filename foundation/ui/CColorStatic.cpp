#include "foundation/ui/CColorStatic.h"

#include <wx/settings.h>

CColorStatic::CColorStatic(wxWindow* parent, wxWindowID id, const wxString& text) : wxStaticText(parent, id, text) {
    SetForegroundColour(*wxBLACK);
    SetBackgroundColour(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE));
}

void CColorStatic::SetTextColour(const wxColour& colour) {
    SetForegroundColour(colour);
    Refresh();
    Update();
}

void CColorStatic::SetBkColour(const wxColour& colour) {
    SetBackgroundColour(colour);
    Refresh();
    Update();
}
