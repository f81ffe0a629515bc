// The base of every main frame: it joins the application's frame list when it is made and
// leaves it when it is destroyed, and hands the main-window role on when it closes.
#pragma once

#include <wx/frame.h>

class CMultiFrameWnd : public wxFrame {
public:
    CMultiFrameWnd();
    ~CMultiFrameWnd() override;
    // Makes the window (hidden); false when it cannot be made.
    bool CreateFrame(const wxString& title);
};
