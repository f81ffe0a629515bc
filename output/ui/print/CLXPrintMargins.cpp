#include "output/ui/print/CLXPrintMargins.h"

#include "foundation/ui/UiText.h"
#include "output/print/PrintDialogModel.h"

#include <wx/checkbox.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>
#include <wx/utils.h>

namespace {

// Edits in the order of the dialog, with the margin each holds.
constexpr struct {
    int edit, unit, margin;
} kRows[] = {{kMarginTopEdit, 1511, kMarginTop},
             {kMarginBottomEdit, 1512, kMarginBottom},
             {kMarginLeftEdit, 1513, kMarginLeft},
             {kMarginRightEdit, 1514, kMarginRight}};

}  // namespace

CLXPrintMargins::CLXPrintMargins(wxWindow* parent, PrintSettingsRec* settings)
    : CLyrexDialog(7141, parent, IDOK, IDCANCEL), settings_(settings) {}

bool CLXPrintMargins::OnInitDialog() {
    const wxString unit = WxFromUtf8(PrintUnitName(PrintUnitIsMetric()));
    for (const auto& r : kRows) {
        if (auto* e = Controls().Get<wxTextCtrl>(r.edit)) e->ChangeValue(WxFromUtf8(MarginText(settings_->margins[r.margin])));
        if (auto* t = Controls().Get<wxStaticText>(r.unit)) t->SetLabel(unit);
    }
    if (auto* c = Controls().Get<wxCheckBox>(kMirrorCheck)) c->SetValue(settings_->mirrorMargins != 0);
    return CLyrexDialog::OnInitDialog();
}

bool CLXPrintMargins::TransferDataFromWindow() {
    double values[4] = {0, 0, 0, 0};
    for (const auto& r : kRows) {
        auto* e = Controls().Get<wxTextCtrl>(r.edit);
        if (!e || !ParseMarginText(Utf8FromWx(e->GetValue()), &values[r.margin])) {
            wxBell();
            if (e) e->SetFocus();
            return false;
        }
    }
    for (int i = 0; i < 4; ++i) settings_->margins[i] = values[i];
    if (auto* c = Controls().Get<wxCheckBox>(kMirrorCheck)) settings_->mirrorMargins = c->GetValue() ? 1 : 0;
    return true;
}
