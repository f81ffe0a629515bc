// The owner-drawn list every side-panel list derives from (the Info field list, the Organize
// panel's Catalog Index and its folder list): a virtual list of rows of one height that reads
// its rows from the derived list on demand (so 40,000 entries scroll as smoothly as ten),
// keeps its own selection by row index, lets a click select a row only when the derived list
// agrees, paints white below the last row, scrolls a row into view by whole rows, and hands
// drops and drag tracking to the derived list through its hooks (CPanelDropTarget calls them).
// User-interface thread only.
#pragma once

#include "platform/MacTypes.h"
#include "window/panels/PanelDrag.h"

#include <vector>
#include <wx/vscroll.h>

struct CatalogRec;
struct ViewRec;
class CPanelDropTarget;

class CPaneListBase : public wxVScrolledWindow {
public:
    CPaneListBase(wxWindow* parent, wxWindowID id);
    ~CPaneListBase() override;

    // The catalog the list shows (null: none); the derived list starts or stops listening.
    virtual void AttachCatalog(CatalogRec* catalog) { catalog_ = catalog; }
    CatalogRec* GetCatalog() const { return catalog_; }
    ViewRec* GetView() const;

    int GetRowCount() const { return int(selected_.size()); }
    // Sets the number of rows; the selection of rows that stay is kept.
    void SetRowCount(int count);
    bool IsRowSelected(int row) const;
    void SelectRow(int row, bool on);
    void DeselectAll();
    int FirstSelected() const;
    int CountSelected() const;
    int RowHeight() const;
    // The row under a client y; -1 below the last row (a click there concerns no row).
    int RowAt(int y) const;
    wxRect RowRect(int row) const;
    void EnsureRowVisible(int row);
    // Names this list in drag data.
    UInt32 ListId() const { return listId_; }

    // Hooks of the drop target and the mouse handling.
    virtual bool DropPanelData(int x, int y, const PanelDragRef& data);
    virtual bool DropGridItems(int x, int y, ViewRec* view);
    virtual bool TrackPanelDrag(int x, int y, bool leaving);
    virtual bool TrackGridDrag(int x, int y, bool leaving);
    virtual bool ToggleRowForDrag(int row, bool panelDrag, bool expandOnly);
    virtual bool CanClickRow(int row, int x, int y) = 0;
    // Answers whether the base selects the row alone afterwards.
    virtual bool OnRowClick(int row, int x, int y, bool doubleClick) = 0;

protected:
    // Draws row (valid) into rect of the dc.
    virtual void DrawRow(wxDC& dc, const wxRect& rect, int row) = 0;
    wxCoord OnGetRowHeight(size_t row) const override;
    void RegisterDropTarget();
    // The row's colours by selection and focus.
    wxColour RowFill(int row) const;
    wxColour RowText(int row) const;

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnMouseDown(wxMouseEvent& event);
    void OnFocusChange(wxFocusEvent& event);

    CatalogRec* catalog_ = nullptr;
    std::vector<UInt8> selected_;
    UInt32 listId_;
};
