// Choosing files and folders together, for import: the desktop's chooser picks either files
// or folders, never both, so this is a dialog of our own: a tree of folders and files where
// several can be chosen, a name field, and "Import". Import answers every chosen item as a
// full path (folders and files alike), or the current folder joined with the one typed name.
#pragma once

#include <wx/dialog.h>

class wxButton;
class wxGenericDirCtrl;
class wxTextCtrl;

class CFilesFoldersDlg : public wxDialog {
public:
    // buttonText: the Import button's caption (empty: "Import"); startFolder shown first.
    CFilesFoldersDlg(const wxString& buttonText, const wxString& startFolder, const wxString& prompt,
                     wxWindow* parent);

    // IDOK (1) after Import, IDCANCEL (2) otherwise; the paths are empty unless Import ended it.
    int DoModal();
    const wxArrayString& Paths() const { return paths_; }

    wxGenericDirCtrl* Tree() const { return tree_; }
    wxTextCtrl* NameField() const { return name_; }
    wxButton* ImportButton() const { return import_; }

private:
    void BindEvents();
    void OnImport(wxCommandEvent& event);
    void OnUpdateImport(wxUpdateUIEvent& event);
    wxString CurrentFolder() const;

    wxGenericDirCtrl* tree_;
    wxTextCtrl* name_;
    wxButton* import_;
    wxArrayString paths_;
};
