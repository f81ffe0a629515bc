#include "window/ui/CMediaHeaderBar.h"

#include "window/ui/CGridView.h"
#include "window/ui/PortBlit.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewModes.h"

#include <wx/dcclient.h>
#include <wx/renderer.h>

CMediaHeaderBar::CMediaHeaderBar(wxWindow* parent, wxWindowID id, CGridView* grid)
    : wxWindow(parent, id, wxDefaultPosition, wxSize(-1, kHeight), wxFULL_REPAINT_ON_RESIZE, "LyrexMediaHeaderBar"),
      grid_(grid) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    SetLabel("Header Bar");
    BindEvents();
}

void CMediaHeaderBar::BindEvents() {
    Bind(wxEVT_PAINT, &CMediaHeaderBar::OnPaint, this);
    Bind(wxEVT_SIZE, &CMediaHeaderBar::OnSize, this);
}

void CMediaHeaderBar::OnPaint(wxPaintEvent&) {
    ViewRec* view = grid_ ? grid_->GetViewRec() : nullptr;
    // The engine draws the bar only where a drawer for it is installed.
    if (view && ViewGetMode(view) != kViewList && grid_->HeaderPort() && ViewGetCellDrawProcs().headerBar) {
        PaintFromPort(this, grid_->HeaderPort());
        return;
    }
    wxPaintDC dc(this);
    wxRendererNative::Get().DrawPushButton(this, dc, wxRect(GetClientSize()), 0);
}

void CMediaHeaderBar::OnSize(wxSizeEvent& event) {
    ViewRec* view = grid_ ? grid_->GetViewRec() : nullptr;
    const wxSize size = GetClientSize();
    if (view && grid_->HeaderPort() && size.x > 0) {
        ViewPortResize(grid_->HeaderPort(), SInt16(size.x), SInt16(kHeight));
        view->headerRect = Rect{0, 0, SInt16(kHeight), SInt16(size.x)};
        ViewDrawHeaderBar(view);
        Refresh(false);
    }
    event.Skip();
}
