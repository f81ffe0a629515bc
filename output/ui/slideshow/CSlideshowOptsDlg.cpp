#include "output/ui/slideshow/CSlideshowOptsDlg.h"

#include "catalog/file/CatalogRec.h"
#include "foundation/ui/CColourPickerButton.h"
#include "foundation/ui/UiText.h"
#include "output/slideshow/CatalogSlideHost.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {

constexpr std::uint32_t kTemplate = 7030;
constexpr UInt16 kTransitionStrings = 8120, kScalingStrings = 8140;

// A combo's entries from a run of menu strings, leaving out the separators.
void FillChoice(wxChoice* choice, UInt16 first, int count) {
    if (!choice) return;
    for (int n = 0; n < count; ++n) {
        const wxString text = LoadUiString(UInt16(first + n));
        if (!text.StartsWith("-")) choice->Append(text);
    }
}

}  // namespace

CSlideshowOptsDlg::CSlideshowOptsDlg(CatalogRec* catalog, UInt8* runFlag, wxWindow* parent)
    : CLyrexDialog(kTemplate, parent, kSlideDlgRun, IDOK, IDCANCEL), catalog_(catalog), runFlag_(runFlag) {
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (runFlag_) *runFlag_ = 1;
        ReadSeconds();
        Store();
        EndModal(wxID_OK);
    }, WxIdFromControlId(kSlideDlgRun));
}

bool CSlideshowOptsDlg::OnInitDialog() {
    // The whole record is checked, not its first byte only: a record whose other fields are
    // out of range is never shown or stored back.
    SlideShowPickSettings(CatalogSlideSettings(catalog_), AppSlideSettings());
    work_ = *CatalogSlideSettings(catalog_);
    seconds_ = SlideSecondsForDialog(work_.slideSeconds);

    auto* transition = Controls().Get<wxChoice>(kSlideDlgTransition);
    auto* scaling = Controls().Get<wxChoice>(kSlideDlgScaling);
    FillChoice(transition, kTransitionStrings, 13);
    FillChoice(scaling, kScalingStrings, 16);
    if (transition) transition->SetSelection(SlideTransitionChoiceToPosition(work_.transition));
    if (scaling) scaling->SetSelection(SlideScalingChoiceToPosition(work_.scaling));
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgInteractive)) c->SetValue((work_.playState & 2) != 0);
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgContinuous)) c->SetValue(work_.continuous != 0);
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgRandom)) c->SetValue(work_.random != 0);
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgMediaInfo)) c->SetValue((work_.textItems & kSlideTextTitle) != 0);
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgController)) c->SetValue(work_.optionsVisible != 0);
    if (auto* colour = Controls().Get<CColourPickerButton>(kSlideDlgColour)) {
        colour->SetMinSize(wxSize(40, 22));
        colour->SetColour(wxColour(work_.background[0], work_.background[1], work_.background[2]));
    }
    if (auto* edit = Controls().Get<wxTextCtrl>(kSlideDlgSeconds)) {
        edit->SetValue(wxString::Format("%d", seconds_));
        edit->Bind(wxEVT_KILL_FOCUS, [this](wxFocusEvent& event) {
            ReadSeconds();
            event.Skip();
        });
    }
    return CLyrexDialog::OnInitDialog();
}

void CSlideshowOptsDlg::ReadSeconds() {
    auto* edit = Controls().Get<wxTextCtrl>(kSlideDlgSeconds);
    if (!edit) return;
    long typed = 0;
    if (!edit->GetValue().Trim().Trim(false).ToLong(&typed)) typed = -1;   // not a number: the default
    seconds_ = SlideSecondsFromTyped(int(std::max(-1L, std::min(typed, 1000L))));
    edit->ChangeValue(wxString::Format("%d", seconds_));
}

bool CSlideshowOptsDlg::TransferDataFromWindow() {
    ReadSeconds();
    Store();
    return true;
}

void CSlideshowOptsDlg::Store() {
    if (auto* c = Controls().Get<wxChoice>(kSlideDlgTransition))
        work_.transition = SlideTransitionPositionToChoice(c->GetSelection());
    if (auto* c = Controls().Get<wxChoice>(kSlideDlgScaling))
        work_.scaling = SlideScalingPositionToChoice(c->GetSelection());
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgInteractive))
        work_.playState = SlidePlayStateWithInteractive(work_.playState, c->GetValue());
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgContinuous)) work_.continuous = c->GetValue() ? 1 : 0;
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgRandom)) work_.random = c->GetValue() ? 1 : 0;
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgMediaInfo))
        work_.textItems = UInt8(c->GetValue() ? work_.textItems | kSlideTextTitle : work_.textItems & ~kSlideTextTitle);
    if (auto* c = Controls().Get<wxCheckBox>(kSlideDlgController)) work_.optionsVisible = c->GetValue() ? 1 : 0;
    if (auto* colour = Controls().Get<CColourPickerButton>(kSlideDlgColour)) {
        const wxColour c = colour->Colour();
        work_.background[0] = c.Red();
        work_.background[1] = c.Green();
        work_.background[2] = c.Blue();
    }
    work_.slideSeconds = UInt8(seconds_);
    if (std::memcmp(&work_, CatalogSlideSettings(catalog_), sizeof work_) != 0) {
        *CatalogSlideSettings(catalog_) = work_;
        *AppSlideSettings() = work_;
        CatalogSetModified(catalog_);
    }
}
