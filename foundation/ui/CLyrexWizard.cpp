#include "foundation/ui/CLyrexWizard.h"

#include "foundation/ui/CPropertyPage.h"
#include "foundation/ui/ResourceImages.h"
#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/dcclient.h>
#include <wx/panel.h>
#include <wx/simplebook.h>
#include <wx/sizer.h>
#include <wx/statline.h>

CLyrexWizard::CLyrexWizard(std::uint32_t headerBitmapId, int headerMode, const wxString& caption,
                           wxWindow* parent)
    : CLyrexPropertySheet(0, caption, parent, true),
      headerBitmap_(LoadResourceBitmap(headerBitmapId)),
      headerBitmapId_(headerBitmapId),
      headerMode_(headerMode),
      caption_(caption) {
    SetBackgroundColour(*wxWHITE);
    Create(parent, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize, wxCAPTION | wxRESIZE_BORDER);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->AddStretchSpacer(1);
    row->Add(new wxButton(this, ID_WIZBACK, LoadUiString(61001)), 0, wxRIGHT, 2);
    row->Add(new wxButton(this, ID_WIZNEXT, LoadUiString(61002)), 0, wxRIGHT, 6);
    row->Add(new wxButton(this, ID_WIZFINISH, LoadUiString(61003)), 0, wxRIGHT, 6);
    row->Add(new wxButton(this, wxID_CANCEL, LoadUiString(12902)), 0);
    GetInnerSizer()->Add(new wxStaticLine(this, wxID_ANY), 0, wxEXPAND | wxTOP, 6);
    GetInnerSizer()->Add(row, 0, wxEXPAND | wxALL, 6);
    CLyrexPropertySheet::BindEvents();
    BindEvents();
}

wxBookCtrlBase* CLyrexWizard::CreateBookCtrl() {
    return new wxSimplebook(this, wxID_ANY);
}

void CLyrexWizard::AddBookCtrl(wxSizer* sizer) {
    if (headerBitmap_.IsOk() && headerMode_ == 1) {
        header_ = new wxPanel(this, wxID_ANY, wxDefaultPosition, wxSize(-1, headerBitmap_.GetHeight()));
        header_->Bind(wxEVT_PAINT, &CLyrexWizard::OnPaintHeader, this);
        sizer->Add(header_, 0, wxEXPAND);
        sizer->Add(new wxStaticLine(this, kWizardSeparatorId), 0, wxEXPAND);
    }
    sizer->Add(GetBookCtrl(), 1, wxEXPAND | wxALL, 10);
}

wxButton* CLyrexWizard::WizardButton(int id) const { return dynamic_cast<wxButton*>(FindWindow(id)); }

bool CLyrexWizard::OnInitDialog() {
    TransferDataToWindow();
    GetSizer()->SetSizeHints(this);
    Layout();
    CentreOnParent();
    SetTitle(caption_);
    for (size_t i = 0; i < GetBookCtrl()->GetPageCount(); ++i) GetBookCtrl()->GetPage(i)->SetBackgroundColour(*wxWHITE);
    if (active_ < 0 && GetBookCtrl()->GetPageCount() > 0) SetActivePage(0);
    return true;
}

bool CLyrexWizard::SetActivePage(int index) {
    if (index < 0 || size_t(index) >= GetBookCtrl()->GetPageCount()) return false;
    if (active_ >= 0) {
        auto* old = dynamic_cast<CPropertyPage*>(GetBookCtrl()->GetPage(size_t(active_)));
        if (old && !old->OnKillActive()) return false;
    }
    GetBookCtrl()->ChangeSelection(size_t(index));
    active_ = index;
    UpdateButtons();
    auto* page = dynamic_cast<CPropertyPage*>(GetBookCtrl()->GetPage(size_t(index)));
    if (page) page->OnSetActive();
    Layout();
    return true;
}

void CLyrexWizard::UpdateButtons() {
    const int last = int(GetBookCtrl()->GetPageCount()) - 1;
    if (wxButton* back = WizardButton(ID_WIZBACK)) back->Enable(active_ > 0);
    if (wxButton* next = WizardButton(ID_WIZNEXT)) next->Show(active_ < last);
    if (wxButton* finish = WizardButton(ID_WIZFINISH)) finish->Show(active_ == last);
    if (GetSizer()) Layout();
}

void CLyrexWizard::BindEvents() {
    Bind(wxEVT_CHAR_HOOK, &CLyrexWizard::OnCharHook, this);
    Bind(wxEVT_BUTTON, &CLyrexWizard::OnBack, this, ID_WIZBACK);
    Bind(wxEVT_BUTTON, &CLyrexWizard::OnNext, this, ID_WIZNEXT);
    Bind(wxEVT_BUTTON, &CLyrexWizard::OnFinish, this, ID_WIZFINISH);
}

void CLyrexWizard::OnCharHook(wxKeyEvent& event) {
    // Escape would close the dialog as Cancel; a wizard ignores it.
    if (event.GetKeyCode() == WXK_ESCAPE) return;
    event.Skip();
}

void CLyrexWizard::OnBack(wxCommandEvent&) { SetActivePage(active_ - 1); }

void CLyrexWizard::OnNext(wxCommandEvent&) { SetActivePage(active_ + 1); }

void CLyrexWizard::OnFinish(wxCommandEvent&) {
    auto* page = active_ >= 0 ? dynamic_cast<CPropertyPage*>(GetBookCtrl()->GetPage(size_t(active_))) : nullptr;
    if (page && !page->OnWizardFinish()) return;
    if (IsModal())
        EndModal(wxID_OK);
    else
        Hide();
}

void CLyrexWizard::OnPaintHeader(wxPaintEvent&) {
    wxPaintDC dc(header_);
    const wxSize size = header_->GetClientSize();
    dc.SetBackground(*wxWHITE_BRUSH);
    dc.Clear();
    if (!headerBitmap_.IsOk()) return;
    wxImage image = headerBitmap_.ConvertToImage().Scale(std::max(size.x, 1), std::max(size.y, 1),
                                                          wxIMAGE_QUALITY_HIGH);
    dc.DrawBitmap(wxBitmap(image), 0, 0);
}
