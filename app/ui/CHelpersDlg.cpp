#include "app/ui/CHelpersDlg.h"

#include "app/helpers/HelperApplications.h"
#include "app/ui/CLabelMenu.h"
#include "foundation/ui/UiText.h"

#include <unistd.h>
#include <wx/button.h>
#include <wx/filedlg.h>
#include <wx/imaglist.h>
#include <wx/listctrl.h>
#include <wx/utils.h>

#include <filesystem>

namespace {

bool DesktopProgramChooser(wxWindow* owner, wxString* program) {
    wxFileDialog dialog(owner, LoadUiString(63403), wxString(), wxString(), "All files (*)|*",
                        wxFD_OPEN | wxFD_FILE_MUST_EXIST);
    if (dialog.ShowModal() != wxID_OK) return false;
    *program = dialog.GetPath();
    return true;
}

}  // namespace

CHelpersDlg::CHelpersDlg(wxWindow* parent) : CLyrexDialog(223, parent, IDOK, 0) { BindEvents(); }

CHelpersDlg::ProgramChooser& CHelpersDlg::Chooser() {
    static ProgramChooser chooser = DesktopProgramChooser;
    return chooser;
}

void CHelpersDlg::BindEvents() {
    Bind(wxEVT_BUTTON, &CHelpersDlg::OnRemove, this, kRemove);
    Bind(wxEVT_BUTTON, &CHelpersDlg::OnAdd, this, kAdd);
    Bind(wxEVT_LIST_ITEM_SELECTED, &CHelpersDlg::OnSelectionChanged, this, kList);
    Bind(wxEVT_LIST_ITEM_DESELECTED, &CHelpersDlg::OnSelectionChanged, this, kList);
}

bool CHelpersDlg::OnInitDialog() {
    CLyrexDialog::OnInitDialog();
    if (auto* list = Controls().Get<wxListCtrl>(kList)) list->InsertColumn(0, wxString());
    FillList();
    UpdateButtons();
    return true;
}

void CHelpersDlg::FillList() {
    auto* list = Controls().Get<wxListCtrl>(kList);
    if (!list) return;
    list->DeleteAllItems();
    auto* images = new wxImageList(16, 16, true, 8);
    const HelperList& helpers = Helpers();
    for (std::size_t i = 0; i < helpers.Size() && i < kMaxHelperItems; ++i) {
        const wxBitmap icon = HelperIcon(*helpers.At(i));
        const int image = icon.IsOk() ? images->Add(icon) : -1;
        list->InsertItem(long(i), WxFromUtf8(helpers.At(i)->GetName()), image);
    }
    list->AssignImageList(images, wxIMAGE_LIST_SMALL);
    list->SetColumnWidth(0, std::max(list->GetClientSize().x, 100));
}

void CHelpersDlg::UpdateButtons() {
    auto* list = Controls().Get<wxListCtrl>(kList);
    if (auto* remove = Controls().Get<wxButton>(kRemove)) remove->Enable(list && list->GetSelectedItemCount() > 0);
    if (auto* add = Controls().Get<wxButton>(kAdd)) add->Enable(Helpers().Size() < kMaxHelperItems);
}

void CHelpersDlg::OnSelectionChanged(wxListEvent&) { UpdateButtons(); }

void CHelpersDlg::OnAdd(wxCommandEvent&) {
    if (Helpers().Size() >= kMaxHelperItems) return;
    wxString chosen;
    if (!Chooser()(this, &chosen)) return;
    const std::string program = Utf8FromWx(chosen);
    // Only a program can be a helper: a file without the right to run it is refused.
    if (!std::filesystem::is_regular_file(program) || access(program.c_str(), X_OK) != 0) {
        wxBell();
        return;
    }
    const std::string name = GetHelperDisplayName(program);
    const std::string file = CreateHelperFile(program, name, HelperFolder());
    if (file.empty()) {
        wxBell();
        return;
    }
    Helpers().AddHelper(file, program, name);
    FillList();
    UpdateButtons();
}

void CHelpersDlg::OnRemove(wxCommandEvent&) {
    auto* list = Controls().Get<wxListCtrl>(kList);
    if (!list) return;
    long last = -1;
    for (long i = list->GetNextItem(-1, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED); i != -1;
         i = list->GetNextItem(i, wxLIST_NEXT_ALL, wxLIST_STATE_SELECTED))
        last = i;
    const HelperEntry* helper = last >= 0 ? Helpers().At(std::size_t(last)) : nullptr;
    if (!helper) return;
    std::error_code ec;
    std::filesystem::remove(helper->file, ec);
    Helpers().RemoveHelper(std::size_t(last));
    FillList();
    UpdateButtons();
}
