#include "foundation/ui/CRenameCombo.h"

#include "foundation/ui/EditKeys.h"
#include "foundation/ui/UiText.h"

#include <wx/settings.h>

CRenameCombo::CRenameCombo(wxWindow* parent, wxWindowID id, const wxRect& rect)
    : wxComboBox(parent, id, wxString(), rect.GetPosition(), rect.GetSize(), 0, nullptr,
                 wxCB_DROPDOWN | wxCB_SORT | wxTE_PROCESS_ENTER) {
    SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    BindEvents();
}

void CRenameCombo::BindEvents() {
    Bind(wxEVT_KEY_DOWN, &CRenameCombo::OnKeyDown, this);
    Bind(wxEVT_CHAR, &CRenameCombo::OnChar, this);
    Bind(wxEVT_TEXT, &CRenameCombo::OnText, this);
    Bind(wxEVT_KILL_FOCUS, &CRenameCombo::OnKillFocus, this);
}

void CRenameCombo::OnKeyDown(wxKeyEvent& event) {
    completeWanted_ = false;
    const int code = event.GetKeyCode();
    const EditKey key = RenameComboKey(code, event.ShiftDown(), event.ControlDown(), event.AltDown());
    switch (key.action) {
        case EditKeyAction::kDone: ender_.SendDone(GetParent(), key.code); return;
        case EditKeyAction::kCancel: ender_.SendCancel(GetParent()); return;
        case EditKeyAction::kOpenList: Popup(); return;
        case EditKeyAction::kCloseList: Dismiss(); return;
        case EditKeyAction::kNone: break;
    }
    // Deleting never completes again; any other key may.
    if (code != WXK_BACK && code != WXK_DELETE && code != WXK_LEFT && code != WXK_RIGHT && code != WXK_UP &&
        code != WXK_DOWN && code != WXK_HOME && code != WXK_END)
        completeWanted_ = true;
    event.Skip();
}

void CRenameCombo::OnChar(wxKeyEvent& event) {
    const int code = event.GetKeyCode();
    if (code == WXK_TAB || code == WXK_RETURN || code == WXK_ESCAPE) return;
    event.Skip();
}

void CRenameCombo::OnText(wxCommandEvent& event) {
    event.Skip();
    if (!completeWanted_) return;
    completeWanted_ = false;
    long from = 0, to = 0;
    GetSelection(&from, &to);
    const std::u32string typed = U32FromWx(GetValue());
    std::vector<std::u32string> entries;
    for (unsigned i = 0; i < GetCount(); ++i) entries.push_back(U32FromWx(GetString(i)));
    std::u32string completed;
    if (!CompleteFromEntries(entries, typed, GetInsertionPoint(), from, to, &completed)) return;
    ChangeValue(WxFromU32(completed));
    SetSelection(long(typed.size()), long(completed.size()));
}

void CRenameCombo::OnKillFocus(wxFocusEvent& event) {
    event.Skip();
    ender_.SendDone(GetParent(), 0);
}
