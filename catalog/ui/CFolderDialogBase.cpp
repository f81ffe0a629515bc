#include "catalog/ui/CFolderDialogBase.h"

#include "catalog/tables/CatalogTables.h"
#include "foundation/files/PathSpec.h"
#include "foundation/text/Unicode.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/UiText.h"
#include "foundation/utilities/OpenInBrowser.h"

#include <wx/button.h>
#include <wx/control.h>
#include <wx/dcclient.h>
#include <wx/stattext.h>
#include <wx/utils.h>

#include <cstring>

namespace {
constexpr int kFolderButtonId = 1191;
constexpr int kOpenFolderId = 1118;
constexpr int kPathStaticId = 1256;
constexpr int kPathWidth = 300;
}  // namespace

CFolderDialogBase::CFolderDialogBase(CatalogRec* catalog, std::uint32_t templateId, wxWindow* parent)
    : CLyrexDialog(templateId, parent, kOpenFolderId, IDOK, IDCANCEL, false), catalog_(catalog) {
    pathStatic_ = Controls().Get<wxStaticText>(kPathStaticId);
    Bind(wxEVT_BUTTON, &CFolderDialogBase::OnChooseFolder, this, kFolderButtonId);
    Bind(wxEVT_BUTTON, &CFolderDialogBase::OnOpenFolder, this, kOpenFolderId);
}

bool CFolderDialogBase::OnInitDialog() {
    if (auto* button = Controls().Get<wxButton>(kFolderButtonId)) button->SetBitmap(GetIconCache().Get(kIconFolder));
    FSSpec folder;
    if (CatalogGetFolderRef(catalog_, FolderRef(), &folder) == noErr && !folder.path.empty())
        path_ = WxFromUtf8(folder.path);
    if (pathStatic_) {
        wxFont font = pathStatic_->GetFont();
        font.SetWeight(wxFONTWEIGHT_SEMIBOLD);
        pathStatic_->SetFont(font);
        pathStatic_->SetMinSize(wxSize(kPathWidth, -1));
    }
    ShowPath();
    return CLyrexDialog::OnInitDialog();
}

void CFolderDialogBase::ShowPath() {
    if (!pathStatic_) return;
    pathStatic_->SetLabel(wxControl::Ellipsize(path_, wxClientDC(pathStatic_), wxELLIPSIZE_MIDDLE, kPathWidth));
    if (wxWindow* open = FindWindow(kOpenFolderId)) open->Enable(path_ != "--");
}

void CFolderDialogBase::OnChooseFolder(wxCommandEvent&) {
    const wxString prompt = LoadIndexedUiString(138, FolderKind());
    browser_.SetTitle(&prompt);
    char path[kFolderPathCapacity] = {};
    const std::string start = path_ == "--" ? std::string() : Utf8FromWx(path_);
    if (start.size() < sizeof path) std::strcpy(path, start.c_str());
    if (browser_.Browse(this, path) != 2) return;
    path_ = WxFromUtf8(path);
    changed_ = true;
    ShowPath();
}

void CFolderDialogBase::OnOpenFolder(wxCommandEvent&) {
    if (path_ == "--") {
        wxBell();
        return;
    }
    OpenInBrowser(Utf8FromWx(path_));
}

bool CFolderDialogBase::TransferDataFromWindow() {
    if (!changed_ || path_ == "--") return true;
    FSSpec spec;
    // A folder that no longer converts to a file specification is not stored.
    if (PathToFileSpec(Utf8ToUtf16(Utf8FromWx(path_)), &spec) == noErr) CatalogSetFolderRef(catalog_, FolderRef(), &spec);
    return true;
}

// The drop folder is the catalog's first stored folder, the one that stands for the desktop
// while the catalog has none of its own.
int CDropFolderDlg::FolderRef() const { return kFolderRefFirst; }
