#include "app/ui/CCrashDialog.h"

#include "catalog/fields/FieldDef.h"
#include "foundation/files/FileMoves.h"
#include "foundation/ui/UiText.h"
#include "media/kinds/KindTable.h"
#include "platform/Files.h"

#include <wx/artprov.h>
#include <wx/button.h>
#include <wx/filename.h>
#include <wx/sizer.h>
#include <wx/statbmp.h>
#include <wx/stattext.h>
#include <wx/utils.h>

namespace {

wxString FullPath(const FSSpec& spec) {
    char buffer[4096];
    return FSSpecToNativePathName(&spec, buffer, sizeof buffer, kFullNativePath) == noErr ? wxString::FromUTF8(buffer)
                                                                                          : wxString();
}

}  // namespace

wxString CCrashDialog::ProblemText(const wxString& templ, const wxString& category) {
    const int colon = templ.Find(':');
    wxString text = colon == wxNOT_FOUND ? templ : templ.Left(colon + 1);
    text.Replace("^0", category);
    return text;
}

CCrashDialog::CCrashDialog(const MediaFileRec& file, wxWindow* parent)
    : wxDialog(parent, 273, LoadUiString(61201)), file_(file) {
    Str255 category = {0};
    MediaCategoryName(KindGetCategory(file.type), category);
    const wxString path = FullPath(file.spec);
    wxString advice = LoadUiString(61203);
    advice.Replace("^1", wxFileName(path).GetFullName());

    auto* top = new wxBoxSizer(wxVERTICAL);
    auto* row = new wxBoxSizer(wxHORIZONTAL);
    row->Add(new wxStaticBitmap(this, 1072, wxArtProvider::GetBitmap(wxART_WARNING, wxART_MESSAGE_BOX)), 0, wxALL, 10);
    auto* texts = new wxBoxSizer(wxVERTICAL);
    texts->Add(new wxStaticText(this, 1232, ProblemText(LoadUiString(61202), WxFromPStr(category))), 0, wxBOTTOM, 6);
    auto* pathText = new wxStaticText(this, 1231, path, wxDefaultPosition, wxDefaultSize, wxST_ELLIPSIZE_MIDDLE);
    pathText->SetMaxSize(wxSize(480, -1));
    texts->Add(pathText, 0, wxEXPAND | wxBOTTOM, 6);
    texts->Add(new wxStaticText(this, 1233, advice), 0);
    row->Add(texts, 1, wxALL | wxEXPAND, 10);
    top->Add(row, 1, wxEXPAND);
    auto* buttons = new wxBoxSizer(wxHORIZONTAL);
    buttons->Add(new wxButton(this, kShowMediaFile, LoadUiString(61204)), 0, wxRIGHT, 6);
    buttons->Add(new wxButton(this, kMoveToTrash, LoadUiString(61205)), 0, wxRIGHT, 6);
    buttons->AddStretchSpacer();
    buttons->Add(new wxButton(this, wxID_OK, "OK"), 0);
    top->Add(buttons, 0, wxEXPAND | wxALL, 10);
    SetSizerAndFit(top);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent& e) { EndModal(e.GetId()); });
}

int CCrashDialog::DoModal() {
    const int answer = ShowModal();
    if (answer == kShowMediaFile) {
        // The file manager opens the file's folder.
        wxLaunchDefaultApplication(wxString::FromUTF8(FSSpecFolderPath(file_.spec).c_str()));
        return kShowMediaFile;
    }
    if (answer == kMoveToTrash) {
        ShellFileOpA(&file_.spec);
        return kMoveToTrash;
    }
    return 1;
}
