#include "foundation/ui/CRenameEdit.h"

#include "foundation/ui/CInplaceEdit.h"
#include "foundation/ui/EditKeys.h"
#include "foundation/ui/UiText.h"

#include <wx/settings.h>

CRenameEdit::CRenameEdit(wxWindow* parent, wxWindowID id, const wxString& text, const wxRect& rect, int fullHeight)
    : wxTextCtrl(parent, id, text, rect.GetPosition(), rect.GetSize(),
                 fullHeight ? wxTE_MULTILINE | wxTE_NO_VSCROLL : wxTE_PROCESS_ENTER | wxTE_PROCESS_TAB),
      fullHeight_(fullHeight) {
    SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    BindEvents();
}

void CRenameEdit::SelectBaseName() {
    long from = 0, to = 0;
    BaseNameRange(U32FromWx(GetValue()), &from, &to);
    // GTK puts the caret at the selection's end and scrolls to it; moving it again would drop
    // the selection.
    SetSelection(from, to);
}

void CRenameEdit::SetMacFont(int size, const wxString& faceName) {
    wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    if (!faceName.empty()) font.SetFaceName(faceName);
    font.SetPixelSize(wxSize(0, size));
    SetFont(font);
}

void CRenameEdit::BindEvents() {
    Bind(wxEVT_KEY_DOWN, &CRenameEdit::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CRenameEdit::OnChar, this);
    Bind(wxEVT_KILL_FOCUS, &CRenameEdit::OnKillFocus, this);
    Bind(wxEVT_TEXT, &CRenameEdit::OnText, this);
}

void CRenameEdit::OnKeyDown(wxKeyEvent& event) {
    const EditKey key = RenameEditKey(event.GetKeyCode(), event.ShiftDown(), event.ControlDown(), fullHeight_ == 0);
    if (key.action == EditKeyAction::kDone) {
        ender_.SendDone(GetParent(), key.code);
        return;
    }
    if (key.action == EditKeyAction::kCancel) {
        ender_.SendCancel(GetParent());
        return;
    }
    event.Skip();
}

void CRenameEdit::OnChar(wxKeyEvent& event) {
    // Tab and Escape never insert a character (nor beep); Enter not in a one-line field.
    const int code = event.GetKeyCode();
    if (code == WXK_TAB || code == WXK_ESCAPE || (fullHeight_ == 0 && code == WXK_RETURN)) return;
    event.Skip();
}

void CRenameEdit::OnKillFocus(wxFocusEvent& event) {
    event.Skip();
    ender_.SendDone(GetParent(), 0);
}

void CRenameEdit::OnText(wxCommandEvent& event) {
    event.Skip();
    if (fullHeight_ == 0 || GetSize().y >= fullHeight_) return;
    // The text no longer fits its lines: grow once to the full height (the editor hosting the
    // field grows with it).
    const int lines = GetNumberOfLines();
    const int needed = lines * GetCharHeight() + 6;
    if (needed <= GetSize().y) return;
    SetSize(GetSize().x, fullHeight_);
    if (auto* host = dynamic_cast<CInplaceEdit*>(GetParent()); host && host->GetSize().y < fullHeight_)
        host->SetSize(host->GetSize().x, fullHeight_);
}
