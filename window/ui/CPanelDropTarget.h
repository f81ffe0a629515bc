// The drop target of the side panel's lists. It takes two kinds of drag: catalog items from
// the grid view of the same catalog window ("LYREX_GRID_{...}") and rows dragged inside the
// same list ("LYREX_PANEL_{...}"). Both carry a PanelDragRef (process, source id, row), never
// an address; data from another window, list or program is refused. The target asks its list
// through the list's hooks where a drop would go and what it does, scrolls the list when the
// pointer nears its top or bottom edge, and opens a row the drag rests on.
#pragma once

#include "window/panels/PanelDrag.h"

#include <wx/dataobj.h>
#include <wx/dnd.h>
#include <wx/timer.h>

class CPaneListBase;

wxDataFormat PanelGridDragFormat();
wxDataFormat PanelRowDragFormat();
// Drag data of the formats above (the caller owns it, as wxDropSource expects).
wxCustomDataObject* MakeGridDragData(const PanelDragRef& ref);
wxCustomDataObject* MakePanelDragData(const PanelDragRef& ref);

class CPanelDropTarget : public wxDropTarget {
public:
    explicit CPanelDropTarget(CPaneListBase* list);
    ~CPanelDropTarget() override;

    wxDragResult OnEnter(wxCoord x, wxCoord y, wxDragResult def) override;
    wxDragResult OnDragOver(wxCoord x, wxCoord y, wxDragResult def) override;
    wxDragResult OnData(wxCoord x, wxCoord y, wxDragResult def) override;
    void OnLeave() override;

    // The drop itself, from the bytes of one format: true when the list did something. Refused
    // (false, nothing done) for data that does not name this list or its own catalog window.
    bool Drop(bool panelData, const void* bytes, std::size_t length, int x, int y);

    // A drag started by this program names its source here while it runs: GTK hands a target
    // the dragged data only at the drop, and the hover feedback needs the source before that.
    static void SetDragInProgress(const PanelDragRef* ref);

private:
    enum class Kind { kNone, kGrid, kPanel };
    bool Accepts(Kind kind) const;
    void Hover(wxCoord x, wxCoord y);

    CPaneListBase* list_;
    wxCustomDataObject* grid_;
    wxCustomDataObject* panel_;
    wxDataObjectComposite* data_;
    Kind kind_ = Kind::kNone;
    DragHover hover_;
    wxPoint last_{-1, -1};
    wxTimer restTimer_;
};
