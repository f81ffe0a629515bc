#include "output/ui/html/CHTMLExp_Options.h"

#include "foundation/ui/CColourPickerButton.h"
#include "foundation/ui/UiText.h"

#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

namespace {

wxColour ToWx(const RGBColor& c) { return wxColour(c.red >> 8, c.green >> 8, c.blue >> 8); }

RGBColor FromWx(const wxColour& c) {
    return {UInt16(c.Red() * 257), UInt16(c.Green() * 257), UInt16(c.Blue() * 257)};
}

int Selection(UInt8 code, int count) { return code >= 1 && code <= count ? code - 1 : 0; }

}  // namespace

CHTMLExp_Options::CHTMLExp_Options(HtmlSettingsRec* settings, CHTMLExportDlg* sheet)
    : CPropertyPage(kTemplateId), settings_(settings), sheet_(sheet) {}

bool CHTMLExp_Options::CreatePage(wxWindow* book) {
    if (!Create(book)) return false;
    encoding_ = Controls().Get<wxChoice>(1219);
    extension_ = Controls().Get<wxChoice>(1218);
    quality_ = Controls().Get<wxChoice>(1220);
    autoPlay_ = Controls().Get<wxCheckBox>(1129);
    continuous_ = Controls().Get<wxCheckBox>(1130);
    controller_ = Controls().Get<wxCheckBox>(1242);
    if (encoding_)
        for (UInt16 id : {36, 37}) encoding_->Append(LoadUiString(id));
    if (extension_)
        for (UInt16 id : {63811, 63812}) extension_->Append(LoadUiString(id));
    if (quality_)
        for (UInt16 id = 38; id <= 42; ++id) quality_->Append(LoadUiString(id));
    // The three colour swatches, each under its name, below the lists.
    auto* colours = new wxBoxSizer(wxHORIZONTAL);
    auto addColour = [&](int id, UInt16 label) {
        auto* column = new wxBoxSizer(wxVERTICAL);
        column->Add(new wxStaticText(this, wxID_ANY, LoadUiString(label)), 0, wxALIGN_CENTER_HORIZONTAL | wxBOTTOM, 4);
        auto* button = new CColourPickerButton(this, id);
        column->Add(button, 0, wxALIGN_CENTER_HORIZONTAL);
        colours->Add(column, 0, wxRIGHT, 16);
        return button;
    };
    text_ = addColour(1003, 63804);
    background_ = addColour(1004, 63805);
    link_ = addColour(1005, 63806);
    // The swatches go above the player's check boxes.
    if (autoPlay_ && autoPlay_->GetContainingSizer()) {
        wxSizer* column = autoPlay_->GetContainingSizer();
        int at = 0;
        for (wxSizerItem* item : column->GetChildren()) {
            if (item->GetWindow() == autoPlay_) break;
            ++at;
        }
        column->Insert(size_t(at), colours, 0, wxTOP | wxBOTTOM, 8);
    }
    for (wxChoice* choice : {encoding_, extension_, quality_})
        if (choice) {
            choice->InvalidateBestSize();
            choice->SetMinSize(choice->GetBestSize());
        }
    Layout();
    LoadFromSettings();
    return true;
}

void CHTMLExp_Options::LoadFromSettings() {
    if (encoding_) encoding_->SetSelection(settings_->textEncoding == kHtmlEncodingJapanese ? 1 : 0);
    if (extension_) extension_->SetSelection(Selection(settings_->extensionCode, 2));
    // A stored quality outside the list shows as what a build makes of it: Medium.
    qualityShown_ = HtmlQualityCodeShown(settings_->jpegQuality) - 1;
    if (quality_) quality_->SetSelection(qualityShown_);
    if (text_) text_->SetColour(ToWx(settings_->text));
    if (background_) background_->SetColour(ToWx(settings_->background));
    if (link_) link_->SetColour(ToWx(settings_->link));
    if (autoPlay_) autoPlay_->SetValue(settings_->autoPlay != 0);
    if (continuous_) continuous_->SetValue(settings_->continuous != 0);
    if (controller_) controller_->SetValue(settings_->showController != 0);
}

void CHTMLExp_Options::StoreToSettings() {
    if (encoding_) settings_->textEncoding = UInt8(std::max(0, encoding_->GetSelection()) + 1);
    if (extension_) settings_->extensionCode = UInt8(std::max(0, extension_->GetSelection()) + 1);
    // A quality the list cannot show (a target size) stays unless the user chose another.
    if (quality_ && (quality_->GetSelection() != qualityShown_ || (settings_->jpegQuality >= 1 && settings_->jpegQuality <= 5)))
        settings_->jpegQuality = UInt8(std::max(0, quality_->GetSelection()) + 1);
    if (text_) settings_->text = FromWx(text_->Colour());
    if (background_) settings_->background = FromWx(background_->Colour());
    if (link_) settings_->link = FromWx(link_->Colour());
    if (autoPlay_) settings_->autoPlay = autoPlay_->GetValue() ? 1 : 0;
    if (continuous_) settings_->continuous = continuous_->GetValue() ? 1 : 0;
    if (controller_) settings_->showController = controller_->GetValue() ? 1 : 0;
}
