#include "foundation/ui/Clxsavechanges.h"

#include "foundation/ui/AlertLayout.h"
#include "foundation/ui/UiText.h"

#include <algorithm>

#include <wx/app.h>
#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/settings.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>

namespace {

constexpr int kEndButton1 = 6;  // end codes of buttons 1 and 3; button 2 ends with wxID_CANCEL
constexpr int kEndButton3 = 7;

// The box's frame in dialog units, and its controls' places in it.
const wxSize kBoxSize(251, 87);
const wxRect kIconRect(7, 7, 21, 20);
const wxRect kMessageRect(36, 7, 208, 10);
const wxRect kDetailRect(36, 22, 208, 32);

wxArtID IconArt(short kind) {
    switch (kind) {
        case kAlertStop: return wxART_ERROR;
        case kAlertInformation: return wxART_INFORMATION;
        case kAlertWarning: return wxART_WARNING;
        default: return wxART_QUESTION;
    }
}

}  // namespace

Clxsavechanges::Clxsavechanges(wxWindow* parent, short iconKind, const AlertTexts& texts)
    : wxDialog(parent, wxID_ANY, "Lyrex Ondrel", wxDefaultPosition, wxDefaultSize, wxCAPTION | wxSTAY_ON_TOP),
      texts_(texts) {
    BuildControls(iconKind);
    LayOut();
    BindEvents();
}

void Clxsavechanges::BuildControls(short iconKind) {
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    SetFont(font);
    auto dlu = [this](const wxRect& r) {
        return wxRect(ConvertDialogToPixels(r.GetPosition()), ConvertDialogToPixels(r.GetSize()));
    };
    const wxRect icon = dlu(kIconRect);
    icon_ = new wxStaticBitmap(this, kAlertIconId, wxArtProvider::GetBitmap(IconArt(iconKind), wxART_MESSAGE_BOX),
                               icon.GetPosition(), icon.GetSize());
    std::string head, detail;
    SplitAlertMessage(texts_.message, &head, &detail);
    const wxRect m = dlu(kMessageRect), d = dlu(kDetailRect);
    message_ = new wxStaticText(this, kAlertMessageId, WxFromUtf8(head), m.GetPosition(), m.GetSize(),
                                wxST_NO_AUTORESIZE);
    detail_ = new wxStaticText(this, kAlertDetailId, WxFromUtf8(detail), d.GetPosition(), d.GetSize(),
                               wxST_NO_AUTORESIZE);
    message_->SetFont(font);
    const int ids[3] = {kAlertButton1Id, wxID_CANCEL, kAlertButton3Id};
    for (size_t i = 0; i < 3; ++i)
        buttons_[i] = new wxButton(this, ids[i], WxFromUtf8(texts_.buttons[i]));
    buttons_[0]->SetDefault();
    SetClientSize(ConvertDialogToPixels(kBoxSize));
}

int Clxsavechanges::GrowToFit(wxStaticText* text) {
    wxClientDC dc(text);
    dc.SetFont(text->GetFont());
    const wxSize extent = dc.GetTextExtent(text->GetLabel());
    const wxSize size = text->GetSize();
    // wx wraps on its own only when told the width; the static's text then breaks as measured.
    text->Wrap(size.x);
    // Breaking at words leaves lines short of the full width, and a text may bring line breaks
    // of its own: the wrapped lines' height is what the static must at least have, or the last
    // line is cut off.
    const wxSize wrapped = dc.GetMultiLineTextExtent(text->GetLabel());
    const int grow = std::max(AlertStaticGrowth(extent.x, extent.y, size.x, size.y), wrapped.y + 4 - size.y);
    if (grow > 0) text->SetSize(size.x, size.y + grow);
    return std::max(grow, 0);
}

void Clxsavechanges::LayOut() {
    wxSize client = GetClientSize();
    // The button row.
    wxClientDC dc(this);
    dc.SetFont(wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT));
    std::array<int, 3> widths{};
    std::array<bool, 3> hasText{};
    for (size_t i = 0; i < 3; ++i) {
        widths[i] = dc.GetTextExtent(wxStripMenuCodes(buttons_[i]->GetLabel())).x;
        hasText[i] = !texts_.buttons[i].empty();
    }
    const double scale = ConvertDialogToPixels(wxSize(0, 1000)).y / 1625.0;
    AlertButtonRow row = LayoutAlertButtons(client.x, client.y, scale, widths, hasText);
    for (size_t i = 0; i < 3; ++i) {
        buttons_[i]->Show(row.shown[i]);
        if (row.shown[i]) buttons_[i]->SetSize(row.left[i], row.top, row.width[i], row.height);
    }
    // The statics: the message pushes the detail down; the detail makes the box taller.
    const int gap = row.top - detail_->GetRect().GetBottom();
    int grow = GrowToFit(message_);
    if (grow) detail_->Move(detail_->GetPosition().x, detail_->GetPosition().y + grow);
    int detailGrow = 0;
    if (!detail_->GetLabel().empty()) detailGrow = GrowToFit(detail_);
    int shift = grow + detailGrow;
    if (detail_->GetLabel().empty()) {
        detail_->Hide();
        shift = -(detail_->GetSize().y - 20);
        // A message grown past the detail's room still keeps the buttons below its last line.
        shift = std::max(shift, message_->GetRect().GetBottom() + gap - row.top);
    }
    if (shift) {
        for (wxButton* b : buttons_) b->Move(b->GetPosition().x, b->GetPosition().y + shift);
        SetClientSize(client.x, client.y + shift);
    }
}

short Clxsavechanges::Run() {
    CentreOnParent();
    buttons_[0]->SetFocus();
    int code = ShowModal();
    if (code == wxID_CANCEL) return 2;
    if (code == kEndButton3) return 3;
    return 1;
}

void Clxsavechanges::BindEvents() {
    Bind(wxEVT_BUTTON, &Clxsavechanges::OnButton, this, kAlertButton1Id);
    Bind(wxEVT_BUTTON, &Clxsavechanges::OnButton, this, kAlertButton3Id);
    Bind(wxEVT_CLOSE_WINDOW, &Clxsavechanges::OnClose, this);
    Bind(wxEVT_CHAR_HOOK, &Clxsavechanges::OnCharHook, this);
}

void Clxsavechanges::OnCharHook(wxKeyEvent& event) {
    // Escape answers 2 even when button 2 is hidden (wx would then look for a visible Cancel).
    if (event.GetKeyCode() == WXK_ESCAPE && IsModal()) {
        EndModal(wxID_CANCEL);
        return;
    }
    event.Skip();
}

void Clxsavechanges::OnButton(wxCommandEvent& event) {
    EndModal(event.GetId() == kAlertButton3Id ? kEndButton3 : kEndButton1);
}

void Clxsavechanges::OnClose(wxCloseEvent&) {
    // The box has no close box; a window manager that closes it anyway gets Cancel's answer.
    EndModal(wxID_CANCEL);
}

short ShowAlert(short iconKind, short messageIndex, long errorCode, short button1, short button2, short button3,
                ConstStr255Param text0, ConstStr255Param text1, ConstStr255Param text2, ConstStr255Param text3) {
    AlertTexts texts = BuildAlertTexts(messageIndex, errorCode, button1, button2, button3, {text0, text1, text2, text3});
    wxWindow* parent = wxTheApp ? wxTheApp->GetTopWindow() : nullptr;
    Clxsavechanges box(parent, iconKind, texts);
    return box.Run();
}

short ShowAlertSimple(short iconKind, short messageIndex, long errorCode, short button1, short button2,
                      short button3) {
    return ShowAlert(iconKind, messageIndex, errorCode, button1, button2, button3);
}

void ShowHtmlExportResultAlert(short resultCode) {
    short message = 0;
    switch (resultCode) {
        case 3: message = 26; break;
        case 4: message = 27; break;
        case 5: message = 28; break;
        case 1: message = 29; break;
        default: return;
    }
    ShowAlertSimple(kAlertInformation, message, 0, 1, 0, 0);
}
