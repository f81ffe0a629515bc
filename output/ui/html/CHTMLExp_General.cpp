#include "output/ui/html/CHTMLExp_General.h"

#include "catalog/tables/CatalogTables.h"
#include "foundation/text/Unicode.h"
#include "foundation/ui/UiText.h"
#include "output/ui/html/CHTMLExportDlg.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {

int NumberIn(const wxTextCtrl* edit) {
    long value = 0;
    if (!edit || !edit->GetValue().Trim().Trim(false).ToLong(&value)) return 0;
    return int(std::clamp<long>(value, -100000, 100000));
}

int Selection(UInt8 code) { return code >= 1 && code <= 4 ? code - 1 : 0; }

}  // namespace

CHTMLExp_General::CHTMLExp_General(HtmlSettingsRec* settings, CHTMLExportDlg* sheet, CatalogRec* catalog)
    : CPropertyPage(kTemplateId), settings_(settings), sheet_(sheet), catalog_(catalog) {}

bool CHTMLExp_General::CreatePage(wxWindow* book) {
    if (!Create(book)) return false;
    title_ = Controls().Get<wxTextCtrl>(1226);
    columns_ = Controls().Get<wxTextCtrl>(1124);
    rows_ = Controls().Get<wxTextCtrl>(1123);
    summary_ = Controls().Get<wxStaticText>(1228);
    thumbnails_ = Controls().Get<wxChoice>(1217);
    media_ = Controls().Get<wxChoice>(1218);
    fileNames_ = Controls().Get<wxCheckBox>(1129);
    mediaInfo_ = Controls().Get<wxCheckBox>(1132);
    if (title_) title_->SetMaxLength(63);
    for (UInt16 id : {62, 63, 64, 69})
        if (thumbnails_) thumbnails_->Append(LoadUiString(id));
    for (UInt16 id : {65, 66, 67, 68})
        if (media_) media_->Append(LoadUiString(id));
    for (wxChoice* choice : {thumbnails_, media_})
        if (choice) {
            choice->InvalidateBestSize();
            choice->SetMinSize(choice->GetBestSize());
        }
    LoadFromSettings();
    for (wxTextCtrl* edit : {columns_, rows_})
        if (edit) edit->Bind(wxEVT_TEXT, [this](wxCommandEvent&) { UpdateSummary(); });
    return true;
}

void CHTMLExp_General::LoadFromSettings() {
    if (title_) title_->ChangeValue(WxFromAnsi(GalleryGetSiteTitle(catalog_)));
    if (columns_) columns_->ChangeValue(wxString::Format("%d", int(settings_->columns)));
    if (rows_) rows_->ChangeValue(wxString::Format("%d", int(settings_->rows)));
    if (thumbnails_) thumbnails_->SetSelection(Selection(settings_->thumbnailSizeCode));
    if (media_) media_->SetSelection(Selection(settings_->mediaSizeCode));
    if (fileNames_) fileNames_->SetValue(settings_->includeFileNames != 0);
    if (mediaInfo_) mediaInfo_->SetValue(settings_->includeMediaInfo != 0);
    UpdateSummary();
}

wxString CHTMLExp_General::SummaryText() const { return summary_ ? summary_->GetLabel() : wxString(); }

void CHTMLExp_General::UpdateSummary() {
    if (!summary_) return;
    const SInt32 items = catalog_ ? CatalogGetItemCount(catalog_) : 0;
    summary_->SetLabel(WxFromAnsi(HtmlOutputSummary(items, NumberIn(columns_), NumberIn(rows_))));
    Layout();
}

void CHTMLExp_General::StoreToSettings() {
    // The title is kept in the catalog's 8-bit text; characters it cannot hold become "?".
    if (title_ && catalog_) GallerySetSiteTitle(catalog_, Utf8ToAnsi(title_->GetValue().utf8_string()));
    settings_->columns = NumberIn(columns_);
    settings_->rows = NumberIn(rows_);
    if (thumbnails_) settings_->thumbnailSizeCode = UInt8(std::max(0, thumbnails_->GetSelection()) + 1);
    if (media_) settings_->mediaSizeCode = UInt8(std::max(0, media_->GetSelection()) + 1);
    settings_->thumbnailSize = HtmlThumbnailSizeForCode(settings_->thumbnailSizeCode);
    HtmlMediaBoxForCode(settings_->mediaSizeCode, &settings_->mediaWidth, &settings_->mediaHeight);
    if (fileNames_) settings_->includeFileNames = fileNames_->GetValue() ? 1 : 0;
    if (mediaInfo_) settings_->includeMediaInfo = mediaInfo_->GetValue() ? 1 : 0;
    settings_->numberedPages = 0;
    if (sheet_) sheet_->SaveLaunchOption();
}
