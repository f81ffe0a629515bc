#include "window/ui/CGridDropTarget.h"

#include "window/grid/GridDropMath.h"
#include "window/ui/CGridView.h"
#include "window/ui/GridDataObjects.h"
#include "window/view/ViewDrawing.h"

namespace {
unsigned long long gDragSource = 0;
}

void CGridDropTarget::SetDragSource(unsigned long long serial) { gDragSource = serial; }

CGridDropTarget::CGridDropTarget(CGridView* view) : view_(view), data_(new ReceivedData) { SetDataObject(data_); }

wxDragResult CGridDropTarget::OnEnter(wxCoord x, wxCoord y, wxDragResult def) {
    kind_ = 2;
    if (GetMatchingPair() == GridViewRefFormat()) {
        kind_ = gDragSource != 0 && gDragSource == view_->Serial() ? 0 : 1;
        view_->SetDragState(true);
    }
    return OnDragOver(x, y, def);
}

wxDragResult CGridDropTarget::OnDragOver(wxCoord x, wxCoord y, wxDragResult def) {
    if (!view_->GetViewRec()) return wxDragNone;
    const wxDragResult effect = kind_ == 0 ? wxDragMove : wxDragCopy;
    ScrollNearEdge(y);
    view_->TrackDropPosition(x, y, false);
    return effect;
}

void CGridDropTarget::ScrollNearEdge(int y) {
    ViewRec* view = view_->GetViewRec();
    if (!view || ViewGetMode(view) == kViewMedia) return;
    const int direction = DragScrollDirection(0, view_->GetClientSize().y, y);
    if (direction == 0) return;
    // The marker goes first: the rows move under it.
    view_->TrackDropPosition(0, 0, true);
    ViewScrollBy(view, direction);
    view_->ShowDamage();
}

void CGridDropTarget::OnLeave() {
    view_->SetDragState(false);
    view_->TrackDropPosition(0, 0, true);
}

bool CGridDropTarget::OnDrop(wxCoord, wxCoord) { return view_->GetViewRec() != nullptr; }

wxDragResult CGridDropTarget::OnData(wxCoord x, wxCoord y, wxDragResult def) {
    view_->SetDragState(false);
    if (!GetData()) return wxDragNone;
    const bool taken = view_->DropData(*data_, wxPoint(x, y));
    // A part left filled would answer for a later drop.
    data_->Reset();
    if (!taken) return wxDragNone;
    return kind_ == 0 ? wxDragMove : wxDragCopy;
}
