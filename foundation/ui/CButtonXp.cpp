#include "foundation/ui/CButtonXp.h"

#include <wx/dcbuffer.h>
#include <wx/renderer.h>

CButtonXp::CButtonXp(wxWindow* parent, wxWindowID id, const wxBitmap& icon, const wxSize& size)
    : wxControl(parent, id, wxDefaultPosition, size, wxBORDER_NONE), icon_(icon) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(size);
    BindEvents();
}

void CButtonXp::SetIcon(const wxBitmap& icon) {
    icon_ = icon;
    Refresh();
}

ButtonLook CButtonXp::Look() const { return ThemedButtonLook(pressed_, hover_, HasFocus(), !IsEnabled()); }

void CButtonXp::BindEvents() {
    Bind(wxEVT_PAINT, &CButtonXp::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CButtonXp::OnLeftDown, this);
    Bind(wxEVT_LEFT_UP, &CButtonXp::OnLeftUp, this);
    Bind(wxEVT_ENTER_WINDOW, [this](wxMouseEvent& e) { hover_ = true; Refresh(); e.Skip(); });
    Bind(wxEVT_LEAVE_WINDOW, [this](wxMouseEvent& e) { hover_ = false; pressed_ = false; Refresh(); e.Skip(); });
}

void CButtonXp::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
    dc.Clear();
    const wxRect rect(GetClientSize());
    int flags = 0;
    switch (Look()) {
        case ButtonLook::kPressed: flags = wxCONTROL_PRESSED; break;
        case ButtonLook::kHot: flags = wxCONTROL_CURRENT; break;
        case ButtonLook::kDefaulted: flags = wxCONTROL_ISDEFAULT; break;
        case ButtonLook::kDisabled: flags = wxCONTROL_DISABLED; break;
        case ButtonLook::kNormal: break;
    }
    wxRendererNative::Get().DrawPushButton(this, dc, rect, flags);
    DrawContent(dc, rect);
    if (HasFocus()) wxRendererNative::Get().DrawFocusRect(this, dc, wxRect(rect).Deflate(3));
}

void CButtonXp::DrawContent(wxDC& dc, const wxRect& rect) {
    if (!icon_.IsOk()) return;
    const wxBitmap shown = IsEnabled() ? icon_ : icon_.ConvertToDisabled();
    dc.DrawBitmap(shown, rect.x + (rect.width - shown.GetWidth()) / 2, rect.y + (rect.height - shown.GetHeight()) / 2,
                  true);
}

void CButtonXp::OnLeftDown(wxMouseEvent& event) {
    pressed_ = true;
    SetFocus();
    CaptureMouse();
    Refresh();
    event.Skip();
}

void CButtonXp::OnLeftUp(wxMouseEvent& event) {
    if (HasCapture()) ReleaseMouse();
    const bool click = pressed_ && wxRect(GetClientSize()).Contains(event.GetPosition());
    pressed_ = false;
    Refresh();
    if (click && IsEnabled()) {
        wxCommandEvent command(wxEVT_BUTTON, GetId());
        command.SetEventObject(this);
        ProcessWindowEvent(command);
    }
}
