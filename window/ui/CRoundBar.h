// One section of a side-panel pane: a rounded header in the system's caption colour with a
// bold title, over a framed body that holds one control (a list or an edit box). The header
// height follows the default GUI font (at least 15 pixels); colours follow the system's and
// are read again when they change. Subclasses add their body control, place it in BodyRect()
// from LayoutBody(), and may draw more into the header (DrawHeaderExtras).
#pragma once

#include <wx/window.h>

class CRoundBar : public wxWindow {
public:
    CRoundBar(wxWindow* parent, wxWindowID id, const wxString& title);

    void SetTitle(const wxString& title);
    const wxString& GetTitle() const { return title_; }
    // The header height of a window's default GUI font, at least 15.
    static int GetHeaderHeight(const wxWindow* window);
    wxRect HeaderRect() const;
    wxRect BodyRect() const;
    wxColour HeaderColour() const { return header_; }

protected:
    // Where the title starts and how much of the header's right end it leaves free.
    void SetTitleInsets(int left, int right) { titleLeft_ = left, titleRight_ = right; }
    virtual void LayoutBody() {}
    virtual void DrawHeaderExtras(wxDC&) {}
    virtual void OnColoursChanged() {}
    wxRect TitleRect() const;

private:
    void BindEvents();
    void OnPaint(wxPaintEvent& event);
    void LoadColours();

    wxString title_;
    wxColour header_, outline_, titleColour_;
    int titleLeft_ = 5, titleRight_ = 0;
};
