#include "catalog/ui/Clxpassword.h"

#include "foundation/text/PString.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/UiText.h"

#include <wx/app.h>
#include <wx/textctrl.h>

#include <cstring>

Clxpassword::Clxpassword(CatalogRec* catalog, int mode, OSErr* result, Str255 output, wxWindow* parent)
    : CLyrexDialog(mode == kPasswordSet ? 192 : 7007, parent),
      catalog_(catalog),
      mode_(mode),
      result_(result),
      output_(output),
      edit_(Controls().Get<wxTextCtrl>(1122)) {}

bool Clxpassword::OnInitDialog() {
    CLyrexDialog::OnInitDialog();
    if (!edit_) return true;
    if (mode_ == kPasswordSet) {
        edit_->ChangeValue(WxFromPStr(catalog_->password));
        edit_->SelectAll();
        edit_->ShowPosition(edit_->GetLastPosition());
    } else {
        Str255 name{};
        CatalogGetDisplayName(catalog_, name, true);
        SetTitle(WxFromPStr(name));
    }
    edit_->SetFocus();
    return true;
}

bool Clxpassword::Validate() {
    if (mode_ != kPasswordCheck || !edit_) return true;
    Str255 typed{};
    PStrFromWx(edit_->GetValue(), typed);
    const OSErr err = CatalogCheckPassword(catalog_, typed);
    if (result_) *result_ = err;
    if (err == noErr) return true;
    // Wrong: Retry keeps the dialog for another try; Cancel closes it with the error kept.
    if (ShowAlert(kAlertWarning, 75, 0, 13, 2, 0) == 1) {
        edit_->SetFocus();
        edit_->SelectAll();
        return false;
    }
    return true;
}

bool Clxpassword::TransferDataFromWindow() {
    if (mode_ != kPasswordSet || !edit_) return true;
    Str255 typed{};
    PStrFromWx(edit_->GetValue(), typed);
    if (output_) {
        PStrCopy(output_, typed);
        return true;
    }
    // Passwords compare byte for byte: letter case counts.
    if (std::memcmp(typed, catalog_->password, size_t(typed[0]) + 1) != 0) {
        PStrCopy(catalog_->password, typed);
        CatalogSetModified(catalog_);
    }
    return true;
}

OSErr CatalogPasswordPrompt(CatalogRec* catalog) {
    OSErr result = kWrongPasswordErr;
    Clxpassword dialog(catalog, kPasswordCheck, &result, nullptr, wxTheApp ? wxTheApp->GetTopWindow() : nullptr);
    if (dialog.DoModal() != IDOK) return userCanceledErr;
    return result;
}
