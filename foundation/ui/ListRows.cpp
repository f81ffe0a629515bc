#include "foundation/ui/ListRows.h"

#include "foundation/ui/ControlRules.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/TextDrawing.h"

#include <wx/control.h>
#include <wx/dc.h>
#include <wx/settings.h>

void DrawListIcon(wxDC& dc, const wxRect& row, int level, short iconId) {
    const wxBitmap icon = GetIconCache().Get(iconId);
    if (icon.IsOk()) dc.DrawBitmap(icon, row.x + 16 * level, row.y + 1, true);
}

void DrawListColourSwatch(wxDC& dc, const wxRect& row, int level, const wxColour& colour) {
    dc.SetPen(wxPen(colour));
    dc.SetBrush(wxBrush(colour));
    dc.DrawRectangle(row.x + 16 * level, row.y + 1, 16, 16);
}

void DrawListIconRight(wxDC& dc, const wxRect& row, short iconId) {
    const wxBitmap icon = GetIconCache().Get(iconId);
    if (icon.IsOk()) dc.DrawBitmap(icon, row.GetRight() + 1 - 18, row.y + 1, true);
}

void DrawDisclosureIcon(wxDC& dc, const wxRect& row, bool expanded, int level) {
    DrawListIcon(dc, row, level, expanded ? kIconDisclosureOpen : kIconDisclosureClosed);
}

void DrawListRowBackground(wxDC& dc, const wxRect& row, const wxColour& fill, const wxColour& line) {
    dc.SetBackgroundMode(wxBRUSHSTYLE_TRANSPARENT);
    dc.SetPen(*wxTRANSPARENT_PEN);
    dc.SetBrush(wxBrush(fill));
    dc.DrawRectangle(row.x, row.y, row.width, row.height - 1);
    dc.SetPen(wxPen(line));
    dc.DrawLine(row.x, row.GetBottom(), row.GetRight() + 1, row.GetBottom());
}

wxFont MakeListFont(bool bold, bool italic, bool underline, bool strikeOut) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (bold) font.SetWeight(wxFONTWEIGHT_BOLD);
    if (italic) font.SetStyle(wxFONTSTYLE_ITALIC);
    font.SetUnderlined(underline);
    font.SetStrikethrough(strikeOut);
    return font;
}

void LayoutListRow(wxDC& dc, const wxRect& row, const wxString& text, int level, bool hasRightIcon, bool wrapped) {
    const wxRect r = ListRowTextRect(level, row, hasRightIcon);
    if (wrapped) {
        DrawTextWrappedInRect(text, r, 0, dc);
        return;
    }
    const wxString shown = wxControl::Ellipsize(text, dc, wxELLIPSIZE_END, r.width);
    dc.DrawText(shown, r.x, r.y + (r.height - dc.GetCharHeight()) / 2);
}

void DrawListRowStruckOut(wxDC& dc, const wxRect& row, const wxString& text, int level, bool hasRightIcon,
                          bool wrapped) {
    const wxFont old = dc.GetFont();
    dc.SetFont(MakeListFont(false, false, false, true));
    LayoutListRow(dc, row, text, level, hasRightIcon, wrapped);
    dc.SetFont(old);
}

void DrawListRowCount(wxDC& dc, const wxRect& row, long count) {
    const wxRect box = ListRowCountRect(row, dc.GetTextExtent("0123456789").y);
    const wxString text = count == 0 ? wxString("-") : wxString::Format("%ld", count);
    dc.DrawLabel(text, box, wxALIGN_RIGHT | wxALIGN_CENTER_VERTICAL);
}
