#include "window/ui/CPaneWithSplit.h"

#include "window/ui/CRoundBar.h"

#include <algorithm>
#include <wx/dcclient.h>
#include <wx/settings.h>

namespace {

PaneRect FromWx(const wxSize& s) { return PaneRect{0, 0, s.x, s.y}; }
wxRect ToWx(const PaneRect& r) { return wxRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height())); }

}  // namespace

CPaneWithSplit::CPaneWithSplit(wxWindow* parent, wxWindowID id, int defaultSplit)
    : CPaneBase(parent, id), split_(defaultSplit), defaultSplit_(defaultSplit) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    BindEvents();
}

void CPaneWithSplit::BindEvents() {
    Bind(wxEVT_PAINT, &CPaneWithSplit::OnPaint, this);
    Bind(wxEVT_LEFT_DOWN, &CPaneWithSplit::OnLeftDown, this);
    Bind(wxEVT_MOTION, &CPaneWithSplit::OnMotion, this);
    Bind(wxEVT_LEFT_UP, &CPaneWithSplit::OnLeftUp, this);
    Bind(wxEVT_MOUSE_CAPTURE_LOST, [this](wxMouseCaptureLostEvent&) { dragging_ = false; });
}

void CPaneWithSplit::SetSplit(int perMille, bool layout) {
    split_ = std::clamp(perMille, 0, 1000);
    if (layout) LayoutChildren(true);
}

void CPaneWithSplit::RestoreSplit() {
    UInt16* word = SplitWord();
    SetSplit(word ? SplitFromStoredWord(*word, defaultSplit_) : defaultSplit_, true);
}

void CPaneWithSplit::ComputeRects(wxRect* upper, wxRect* lower) const {
    PaneRect u, l;
    SplitComputeRects(FromWx(GetClientSize()), split_, CRoundBar::GetHeaderHeight(this), &u, &l);
    *upper = ToWx(u);
    *lower = ToWx(l);
}

void CPaneWithSplit::LayoutChildren(bool) {
    const wxSize size = GetClientSize();
    if (size.x <= 0 || size.y <= 0) return;
    wxRect upper, lower;
    ComputeRects(&upper, &lower);
    if (upper_) upper_->SetSize(upper);
    if (lower_) lower_->SetSize(lower);
    Refresh(false);
}

bool CPaneWithSplit::InBar(const wxPoint& p) const {
    wxRect upper, lower;
    ComputeRects(&upper, &lower);
    const PaneRect hit = SplitHitRect(FromWx(GetClientSize()), PaneRect{upper.x, upper.y, upper.GetRight() + 1,
                                                                          upper.GetBottom() + 1});
    return ToWx(hit).Contains(p);
}

void CPaneWithSplit::OnPaint(wxPaintEvent&) {
    wxPaintDC dc(this);
    wxRect upper, lower;
    ComputeRects(&upper, &lower);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.DrawRectangle(0, upper.GetBottom() + 1, GetClientSize().x, std::max(0, lower.y - upper.GetBottom() - 1));
}

void CPaneWithSplit::OnLeftDown(wxMouseEvent& event) {
    if (!InBar(event.GetPosition())) return;
    dragging_ = true;
    CaptureMouse();
}

void CPaneWithSplit::OnMotion(wxMouseEvent& event) {
    SetCursor(dragging_ || InBar(event.GetPosition()) ? wxCursor(wxCURSOR_SIZENS) : wxNullCursor);
    if (!dragging_) return;
    SetSplit(SplitFromY(FromWx(GetClientSize()), event.GetY()), true);
    Update();
}

void CPaneWithSplit::OnLeftUp(wxMouseEvent& event) {
    if (!dragging_) return;
    dragging_ = false;
    if (HasCapture()) ReleaseMouse();
    if (UInt16* word = SplitWord()) *word = SplitToStoredWord(SplitFromY(FromWx(GetClientSize()), event.GetY()));
}
