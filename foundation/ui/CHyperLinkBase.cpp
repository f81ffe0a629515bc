#include "foundation/ui/CHyperLinkBase.h"

#include <wx/hyperlink.h>
#include <wx/settings.h>

CHyperLinkBase::CHyperLinkBase(wxWindow* parent, wxWindowID id, const wxString& text)
    : wxStaticText(parent, id, text) {
    SetCursor(wxCursor(wxCURSOR_HAND));
    UpdateLook();
    BindEvents();
}

void CHyperLinkBase::SetColours(const wxColour& link, const wxColour&, const wxColour& hover) {
    link_ = link;
    hover_ = hover.IsOk() ? hover : wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT);
    UpdateLook();
}

void CHyperLinkBase::SetUnderlineMode(int mode) {
    underline_ = mode;
    UpdateLook();
}

wxColour CHyperLinkBase::CurrentColour() const { return over_ ? hover_ : link_; }

void CHyperLinkBase::UpdateLook() {
    wxFont font = GetFont();
    font.SetUnderlined(underline_ == kUnderlineAlways || (underline_ == kUnderlineHover && over_));
    SetFont(font);
    SetForegroundColour(CurrentColour());
    Refresh();
}

void CHyperLinkBase::BindEvents() {
    Bind(wxEVT_ENTER_WINDOW, &CHyperLinkBase::OnEnter, this);
    Bind(wxEVT_LEAVE_WINDOW, &CHyperLinkBase::OnLeave, this);
    Bind(wxEVT_LEFT_UP, &CHyperLinkBase::OnLeftUp, this);
}

void CHyperLinkBase::OnEnter(wxMouseEvent& event) {
    event.Skip();
    over_ = true;
    UpdateLook();
}

void CHyperLinkBase::OnLeave(wxMouseEvent& event) {
    event.Skip();
    over_ = false;
    UpdateLook();
}

void CHyperLinkBase::OnLeftUp(wxMouseEvent& event) {
    event.Skip();
    over_ = false;
    UpdateLook();
    wxHyperlinkEvent click(this, GetId(), wxString());
    if (!GetEventHandler()->ProcessEvent(click)) OnClicked();
}
