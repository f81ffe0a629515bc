#include "output/ui/convert/CExportSizeDialog.h"

#include <wx/radiobut.h>
#include <wx/textctrl.h>

CExportSizeDialog::CExportSizeDialog(wxWindow* parent, const ConvertOptionsRec& options)
    : CLyrexDialog(319, parent), options_(options) {}

bool CExportSizeDialog::OnInitDialog() {
    CLyrexDialog::OnInitDialog();
    auto* natural = Controls().Get<wxRadioButton>(1201);
    auto* fit = Controls().Get<wxRadioButton>(1202);
    if (natural && fit) (options_.sizeMode == 1 ? fit : natural)->SetValue(true);
    for (auto [id, value] : {std::pair{1122, options_.width}, std::pair{1123, options_.height}}) {
        auto* edit = Controls().Get<wxTextCtrl>(id);
        if (!edit) continue;
        edit->ChangeValue(wxString::Format("%u", unsigned(value)));
        edit->Bind(wxEVT_TEXT, [fit](wxCommandEvent&) {
            if (fit) fit->SetValue(true);
        });
    }
    return true;
}

bool CExportSizeDialog::TransferDataFromWindow() {
    auto* fit = Controls().Get<wxRadioButton>(1202);
    options_.sizeMode = fit && fit->GetValue() ? 1 : 0;
    for (auto [id, field] : {std::pair{1122, &options_.width}, std::pair{1123, &options_.height}}) {
        auto* edit = Controls().Get<wxTextCtrl>(id);
        unsigned long v = 0;
        if (edit && edit->GetValue().ToULong(&v) && v > 0 && v <= 32767) *field = UInt32(v);
        else if (options_.sizeMode == 1) return false;   // a box without a usable size
    }
    return true;
}
