#include "foundation/ui/CFECFileDialog.h"

#include "foundation/ui/DialogBuilder.h"
#include "foundation/ui/FileDialogFilter.h"
#include "foundation/ui/UiText.h"

#include <wx/filedlg.h>
#include <wx/filename.h>

CFECFileDialog::CFECFileDialog(bool open, const wxString& defaultExtension, const wxString& fileName,
                               bool multiple, const std::string& filter, wxWindow* parent, const wxString& prompt)
    : open_(open),
      multiple_(multiple),
      defaultExtension_(defaultExtension),
      fileName_(fileName),
      prompt_(prompt),
      filter_(filter),
      parent_(parent) {}

int CFECFileDialog::DoModal() {
    paths_.clear();
    long style = open_ ? wxFD_OPEN | wxFD_FILE_MUST_EXIST : wxFD_SAVE | wxFD_OVERWRITE_PROMPT;
    if (open_ && multiple_) style |= wxFD_MULTIPLE;
    wxFileName name(fileName_);
    const wxString wildcard =
        filter_.empty() ? wxString(wxFileSelectorDefaultWildcardStr) : WxFromUtf8(FilterForGtk(filter_));
    wxArrayString chosen;
    if (chooser_(parent_, prompt_, name.GetPath(), name.GetFullName(), wildcard, style, &chosen) != wxID_OK)
        return IDCANCEL;
    for (wxString path : chosen) {
        if (path.empty()) continue;
        if (!open_ && !defaultExtension_.empty() && wxFileName(path).GetExt().empty()) path += "." + defaultExtension_;
        paths_.Add(path);
    }
    return paths_.empty() ? IDCANCEL : IDOK;
}

int CFECFileDialog::NativeChooser(wxWindow* parent, const wxString& prompt, const wxString& folder,
                                  const wxString& name, const wxString& wildcard, long style, wxArrayString* chosen) {
    wxFileDialog dialog(parent, prompt, folder, name, wildcard, style);
    const int result = dialog.ShowModal();
    if (result != wxID_OK) return result;
    if (style & wxFD_MULTIPLE)
        dialog.GetPaths(*chosen);
    else
        chosen->Add(dialog.GetPath());
    return result;
}
