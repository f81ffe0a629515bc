#include "output/ui/html/CHTMLExportDlg.h"

#include "foundation/ui/UiText.h"
#include "output/ui/html/CHTMLExp_General.h"
#include "output/ui/html/CHTMLExp_Options.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/sizer.h>

CHTMLExportDlg::CHTMLExportDlg(wxWindow* parent, HtmlSettingsRec* settings, CatalogRec* catalog)
    : CLyrexPropertySheet(kCaptionId, parent), settings_(settings) {
    general_ = new CHTMLExp_General(settings, this, catalog);
    general_->CreatePage(GetBookCtrl());
    GetBookCtrl()->AddPage(general_, LoadUiString(63708));
    options_ = new CHTMLExp_Options(settings, this);
    options_->CreatePage(GetBookCtrl());
    GetBookCtrl()->AddPage(options_, LoadUiString(63810));
    launch_ = new wxCheckBox(this, wxID_ANY, LoadUiString(59572));
    launch_->SetValue(GalleryLaunchBrowserPreference());
    // At the left end of the button row.
    if (wxSizer* inner = GetInnerSizer(); inner && inner->GetItemCount() > 0) {
        wxSizerItem* last = inner->GetItem(inner->GetItemCount() - 1);
        if (last && last->GetSizer())
            last->GetSizer()->Insert(0, launch_, 0, wxALIGN_CENTER_VERTICAL | wxLEFT | wxRIGHT, 6);
        else
            inner->Add(launch_, 0, wxALL, 6);
    }
    LayoutDialog();
}

bool CHTMLExportDlg::OnInitDialog() {
    CLyrexPropertySheet::OnInitDialog();
    if (auto* ok = dynamic_cast<wxButton*>(FindWindow(wxID_OK))) ok->SetLabel(LoadUiString(59573));
    Layout();
    return true;
}

void CHTMLExportDlg::SaveLaunchOption() { GallerySetLaunchBrowserPreference(launch_ && launch_->GetValue()); }

bool CHTMLExportDlg::TransferDataFromWindow() {
    if (!CLyrexPropertySheet::TransferDataFromWindow()) return false;
    general_->StoreToSettings();
    options_->StoreToSettings();
    return true;
}
