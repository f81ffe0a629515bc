// The header bar above the grid ("LyrexMediaHeaderBar", 23 pixels high): the Thumbnail and
// Media views' bar of sort button, information and playback buttons. The view engine draws it
// into its own backing offscreen; this window gives that offscreen its size and copies it to
// the screen. Without a view (or in List view, where the engine draws no bar) it shows a
// plain button face.
#pragma once

#include <wx/window.h>

class CGridView;

class CMediaHeaderBar : public wxWindow {
public:
    static constexpr int kHeight = 23;
    CMediaHeaderBar(wxWindow* parent, wxWindowID id, CGridView* grid);

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void OnSize(wxSizeEvent& event);
    CGridView* grid_;
};
