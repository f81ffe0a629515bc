// A field for a decimal number: only digits and one decimal separator (the locale's) get in,
// whether typed or pasted; a separator typed into an empty field gives "0" and the separator.
#pragma once

#include <wx/textctrl.h>

class CNumericEdit : public wxTextCtrl {
public:
    CNumericEdit(wxWindow* parent, wxWindowID id, const wxString& text = wxString());
    wxUniChar Separator() const { return separator_; }

private:
    void BindEvents();
    void OnChar(wxKeyEvent& event);
    void OnText(wxCommandEvent& event);

    wxUniChar separator_;
};
