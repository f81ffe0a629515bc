// The "HTML Options" sheet: the Layout and Settings pages over the gallery's settings record,
// "Create..." in place of OK and a "Launch browser when done" check box in the button row.
// Confirming stores every page into the record (and the site title into the catalog); the
// caller saves the record and builds the gallery.
#pragma once

#include "foundation/ui/CLyrexPropertySheet.h"
#include "output/html/HtmlSettings.h"

class CHTMLExp_General;
class CHTMLExp_Options;
class wxCheckBox;
struct CatalogRec;

class CHTMLExportDlg : public CLyrexPropertySheet {
public:
    enum : std::uint32_t { kCaptionId = 59563 };
    CHTMLExportDlg(wxWindow* parent, HtmlSettingsRec* settings, CatalogRec* catalog);

    // The check box's state into the preference "launch browser when done".
    void SaveLaunchOption();
    bool TransferDataFromWindow() override;

    CHTMLExp_General* LayoutPage() const { return general_; }
    CHTMLExp_Options* SettingsPage() const { return options_; }
    wxCheckBox* LaunchBox() const { return launch_; }

protected:
    bool OnInitDialog() override;

private:
    HtmlSettingsRec* settings_;
    CHTMLExp_General* general_ = nullptr;
    CHTMLExp_Options* options_ = nullptr;
    wxCheckBox* launch_ = nullptr;
};
