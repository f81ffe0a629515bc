// The in-place editor's drop-down of favorites: typing completes from the remembered values
// (the completed tail selected, so typing on overwrites it), Alt+Down and Alt+Up open and
// close the list, and the keys of the rename field end or cancel the edit.
#pragma once

#include "foundation/ui/EditEnd.h"

#include <wx/combobox.h>

class CRenameCombo : public wxComboBox {
public:
    CRenameCombo(wxWindow* parent, wxWindowID id, const wxRect& rect);

    bool CompleteWanted() const { return completeWanted_; }

private:
    void BindEvents();
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnText(wxCommandEvent& event);
    void OnKillFocus(wxFocusEvent& event);

    bool completeWanted_ = false;
    EditEndSender ender_;
};
