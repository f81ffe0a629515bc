#include "import/ui/CImportFromCamera.h"

#include "catalog/tables/CatalogTables.h"
#include "foundation/ui/AlertText.h"
#include "foundation/ui/CFolderBrowser.h"
#include "foundation/ui/UiText.h"
#include "import/ui/CImportCameraPages.h"
#include "platform/Files.h"
#include "platform/UiHooks.h"

#include <wx/bookctrl.h>
#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/choice.h>
#include <wx/msgdlg.h>
#include <wx/sizer.h>
#include <wx/stattext.h>
#include <wx/stdpaths.h>

#include <filesystem>

namespace {

constexpr UInt16 kCaptionId = 61701;

std::string StoredCameraFolder(CatalogRec* catalog) {
    FSSpec spec;
    if (!catalog || CatalogGetFolderRef(catalog, kFolderRefCamera, &spec) != noErr || spec.path.empty()) return {};
    std::error_code ec;
    return std::filesystem::is_directory(spec.path, ec) ? spec.path : std::string();
}

}  // namespace

wxString CameraBusyText(const CameraDevice& device) {
    const std::string model = device.model;
    return WxFromUtf8(SubstitutePlaceholders(Utf8FromWx(LoadUiString(61804)), {&model, nullptr, nullptr, nullptr}));
}

std::string DefaultCameraFolder() {
    std::string folder = Utf8FromWx(wxStandardPaths::Get().GetUserDir(wxStandardPaths::Dir_Pictures));
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    return folder;
}

CImportFromCamera::CImportFromCamera(CatalogRec* catalog, CameraSource& source, wxWindow* parent)
    : CLyrexPropertySheet(kCaptionId, parent), catalog_(catalog), source_(source), poll_(this) {
    options_ = new CImportCameraOptions;
    annotations_ = new CImportCameraAnnotations;
    AddPage(options_, LoadUiString(61702));
    AddPage(annotations_, LoadUiString(61703));
    BuildCameraBand();
    busyReport_ = [this](const CameraDevice& device) {
        wxMessageBox(CameraBusyText(device), LoadUiString(kCaptionId), wxOK | wxICON_WARNING, this);
    };
    folder_ = StoredCameraFolder(catalog_);
    if (folder_.empty()) folder_ = DefaultCameraFolder();
    options_->ShowFolder(folder_);
    LayoutDialog();
    BindEvents();
    RefreshCameras();
    poll_.Start(kPollMs);
}

CImportFromCamera::~CImportFromCamera() { poll_.Stop(); }

void CImportFromCamera::BuildCameraBand() {
    // The camera list and the count sit in a band of their own between the pages and the
    // buttons, so they stay in view whichever page is shown.
    auto* band = new wxBoxSizer(wxHORIZONTAL);
    band->Add(new wxStaticText(this, wxID_ANY, LoadUiString(61719)), 0, wxALIGN_CENTER_VERTICAL | wxRIGHT, 6);
    cameraList_ = new wxChoice(this, kCameraListId);
    cameraList_->SetMinSize(wxSize(220, -1));
    band->Add(cameraList_, 1, wxALIGN_CENTER_VERTICAL | wxRIGHT, 12);
    countLabel_ = new wxStaticText(this, kCountLabelId, LoadUiString(61704) + "0");
    band->Add(countLabel_, 0, wxALIGN_CENTER_VERTICAL);
    GetInnerSizer()->Insert(1, band, 0, wxEXPAND | wxLEFT | wxRIGHT | wxTOP, 8);
}

void CImportFromCamera::BindEvents() {
    Bind(wxEVT_TIMER, [this](wxTimerEvent&) { RefreshCameras(); });
    cameraList_->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { SelectCamera(e.GetSelection()); });
    if (wxCheckBox* skip = options_->Box(CImportCameraOptions::kSkipId))
        skip->Bind(wxEVT_CHECKBOX, [this](wxCommandEvent&) { Recount(); });
    if (wxWindow* button = options_->FindWindow(CImportCameraOptions::kFolderButtonId))
        button->Bind(wxEVT_BUTTON, &CImportFromCamera::OnChooseFolder, this);
}

void CImportFromCamera::RefreshCameras() {
    std::vector<CameraDevice> found = source_.Detect();
    if (found == cameras_ && cameraList_->GetCount() > 0) return;
    const std::optional<CameraDevice> was = SelectedCamera();
    cameras_ = std::move(found);
    cameraList_->Clear();
    selected_ = -1;
    if (cameras_.empty()) {
        cameraList_->Append(LoadUiString(61705));
        cameraList_->SetSelection(0);
        source_.Close();
        chosen_.clear();
        ShowCount();
        return;
    }
    int keep = 0;
    for (size_t i = 0; i < cameras_.size(); ++i) {
        cameraList_->Append(WxFromUtf8(cameras_[i].model));
        if (was && cameras_[i] == *was) keep = int(i);
    }
    SelectCamera(keep);
}

void CImportFromCamera::SelectCamera(int index) {
    if (index < 0 || index >= int(cameras_.size())) return;
    selected_ = index;
    cameraList_->SetSelection(index);
    Recount();
}

std::optional<CameraDevice> CImportFromCamera::SelectedCamera() const {
    if (selected_ < 0 || selected_ >= int(cameras_.size())) return std::nullopt;
    return cameras_[size_t(selected_)];
}

void CImportFromCamera::Recount() {
    chosen_.clear();
    if (const std::optional<CameraDevice> device = SelectedCamera()) {
        const OSErr err = source_.Open(*device);
        std::vector<CameraItem> items;
        if (err == noErr && source_.ListItems(&items) == noErr) chosen_ = CameraItemsToDownload(items, Options());
        if (err == kCameraBusyErr && busyReport_) busyReport_(*device);
    }
    ShowCount();
}

void CImportFromCamera::ShowCount() {
    countLabel_->SetLabel(LoadUiString(61704) + wxString::Format("%d", ItemCount()));
    if (wxWindow* ok = FindWindow(wxID_OK)) ok->Enable(ItemCount() != 0);
    Layout();
}

void CImportFromCamera::SetFolder(const std::string& folder) {
    folder_ = folder;
    options_->ShowFolder(folder_);
    FSSpec spec;
    if (catalog_ && FSMakeFSSpecFromPath(folder_, &spec) == noErr) CatalogSetFolderRef(catalog_, kFolderRefCamera, &spec);
    Recount();
}

void CImportFromCamera::OnChooseFolder(wxCommandEvent&) {
    wxString chosen;
    if (CFolderBrowser::NativeChooser(this, LoadUiString(61805), WxFromUtf8(folder_), &chosen) == wxID_OK)
        SetFolder(Utf8FromWx(chosen));
}

CameraImportOptions CImportFromCamera::Options() const {
    CameraImportOptions options = options_->Choices();
    options.folder = folder_;
    return options;
}

CameraAnnotations CImportFromCamera::Annotations() const { return annotations_->Texts(); }

int ImportFromCameraCommand(CatalogRec* catalog, wxWindow* parent, CameraSource& source) {
    if (!catalog) return 0;
    const wxString caption = LoadUiString(kCaptionId);
    std::optional<CameraDevice> device;
    std::vector<CameraItem> items;
    CameraImportOptions options;
    CameraAnnotations annotations;
    {
        CImportFromCamera sheet(catalog, source, parent);
        if (!sheet.HasCameras()) {
            wxMessageBox(LoadUiString(61706), caption, wxOK | wxICON_ERROR, parent);
            return 0;
        }
        if (sheet.DoModal() != IDOK) {
            source.Close();
            return 0;
        }
        device = sheet.SelectedCamera();
        items = sheet.ChosenItems();
        options = sheet.Options();
        annotations = sheet.Annotations();
    }
    if (!device || items.empty()) return 0;
    const OSErr opened = source.Open(*device);
    if (opened != noErr) {
        wxMessageBox(opened == kCameraBusyErr ? CameraBusyText(*device) : LoadUiString(61802), caption,
                     wxOK | wxICON_ERROR, parent);
        return 0;
    }

    UiHooks& hooks = GetUiHooks();
    hooks.ProgressOpen(0, long(items.size()), Utf8FromWx(caption));
    CameraImportCallbacks callbacks;
    bool cancelled = false;
    callbacks.starting = [&](const std::string& name, int number, int count) {
        const std::string n = std::to_string(number), total = std::to_string(count);
        const std::string text = SubstitutePlaceholders(Utf8FromWx(LoadUiString(61801)), {&name, &n, &total, nullptr});
        const long step = number - 1;
        if (hooks.ProgressUpdate(&step, &text, nullptr, nullptr) == userCanceledErr) cancelled = true;
    };
    callbacks.progress = [&](double fraction) {
        if (hooks.ProgressFraction(1, fraction) == userCanceledErr) cancelled = true;
        return cancelled;
    };
    callbacks.transferFailed = [&](const CameraItem&, OSErr) {
        return wxMessageBox(LoadUiString(61803), caption, wxYES_NO | wxICON_WARNING, parent) == wxYES;
    };
    const CameraImportResult result = CameraImportRun(catalog, source, items, options, annotations, callbacks);
    hooks.ProgressEnd();
    source.Close();
    return result.added;
}
