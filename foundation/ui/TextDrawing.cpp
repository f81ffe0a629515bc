#include "foundation/ui/TextDrawing.h"

#include "foundation/ui/UiText.h"

#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/window.h>

#include <algorithm>

int GetTextHeight(wxWindow* window) {
    wxClientDC dc(window);
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    return std::max(15, dc.GetTextExtent("0").y);
}

int GetTextHeightPadded(wxWindow* window) { return GetTextHeight(window) + 4; }

int MeasurePStrWidth(ConstStr255Param text, wxDC& dc) { return dc.GetTextExtent(WxFromPStr(text)).x; }

void DrawTextAligned(const wxString& text, int x, int y, int alignment, wxDC& dc) {
    wxCoord w = 0, h = 0, descent = 0;
    dc.GetTextExtent(text, &w, &h, &descent);
    if (alignment == -1) x -= w;
    else if (alignment == 1) x -= w / 2;
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.DrawText(text, x, y - (h - descent));
}

void DrawTextWrappedInRect(const wxString& text, const wxRect& rect, int alignment, wxDC& dc) {
    wxArrayString lines;
    wxString line;
    for (const wxString& word : wxSplit(text, ' ', 0)) {
        const wxString trial = line.empty() ? word : line + " " + word;
        if (!line.empty() && dc.GetTextExtent(trial).x > rect.width) {
            lines.Add(line);
            line = word;
        } else {
            line = trial;
        }
    }
    if (!line.empty()) lines.Add(line);
    const int lineHeight = dc.GetCharHeight();
    int y = rect.y;
    dc.SetClippingRegion(rect);
    for (const wxString& l : lines) {
        if (y >= rect.GetBottom()) break;
        const int w = dc.GetTextExtent(l).x;
        const int x = alignment == -1 ? rect.GetRight() + 1 - w : alignment == 1 ? rect.x + (rect.width - w) / 2 : rect.x;
        dc.DrawText(l, x, y);
        y += lineHeight;
    }
    dc.DestroyClippingRegion();
}
