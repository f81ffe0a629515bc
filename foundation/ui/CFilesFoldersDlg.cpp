#include "foundation/ui/CFilesFoldersDlg.h"

#include "foundation/ui/DialogBuilder.h"
#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/dirctrl.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

namespace {
constexpr int kImportId = 268;
}

CFilesFoldersDlg::CFilesFoldersDlg(const wxString& buttonText, const wxString& startFolder, const wxString& prompt,
                                   wxWindow* parent)
    : wxDialog(parent, wxID_ANY, prompt, wxDefaultPosition, wxDefaultSize, wxDEFAULT_DIALOG_STYLE | wxRESIZE_BORDER) {
    tree_ = new wxGenericDirCtrl(this, wxID_ANY, startFolder, wxDefaultPosition, wxSize(420, 320),
                                 wxDIRCTRL_MULTIPLE);
    if (!startFolder.empty()) tree_->ExpandPath(startFolder);
    name_ = new wxTextCtrl(this, wxID_ANY);
    import_ = new wxButton(this, kImportId, buttonText.empty() ? LoadUiString(60701) : buttonText);
    auto* cancel = new wxButton(this, wxID_CANCEL, LoadUiString(12902));
    import_->SetDefault();

    auto* nameRow = new wxBoxSizer(wxHORIZONTAL);
    nameRow->Add(new wxStaticText(this, wxID_ANY, LoadUiString(60703)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    nameRow->Add(name_, 1);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->AddStretchSpacer(1);
    buttons->Add(cancel, 0, wxRIGHT, 6);
    buttons->Add(import_, 0);
    auto* all = new wxBoxSizer(wxVERTICAL);
    all->Add(tree_, 1, wxEXPAND | wxALL, 10);
    all->Add(nameRow, 0, wxEXPAND | wxLEFT | wxRIGHT, 10);
    all->Add(buttons, 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(all);
    BindEvents();
}

int CFilesFoldersDlg::DoModal() {
    paths_.clear();
    return ShowModal() == wxID_OK ? IDOK : IDCANCEL;
}

wxString CFilesFoldersDlg::CurrentFolder() const {
    wxArrayString chosen;
    tree_->GetPaths(chosen);
    if (chosen.empty()) return tree_->GetDefaultPath();
    const wxString path = chosen[0];
    return wxFileName::DirExists(path) ? path : wxFileName(path).GetPath();
}

void CFilesFoldersDlg::BindEvents() {
    Bind(wxEVT_BUTTON, &CFilesFoldersDlg::OnImport, this, kImportId);
    Bind(wxEVT_UPDATE_UI, &CFilesFoldersDlg::OnUpdateImport, this, kImportId);
}

void CFilesFoldersDlg::OnImport(wxCommandEvent&) {
    paths_.clear();
    const wxString name = name_->GetValue().Strip(wxString::both);
    if (!name.empty() && !name.Contains("\"")) {
        // One typed name: it names an item of the current folder.
        paths_.Add(wxFileName(CurrentFolder(), name).GetFullPath());
    } else {
        tree_->GetPaths(paths_);
    }
    if (paths_.empty()) return;
    EndModal(wxID_OK);
}

void CFilesFoldersDlg::OnUpdateImport(wxUpdateUIEvent& event) {
    wxArrayString chosen;
    tree_->GetPaths(chosen);
    event.Enable(!chosen.empty() || !name_->GetValue().empty());
}
