// The comment box of the Info pane: Tab moves on to the pane's next field instead of going
// into the text, and the mouse wheel over another window scrolls that window, not the box.
#pragma once

#include <wx/textctrl.h>

class CPaneInfoCommentEditBox : public wxTextCtrl {
public:
    CPaneInfoCommentEditBox(wxWindow* parent, wxWindowID id);

private:
    void BindEvents();
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnMouseWheel(wxMouseEvent& event);
};
