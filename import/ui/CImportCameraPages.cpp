#include "import/ui/CImportCameraPages.h"

#include "foundation/ui/UiText.h"

#include <wx/checkbox.h>
#include <wx/dcclient.h>
#include <wx/stattext.h>
#include <wx/textctrl.h>

CameraImportOptions CImportCameraOptions::Choices() const {
    auto ticked = [this](int id) {
        wxCheckBox* box = Box(id);
        return box && box->GetValue();
    };
    CameraImportOptions options;
    options.lock = ticked(kLockId);
    options.skipSameName = ticked(kSkipId);
    options.deleteFromCamera = ticked(kDeleteId);
    options.setCaptureDate = ticked(kDateId);
    return options;
}

wxCheckBox* CImportCameraOptions::Box(int id) const { return Controls().Get<wxCheckBox>(id); }

void CImportCameraOptions::ShowFolder(const std::string& folder) {
    auto* text = Controls().Get<wxStaticText>(kFolderTextId);
    if (!text) return;
    const wxString full = WxFromUtf8(folder);
    wxClientDC dc(text);
    const int width = std::max(text->GetSize().x, text->GetMinSize().x);
    text->SetLabel(wxControl::Ellipsize(full, dc, wxELLIPSIZE_MIDDLE, width > 0 ? width : 300));
    text->SetToolTip(full);
}

wxString CImportCameraOptions::FolderText() const {
    auto* text = Controls().Get<wxStaticText>(kFolderTextId);
    return text ? text->GetLabel() : wxString();
}

CameraAnnotations CImportCameraAnnotations::Texts() const {
    auto text = [this](int id) {
        auto* edit = Controls().Get<wxTextCtrl>(id);
        return edit ? Utf8FromWx(edit->GetValue()) : std::string();
    };
    CameraAnnotations a;
    a.author = text(kAuthorId);
    a.credit = text(kCreditId);
    a.source = text(kSourceId);
    a.copyright = text(kCopyrightId);
    a.status = text(kStatusId);
    a.instructions = text(kInstructionsId);
    return a;
}

void CImportCameraAnnotations::SetText(int id, const wxString& text) {
    if (auto* edit = Controls().Get<wxTextCtrl>(id)) edit->ChangeValue(text);
}
