#include "import/ui/CImportDialog.h"

#include <wx/stattext.h>

namespace {
constexpr int kScannedId = 1078;
constexpr int kImportedId = 1079;
}  // namespace

CImportDialog::CImportDialog(wxWindow* owner) : CLyrexDialog(159, owner, IDCANCEL, 0) {
    SetCounts(0, 0);
    BindEvents();
}

void CImportDialog::SetCounts(long imported, long scanned) {
    if (auto* text = Controls().Get<wxStaticText>(kImportedId)) text->SetLabel(wxString::Format("%ld", imported));
    if (auto* text = Controls().Get<wxStaticText>(kScannedId)) text->SetLabel(wxString::Format("%ld", scanned));
    Layout();
}

wxString CImportDialog::ImportedText() const {
    auto* text = Controls().Get<wxStaticText>(kImportedId);
    return text ? text->GetLabel() : wxString();
}

wxString CImportDialog::ScannedText() const {
    auto* text = Controls().Get<wxStaticText>(kScannedId);
    return text ? text->GetLabel() : wxString();
}

void CImportDialog::BindEvents() {
    // Escape reaches a dialog as a click on its Cancel button, so both land here.
    Bind(wxEVT_BUTTON, &CImportDialog::OnCancel, this, wxID_CANCEL);
    Bind(wxEVT_CLOSE_WINDOW, &CImportDialog::OnClose, this);
}

void CImportDialog::OnCancel(wxCommandEvent&) { cancelled_ = true; }

void CImportDialog::OnClose(wxCloseEvent& event) {
    if (event.CanVeto()) {
        cancelled_ = true;
        event.Veto();
        return;
    }
    event.Skip();
}
