// The main tool bar of a catalog window (id 59392): eighteen buttons (previous and next state,
// Show All, the two panel buttons, Open With, Show Media File, Move to Recycle Bin, Assign
// Label, Move to, Play, Sort, Print, Run Slide Show, with separators), their pictures taken
// from the desktop's icon theme and made into the normal and disabled looks by the tool bar
// image filters. The buttons send their command ids; the drop-down buttons send
// wxEVT_TOOL_DROPDOWN to the frame.
#pragma once

#include <wx/toolbar.h>

class CMediaToolBar : public wxToolBar {
public:
    enum : int { kId = 59392 };
    explicit CMediaToolBar(wxWindow* parent);
    // The Play button shows the pause picture while something plays.
    void SetPlaying(bool playing);

private:
    bool playing_ = false;
};

// The normal and the disabled look of a tool bar picture (exposed for the window tests).
wxBitmap ToolbarNormalBitmap(const wxBitmap& art);
wxBitmap ToolbarDisabledBitmap(const wxBitmap& art);
