// The drop target of a grid view: items dragged inside the view (moved), from another grid view
// of this program (copied), or files from anywhere (imported). While something is dragged over
// the view it shows where a drop would insert and scrolls near the top and bottom edges.
//
// GTK hands a drop target the dragged data only on the drop, so the rule that decides whether
// dropped files are worth taking runs then; during the drag files show the copy effect.
#pragma once

#include <wx/dnd.h>
#include <wx/timer.h>

class CGridView;
class ReceivedData;

class CGridDropTarget : public wxDropTarget {
public:
    explicit CGridDropTarget(CGridView* view);

    // 0 items of this same view, 1 items of another view, 2 files.
    int DragKind() const { return kind_; }

    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
    void OnLeave() override;
    bool OnDrop(wxCoord x, wxCoord y) override;
    wxDragResult OnData(wxCoord x, wxCoord y, wxDragResult def) override;

    // The serial of the view whose drag runs in this process now (0 none): a drag over its own
    // view moves, over another copies.
    static void SetDragSource(unsigned long long serial);

private:
    void ScrollNearEdge(int y);

    CGridView* view_;
    ReceivedData* data_;   // owned by the wxDropTarget
    int kind_ = 2;
};
