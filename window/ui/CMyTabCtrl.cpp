#include "window/ui/CMyTabCtrl.h"

#include "foundation/ui/UiText.h"

#include <algorithm>
#include <wx/dcbuffer.h>
#include <wx/settings.h>

namespace {

unsigned char Scale(unsigned char c, double f) { return static_cast<unsigned char>(std::min(255.0, c * f)); }

wxColour Colour(const unsigned char c[3]) { return wxColour(c[0], c[1], c[2]); }

}  // namespace

TabColours TabColoursFromFace(unsigned char r, unsigned char g, unsigned char b) {
    TabColours t;
    const unsigned char face[3] = {r, g, b};
    for (int i = 0; i < 3; ++i) {
        t.dark[i] = Scale(face[i], 0.55);
        t.light[i] = Scale(face[i], 1.05);
        t.lightEdge[i] = Scale(t.light[i], 0.75);
        t.darkEdge[i] = Scale(t.dark[i], 1.5);
    }
    return t;
}

CMyTabCtrl::CMyTabCtrl(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxSize(-1, kHeight), wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    for (int i = 0; i < 3; ++i) labels_[i] = LoadUiString(UInt16(13705 + i));
    BindEvents();
}

void CMyTabCtrl::BindEvents() {
    Bind(wxEVT_PAINT, &CMyTabCtrl::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CMyTabCtrl::OnLeftDown, this);
}

void CMyTabCtrl::SetCurSel(int tab) {
    current_ = tab;
    Refresh(false);
}

wxRect CMyTabCtrl::TabRect(int tab) const {
    wxClientDC dc(const_cast<CMyTabCtrl*>(this));
    dc.SetFont(GetFont());
    int x = 0;
    for (int i = 0; i < tab; ++i) x += dc.GetTextExtent(labels_[i]).x + 24;
    return wxRect(x, 2, dc.GetTextExtent(labels_[tab]).x + 24, GetClientSize().y - 2);
}

void CMyTabCtrl::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxColour face = wxSystemSettings::GetColour(wxSYS_COLOUR_3DFACE);
    const TabColours colours = TabColoursFromFace(face.Red(), face.Green(), face.Blue());
    dc.SetBackground(wxBrush(face));
    dc.Clear();
    dc.SetFont(GetFont());
    for (int i = 0; i < 3; ++i) {
        const wxRect r = TabRect(i);
        const bool on = i == current_;
        dc.SetBrush(wxBrush(Colour(on ? colours.light : colours.dark)));
        dc.SetPen(wxPen(Colour(on ? colours.lightEdge : colours.darkEdge)));
        dc.DrawRoundedRectangle(r.x, r.y, r.width - 2, r.height + 4, 3);
        dc.SetTextForeground(on ? wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT) : *wxWHITE);
        const wxSize t = dc.GetTextExtent(labels_[i]);
        dc.DrawText(labels_[i], r.x + (r.width - 2 - t.x) / 2, r.y + (r.height - t.y) / 2);
    }
}

void CMyTabCtrl::OnLeftDown(wxMouseEvent& event) {
    for (int i = 0; i < 3; ++i) {
        if (!TabRect(i).Contains(event.GetPosition())) continue;
        if (i != current_) {
            SetCurSel(i);
            wxCommandEvent choice(wxEVT_CHOICE, GetId());
            choice.SetInt(i);
            choice.SetEventObject(this);
            ProcessWindowEvent(choice);
        }
        return;
    }
}
