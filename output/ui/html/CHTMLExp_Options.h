// The HTML Options sheet's Settings page: the pages' text encoding and file extension, the
// JPEG quality, the text, background and link colours, and the movie player's options.
#pragma once

#include "foundation/ui/CPropertyPage.h"
#include "output/html/HtmlSettings.h"

class CColourPickerButton;
class CHTMLExportDlg;
class wxCheckBox;
class wxChoice;

class CHTMLExp_Options : public CPropertyPage {
public:
    enum { kTemplateId = 7006 };
    CHTMLExp_Options(HtmlSettingsRec* settings, CHTMLExportDlg* sheet);

    bool CreatePage(wxWindow* book);
    void LoadFromSettings();
    void StoreToSettings();

private:
    HtmlSettingsRec* settings_;
    CHTMLExportDlg* sheet_;
    wxChoice* encoding_ = nullptr;
    wxChoice* extension_ = nullptr;
    wxChoice* quality_ = nullptr;
    CColourPickerButton* text_ = nullptr;
    CColourPickerButton* background_ = nullptr;
    CColourPickerButton* link_ = nullptr;
    wxCheckBox* autoPlay_ = nullptr;
    wxCheckBox* continuous_ = nullptr;
    wxCheckBox* controller_ = nullptr;
    int qualityShown_ = 0;   // the selection the stored quality was shown as
};
