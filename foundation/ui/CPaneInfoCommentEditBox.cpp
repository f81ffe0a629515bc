#include "foundation/ui/CPaneInfoCommentEditBox.h"

#include <wx/settings.h>
#include <wx/utils.h>

CPaneInfoCommentEditBox::CPaneInfoCommentEditBox(wxWindow* parent, wxWindowID id)
    : wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_MULTILINE | wxTE_PROCESS_TAB) {
    SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    BindEvents();
}

void CPaneInfoCommentEditBox::BindEvents() {
    Bind(wxEVT_KEY_DOWN, &CPaneInfoCommentEditBox::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CPaneInfoCommentEditBox::OnChar, this);
    Bind(wxEVT_MOUSEWHEEL, &CPaneInfoCommentEditBox::OnMouseWheel, this);
}

void CPaneInfoCommentEditBox::OnKeyDown(wxKeyEvent& event) {
    if (event.GetKeyCode() != WXK_TAB) {
        event.Skip();
        return;
    }
    // The pane moves the focus: it gets the key as if it had been pressed there.
    if (wxWindow* pane = GetParent()) {
        wxKeyEvent forwarded(event);
        forwarded.SetEventObject(pane);
        pane->GetEventHandler()->ProcessEvent(forwarded);
    }
}

void CPaneInfoCommentEditBox::OnChar(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_TAB) return;
    event.Skip();
}

void CPaneInfoCommentEditBox::OnMouseWheel(wxMouseEvent& event) {
    const wxPoint screen = ClientToScreen(event.GetPosition());
    if (GetScreenRect().Contains(screen)) {
        event.Skip();
        return;
    }
    wxWindow* under = wxFindWindowAtPoint(screen);
    if (!under || under == this) return;
    wxMouseEvent forwarded(event);
    forwarded.SetEventObject(under);
    forwarded.SetPosition(under->ScreenToClient(screen));
    under->GetEventHandler()->ProcessEvent(forwarded);
}
