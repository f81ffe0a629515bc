// A swatch of a colour; a click opens the colour chooser with it (once: a second click while
// the chooser is open does nothing) and keeps the colour chosen with OK.
#pragma once

#include <wx/colour.h>
#include <wx/control.h>

class CColourPickerButton : public wxControl {
public:
    CColourPickerButton(wxWindow* parent, wxWindowID id, const wxColour& colour = *wxBLACK);

    void SetColour(const wxColour& colour);
    wxColour Colour() const { return colour_; }
    // Opens the chooser; true when a colour was chosen.
    bool Choose();

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);

    wxColour colour_;
    bool choosing_ = false;
};
