#include "foundation/ui/CTextSearchEditBox.h"

#include "foundation/ui/UiText.h"

#include <wx/settings.h>

CTextSearchEditBox::CTextSearchEditBox(wxWindow* parent, wxWindowID id)
    : wxTextCtrl(parent, id, wxString(), wxDefaultPosition, wxDefaultSize, wxTE_PROCESS_ENTER | wxTE_PROCESS_TAB) {
    SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    BindEvents();
}

void CTextSearchEditBox::BindEvents() {
    Bind(wxEVT_KEY_DOWN, &CTextSearchEditBox::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CTextSearchEditBox::OnChar, this);
    Bind(wxEVT_SET_FOCUS, &CTextSearchEditBox::OnSetFocus, this);
}

void CTextSearchEditBox::OnKeyDown(wxKeyEvent& event) {
    switch (event.GetKeyCode()) {
        case WXK_TAB: {
            wxWindow* target = event.ShiftDown() ? sidePanel_ : view_;
            if (target) target->SetFocus();
            return;
        }
        case WXK_RETURN:
        case WXK_NUMPAD_ENTER: {
            std::string text = AnsiFromWx(GetValue());
            if (text.size() > 255) text.resize(255);
            if (search_) search_(text);
            return;
        }
        case WXK_ESCAPE:
            ChangeValue(wxString());
            if (search_) search_(std::string());
            return;
        default: event.Skip();
    }
}

void CTextSearchEditBox::OnChar(wxKeyEvent& event) {
    const int code = event.GetKeyCode();
    if (code == WXK_ESCAPE || code == WXK_TAB || code == WXK_RETURN) return;
    event.Skip();
}

void CTextSearchEditBox::OnSetFocus(wxFocusEvent& event) {
    event.Skip();
    CallAfter([this] {
        SelectAll();
        ShowPosition(GetLastPosition());
    });
}
