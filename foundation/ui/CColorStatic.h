// A static text in colours of its own (text and background).
#pragma once

#include <wx/stattext.h>

class CColorStatic : public wxStaticText {
public:
    CColorStatic(wxWindow* parent, wxWindowID id, const wxString& text = wxString());
    void SetTextColour(const wxColour& colour);
    void SetBkColour(const wxColour& colour);
};
