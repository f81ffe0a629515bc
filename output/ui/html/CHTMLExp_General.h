// The HTML Options sheet's Layout page: the site title (kept in the catalog), the table's
// columns and rows with a summary of the pages they make, the thumbnail and media sizes and
// what the pages list under each picture. The record changes only when the sheet is confirmed.
#pragma once

#include "foundation/ui/CPropertyPage.h"
#include "output/html/HtmlSettings.h"

class CHTMLExportDlg;
class wxChoice;
class wxCheckBox;
class wxStaticText;
class wxTextCtrl;
struct CatalogRec;

class CHTMLExp_General : public CPropertyPage {
public:
    enum { kTemplateId = 7005 };
    CHTMLExp_General(HtmlSettingsRec* settings, CHTMLExportDlg* sheet, CatalogRec* catalog);

    bool CreatePage(wxWindow* book);
    // The controls from the record and the catalog.
    void LoadFromSettings();
    // The summary line from the columns and rows typed now.
    void UpdateSummary();
    // The controls into the record and the catalog; then the sheet's launch option.
    void StoreToSettings();
    wxString SummaryText() const;

private:
    HtmlSettingsRec* settings_;
    CHTMLExportDlg* sheet_;
    CatalogRec* catalog_;
    wxTextCtrl* title_ = nullptr;
    wxTextCtrl* columns_ = nullptr;
    wxTextCtrl* rows_ = nullptr;
    wxStaticText* summary_ = nullptr;
    wxChoice* thumbnails_ = nullptr;
    wxChoice* media_ = nullptr;
    wxCheckBox* fileNames_ = nullptr;
    wxCheckBox* mediaInfo_ = nullptr;
};
