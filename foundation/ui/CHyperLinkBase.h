// Text that looks like a link: link colour, the hover colour and (by the underline mode)
// underlined while the pointer is over it, the hand cursor. It does nothing when clicked;
// CHyperLink opens its address, other owners bind the click (wxEVT_HYPERLINK).
#pragma once

#include <wx/stattext.h>

enum UnderlineMode : int { kUnderlineHover = -1, kUnderlineNever = 0, kUnderlineAlways = 1 };

class CHyperLinkBase : public wxStaticText {
public:
    CHyperLinkBase(wxWindow* parent, wxWindowID id, const wxString& text);

    // hover: an invalid colour means the system's highlight colour.
    void SetColours(const wxColour& link, const wxColour& visited, const wxColour& hover);
    void SetUnderlineMode(int mode);
    bool IsOver() const { return over_; }
    bool IsUnderlined() const { return GetFont().GetUnderlined(); }

protected:
    virtual wxColour CurrentColour() const;
    virtual void OnClicked() {}
    void UpdateLook();

    wxColour link_{0x00, 0x00, 0xEE};
    wxColour hover_{0xFF, 0x00, 0x00};
    int underline_ = kUnderlineHover;
    bool over_ = false;

private:
    void BindEvents();
    void OnEnter(wxMouseEvent& event);
    void OnLeave(wxMouseEvent& event);
    void OnLeftUp(wxMouseEvent& event);
};
