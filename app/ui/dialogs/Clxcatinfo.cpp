#include "app/ui/dialogs/Clxcatinfo.h"

#include "app/CatalogInfoText.h"
#include "app/ui/CMainFrame.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/ui/Clxpassword.h"
#include "foundation/text/PString.h"
#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

#include <cstring>

Clxcatinfo::Clxcatinfo(CMainFrame* frame)
    : CLyrexDialog(191, frame, 1118, IDOK, IDCANCEL), frame_(frame), catalog_(frame ? frame->GetCatalog() : nullptr) {
    comments_ = Controls().Get<wxTextCtrl>(1128);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetPassword(); }, 1118);
}

bool Clxcatinfo::OnInitDialog() {
    CLyrexDialog::OnInitDialog();
    if (!catalog_) return true;
    Str255 name;
    CatalogGetDisplayName(catalog_, name, false);
    SetTitle(WxFromPStr(name) + LoadUiString(59445));
    const CatalogInfoTexts t = CatalogInfoTextsOf(catalog_);
    const std::pair<int, const std::string*> fields[] = {
        {1123, &t.items}, {1000, &t.created}, {1124, &t.modified}, {1125, &t.size}, {1127, &t.location}};
    for (auto [id, text] : fields)
        if (auto* s = Controls().Get<wxStaticText>(id)) s->SetLabel(WxFromUtf8(*text));
    if (auto* s = Controls().Get<wxStaticText>(1126)) s->SetLabel(WxFromUtf8(frame_ ? frame_->ScratchFolder() : std::string()));
    Str255 info;
    CatalogGetInfoText(catalog_, info);
    comments_->ChangeValue(WxFromPStr(info));
    Fit();
    return true;
}

void Clxcatinfo::SetPassword() {
    Str255 typed = {};
    Clxpassword dialog(catalog_, kPasswordSet, nullptr, typed, this);
    if (dialog.DoModal() == IDOK) TakeNewPassword(typed);
}

void Clxcatinfo::TakeNewPassword(ConstStr255Param password) {
    PStrCopy(newPassword_, password);
    passwordChanged_ = true;
}

bool Clxcatinfo::TransferDataFromWindow() {
    if (!catalog_) return true;
    Str255 info;
    PStrFromWx(comments_->GetValue(), info, 255);
    CatalogSetInfoText(catalog_, info);
    if (passwordChanged_ && std::memcmp(newPassword_, catalog_->password, size_t(newPassword_[0]) + 1) != 0) {
        // An empty password removes the protection.
        PStrCopy(catalog_->password, newPassword_);
        CatalogSetModified(catalog_);
    }
    return true;
}
