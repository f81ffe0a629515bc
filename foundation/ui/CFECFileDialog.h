// The file dialog that opens and saves catalogs and other files: the desktop's own chooser,
// any number of files picked at once, and filters offered in both letter cases.
#pragma once

#include <wx/arrstr.h>
#include <wx/string.h>

#include <functional>
#include <string>

class wxWindow;

class CFECFileDialog {
public:
    // filter in the program's "description|patterns|" form; multiple: several files at once.
    CFECFileDialog(bool open, const wxString& defaultExtension, const wxString& fileName, bool multiple,
                   const std::string& filter, wxWindow* parent, const wxString& prompt = wxString());

    // IDOK (1) or IDCANCEL (2).
    int DoModal();
    const wxArrayString& Paths() const { return paths_; }

    // Shows the chooser; wxID_OK with the chosen paths. The desktop's own unless replaced (GTK
    // fills in the choice only when a person accepts it, so tests answer in its place).
    using Chooser = std::function<int(wxWindow* parent, const wxString& prompt, const wxString& folder,
                                      const wxString& name, const wxString& wildcard, long style,
                                      wxArrayString* chosen)>;
    void SetChooser(Chooser chooser) { chooser_ = std::move(chooser); }
    static int NativeChooser(wxWindow* parent, const wxString& prompt, const wxString& folder, const wxString& name,
                             const wxString& wildcard, long style, wxArrayString* chosen);

private:
    Chooser chooser_ = &CFECFileDialog::NativeChooser;
    bool open_;
    bool multiple_;
    wxString defaultExtension_, fileName_, prompt_;
    std::string filter_;
    wxWindow* parent_;
    wxArrayString paths_;
};
