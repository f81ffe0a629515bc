#include "output/ui/convert/CConvertDialogBase.h"

#include "foundation/ui/UiText.h"
#include "output/convert/ExporterLists.h"
#include "output/ui/convert/CExporterSettingsDialog.h"
#include "output/ui/optionsets/CSuitcaseButton.h"

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {

CExporterList* ListOf(ConvertMediaKind kind) {
    return kind == ConvertMediaKind::Image ? GetImageExporters()
           : kind == ConvertMediaKind::Sound ? GetSoundExporters() : GetMovieExporters();
}

}  // namespace

CConvertDialogBase::CConvertDialogBase(std::uint32_t templateId, wxWindow* parent, ConvertMediaKind kind,
                                       bool hasCurrentItem)
    : CLyrexDialog(templateId, parent), hasCurrentItem_(hasCurrentItem) {
    state_ = LoadConvertDialogState(kind, hasCurrentItem);
}

wxChoice* CConvertDialogBase::FormatList() const { return Controls().Get<wxChoice>(1002); }

bool CConvertDialogBase::OnInitDialog() {
    CLyrexDialog::OnInitDialog();
    if (wxChoice* formats = FormatList()) {
        const CExporterList* list = ListOf(state_.kind);
        for (SInt32 i = 1; list && i <= list->Count(); ++i) formats->Append(WxFromPStr(list->At(i).name));
        formats->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { ChooseFormat(e.GetSelection() + 1); });
    }
    // The described button becomes the option-set button in its place.
    if (auto* placeholder = Controls().Get<wxButton>(139)) {
        optionsButton_ = new CSuitcaseButton(placeholder->GetParent(), placeholder->GetId(), placeholder->GetLabel());
        if (wxSizer* sizer = placeholder->GetContainingSizer()) sizer->Replace(placeholder, optionsButton_);
        placeholder->Destroy();
        const ConvertEntryIds ids = ConvertEntries(state_.kind);
        optionsButton_->SetClient(this, ids.optionSetKind, ids.options, ids.settings, 0);
    }
    if (auto* settings = Controls().Get<wxButton>(136))
        settings->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
            ControlsToState();
            EditSettings();
        });
    if (auto* selected = Controls().Get<wxCheckBox>(138)) selected->Enable(hasCurrentItem_);
    StateToControls();
    Refresh();
    Layout();
    Fit();
    return true;
}

void CConvertDialogBase::ChooseFormat(SInt32 position) {
    ControlsToState();
    ChooseConvertFormat(&state_, position);
    if (wxChoice* formats = FormatList()) formats->SetSelection(int(position) - 1);
    OnFormatChanged();
    Refresh();
}

bool CConvertDialogBase::EditSettings() {
    if (!CExporterSettingsDialog::HasSettings(state_.kind, state_.options.subType)) return false;
    CExporterSettingsDialog dialog(this, state_.kind, state_.settings);
    const bool confirmed = dialog.DoModal() == IDOK;
    if (confirmed) state_.settings = dialog.Settings();
    // The conversion dialog stays the one in front.
    Raise();
    Refresh();
    return confirmed;
}

void CConvertDialogBase::StateToControls() {
    if (wxChoice* formats = FormatList()) formats->SetSelection(state_.position > 0 ? int(state_.position) - 1 : wxNOT_FOUND);
    if (auto* c = Controls().Get<wxCheckBox>(138)) c->SetValue(state_.selectedOnly);
    if (auto* c = Controls().Get<wxCheckBox>(1511)) c->SetValue(state_.replaceOriginals);
}

void CConvertDialogBase::ControlsToState() {
    if (auto* c = Controls().Get<wxCheckBox>(138)) state_.selectedOnly = c->IsEnabled() && c->GetValue();
    if (auto* c = Controls().Get<wxCheckBox>(1511)) state_.replaceOriginals = c->GetValue();
}

void CConvertDialogBase::Refresh() {
    const bool has = CExporterSettingsDialog::HasSettings(state_.kind, state_.options.subType);
    if (auto* b = Controls().Get<wxButton>(136)) b->Enable(has);
    if (auto* t = Controls().Get<wxStaticText>(130)) {
        t->SetLabel(has ? WxFromUtf8(ExporterSettingsText(state_.settings)) : wxString());
        t->Enable(has);
    }
    Layout();
}

bool CConvertDialogBase::TransferDataFromWindow() {
    ControlsToState();
    SaveConvertDialogState(state_);
    return true;
}

void CConvertDialogBase::GetSettings(Handle* first, Handle* second, Handle*) {
    ControlsToState();
    ConvertStateGetSettings(state_, first, second);
}

void CConvertDialogBase::SetSettings(Handle first, Handle second, Handle) {
    ConvertStateSetSettings(&state_, first, second);
    StateToControls();
    Refresh();
}

bool CConvertDialogBase::SettingsDiffer(Handle first, Handle second, Handle) {
    ControlsToState();
    return ConvertStateDiffers(state_, first, second);
}
