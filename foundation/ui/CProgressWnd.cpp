#include "foundation/ui/CProgressWnd.h"

#include "foundation/settings/ProgramKey.h"
#include "foundation/ui/DialogPositions.h"
#include "foundation/ui/UiText.h"

#include <wx/app.h>
#include <wx/button.h>
#include <wx/evtloop.h>
#include <wx/gauge.h>
#include <wx/settings.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/time.h>
#include <wx/utils.h>

#include <algorithm>

namespace {
constexpr char16_t kSettingsSection[] = u"Settings";
}

CProgressWnd::CProgressWnd(wxWindow* parent, const wxString& caption, const wxString& cancelText, bool smooth)
    : wxDialog(parent ? parent : (wxTheApp ? wxTheApp->GetTopWindow() : nullptr), wxID_ANY, caption,
               wxDefaultPosition, wxDefaultSize, wxCAPTION),
      caption_(caption) {
    BuildControls(cancelText, smooth);
    PlaceWindow();
    BindEvents();
}

CProgressWnd::~CProgressWnd() { EndModalInEffect(); }

void CProgressWnd::BuildControls(const wxString& cancelText, bool smooth) {
    const wxFont font = wxSystemSettings::GetFont(wxSYS_DEFAULT_GUI_FONT);
    SetFont(font);
    line1_ = new wxStaticText(this, 11, wxString(), wxDefaultPosition, wxSize(390, -1),
                              wxST_ELLIPSIZE_END | wxST_NO_AUTORESIZE);
    line2_ = new wxStaticText(this, 11, wxString(), wxDefaultPosition, wxDefaultSize,
                              wxST_ELLIPSIZE_END | wxST_NO_AUTORESIZE);
    const int labelWidth = GetTextExtent(" 100% ").x;
    label_ = new wxStaticText(this, 11, wxString(), wxDefaultPosition, wxSize(labelWidth, -1),
                              wxALIGN_RIGHT | wxST_NO_AUTORESIZE);
    bar_ = new wxGauge(this, 12, kProgressBarRange, wxDefaultPosition, wxSize(390, -1),
                       wxGA_HORIZONTAL | (smooth ? wxGA_SMOOTH : 0));
    cancel_ = new wxButton(this, 10, cancelText);

    auto* rows = new wxBoxSizer(wxVERTICAL);
    rows->Add(line1_, 0, wxEXPAND);
    auto* row2 = new wxBoxSizer(wxHORIZONTAL);
    row2->Add(line2_, 1, wxRIGHT, 10);
    row2->Add(label_, 0);
    rows->Add(row2, 0, wxEXPAND | wxTOP, 10);
    rows->Add(bar_, 0, wxEXPAND | wxTOP, 10);
    rows->Add(cancel_, 0, wxALIGN_RIGHT | wxTOP, 10);
    auto* outer = new wxBoxSizer(wxVERTICAL);
    outer->Add(rows, 1, wxEXPAND | wxALL, 10);
    SetSizerAndFit(outer);
}

void CProgressWnd::PlaceWindow() {
    CRegistryKey key;
    long x = -1, y = -1;
    if (OpenUserKey(&key, kSettingsSection)) {
        x = long(int(key.ReadDword(u"X", DWORD(-1))));
        y = long(int(key.ReadDword(u"Y", DWORD(-1))));
    }
    bool onScreen = false;
    for (const wxRect& area : DisplayAreas()) onScreen = onScreen || area.Contains(wxPoint(int(x), int(y)));
    if (onScreen)
        Move(int(x), int(y));
    else
        CentreOnParent();
}

void CProgressWnd::SavePosition() {
    if (!savePosition_ || !GetHandle()) return;
    const wxPoint p = GetScreenPosition();
    CRegistryKey key;
    if (!OpenUserKey(&key, kSettingsSection)) return;
    key.WriteDword(u"X", DWORD(p.x));
    key.WriteDword(u"Y", DWORD(p.y));
}

bool CProgressWnd::GoModal(const wxString& title) {
    SetTitle(title.empty() ? caption_ : title);
    startedAt_ = wxGetLocalTimeMillis().GetValue();
    // Every other window takes no input while the operation runs: no command of theirs can
    // close or replace what the operation works on.
    if (!disabler_) disabler_ = std::make_unique<wxWindowDisabler>(this);
    Enable();
    if (showDelayMs_ == 0) ShowIfDue();
    return true;
}

void CProgressWnd::EndModalInEffect() {
    if (IsShown()) SavePosition();
    disabler_.reset();
}

void CProgressWnd::SetRange(long lower, long upper) {
    model_.SetRange(lower, upper);
    bar_->SetRange(int(upper - lower));
}

void CProgressWnd::ShowIfDue() {
    if (IsShown() || model_.Cancelled()) return;
    if (wxGetLocalTimeMillis().GetValue() - startedAt_ < showDelayMs_) return;
    ShowWithoutActivating();
    Update();
}

long CProgressWnd::SetPos(long pos) {
    ShowIfDue();
    if (std::optional<int> percent = model_.SetPos(pos))
        SetTitle(WxFromUtf8(ProgressModel::Caption(Utf8FromWx(caption_), *percent)));
    bar_->SetValue(int(std::clamp(pos, 0L, long(bar_->GetRange()))));
    return pos;
}

void CProgressWnd::SetText(const wxString* line1, const wxString* line2, const wxString* label) {
    if (line1) line1_->SetLabel(*line1);
    if (line2) line2_->SetLabel(*line2);
    if (label) label_->SetLabel(*label);
}

void CProgressWnd::PeekAndPump(bool escCancels) {
    escCancels_ = escCancels;
    if (model_.Cancelled() || pumping_) return;
    ShowIfDue();
    if (IsShown() && !HasFocus() && !cancel_->HasFocus()) cancel_->SetFocus();
    pumping_ = true;
    wxEventLoopGuarantor ensureLoop;
    if (wxEventLoopBase* loop = wxEventLoopBase::GetActive())
        loop->YieldFor(wxEVT_CATEGORY_UI | wxEVT_CATEGORY_USER_INPUT);
    pumping_ = false;
}

void CProgressWnd::Cancel() {
    SavePosition();
    model_.Cancel();
    // Only hidden: the operation still holds the window and destroys it when it ends.
    Hide();
    if (wxWindow* main = wxTheApp ? wxTheApp->GetTopWindow() : nullptr) {
        if (main != this) main->Raise();
    }
}

void CProgressWnd::BindEvents() {
    Bind(wxEVT_BUTTON, &CProgressWnd::OnCancelButton, this, 10);
    Bind(wxEVT_CHAR_HOOK, &CProgressWnd::OnCharHook, this);
    Bind(wxEVT_CLOSE_WINDOW, &CProgressWnd::OnClose, this);
}

void CProgressWnd::OnCancelButton(wxCommandEvent&) { Cancel(); }

void CProgressWnd::OnCharHook(wxKeyEvent& event) {
    if (event.GetKeyCode() == WXK_ESCAPE) {
        if (escCancels_) Cancel();
        return;  // never closes the window as a dialog would
    }
    event.Skip();
}

void CProgressWnd::OnClose(wxCloseEvent& event) {
    if (event.CanVeto()) event.Veto();
}
