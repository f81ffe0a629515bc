#include "foundation/ui/CTextDialog.h"

#include "foundation/ui/UiText.h"

#include <wx/app.h>
#include <wx/textctrl.h>

CTextDialog::CTextDialog(wxWindow* parent, const wxString& text, short lines, short captionIndex)
    : CLyrexDialog(323, parent, IDOK, IDCANCEL, 0, true),
      text_(text),
      lines_(lines),
      captionIndex_(captionIndex),
      edit_(Controls().Get<wxTextCtrl>(1122)) {}

bool CTextDialog::OnInitDialog() {
    SetTitle(LoadIndexedUiString(141, captionIndex_));
    if (edit_) {
        edit_->ChangeValue(text_);
        const int lineHeight = edit_->GetCharHeight() + 6;
        // One line shows as one; more lines make the field (and the dialog) taller.
        wxSize min = edit_->GetMinSize();
        min.y = lineHeight * std::max<short>(lines_, 1) + (lines_ > 1 ? lineHeight * lines_ : 0);
        edit_->SetMinSize(min);
    }
    return CLyrexDialog::OnInitDialog();
}

bool CTextDialog::TransferDataFromWindow() {
    if (edit_) text_ = edit_->GetValue();
    return true;
}

short AskForText(StringPtr text, short maximum, short lines, short captionIndex) {
    CTextDialog dialog(wxTheApp ? wxTheApp->GetTopWindow() : nullptr, WxFromPStr(text), lines, captionIndex);
    if (dialog.DoModal() != IDOK) return 2;
    PStrFromWx(dialog.Text(), text, maximum);
    return 1;
}
