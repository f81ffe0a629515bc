#include "foundation/ui/CPicCopyDlg.h"

#include "foundation/settings/Preferences.h"

#include <wx/radiobut.h>

CPicCopyDlg::CPicCopyDlg(wxWindow* parent) : CLyrexDialog(395, parent) {}

bool CPicCopyDlg::OnInitDialog() {
    auto* thumbnail = Controls().Get<wxRadioButton>(1517);
    auto* actual = Controls().Get<wxRadioButton>(1518);
    if (thumbnail && actual) {
        (GetPreferences()->copyPictureChoice == 1 ? actual : thumbnail)->SetValue(true);
        actual->SetLabel(wxString::Format("%d dpi", GetDPI().x));
    }
    return CLyrexDialog::OnInitDialog();
}

bool CPicCopyDlg::TransferDataFromWindow() {
    auto* actual = Controls().Get<wxRadioButton>(1518);
    GetPreferences()->copyPictureChoice = (actual && actual->GetValue()) ? 1 : 0;
    return true;
}
