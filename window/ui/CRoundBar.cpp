#include "window/ui/CRoundBar.h"

#include "window/panels/PaneSplit.h"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

namespace {

wxRect ToWx(const PaneRect& r) { return wxRect(r.left, r.top, std::max(0, r.Width()), std::max(0, r.Height())); }
PaneRect FromWx(const wxSize& s) { return PaneRect{0, 0, s.x, s.y}; }

}  // namespace

CRoundBar::CRoundBar(wxWindow* parent, wxWindowID id, const wxString& title)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxCLIP_CHILDREN | wxCLIP_SIBLINGS | wxFULL_REPAINT_ON_RESIZE),
      title_(title) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    LoadColours();
    BindEvents();
}

void CRoundBar::BindEvents() {
    Bind(wxEVT_PAINT, &CRoundBar::OnPaint, this);
    Bind(wxEVT_SIZE, [this](wxSizeEvent& e) {
        LayoutBody();
        Refresh(false);
        e.Skip();
    });
    Bind(wxEVT_SYS_COLOUR_CHANGED, [this](wxSysColourChangedEvent& e) {
        LoadColours();
        OnColoursChanged();
        Refresh(false);
        e.Skip();
    });
}

void CRoundBar::LoadColours() {
    header_ = wxSystemSettings::GetColour(wxSYS_COLOUR_ACTIVECAPTION);
    outline_ = wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW);
    titleColour_ = wxSystemSettings::GetColour(wxSYS_COLOUR_CAPTIONTEXT);
}

void CRoundBar::SetTitle(const wxString& title) {
    if (title == title_) return;
    title_ = title;
    RefreshRect(HeaderRect(), false);
}

int CRoundBar::GetHeaderHeight(const wxWindow* window) {
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    int w = 0, h = 0;
    window->GetTextExtent("Ag", &w, &h, nullptr, nullptr, &font);
    return RoundBarHeaderHeight(h);
}

wxRect CRoundBar::HeaderRect() const { return ToWx(RoundBarHeaderRect(FromWx(GetClientSize()), GetHeaderHeight(this))); }
wxRect CRoundBar::BodyRect() const { return ToWx(RoundBarBodyRect(FromWx(GetClientSize()), GetHeaderHeight(this))); }

wxRect CRoundBar::TitleRect() const {
    const wxRect h = HeaderRect();
    return wxRect(h.x + titleLeft_, h.y + 4, std::max(0, h.width - titleLeft_ - titleRight_), h.height - 4);
}

void CRoundBar::OnPaint(wxPaintEvent&) {
    wxAutoBufferedPaintDC dc(this);
    const wxRect header = HeaderRect();
    dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNFACE)));
    dc.Clear();
    // A rounded rectangle whose lower half is covered by a plain one: only the top corners round.
    dc.SetPen(wxPen(outline_));
    dc.SetBrush(wxBrush(header_));
    dc.DrawRoundedRectangle(header.x, header.y, header.width, header.height, 5);
    dc.DrawRectangle(header.x, header.y + 5, header.width, header.height - 5);
    dc.SetPen(wxPen(header_));
    dc.DrawLine(header.x + 1, header.y + 5, header.GetRight(), header.y + 5);
    // Title.
    wxFont bold = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    bold.SetWeight(wxFONTWEIGHT_BOLD);
    dc.SetFont(bold);
    dc.SetTextForeground(titleColour_);
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    const wxRect title = TitleRect();
    dc.SetClippingRegion(title);
    dc.DrawText(title_, title.x, title.y);
    dc.DestroyClippingRegion();
    DrawHeaderExtras(dc);
    // The body's frame: left, bottom and right (the header closes the top).
    const wxRect body = BodyRect().Inflate(1);
    dc.SetPen(wxPen(outline_));
    dc.DrawLine(body.x, body.y, body.x, body.GetBottom());
    dc.DrawLine(body.x, body.GetBottom(), body.GetRight(), body.GetBottom());
    dc.DrawLine(body.GetRight(), body.y, body.GetRight(), body.GetBottom() + 1);
}
