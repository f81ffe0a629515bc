// A push button that shows an icon, drawn by the desktop theme in the state the pointer, the
// mouse button and the focus give it (pressed, hot, defaulted, disabled, normal).
#pragma once

#include "foundation/ui/ControlRules.h"

#include <wx/bitmap.h>
#include <wx/control.h>

class CButtonXp : public wxControl {
public:
    CButtonXp(wxWindow* parent, wxWindowID id, const wxBitmap& icon = wxBitmap(), const wxSize& size = wxSize(24, 24));

    void SetIcon(const wxBitmap& icon);
    ButtonLook Look() const;

protected:
    virtual void DrawContent(wxDC& dc, const wxRect& rect);
    wxBitmap icon_;
    bool hover_ = false;
    bool pressed_ = false;

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
};
