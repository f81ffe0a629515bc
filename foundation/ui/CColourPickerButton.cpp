#include "foundation/ui/CColourPickerButton.h"

#include <wx/colordlg.h>
#include <wx/dcbuffer.h>
#include <wx/renderer.h>

CColourPickerButton::CColourPickerButton(wxWindow* parent, wxWindowID id, const wxColour& colour)
    : wxControl(parent, id, wxDefaultPosition, wxSize(40, 22), wxBORDER_NONE), colour_(colour) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetMinSize(wxSize(40, 22));
    BindEvents();
}

void CColourPickerButton::SetColour(const wxColour& colour) {
    if (colour == colour_) return;
    colour_ = colour;
    Refresh();
}

bool CColourPickerButton::Choose() {
    if (choosing_) return false;
    choosing_ = true;
    wxColourData data;
    data.SetColour(colour_);
    wxColourDialog dialog(this, &data);
    const bool chosen = dialog.ShowModal() == wxID_OK;
    if (chosen) SetColour(dialog.GetColourData().GetColour());
    choosing_ = false;
    return chosen;
}

void CColourPickerButton::BindEvents() {
    Bind(wxEVT_PAINT, &CColourPickerButton::OnPaint, this);
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent&) {
        if (Choose()) {
            wxCommandEvent changed(wxEVT_BUTTON, GetId());
            changed.SetEventObject(this);
            ProcessWindowEvent(changed);
        }
    });
}

void CColourPickerButton::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    wxRect r(GetClientSize());
    dc.SetPen(*wxBLACK_PEN);
    dc.SetBrush(*wxWHITE_BRUSH);
    dc.DrawRectangle(r);
    r.Deflate(1);
    if (HasFocus()) wxRendererNative::Get().DrawFocusRect(this, dc, r);
    r.Deflate(2);
    dc.SetPen(wxPen(colour_));
    dc.SetBrush(wxBrush(colour_));
    dc.DrawRectangle(r);
}
