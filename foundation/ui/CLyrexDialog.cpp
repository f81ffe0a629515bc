#include "foundation/ui/CLyrexDialog.h"

#include "foundation/ui/DialogFitting.h"
#include "foundation/ui/DialogPositions.h"

#include <wx/app.h>
#include <wx/log.h>
#include <wx/sizer.h>

CLyrexDialog::CLyrexDialog(std::uint32_t templateId, wxWindow* parent, std::uint32_t first,
                           std::uint32_t second, std::uint32_t third, bool topmost)
    : wxDialog(parent, wxID_ANY, wxString(), wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE),
      templateId_(templateId),
      buttons_{first, second, third},
      topmost_(topmost) {
    DialogDescription description;
    std::string problem;
    if (LoadDialogDescription(int(templateId), &description, &problem))
        BuildDialog(this, description, &controls_);
    else
        wxLogDebug("dialog %u: %s", templateId, problem);
    BindEvents();
}

CLyrexDialog::~CLyrexDialog() {
    SaveDialogPosition(this, templateId_);
    if (wxTheApp) wxTheApp->Unbind(wxEVT_ACTIVATE_APP, &CLyrexDialog::OnActivateApp, this);
}

bool CLyrexDialog::Destroy() {
    SaveDialogPosition(this, templateId_);
    return wxDialog::Destroy();
}

int CLyrexDialog::DoModal() {
    int result = ShowModal();
    SaveDialogPosition(this, templateId_);
    return ControlIdFromWxId(result);
}

bool CLyrexDialog::OnInitDialog() {
    TransferDataToWindow();
    FitDialogButtons(this, 10, int(buttons_[0]), int(buttons_[1]), int(buttons_[2]));
    GetSizer()->SetSizeHints(this);
    Layout();
    if (!RestoreDialogPosition(this, templateId_)) CentreOnParent();
    if (topmost_) SetWindowStyleFlag(GetWindowStyleFlag() | wxSTAY_ON_TOP);
    return true;
}

void CLyrexDialog::BindEvents() {
    Bind(wxEVT_INIT_DIALOG, &CLyrexDialog::OnInitDialogEvent, this);
    if (wxTheApp) wxTheApp->Bind(wxEVT_ACTIVATE_APP, &CLyrexDialog::OnActivateApp, this);
}

void CLyrexDialog::OnInitDialogEvent(wxInitDialogEvent&) { OnInitDialog(); }

void CLyrexDialog::OnActivateApp(wxActivateEvent& event) {
    event.Skip();
    if (!topmost_) return;
    // Floats above the program's windows while the program is active; when another program
    // comes forward the dialog drops back to sit just above its own frame (its transient
    // parent), instead of covering the other program.
    long style = GetWindowStyleFlag();
    SetWindowStyleFlag(event.GetActive() ? style | wxSTAY_ON_TOP : style & ~long(wxSTAY_ON_TOP));
}
