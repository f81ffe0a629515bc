#include "app/ui/dialogs/CFindCatalogDialog.h"

#include "foundation/ui/CDrvListBox.h"
#include "foundation/ui/CPictureStatic.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"

#include <wx/button.h>
#include <wx/listctrl.h>
#include <wx/stattext.h>

namespace {

constexpr int kFindButton = 1434;
const wxString kNone = "--";

}  // namespace

CFindCatalogDialog::CFindCatalogDialog(wxWindow* frame) : CLyrexDialog(354, frame, IDOK, IDCANCEL), timer_(this) {
    volumes_ = Controls().Get<CDrvListBox>(1433);
    list_ = Controls().Get<wxListCtrl>(1436);
    BindEvents();
}

CFindCatalogDialog::~CFindCatalogDialog() {
    StopSearch();
    if (preview_) DisposeHandle(preview_);
}

void CFindCatalogDialog::BindEvents() {
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) {
        if (Searching()) StopSearch(); else StartSearch();
    }, kFindButton);
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { DrainFound(); });
    list_->Bind(wxEVT_LIST_ITEM_SELECTED, [this](wxListEvent& e) { ShowRow(e.GetIndex()); });
    list_->Bind(wxEVT_LIST_ITEM_DESELECTED, [this](wxListEvent&) { ShowRow(-1); });
    list_->Bind(wxEVT_LIST_ITEM_ACTIVATED, [this](wxListEvent&) {
        if (FindWindow(wxID_OK)->IsEnabled()) Finish(wxID_OK);
    });
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_OK); }, wxID_OK);
    Bind(wxEVT_BUTTON, [this](wxCommandEvent&) { Finish(wxID_CANCEL); }, wxID_CANCEL);
}

bool CFindCatalogDialog::OnInitDialog() {
    volumes_->Fill();
    if (volumes_->GetCount() > 0) volumes_->SetSelection(0);
    list_->InsertColumn(0, wxString());
    CatalogSearchResult saved;
    if (LoadCatalogSearchResult(&saved)) {
        for (const FoundCatalog& row : saved.rows) AddRow(row);
        volume_ = saved.volume;
        for (unsigned i = 0; i < volumes_->GetCount(); ++i)
            if (volumes_->MountPath(int(i)) == saved.volume) volumes_->SetSelection(int(i));
    }
    CLyrexDialog::OnInitDialog();
    ClearDetails();
    return true;
}

void CFindCatalogDialog::AddRow(const FoundCatalog& found) {
    rows_.push_back(found);
    list_->InsertItem(list_->GetItemCount(), WxFromUtf8(found.name));
    list_->SetColumnWidth(0, wxLIST_AUTOSIZE);
}

void CFindCatalogDialog::StartSearch(const std::string& root) {
    if (Searching()) return;
    std::string where = root;
    if (where.empty() && volumes_->GetSelection() != wxNOT_FOUND) where = volumes_->MountPath(volumes_->GetSelection());
    if (where.empty()) return;
    volume_ = where;
    list_->DeleteAllItems();
    rows_.clear();
    ClearDetails();
    stop_ = false;
    done_ = false;
    if (auto* b = Controls().Get<wxButton>(kFindButton)) b->SetLabel(LoadUiString(65308));
    // The walk runs beside the dialog; what it finds waits in pending_ for the timer.
    worker_ = std::thread([this, where] {
        SearchForCatalogs(where, [this](const FoundCatalog& f) {
            std::lock_guard<std::mutex> hold(lock_);
            pending_.push_back(f);
        }, stop_);
        done_ = true;
    });
    timer_.Start(100);
}

void CFindCatalogDialog::StopSearch() {
    stop_ = true;
    if (worker_.joinable()) worker_.join();
    if (timer_.IsRunning()) DrainFound();
}

bool CFindCatalogDialog::DrainFound() {
    std::vector<FoundCatalog> found;
    {
        std::lock_guard<std::mutex> hold(lock_);
        found.swap(pending_);
    }
    for (const FoundCatalog& f : found) AddRow(f);
    if (!done_) return false;
    if (worker_.joinable()) worker_.join();
    timer_.Stop();
    searched_ = true;
    if (auto* b = Controls().Get<wxButton>(kFindButton)) b->SetLabel(LoadUiString(65303));
    return true;
}

void CFindCatalogDialog::ClearDetails() {
    for (int id : {1437, 1438, 1439})
        if (auto* t = Controls().Get<wxStaticText>(id)) t->SetLabel(kNone);
    if (auto* picture = Controls().Get<CPictureStatic>(1440)) picture->SetPicture(nullptr);
    if (preview_) DisposeHandle(preview_);
    preview_ = nullptr;
    path_.clear();
    if (wxWindow* ok = FindWindow(wxID_OK)) ok->Enable(false);
}

void CFindCatalogDialog::ShowRow(long row) {
    ClearDetails();
    if (row < 0 || row >= long(rows_.size())) return;
    const FoundCatalog& f = rows_[std::size_t(row)];
    if (auto* t = Controls().Get<wxStaticText>(1438)) t->SetLabel(WxFromUtf8(f.path));
    auto* picture = Controls().Get<CPictureStatic>(1440);
    const wxSize size = picture ? picture->GetClientSize() : wxSize(120, 120);
    CatalogSummary summary;
    if (!ReadCatalogSummary(f.path, SInt16(std::max(size.x, 32)), SInt16(std::max(size.y, 32)), &summary)) {
        // Gone since it was listed, damaged, or closed by a password: nothing to open.
        if (auto* t = Controls().Get<wxStaticText>(1438)) t->SetLabel(kNone);
        return;
    }
    path_ = f.path;
    FindWindow(wxID_OK)->Enable(true);
    if (auto* t = Controls().Get<wxStaticText>(1437))
        t->SetLabel(LoadIndexedUiString(139, 9) + wxString::Format("%d", int(summary.items)) + "\n" +
                    LoadIndexedUiString(139, 10) + WxFromAnsi(summary.savedOn));
    if (auto* t = Controls().Get<wxStaticText>(1439)) t->SetLabel(summary.comments.empty() ? kNone : WxFromAnsi(summary.comments));
    preview_ = summary.preview;
    if (picture) picture->SetPicture(reinterpret_cast<PicHandle>(preview_));
    Layout();
}

void CFindCatalogDialog::SaveResult() {
    if (!searched_) return;
    CatalogSearchResult result;
    result.volume = volume_;
    result.rows = rows_;
    SaveCatalogSearchResult(result);
}

void CFindCatalogDialog::Finish(int code) {
    StopSearch();
    SaveResult();
    if (IsModal()) EndModal(code);
    else SetReturnCode(code);
}
