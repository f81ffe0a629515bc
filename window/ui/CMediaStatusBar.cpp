#include "window/ui/CMediaStatusBar.h"

#include "foundation/ui/CommandIds.h"

#include <cmath>
#include <wx/bitmap.h>
#include <wx/dcclient.h>
#include <wx/dcmemory.h>
#include <wx/menu.h>
#include <wx/settings.h>
#include <wx/statbmp.h>

namespace {

constexpr int kCancelRunningTasks = 33102;

// The busy icon's frame: a ring of eight dots with one dark dot going round.
wxBitmap BusyIcon(int frame) {
    wxBitmap bitmap(16, 16);
    wxMemoryDC dc(bitmap);
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_3DFACE)));
    dc.Clear();
    dc.SetPen(*wxTRANSPARENT_PEN);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        dc.SetBrush(wxBrush(i == frame ? wxColour(40, 40, 40) : wxColour(170, 170, 170)));
        dc.DrawCircle(int(8 + 5 * std::cos(a)), int(8 + 5 * std::sin(a)), 2);
    }
    dc.SelectObject(wxNullBitmap);
    return bitmap;
}

}  // namespace

CMediaStatusBar::CMediaStatusBar(wxWindow* parent) : wxStatusBar(parent, WxIdOf(kId), wxSTB_SIZEGRIP) {
    SetFieldsCount(3);
    const int styles[3] = {wxSB_FLAT, wxSB_FLAT, wxSB_FLAT};
    SetStatusStyles(3, styles);
    icon_ = new wxStaticBitmap(this, wxID_ANY, BusyIcon(0));
    icon_->Hide();
    Relayout();
    BindEvents();
}

void CMediaStatusBar::BindEvents() {
    Bind(wxEVT_SIZE, &CMediaStatusBar::OnSize, this);
    icon_->Bind(wxEVT_LEFT_DOWN, &CMediaStatusBar::OnLeftDown, this);
}

void CMediaStatusBar::Relayout() {
    wxClientDC dc(this);
    dc.SetFont(GetFont());
    const wxString& shown = GetStatusText(1);
    const int pane1 = dc.GetTextExtent(shown).x + (dragMode_ ? 6 : 15);
    const int widths[3] = {-1, pane1, busy_.Count() > 0 ? 18 : 0};
    SetStatusWidths(3, widths);
    wxRect r;
    if (GetFieldRect(2, r)) icon_->SetSize(r.x + (r.width - 16) / 2, r.y + (r.height - 16) / 2, 16, 16);
    icon_->Show(busy_.Count() > 0);
}

void CMediaStatusBar::ShowPaneText() {
    if (dragMode_) SetStatusText(dropText_, 1);
    else if (!suppressed_) SetStatusText(text_, 1);
    Relayout();
}

void CMediaStatusBar::SetText(const wxString& text) {
    text_ = text;
    ShowPaneText();
}

void CMediaStatusBar::SetDragMode(bool on) {
    dragMode_ = on;
    if (!on) dropText_.clear();
    ShowPaneText();
}

void CMediaStatusBar::ShowDropPosition(long position) {
    dropText_ = position > 0 ? wxString::Format("%ld", position) : wxString();
    ShowPaneText();
}

void CMediaStatusBar::SetSuppressText(bool on) {
    suppressed_ = on;
    ShowPaneText();
}

void CMediaStatusBar::SetBusy(bool on) {
    busy_.Set(on);
    icon_->SetBitmap(BusyIcon(busy_.Frame()));
    Relayout();
}

void CMediaStatusBar::StepBusyIcon() { icon_->SetBitmap(BusyIcon(busy_.Step())); }

void CMediaStatusBar::ClearBusy() {
    busy_.Clear();
    Relayout();
}

void CMediaStatusBar::OnSize(wxSizeEvent& event) {
    Relayout();
    event.Skip();
}

void CMediaStatusBar::OnLeftDown(wxMouseEvent&) {
    wxMenu menu;
    menu.Append(wxID_ANY, wxString::Format("Running Tasks: %d", busy_.Count()))->Enable(false);
    menu.Append(WxIdOf(kCancelRunningTasks), "Cancel Running Tasks");
    const int chosen = GetPopupMenuSelectionFromUser(menu);
    if (chosen == WxIdOf(kCancelRunningTasks)) {
        wxCommandEvent command(wxEVT_MENU, WxIdOf(kCancelRunningTasks));
        GetParent()->GetEventHandler()->ProcessEvent(command);
    }
}
