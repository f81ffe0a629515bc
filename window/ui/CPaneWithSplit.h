// A pane of two round-bar sections with a 6-pixel bar between them that the user drags: the
// split is kept in per-mille of the pane height (0 folds the upper section to its header,
// 1000 the lower one), snaps within 5 % of an edge and keeps each open section at least 10 %
// high. The split comes from and goes back to one of the catalog's split words (per-mille +
// 1000) at the end of each drag.
#pragma once

#include "platform/MacTypes.h"
#include "window/panels/PaneSplit.h"
#include "window/ui/CPaneBase.h"

class CPaneWithSplit : public CPaneBase {
public:
    CPaneWithSplit(wxWindow* parent, wxWindowID id, int defaultSplit);

    int GetSplit() const { return split_; }
    void SetSplit(int perMille, bool layout);
    void LayoutChildren(bool redrawSplit) override;
    // The sections' rectangles now.
    void ComputeRects(wxRect* upper, wxRect* lower) const;

protected:
    void SetSections(wxWindow* upper, wxWindow* lower) { upper_ = upper, lower_ = lower; }
    // The catalog's split word of this pane (null: none).
    virtual UInt16* SplitWord() = 0;
    // Takes the split from the catalog's word (or the default when it never stored one).
    void RestoreSplit();

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    bool InBar(const wxPoint& p) const;

    wxWindow* upper_ = nullptr;
    wxWindow* lower_ = nullptr;
    int split_;
    int defaultSplit_;
    bool dragging_ = false;
};
