#include "output/ui/print/CLXPrintHeaderFooter.h"

#include "foundation/ui/MacFonts.h"
#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/colordlg.h>
#include <wx/fontdlg.h>
#include <wx/menu.h>
#include <wx/textctrl.h>

#include <cstring>

namespace {

constexpr UInt16 kSpecialNames = 63208;   // "Ampersand [&&&&]" .. "Catalog Title [&&c]"
constexpr int kSpecialCount = 7;
constexpr int kTextLimit = 255;

wxColour ToWx(const UInt16 c[3]) { return wxColour(c[0] >> 8, c[1] >> 8, c[2] >> 8); }
void FromWx(const wxColour& w, UInt16 c[3]) {
    c[0] = UInt16(w.Red() * 0x101);
    c[1] = UInt16(w.Green() * 0x101);
    c[2] = UInt16(w.Blue() * 0x101);
}

}  // namespace

CLXPrintHeaderFooter::CLXPrintHeaderFooter(wxWindow* parent, PrintSettingsRec* settings)
    : CLyrexDialog(7142, parent, IDOK, IDCANCEL), settings_(settings) {
    std::memcpy(bands_, settings_->bands, sizeof bands_);
    BindEvents();
}

void CLXPrintHeaderFooter::BindEvents() {
    Bind(wxEVT_BUTTON, &CLXPrintHeaderFooter::OnFont, this, kBandFontFirst, kBandFontFirst + 3);
    Bind(wxEVT_BUTTON, &CLXPrintHeaderFooter::OnColour, this, kBandColourFirst, kBandColourFirst + 3);
    Bind(wxEVT_BUTTON, &CLXPrintHeaderFooter::OnSpecial, this, kSpecialButton);
}

const char* CLXPrintHeaderFooter::SpecialCode(int n) {
    static const char* const kCodes[kSpecialCount] = {"&&", "&i", "&d", "&t", "&p", "&n", "&c"};
    return n >= 1 && n <= kSpecialCount ? kCodes[n - 1] : "";
}

bool CLXPrintHeaderFooter::OnInitDialog() {
    for (int b = 0; b < 4; ++b) {
        auto* e = Controls().Get<wxTextCtrl>(kBandEditFirst + b);
        if (!e) continue;
        e->SetMaxLength(kTextLimit);
        e->ChangeValue(WxFromPStr(bands_[b].text));
        e->Bind(wxEVT_SET_FOCUS, &CLXPrintHeaderFooter::OnEditFocus, this);
    }
    lastEdit_ = Controls().Get<wxTextCtrl>(kBandEditFirst);
    return CLyrexDialog::OnInitDialog();
}

void CLXPrintHeaderFooter::OnEditFocus(wxFocusEvent& event) {
    if (auto* e = dynamic_cast<wxTextCtrl*>(event.GetEventObject())) lastEdit_ = e;
    event.Skip();
}

void CLXPrintHeaderFooter::InsertSpecial(int n) {
    if (!lastEdit_ || n < 1 || n > kSpecialCount) return;
    lastEdit_->WriteText(SpecialCode(n));
    // Focusing an entry selects its whole text; the caret stays after the code instead.
    const long caret = lastEdit_->GetInsertionPoint();
    lastEdit_->SetFocus();
    lastEdit_->SetSelection(caret, caret);
}

void CLXPrintHeaderFooter::OnSpecial(wxCommandEvent&) {
    wxMenu menu;
    for (int n = 1; n <= kSpecialCount; ++n) menu.Append(n, LoadUiString(UInt16(kSpecialNames + n - 1)));
    wxWindow* button = FindWindow(kSpecialButton);
    const wxPoint at = button ? button->GetPosition() + wxPoint(0, button->GetSize().y) : wxDefaultPosition;
    const int chosen = GetPopupMenuSelectionFromUser(menu, at);
    if (chosen != wxID_NONE) InsertSpecial(chosen);
}

wxFont CLXPrintHeaderFooter::BandFont(const HeaderFooterBlock& band) {
    wxFontInfo info(band.size > 0 ? band.size : 10);
    const std::string face = FontNameFromNumber(short(band.fontNumber));
    if (!face.empty()) info.FaceName(WxFromUtf8(face));
    info.Bold((band.style & kStyleBold) != 0).Italic((band.style & kStyleItalic) != 0).Underlined((band.style & kStyleUnderline) != 0);
    return wxFont(info);
}

void CLXPrintHeaderFooter::StoreFont(const wxFont& font, HeaderFooterBlock* band) {
    const short number = FontNumberFromName(Utf8FromWx(font.GetFaceName()));
    if (number > 0) band->fontNumber = UInt16(number);
    band->size = UInt16(std::max(1, font.GetPointSize()));
    UInt16 style = 0;
    // Bold only for exactly the bold weight; a semibold face prints plain.
    if (font.GetNumericWeight() == 700) style |= kStyleBold;
    if (font.GetStyle() == wxFONTSTYLE_ITALIC || font.GetStyle() == wxFONTSTYLE_SLANT) style |= kStyleItalic;
    if (font.GetUnderlined()) style |= kStyleUnderline;
    band->style = style;
}

void CLXPrintHeaderFooter::OnFont(wxCommandEvent& event) {
    HeaderFooterBlock& band = bands_[event.GetId() - kBandFontFirst];
    wxFontData data;
    data.SetInitialFont(BandFont(band));
    data.SetColour(ToWx(band.textColor));
    data.EnableEffects(true);
    wxFontDialog dialog(this, data);
    if (dialog.ShowModal() != wxID_OK) return;
    StoreFont(dialog.GetFontData().GetChosenFont(), &band);
    // The desktop's font chooser may offer no colour; the colour button is there for that.
    if (dialog.GetFontData().GetColour().IsOk() && dialog.GetFontData().GetColour() != ToWx(band.textColor))
        FromWx(dialog.GetFontData().GetColour(), band.textColor);
}

void CLXPrintHeaderFooter::OnColour(wxCommandEvent& event) {
    HeaderFooterBlock& band = bands_[event.GetId() - kBandColourFirst];
    wxColourData data;
    data.SetColour(ToWx(band.textColor));
    wxColourDialog dialog(this, &data);
    if (dialog.ShowModal() == wxID_OK) FromWx(dialog.GetColourData().GetColour(), band.textColor);
}

bool CLXPrintHeaderFooter::TransferDataFromWindow() {
    std::memcpy(settings_->bands, bands_, sizeof bands_);
    for (int b = 0; b < 4; ++b)
        if (auto* e = Controls().Get<wxTextCtrl>(kBandEditFirst + b)) PStrFromWx(e->GetValue(), settings_->bands[b].text, kTextLimit);
    return true;
}
