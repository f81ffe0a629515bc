#include "output/ui/convert/CExportResolutionDialog.h"

#include <wx/radiobut.h>
#include <wx/textctrl.h>

CExportResolutionDialog::CExportResolutionDialog(wxWindow* parent, const ConvertOptionsRec& options)
    : CLyrexDialog(320, parent), options_(options) {}

bool CExportResolutionDialog::OnInitDialog() {
    CLyrexDialog::OnInitDialog();
    auto* own = Controls().Get<wxRadioButton>(1201);
    auto* custom = Controls().Get<wxRadioButton>(1202);
    if (own && custom) (options_.resolutionMode == 1 ? custom : own)->SetValue(true);
    if (auto* edit = Controls().Get<wxTextCtrl>(1122)) {
        edit->ChangeValue(wxString::Format("%u", unsigned(options_.dpi)));
        edit->Bind(wxEVT_TEXT, [custom](wxCommandEvent&) {
            if (custom) custom->SetValue(true);
        });
    }
    return true;
}

bool CExportResolutionDialog::TransferDataFromWindow() {
    auto* custom = Controls().Get<wxRadioButton>(1202);
    options_.resolutionMode = custom && custom->GetValue() ? 1 : 0;
    auto* edit = Controls().Get<wxTextCtrl>(1122);
    unsigned long v = 0;
    if (edit && edit->GetValue().ToULong(&v) && v > 0 && v < 65536) options_.dpi = UInt32(v);
    else if (options_.resolutionMode == 1) return false;
    return true;
}
