// An icon that acts as a link: the hand cursor and a tool tip over it; a click sends
// wxEVT_HYPERLINK to the owner, which opens the same address as the link beside it.
#pragma once

#include <wx/statbmp.h>

class CStaticLink : public wxStaticBitmap {
public:
    CStaticLink(wxWindow* parent, wxWindowID id, const wxBitmap& icon, const wxString& tip = wxString());

private:
    void OnLeftUp(wxMouseEvent& event);
};
