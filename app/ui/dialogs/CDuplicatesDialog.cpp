#include "app/ui/dialogs/CDuplicatesDialog.h"

#include <wx/checkbox.h>
#include <wx/slider.h>

#include <algorithm>

CDuplicatesDialog::CDuplicatesDialog(DuplicateSettings* settings, bool hasCurrentItem, wxWindow* frame)
    : CLyrexDialog(193, frame, IDOK, IDCANCEL), settings_(settings), hasCurrentItem_(hasCurrentItem) {}

bool CDuplicatesDialog::OnInitDialog() {
    auto* slider = Controls().Get<wxSlider>(1130);
    slider->SetRange(0, 2);
    slider->SetTickFreq(1);
    slider->SetValue(int(std::min<UInt32>(settings_->tolerance, 2)));
    Controls().Get<wxCheckBox>(1121)->SetValue(settings_->ignoreBrightness);
    Controls().Get<wxCheckBox>(1132)->SetValue(settings_->similarNames);
    auto* selected = Controls().Get<wxCheckBox>(1133);
    selected->Enable(hasCurrentItem_);
    selected->SetValue(hasCurrentItem_ && settings_->matchSelected);
    return CLyrexDialog::OnInitDialog();
}

bool CDuplicatesDialog::TransferDataFromWindow() {
    settings_->tolerance = UInt32(Controls().Get<wxSlider>(1130)->GetValue());
    settings_->ignoreBrightness = Controls().Get<wxCheckBox>(1121)->GetValue();
    settings_->similarNames = Controls().Get<wxCheckBox>(1132)->GetValue();
    if (hasCurrentItem_) settings_->matchSelected = Controls().Get<wxCheckBox>(1133)->GetValue();
    return true;
}
