#include "app/ui/prefs/CPrefsMediaImages.h"

#include "app/PreferencesPages.h"
#include "foundation/ui/CColourPickerButton.h"
#include "foundation/ui/UiText.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/slider.h>
#include <wx/stattext.h>

void CPrefsMediaImages::ToControls() {
    const ImagesPage m = ImagesPageFrom(*prefs_);
    auto* skip = Controls().Get<wxCheckBox>(1114);
    auto* slider = Controls().Get<wxSlider>(1115);
    skip->SetValue(m.skipLarge);
    slider->SetRange(1, 100);
    slider->SetTickFreq(10);
    slider->SetValue(m.sizeLimit);
    Controls().Get<CColourPickerButton>(1116)->SetColour(
        wxColour(m.background.red >> 8, m.background.green >> 8, m.background.blue >> 8));
    Controls().Get<wxCheckBox>(1197)->SetValue(m.builtInThumbnails);
    Controls().Get<wxCheckBox>(1118)->SetValue(m.colorMatching);
    auto* rendering = Controls().Get<wxChoice>(1458);
    rendering->Clear();
    for (UInt16 id : {21, 22, 23}) rendering->Append(LoadUiString(id));
    rendering->SetSelection(m.rendering);
    skip->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { UpdateSizeLimit(); });
    slider->Bind(wxEVT_SLIDER, [this](wxCommandEvent&) { UpdateSizeLimit(); });
    UpdateSizeLimit();
}

void CPrefsMediaImages::UpdateSizeLimit() {
    auto* slider = Controls().Get<wxSlider>(1115);
    slider->Enable(Controls().Get<wxCheckBox>(1114)->GetValue());
    if (auto* label = Controls().Get<wxStaticText>(1134))
        label->SetLabel(wxString::Format("%d ", slider->GetValue()) + LoadUiString(51303));
}

void CPrefsMediaImages::OnApply() {
    ImagesPage m = ImagesPageFrom(*prefs_);
    m.skipLarge = Controls().Get<wxCheckBox>(1114)->GetValue();
    m.sizeLimit = Controls().Get<wxSlider>(1115)->GetValue();
    // The picker holds 8 bits a component: an unchanged colour keeps its 16.
    const wxColour c = Controls().Get<CColourPickerButton>(1116)->Colour();
    if (c.Red() != m.background.red >> 8 || c.Green() != m.background.green >> 8 || c.Blue() != m.background.blue >> 8)
        m.background = RGBColor{UInt16(c.Red() * 257), UInt16(c.Green() * 257), UInt16(c.Blue() * 257)};
    m.builtInThumbnails = Controls().Get<wxCheckBox>(1197)->GetValue();
    m.colorMatching = Controls().Get<wxCheckBox>(1118)->GetValue();
    m.rendering = Controls().Get<wxChoice>(1458)->GetSelection();
    ImagesPageInto(m, prefs_);
}
