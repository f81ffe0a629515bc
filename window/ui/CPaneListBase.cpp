#include "window/ui/CPaneListBase.h"

#include "window/panels/PaneSplit.h"
#include "window/ui/CPanelDropTarget.h"
#include "window/ui/PanelHost.h"

#include <algorithm>
#include <wx/dcbuffer.h>
#include <wx/settings.h>

CPaneListBase::CPaneListBase(wxWindow* parent, wxWindowID id)
    : wxVScrolledWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxVSCROLL | wxWANTS_CHARS | wxBORDER_NONE),
      listId_(PanelDragNewSourceId()) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetRowCount(0);
    BindEvents();
}

CPaneListBase::~CPaneListBase() = default;

void CPaneListBase::BindEvents() {
    Bind(wxEVT_PAINT, &CPaneListBase::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CPaneListBase::OnMouseDown, this);
    Bind(wxEVT_LEFT_DCLICK, &CPaneListBase::OnMouseDown, this);
    Bind(wxEVT_SET_FOCUS, &CPaneListBase::OnFocusChange, this);
    Bind(wxEVT_KILL_FOCUS, &CPaneListBase::OnFocusChange, this);
    // The scroll bar takes the focus, as a click on a row does.
    Bind(wxEVT_SCROLLWIN_THUMBTRACK, [this](wxScrollWinEvent& e) {
        if (!HasFocus()) SetFocus();
        e.Skip();
    });
}

ViewRec* CPaneListBase::GetView() const { return catalog_ ? PanelView(this) : nullptr; }

void CPaneListBase::SetRowCount(int count) {
    selected_.resize(std::size_t(std::max(count, 0)), 0);
    wxVScrolledWindow::SetRowCount(std::size_t(std::max(count, 0)));
    Refresh(false);
}

bool CPaneListBase::IsRowSelected(int row) const {
    return row >= 0 && row < GetRowCount() && selected_[std::size_t(row)];
}

void CPaneListBase::SelectRow(int row, bool on) {
    if (row < 0 || row >= GetRowCount() || bool(selected_[std::size_t(row)]) == on) return;
    selected_[std::size_t(row)] = on ? 1 : 0;
    RefreshRow(std::size_t(row));
}

void CPaneListBase::DeselectAll() {
    std::fill(selected_.begin(), selected_.end(), 0);
    Refresh(false);
}

int CPaneListBase::FirstSelected() const {
    const auto it = std::find(selected_.begin(), selected_.end(), 1);
    return it == selected_.end() ? -1 : int(it - selected_.begin());
}

int CPaneListBase::CountSelected() const { return int(std::count(selected_.begin(), selected_.end(), 1)); }

int CPaneListBase::RowHeight() const { return std::max(GetCharHeight() + 4, 19); }

wxCoord CPaneListBase::OnGetRowHeight(size_t) const { return RowHeight(); }

int CPaneListBase::RowAt(int y) const {
    if (y < 0) return -1;
    const int row = int(GetVisibleRowsBegin()) + y / RowHeight();
    return row < GetRowCount() ? row : -1;
}

wxRect CPaneListBase::RowRect(int row) const {
    return wxRect(0, (row - int(GetVisibleRowsBegin())) * RowHeight(), GetClientSize().x, RowHeight());
}

void CPaneListBase::EnsureRowVisible(int row) {
    if (row < 0 || row >= GetRowCount()) return;
    const int top = int(GetVisibleRowsBegin());
    const int newTop = ListTopForRow(top, row, RowHeight(), GetClientSize().y);
    if (newTop != top) ScrollToRow(std::size_t(newTop));
}

bool CPaneListBase::DropPanelData(int, int, const PanelDragRef&) { return false; }
bool CPaneListBase::DropGridItems(int, int, ViewRec*) { return false; }
bool CPaneListBase::TrackPanelDrag(int, int, bool) { return false; }
bool CPaneListBase::TrackGridDrag(int, int, bool) { return false; }
bool CPaneListBase::ToggleRowForDrag(int, bool, bool) { return false; }

void CPaneListBase::RegisterDropTarget() { SetDropTarget(new CPanelDropTarget(this)); }

wxColour CPaneListBase::RowFill(int row) const {
    if (!IsRowSelected(row)) return *wxWHITE;
    return wxSystemSettings::GetColour(HasFocus() ? wxSYS_COLOUR_HIGHLIGHT : wxSYS_COLOUR_BTNFACE);
}

wxColour CPaneListBase::RowText(int row) const {
    if (IsRowSelected(row) && HasFocus()) return wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHTTEXT);
    return wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT);
}

void CPaneListBase::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxSize size = GetClientSize();
    const int h = RowHeight();
    const int first = int(GetVisibleRowsBegin());
    int y = 0;
    for (int row = first; row < GetRowCount() && y < size.y; ++row, y += h) {
        const wxRect rect(0, y, size.x, h);
        dc.SetClippingRegion(rect);
        DrawRow(dc, rect, row);
        dc.DestroyClippingRegion();
    }
    // Only the area under the last row is painted white; rows paint themselves.
    if (y < size.y) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(0, y, size.x, size.y - y);
    }
}

void CPaneListBase::OnMouseDown(wxMouseEvent& event) {
    const bool doubleClick = event.GetEventType() == wxEVT_LEFT_DCLICK;
    if (!doubleClick && !HasFocus()) SetFocus();
    const int row = RowAt(event.GetY());
    // A click under the last row concerns no row (never the last one).
    if (row < 0) return;
    if (CanClickRow(row, event.GetX(), event.GetY()) && OnRowClick(row, event.GetX(), event.GetY(), doubleClick)) {
        std::fill(selected_.begin(), selected_.end(), 0);
        selected_[std::size_t(row)] = 1;
        Refresh(false);
    }
}

void CPaneListBase::OnFocusChange(wxFocusEvent& event) {
    Refresh(false);
    event.Skip();
}
