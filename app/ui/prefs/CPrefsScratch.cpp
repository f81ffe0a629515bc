#include "app/ui/prefs/CPrefsScratch.h"

#include "app/ShellSettings.h"
#include "foundation/ui/UiText.h"

#include <wx/button.h>
#include <wx/control.h>
#include <wx/stattext.h>

CPrefsScratch::CPrefsScratch(PreferencesRec* prefs, std::string* scratchFolder)
    : PreferencesPage(184, prefs), scratchFolder_(scratchFolder), folder_(*scratchFolder) {
    const wxString prompt = LoadUiString(13809);
    browser_.SetTitle(&prompt);
}

void CPrefsScratch::ToControls() {
    if (auto* b = Controls().Get<wxButton>(1112)) b->Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Choose(); });
    ShowFolder();
}

void CPrefsScratch::ShowFolder() {
    if (auto* t = Controls().Get<wxStaticText>(1113)) {
        t->SetWindowStyleFlag(t->GetWindowStyleFlag() | wxST_ELLIPSIZE_MIDDLE);
        t->SetLabel(WxFromUtf8(folder_));
        t->SetToolTip(WxFromUtf8(folder_));
    }
}

void CPrefsScratch::Choose() {
    char path[kFolderPathCapacity] = {};
    if (folder_.size() < sizeof path) folder_.copy(path, folder_.size());
    if (browser_.Browse(this, path) != 2) return;
    folder_ = path;
    ShowFolder();
}

void CPrefsScratch::OnApply() {
    if (folder_.empty() || folder_ == *scratchFolder_) return;
    *scratchFolder_ = folder_;
    SaveScratchFolder(folder_);
}
