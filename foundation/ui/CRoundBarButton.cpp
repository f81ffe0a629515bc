#include "foundation/ui/CRoundBarButton.h"

#include "foundation/ui/IconCache.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

CRoundBarButton::CRoundBarButton(wxWindow* parent, wxWindowID id, const wxSize& size)
    : wxControl(parent, id, wxDefaultPosition, size, wxBORDER_NONE),
      base_(wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION)) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(size);
    BindEvents();
}

void CRoundBarButton::SetIcons(short normal, short hover, short pressed, short disabled) {
    icons_[0] = normal, icons_[1] = hover, icons_[2] = pressed, icons_[3] = disabled;
    Refresh();
}

void CRoundBarButton::SetCornerMode(int mode) {
    cornerMode_ = mode;
    Refresh();
}

void CRoundBarButton::SetBaseColor(const wxColour& colour) {
    base_ = colour;
    Refresh();
}

wxColour CRoundBarButton::CurrentShade() const {
    if (!IsEnabled()) return RoundBarShade(base_, kShadeDisabled);
    if (pressed_) return RoundBarShade(base_, kShadePressed);
    if (!hover_) return RoundBarShade(base_, kShadeNormal);
    return RoundBarShade(base_, kShadeHover);
}

short CRoundBarButton::CurrentIcon() const {
    const int state = !IsEnabled() ? 3 : pressed_ ? 2 : hover_ ? 1 : 0;
    return icons_[state] ? icons_[state] : icons_[0];
}

void CRoundBarButton::BindEvents() {
    Bind(wxEVT_PAINT, &CRoundBarButton::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, [this](wxMouseEvent& e) { pressed_ = true; Refresh(); e.Skip(); });
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        const bool click = pressed_;
        pressed_ = false;
        Refresh();
        if (click && IsEnabled()) {
            wxCommandEvent command(wxEVT_BUTTON, GetId());
            command.SetEventObject(this);
            ProcessWindowEvent(command);
        }
        e.Skip();
    });
    Bind(wxEVT_ENTER_WINDOW, [this](wxMouseEvent& e) { hover_ = true; Refresh(); e.Skip(); });
    Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) { hover_ = pressed_ = false; Refresh(); e.Skip(); });
}

void CRoundBarButton::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxRect r(GetClientSize());
    dc.SetBackground(wxBrush(base_));
    dc.Clear();
    const wxColour shade = CurrentShade();
    dc.SetPen(wxPen(shade));
    dc.SetBrush(wxBrush(shade));
    if (cornerMode_ != 3) dc.DrawRoundedRectangle(r, 7.5);
    if (cornerMode_ == 1) dc.DrawRectangle(wxRect(r.x + 8, r.y, r.width - 8, r.height));
    if (cornerMode_ == 2) dc.DrawRectangle(wxRect(r.x, r.y, r.width - 8, r.height));
    if (cornerMode_ == 3) dc.DrawRectangle(r);
    const wxBitmap icon = GetIconCache().Get(CurrentIcon());
    if (icon.IsOk()) dc.DrawBitmap(icon, r.x, r.y, true);
}
