// The content of a catalog window (child id 75): the side panel at the left, the view tabs,
// the header bar, the grid view and its vertical scroll bar, laid out by the rectangle rules of
// window/frame/ContainerLayout.h inside a one-pixel frame. It keeps the scroll bar in step with
// the view engine and turns scroll-bar input into view scrolling.
#pragma once

#include <cstdint>
#include <wx/window.h>

class CGridView;
class CMediaHeaderBar;
class CMyTabCtrl;
class CSidePanel;
class wxScrollBar;
class wxScrollEvent;
struct CatalogRec;

class CGridContainer : public wxWindow {
public:
    enum : int { kId = 75, kGridId = 102, kTabsId = 101, kHeaderId = 103, kScrollBarId = 105, kSidePanelId = 76 };
    explicit CGridContainer(wxWindow* parent);

    CatalogRec* GetCatalog() const;
    CGridView* GetGridView() const { return grid_; }
    CMyTabCtrl* GetTabCtrl() const { return tabs_; }
    CSidePanel* GetSidePanel() const { return panel_; }
    CMediaHeaderBar* GetHeaderBar() const { return header_; }
    wxScrollBar* GetScrollBar() const { return scrollBar_; }

    void LayoutChildren();
    void UpdateSidePanel();
    // The engine's scroll-range report, in its units (rows).
    void SetScrollBarRange(std::int32_t position, std::int32_t range, std::int32_t page);

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnScroll(wxScrollEvent& event);

    CGridView* grid_;
    CMyTabCtrl* tabs_;
    wxScrollBar* scrollBar_;
    CMediaHeaderBar* header_;
    CSidePanel* panel_;
    std::int32_t scale_ = 1;
};
