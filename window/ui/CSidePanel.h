// The side panel along the left edge of a catalog window: the host of the Info and Organize
// panes, with a splitter strip at its right edge to drag its width. Its width and shown pane
// are the catalog's settings. The panes themselves plug in as children (SetPane); a pane slot
// without a pane shows the empty panel face.
#pragma once

#include <wx/window.h>

#include <array>

struct CatalogRec;
class CPaneInfo;
class CPaneView;

class CSidePanel : public wxWindow {
public:
    CSidePanel(wxWindow* parent, wxWindowID id);

    // 0 none, 1 Info, 2 Organize.
    int GetShownPane() const { return shown_; }
    // Shows a pane (0 hides the panel); a shown panel is at least 250 pixels wide.
    virtual void ShowPane(int pane);
    virtual int ClampWidth(int width) const;
    void SetWidth(int width) { width_ = width; }
    // The width the container gives the panel: 0 when no pane is shown.
    int GetWidth() const { return shown_ ? ClampWidth(width_) : 0; }
    // The pane window of a slot (1 or 2); the panel owns it from now on.
    void SetPane(int pane, wxWindow* window);
    wxWindow* GetPane(int pane) const { return pane >= 1 && pane <= 2 ? panes_[pane] : nullptr; }
    void FocusPane(bool focus);
    // Takes the catalog's stored pane and width.
    void TakeCatalogSettings(CatalogRec* catalog);
    void SetCatalog(CatalogRec* catalog) { catalog_ = catalog; }

    // The Info (1) and Organize (2) panes it made at creation.
    CPaneInfo* GetInfoPane() const;
    CPaneView* GetViewPane() const;
    // The window now shows this catalog (null: it is about to let its catalog go): the panes
    // start or stop following it.
    void AttachCatalog(CatalogRec* catalog);
    // The Info pane stores its pending edits into the items (before it is left or closed).
    void SaveInfoChanges();

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    void OnMotion(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
    void OnCaptureLost(wxMouseCaptureLostEvent& event);
    void Relayout();
    void TellParent();

    int shown_ = 0;
    int width_ = 250;
    bool dragging_ = false;
    std::array<wxWindow*, 3> panes_{};
    CatalogRec* catalog_ = nullptr;
};
