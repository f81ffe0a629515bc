#include "foundation/ui/CInplaceEdit.h"

#include "foundation/ui/CRenameCombo.h"
#include "foundation/ui/CRenameEdit.h"
#include "foundation/ui/UiText.h"
#include "foundation/utilities/Favorites.h"
#include "platform/ui/WindowMessageEvent.h"

bool CInplaceEdit::Create(const wxRect& rect, wxWindow* parent, const wxString& text,
                          const std::string& favoritesName, int flag, int fullHeight) {
    if (!wxWindow::Create(parent, wxID_ANY, rect.GetPosition(), rect.GetSize(), wxBORDER_NONE)) return false;
    flag_ = flag;
    favoritesName_ = favoritesName;
    const wxRect client(wxPoint(0, 0), rect.GetSize());
    if (favoritesName_.empty()) {
        edit_ = new CRenameEdit(this, 1, text, client, fullHeight);
        edit_->SelectAll();
        edit_->SetFocus();
    } else {
        combo_ = new CRenameCombo(this, 1, client);
        favorites_ = LoadFavorites(favoritesName_);
        for (const std::string& f : favorites_) combo_->Append(WxFromUtf8(f));
        SetSize(combo_->GetSize());
        combo_->ChangeValue(text);
        combo_->SelectAll();
        combo_->SetFocus();
    }
    BindEvents();
    return true;
}

wxString CInplaceEdit::GetText() const {
    if (combo_) return combo_->GetValue();
    if (edit_) return edit_->GetValue();
    return wxString();
}

void CInplaceEdit::EndEdit() {
    if (favoritesName_.empty() || !combo_) return;
    const std::string text = Utf8FromWx(combo_->GetValue());
    if (AddFavorite(favoritesName_, text, &favorites_)) combo_->Append(combo_->GetValue());
}

void CInplaceEdit::BindEvents() {
    // The field's end goes on to the owner with the same parameters.
    Bind(EVT_WINDOW_MESSAGE, [this](WindowMessageEvent& event) {
        WindowMessageEvent forwarded(event.Message(), event.WParam(), event.LParam());
        forwarded.SetEventObject(GetParent());
        if (GetParent()) GetParent()->GetEventHandler()->SafelyProcessEvent(forwarded);
        event.SetResult(0);
    });
}
