#include "window/ui/CGridContainer.h"

#include "catalog/tables/CatalogTables.h"
#include "window/frame/ContainerLayout.h"
#include "window/ui/CGridView.h"
#include "window/ui/CMediaHeaderBar.h"
#include "window/ui/CMyTabCtrl.h"
#include "window/ui/CSidePanel.h"
#include "window/view/ViewDrawing.h"

#include <wx/dcclient.h>
#include <wx/scrolbar.h>
#include <wx/settings.h>

namespace {

wxRect ToWx(const LayoutRect& r) { return wxRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height())); }

}  // namespace

CGridContainer::CGridContainer(wxWindow* parent)
    : wxWindow(parent, kId, wxDefaultPosition, wxDefaultSize, wxCLIP_CHILDREN | wxFULL_REPAINT_ON_RESIZE) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    // The grid first, so it exists when the first layout runs.
    grid_ = new CGridView(this, kGridId);
    tabs_ = new CMyTabCtrl(this, kTabsId);
    scrollBar_ = new wxScrollBar(this, kScrollBarId, wxDefaultPosition, wxDefaultSize, wxSB_VERTICAL);
    scrollBar_->Enable(false);
    header_ = new CMediaHeaderBar(this, kHeaderId, grid_);
    panel_ = new CSidePanel(this, kSidePanelId);
    panel_->Hide();
    grid_->SetHeaderBar(header_);
    grid_->SetCatalogObserver([this](CatalogRec* catalog) { panel_->AttachCatalog(catalog); });
    grid_->SetScrollListener([this](std::int32_t first, std::int32_t lastFirst, std::int32_t page) {
        SetScrollBarRange(first, lastFirst, page);
    });
    BindEvents();
}

void CGridContainer::BindEvents() {
    Bind(wxEVT_PAINT, &CGridContainer::OnPaint, this);
    Bind(wxEVT_SIZE, &CGridContainer::OnSize, this);
    scrollBar_->Bind(wxEVT_SCROLL_LINEUP, &CGridContainer::OnScroll, this);
    scrollBar_->Bind(wxEVT_SCROLL_LINEDOWN, &CGridContainer::OnScroll, this);
    scrollBar_->Bind(wxEVT_SCROLL_PAGEUP, &CGridContainer::OnScroll, this);
    scrollBar_->Bind(wxEVT_SCROLL_PAGEDOWN, &CGridContainer::OnScroll, this);
    scrollBar_->Bind(wxEVT_SCROLL_THUMBTRACK, &CGridContainer::OnScroll, this);
    scrollBar_->Bind(wxEVT_SCROLL_THUMBRELEASE, &CGridContainer::OnScroll, this);
    scrollBar_->Bind(wxEVT_SCROLL_TOP, &CGridContainer::OnScroll, this);
    scrollBar_->Bind(wxEVT_SCROLL_BOTTOM, &CGridContainer::OnScroll, this);
}

CatalogRec* CGridContainer::GetCatalog() const { return grid_ ? grid_->GetCatalog() : nullptr; }

void CGridContainer::LayoutChildren() {
    const wxSize size = GetClientSize();
    const ContainerRects r = LayoutGridContainer(size.x, size.y, panel_->GetWidth(), CMyTabCtrl::kHeight,
                                                 CMediaHeaderBar::kHeight, wxSystemSettings::GetMetric(wxSYS_VSCROLL_X, this));
    if (panel_->GetShownPane()) panel_->SetSize(ToWx(r.panel));
    tabs_->SetSize(ToWx(r.tabs));
    header_->SetSize(ToWx(r.header));
    scrollBar_->SetSize(ToWx(r.scrollBar));
    grid_->SetSize(ToWx(r.grid));
    // The grid is raised above the header bar it overlaps.
    grid_->Raise();
    Refresh(false);
}

void CGridContainer::UpdateSidePanel() {
    panel_->ShowPane(panel_->GetShownPane());
    LayoutChildren();
}

void CGridContainer::SetScrollBarRange(std::int32_t position, std::int32_t range, std::int32_t page) {
    if (range == 0) {
        scrollBar_->Enable(false);
        return;
    }
    scale_ = ScrollScaleFor(position, range, page);
    const std::int32_t max = range + page - 1;
    scrollBar_->SetScrollbar(position / scale_, std::max(1, page / scale_), max / scale_ + 1, std::max(1, page / scale_));
    scrollBar_->Enable(true);
}

void CGridContainer::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    const wxSize size = GetClientSize();
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_3DFACE)));
    dc.DrawRectangle(0, 0, size.x, size.y);
    const ContainerRects r = LayoutGridContainer(size.x, size.y, panel_->GetWidth(), CMyTabCtrl::kHeight,
                                                 CMediaHeaderBar::kHeight, 0);
    const int left = std::max(r.inner.left, r.panel.right);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_3DSHADOW)));
    dc.DrawRectangle(left - 1, r.inner.top - 1, r.inner.right - left + 2, r.inner.Height() + 2);
}

void CGridContainer::OnSize(wxSizeEvent& event) {
    LayoutChildren();
    event.Skip();
}

void CGridContainer::OnScroll(wxScrollEvent& event) {
    grid_->SetFocus();
    ViewRec* view = grid_->GetViewRec();
    if (!view) return;
    const wxEventType type = event.GetEventType();
    ScrollAction action = ScrollAction::kLineDown;
    if (type == wxEVT_SCROLL_LINEUP) action = ScrollAction::kLineUp;
    else if (type == wxEVT_SCROLL_PAGEUP) action = ScrollAction::kPageUp;
    else if (type == wxEVT_SCROLL_PAGEDOWN) action = ScrollAction::kPageDown;
    else if (type == wxEVT_SCROLL_THUMBTRACK || type == wxEVT_SCROLL_THUMBRELEASE) action = ScrollAction::kThumbTrack;
    else if (type == wxEVT_SCROLL_TOP) action = ScrollAction::kTop;
    else if (type == wxEVT_SCROLL_BOTTOM) action = ScrollAction::kBottom;
    // GTK has already moved the bar: the view follows from where it really stands.
    const std::int32_t barPosition = view->visibleCells[0] / scale_;
    const std::int32_t delta = ScrollRowDelta(action, view->cellSize.v, view->viewRect.bottom - view->viewRect.top,
                                              event.GetPosition(), barPosition, scale_);
    if (delta != 0) {
        ViewScrollTo(view, 0, delta);
        grid_->ShowDamage();
    }
}
