#include "foundation/ui/CFolderBrowser.h"

#include "foundation/ui/UiText.h"

#include <wx/dirdlg.h>
#include <wx/filename.h>

#include <cstring>

wxString& CFolderBrowser::LastFolder() {
    static wxString last;
    return last;
}

int CFolderBrowser::Browse(wxWindow* owner, char* path) {
    if (!path) return 1;
    bool updatesLast = false;
    if (!*path) {
        updatesLast = true;
        const std::string last = Utf8FromWx(LastFolder());
        if (!last.empty() && last.size() < size_t(kFolderPathCapacity)) std::strcpy(path, last.c_str());
    }
    wxString chosen;
    if (chooser_(owner, prompt_, WxFromUtf8(path), &chosen) != wxID_OK) return 0;
    const std::string utf8 = Utf8FromWx(chosen);
    // A place without a local path (a network location the desktop shows) cannot be used.
    if (chosen.empty() || !wxFileName::DirExists(chosen) || utf8.size() >= size_t(kFolderPathCapacity)) return 1;
    std::strcpy(path, utf8.c_str());
    if (updatesLast) LastFolder() = chosen;
    return 2;
}

int CFolderBrowser::NativeChooser(wxWindow* owner, const wxString& prompt, const wxString& start, wxString* chosen) {
    wxDirDialog dialog(owner, prompt, start, wxDD_DEFAULT_STYLE | wxDD_DIR_MUST_EXIST);
    const int result = dialog.ShowModal();
    if (result == wxID_OK) *chosen = dialog.GetPath();
    return result;
}
