// The rename field over a cell or a list row: one line, or several for a cell that shows more
// than one; it grows once to its full height when the text no longer fits. Enter (one line),
// Tab, Shift+Tab, Ctrl with an arrow, or leaving it end the edit with their end codes; Escape
// cancels. The end goes to the parent as the done or cancel message.
#pragma once

#include "foundation/ui/EditEnd.h"

#include <wx/textctrl.h>

class CRenameEdit : public wxTextCtrl {
public:
    // fullHeight 0: a one-line field; otherwise the height it grows to.
    CRenameEdit(wxWindow* parent, wxWindowID id, const wxString& text, const wxRect& rect, int fullHeight);

    // Selects the name up to its last "." so the extension stays.
    void SelectBaseName();
    // Replaces the font: size in pixels, the face by name (empty: the default GUI font's).
    void SetMacFont(int size, const wxString& faceName);
    int FullHeight() const { return fullHeight_; }

private:
    void BindEvents();
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnKillFocus(wxFocusEvent& event);
    void OnText(wxCommandEvent& event);

    int fullHeight_;
    EditEndSender ender_;
};
