#include "import/ui/CImportOptionsDlg.h"

#include "catalog/tables/CatalogTables.h"
#include "foundation/ui/DialogFitting.h"
#include "foundation/ui/UiText.h"
#include "import/settings/ImportOptionsForm.h"
#include "import/ui/CImportOptions_Filters.h"
#include "import/ui/CImportOptions_Media.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/sizer.h>

CImportOptionsDlg::CImportOptionsDlg(CatalogRec* catalog, wxWindow* parent, std::function<bool(int)> hasCategory)
    : CLyrexPropertySheet(61301, parent), catalog_(catalog) {
    CatalogGetImportSettings(catalog_, &settings_);
    filters_ = new CImportOptions_Filters(catalog_, &settings_);
    media_ = new CImportOptions_Media(catalog_, &settings_, std::move(hasCategory));
    AddPage(filters_, LoadUiString(61303));
    AddPage(media_, LoadUiString(61304));
    filters_->InitPage();
    media_->InitPage();
    // "Set as Default" stands where Apply would, left of OK and Cancel.
    if (wxWindow* ok = FindWindow(wxID_OK)) {
        if (wxSizer* buttons = ok->GetContainingSizer()) {
            auto* setDefault = new wxButton(ok->GetParent(), kSetAsDefaultId, LoadUiString(61302));
            setDefault->SetFont(GetFont());
            buttons->Insert(0, setDefault, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
        }
    }
    LayoutDialog();
    BindEvents();
}

void CImportOptionsDlg::BindEvents() {
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { SetAsDefault(); }, kSetAsDefaultId);
    Bind(wxEVT_BUTTON, &CImportOptionsDlg::OnOk, this, wxID_OK);
}

bool CImportOptionsDlg::OnInitDialog() {
    CLyrexPropertySheet::OnInitDialog();
    FitDialogButtons(this, 6, kSetAsDefaultId, IDOK, IDCANCEL);
    Layout();
    return true;
}

void CImportOptionsDlg::SetAsDefault() {
    wxBookCtrlBase* book = GetBookCtrl();
    const int shown = book->GetSelection();
    book->SetSelection(0);
    filters_->SaveToSettings();
    book->SetSelection(1);
    media_->SaveToSettings();
    ImportSettingsMakeDefault(settings_);
    if (shown != wxNOT_FOUND) book->SetSelection(size_t(shown));
}

void CImportOptionsDlg::OnOk(wxCommandEvent& event) {
    filters_->SaveToSettings();
    media_->SaveToSettings();
    CatalogSetImportSettings(catalog_, &settings_);
    event.Skip();  // the dialog's own handler ends it
}

void ImportOptionsCommand(CatalogRec* catalog, wxWindow* parent) {
    if (!catalog) return;
    CImportOptionsDlg sheet(catalog, parent);
    sheet.DoModal();
}
