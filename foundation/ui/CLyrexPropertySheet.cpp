#include "foundation/ui/CLyrexPropertySheet.h"

#include "foundation/ui/CPropertyPage.h"
#include "foundation/ui/DialogFitting.h"
#include "foundation/ui/DialogPositions.h"
#include "foundation/ui/UiText.h"

#include <wx/app.h>
#include <wx/bookctrl.h>
#include <wx/sizer.h>

namespace {
constexpr int kApplyButtonId = 0x3021;
}

CLyrexPropertySheet::CLyrexPropertySheet(std::uint32_t captionId, wxWindow* parent) : positionKey_(captionId) {
    CreateSheet(LoadUiString(UInt16(captionId)), parent);
}

CLyrexPropertySheet::CLyrexPropertySheet(const wxString& caption, wxWindow* parent) : positionKey_(0) {
    CreateSheet(caption, parent);
}

CLyrexPropertySheet::CLyrexPropertySheet(std::uint32_t positionKey, const wxString&, wxWindow*, bool)
    : positionKey_(positionKey) {}

void CLyrexPropertySheet::CreateSheet(const wxString& caption, wxWindow* parent) {
    Create(parent, wxID_ANY, caption);
    CreateButtons(wxOK | wxCANCEL);
    BindEvents();
}

CLyrexPropertySheet::~CLyrexPropertySheet() {
    SaveDialogPosition(this, positionKey_);
    if (wxTheApp) wxTheApp->Unbind(wxEVT_ACTIVATE_APP, &CLyrexPropertySheet::OnActivateApp, this);
}

bool CLyrexPropertySheet::Destroy() {
    SaveDialogPosition(this, positionKey_);
    return wxPropertySheetDialog::Destroy();
}

void CLyrexPropertySheet::AddPage(CPropertyPage* page, const wxString& title) {
    page->Create(GetBookCtrl());
    GetBookCtrl()->AddPage(page, title);
}

int CLyrexPropertySheet::DoModal() {
    int result = ShowModal();
    SaveDialogPosition(this, positionKey_);
    return ControlIdFromWxId(result);
}

bool CLyrexPropertySheet::OnInitDialog() {
    TransferDataToWindow();
    if (wxWindow* apply = FindWindow(kApplyButtonId)) apply->Hide();
    FitDialogButtons(this, 6, kApplyButtonId, IDOK, IDCANCEL);
    GetSizer()->SetSizeHints(this);
    Layout();
    if (!RestoreDialogPosition(this, positionKey_)) CentreOnParent();
    SetWindowStyleFlag(GetWindowStyleFlag() | wxSTAY_ON_TOP);
    return true;
}

void CLyrexPropertySheet::BindEvents() {
    Bind(wxEVT_INIT_DIALOG, &CLyrexPropertySheet::OnInitDialogEvent, this);
    if (wxTheApp) wxTheApp->Bind(wxEVT_ACTIVATE_APP, &CLyrexPropertySheet::OnActivateApp, this);
}

void CLyrexPropertySheet::OnInitDialogEvent(wxInitDialogEvent&) { OnInitDialog(); }

void CLyrexPropertySheet::OnActivateApp(wxActivateEvent& event) {
    event.Skip();
    long style = GetWindowStyleFlag();
    SetWindowStyleFlag(event.GetActive() ? style | wxSTAY_ON_TOP : style & ~long(wxSTAY_ON_TOP));
}
