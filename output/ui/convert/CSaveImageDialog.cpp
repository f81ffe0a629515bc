#include "output/ui/convert/CSaveImageDialog.h"

#include "foundation/settings/Preferences.h"
#include "foundation/ui/UiText.h"
#include "output/ui/convert/CExportResolutionDialog.h"
#include "output/ui/convert/CExportSizeDialog.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/stattext.h>

namespace {

// Formats whose files carry a colour profile, and those we write metadata into.
bool EmbedsProfiles(OSType t) { return t == 'JPEG' || t == 'PNGf' || t == 'TIFF'; }
bool CarriesMetadata(OSType t) { return t == 'JPEG' || t == 'TIFF'; }

}  // namespace

CSaveImageDialog::CSaveImageDialog(std::uint32_t templateId, wxWindow* parent, bool hasCurrentItem)
    : CConvertDialogBase(templateId, parent, ConvertMediaKind::Image, hasCurrentItem) {}

bool CSaveImageDialog::OnInitDialog() {
    if (auto* b = Controls().Get<wxButton>(135)) b->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EditSize(); });
    if (auto* b = Controls().Get<wxButton>(137)) b->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { EditResolution(); });
    return CConvertDialogBase::OnInitDialog();
}

bool CSaveImageDialog::EditSize() {
    ControlsToState();
    CExportSizeDialog dialog(this, state_.options);
    const bool confirmed = dialog.DoModal() == IDOK;
    if (confirmed) state_.options = dialog.Options();
    Refresh();
    return confirmed;
}

bool CSaveImageDialog::EditResolution() {
    ControlsToState();
    CExportResolutionDialog dialog(this, state_.options);
    const bool confirmed = dialog.DoModal() == IDOK;
    if (confirmed) state_.options = dialog.Options();
    Refresh();
    return confirmed;
}

void CSaveImageDialog::StateToControls() {
    CConvertDialogBase::StateToControls();
    if (auto* c = Controls().Get<wxCheckBox>(1509)) c->SetValue(state_.options.keepProfile != 0);
    if (auto* c = Controls().Get<wxCheckBox>(1510)) c->SetValue(state_.options.keepMetadata != 0);
}

void CSaveImageDialog::ControlsToState() {
    CConvertDialogBase::ControlsToState();
    auto* profile = Controls().Get<wxCheckBox>(1509);
    // With colour matching off the profile check box is left as it is.
    if (profile && profile->IsEnabled()) state_.options.keepProfile = profile->GetValue() ? 1 : 0;
    if (auto* c = Controls().Get<wxCheckBox>(1510); c && c->IsEnabled()) state_.options.keepMetadata = c->GetValue() ? 1 : 0;
}

void CSaveImageDialog::Refresh() {
    const OSType t = state_.options.subType;
    if (auto* c = Controls().Get<wxCheckBox>(1509)) c->Enable(EmbedsProfiles(t) && !GetPreferences()->colorMatchingOff);
    if (auto* c = Controls().Get<wxCheckBox>(1510)) c->Enable(CarriesMetadata(t));
    if (auto* t130 = Controls().Get<wxStaticText>(1130)) t130->SetLabel(WxFromUtf8(ImageSizeSummary(state_.options)));
    CConvertDialogBase::Refresh();
}
