// The quick-search box beside a catalog window's tool bars. Enter shows only the items that
// match the text (all items when it is empty), Escape clears it and shows all; Tab moves to
// the view, Shift+Tab to the side panel. The frame that owns the box gives it the search to
// run and the two windows to move to.
#pragma once

#include <wx/textctrl.h>

#include <functional>
#include <string>

class CTextSearchEditBox : public wxTextCtrl {
public:
    // The search receives the text as Windows-1252 bytes (at most 255); empty shows all items.
    using Search = std::function<void(const std::string& ansiText)>;

    CTextSearchEditBox(wxWindow* parent, wxWindowID id);
    void SetSearch(Search search) { search_ = std::move(search); }
    void SetFocusTargets(wxWindow* view, wxWindow* sidePanel) { view_ = view, sidePanel_ = sidePanel; }

private:
    void BindEvents();
    void OnKeyDown(wxKeyEvent& event);
    void OnChar(wxKeyEvent& event);
    void OnSetFocus(wxFocusEvent& event);

    Search search_;
    wxWindow* view_ = nullptr;
    wxWindow* sidePanel_ = nullptr;
};
