#include "window/ui/CSidePanel.h"

#include "catalog/tables/CatalogTables.h"
#include "window/frame/ContainerLayout.h"
#include "window/ui/CPaneBase.h"
#include "window/ui/CPaneInfo.h"
#include "window/ui/CPaneView.h"

#include <wx/dcclient.h>
#include <wx/settings.h>

CSidePanel::CSidePanel(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxCLIP_SIBLINGS | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetPane(1, new CPaneInfo(this, 77));
    SetPane(2, new CPaneView(this, 78));
    BindEvents();
}

CPaneInfo* CSidePanel::GetInfoPane() const { return static_cast<CPaneInfo*>(panes_[1]); }
CPaneView* CSidePanel::GetViewPane() const { return static_cast<CPaneView*>(panes_[2]); }

void CSidePanel::AttachCatalog(CatalogRec* catalog) {
    catalog_ = catalog;
    GetInfoPane()->AttachCatalog(catalog);
    GetViewPane()->AttachCatalog(catalog);
}

void CSidePanel::SaveInfoChanges() { GetInfoPane()->StorePendingEdits(); }

void CSidePanel::BindEvents() {
    Bind(wxEVT_PAINT, &CSidePanel::OnPaint, this);
    Bind(wxEVT_SIZE, &CSidePanel::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &CSidePanel::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CSidePanel::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CSidePanel::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, &CSidePanel::OnCaptureLost, this);
}

int CSidePanel::ClampWidth(int width) const {
    return SidePanelClampWidth(width, GetParent() ? GetParent()->GetClientSize().x : width);
}

void CSidePanel::ShowPane(int pane) {
    if (pane < 0 || pane > 2) pane = 0;
    shown_ = pane;
    if (shown_ && width_ < kSidePanelMinimum) width_ = kSidePanelMinimum;
    for (int i = 1; i <= 2; ++i) {
        if (panes_[i]) panes_[i]->Show(i == shown_);
    }
    if (catalog_) CatalogSetSidePanelMode(catalog_, UInt8(shown_));
    Show(shown_ != 0);
    Relayout();
}

void CSidePanel::SetPane(int pane, wxWindow* window) {
    if (pane < 1 || pane > 2) return;
    panes_[pane] = window;
    window->Show(pane == shown_);
    Relayout();
}

void CSidePanel::FocusPane(bool focus) {
    if (auto* pane = dynamic_cast<CPaneBase*>(GetPane(shown_))) pane->FocusSection(focus);
}

void CSidePanel::TakeCatalogSettings(CatalogRec* catalog) {
    catalog_ = catalog;
    if (!catalog) return;
    const UInt16 width = CatalogGetPrefWord(catalog);
    if (width > 0) width_ = width;
    ShowPane(CatalogGetViewKind(catalog));
}

void CSidePanel::Relayout() {
    const wxSize size = GetClientSize();
    wxWindow* pane = GetPane(shown_);
    if (pane) pane->SetSize(0, 0, std::max(0, size.x - kSidePanelSplitter), size.y);
    Refresh(false);
}

void CSidePanel::TellParent() {
    wxSizeEvent relayout(GetParent()->GetSize(), GetParent()->GetId());
    relayout.SetEventObject(GetParent());
    GetParent()->GetEventHandler()->ProcessEvent(relayout);
}

void CSidePanel::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
    dc.Clear();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_3DFACE)));
    dc.DrawRectangle(size.x - kSidePanelSplitter, 0, kSidePanelSplitter, size.y);
}

void CSidePanel::OnSize(wxSizeEvent& event) {
    Relayout();
    event.Skip();
}

void CSidePanel::OnLeftDown(wxMouseEvent& event) {
    if (event.GetX() < GetClientSize().x - kSidePanelSplitter) return;
    dragging_ = true;
    CaptureMouse();
}

void CSidePanel::OnMotion(wxMouseEvent& event) {
    const bool onStrip = event.GetX() >= GetClientSize().x - kSidePanelSplitter;
    SetCursor(dragging_ || onStrip ? wxCursor(wxCURSOR_SIZEWE) : wxNullCursor);
    if (!dragging_) return;
    const int x = event.GetX();
    if (x >= kSidePanelHideBelow) {
        width_ = ClampWidth(x + 2);
        TellParent();
    }
}

void CSidePanel::OnLeftUp(wxMouseEvent& event) {
    if (!dragging_) return;
    dragging_ = false;
    if (HasCapture()) ReleaseMouse();
    if (event.GetX() < kSidePanelHideBelow) {
        ShowPane(0);  // the width is kept for the next show
    } else if (catalog_) {
        catalog_->viewPrefs.prefWord = UInt16(width_);
    }
    TellParent();
}

void CSidePanel::OnCaptureLost(wxMouseCaptureLostEvent&) { dragging_ = false; }
