#include "foundation/ui/CTextCopyDlg.h"

#include "foundation/settings/Preferences.h"

#include <wx/radiobut.h>
#include <wx/sizer.h>

namespace {
constexpr int kChoices[3] = {1512, 1513, 1514};
}

CTextCopyDlg::CTextCopyDlg(wxWindow* parent) : CLyrexDialog(396, parent, 0, 0, IDOK, false) {}

bool CTextCopyDlg::OnInitDialog() {
    const int stored = GetPreferences()->copyTextChoice;
    if (auto* r = Controls().Get<wxRadioButton>(kChoices[stored <= 2 ? stored : 0])) r->SetValue(true);
    return CLyrexDialog::OnInitDialog();
}

bool CTextCopyDlg::TransferDataFromWindow() {
    for (int i = 0; i < 3; ++i) {
        auto* r = Controls().Get<wxRadioButton>(kChoices[i]);
        if (r && r->GetValue()) GetPreferences()->copyTextChoice = UInt8(i);
    }
    return true;
}
