// The view tabs above the grid: "List", "Thumbnail" and "Media" (strings 13705-13707), one per
// view mode, drawn by us in the window's face colours (GTK's notebook tabs cannot be drawn by
// the program). Choosing a tab sends wxEVT_CHOICE with the tab's index to the parent.
#pragma once

#include <wx/window.h>

#include <array>

// Colours of the tabs, from the face colour: the dark tab 0.55 of it, the light one 1.05 (at
// most 255), their edges 1.5 and 0.75 of the tab's colour.
struct TabColours {
    unsigned char dark[3], light[3], lightEdge[3], darkEdge[3];
};
TabColours TabColoursFromFace(unsigned char r, unsigned char g, unsigned char b);

class CMyTabCtrl : public wxWindow {
public:
    static constexpr int kHeight = 24;
    CMyTabCtrl(wxWindow* parent, wxWindowID id);
    int GetCurSel() const { return current_; }
    // Selects a tab without telling anyone; -1 for none.
    void SetCurSel(int tab);

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnLeftDown(wxMouseEvent& event);
    wxRect TabRect(int tab) const;
    std::array<wxString, 3> labels_;
    int current_ = 1;
};
