// Shows and changes one folder setting of a catalog: the folder's path (shortened in the
// middle to fit), a button that chooses another folder, and one that opens it in the file
// manager. OK stores a changed folder in the catalog.
#pragma once

#include "catalog/file/CatalogRec.h"
#include "foundation/ui/CFolderBrowser.h"
#include "foundation/ui/CLyrexDialog.h"

class wxStaticText;

class CFolderDialogBase : public CLyrexDialog {
public:
    CFolderDialogBase(CatalogRec* catalog, std::uint32_t templateId, wxWindow* parent);

    // The folder kind, also the prompt of list 138 its chooser shows.
    virtual int FolderKind() const = 0;
    // The catalog's folder reference this dialog shows and sets.
    virtual int FolderRef() const = 0;

    wxString Path() const { return path_; }
    bool Changed() const { return changed_; }
    CFolderBrowser& Browser() { return browser_; }

protected:
    bool OnInitDialog() override;
    bool TransferDataFromWindow() override;

private:
    void ShowPath();
    void OnChooseFolder(wxCommandEvent& event);
    void OnOpenFolder(wxCommandEvent& event);

    CatalogRec* catalog_;
    bool changed_ = false;
    wxString path_ = "--";
    wxStaticText* pathStatic_ = nullptr;
    CFolderBrowser browser_;
};

// The catalog's drop folder: where clips dropped from other programs are kept.
class CDropFolderDlg : public CFolderDialogBase {
public:
    CDropFolderDlg(CatalogRec* catalog, wxWindow* parent) : CFolderDialogBase(catalog, 294, parent) {}
    int FolderKind() const override { return 3; }
    int FolderRef() const override;
};
