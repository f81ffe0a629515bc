#include "app/ui/CQuantaroApp.h"

#include "app/UpdateCheck.h"
#include "app/helpers/HelperApplications.h"
#include "app/ui/find/CheckForUpdates.h"

#include "app/ui/CCrashDialog.h"
#include "app/ui/CMainFrame.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/commands/FileActionCommands.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/AppProgress.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/CommandIds.h"
#include "foundation/ui/UiText.h"
#include "foundation/ui/WxUiHooks.h"
#include "import/ui/ImportProgress.h"
#include "output/slideshow/SlideShowMachine.h"
#include "platform/Files.h"
#include "platform/ui/WxTimerService.h"
#include "window/grid/GridImport.h"
#include "window/ui/CGridView.h"
#include "window/ui/PanelHost.h"
#include "window/view/ViewDrawing.h"

#include <gio/gio.h>
#include <sys/stat.h>
#include <wx/evtloop.h>
#include <wx/filename.h>
#include <wx/image.h>
#include <wx/msgdlg.h>

wxIMPLEMENT_APP_NO_MAIN(CQuantaroApp);

namespace {

std::unique_ptr<InstanceServer> gStartServer;
std::vector<std::string> gStartArguments;

constexpr int kOpenRecentPosition = 2;   // File > Open Recent
constexpr int kCatalogFinder = 33178;
constexpr int kClearRecent = 33014;

bool FileExists(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0;
}

std::string CatalogPath(CatalogRec* catalog) {
    if (!catalog || catalog->fileSpec.path.empty()) return {};
    return catalog->fileSpec.path;
}

void OnMountChanged(GVolumeMonitor*, GMount*, gpointer) {
    // A disk came or went: every open catalog looks at its volumes again.
    for (CMultiFrameWnd* f : GetApp().Frames().All()) {
        if (auto* frame = dynamic_cast<CMainFrame*>(f); frame && frame->GetCatalog()) {
            CatalogRefreshVolumes(frame->GetCatalog());
            frame->GetGridView()->RedrawAll();
        }
    }
}

}  // namespace

CQuantaroApp& GetApp() { return wxGetApp(); }

void CQuantaroApp::SetStartArguments(std::unique_ptr<InstanceServer> server, std::vector<std::string> arguments) {
    gStartServer = std::move(server);
    gStartArguments = std::move(arguments);
}

CQuantaroApp::CQuantaroApp() {
    SetAppName("lyrex-ondrel");
    instanceTimer_.Bind(wxEVT_TIMER, &CQuantaroApp::OnInstanceTimer, this);
}
CQuantaroApp::~CQuantaroApp() = default;

bool CQuantaroApp::OnInit() {
    server_ = std::move(gStartServer);
    return InitInstance(gStartArguments);
}

int CQuantaroApp::OnExit() {
    ExitInstance();
    return CMultiFrameApp::OnExit();
}

bool CQuantaroApp::InitInstance(const std::vector<std::string>& arguments) {
    arguments_ = arguments;
    state_ = ShellState();
    active_ = nullptr;
    SetAppDisplayName(LoadUiString(73));
    wxInitAllImageHandlers();
    timers_ = std::make_unique<WxTimerService>();
    SetTimerService(timers_.get());
    progress_ = std::make_unique<AppProgress>();
    hooks_ = std::make_unique<WxUiHooks>(progress_.get());
    SetUiHooks(hooks_.get());
    // Hand-overs are read from now on and wait in the queue until the first frame shows.
    if (server_) instanceTimer_.Start(100);

    StartupReports reports;
    reports.incompleteInstallation = [] {
        wxMessageBox(LoadUiString(60063), LoadUiString(73), wxOK | wxICON_ERROR);
    };
    reports.missingImporters = [] { ShowAlertSimple(0, 56, 0, 1, 2, 0); };
    reports.crashedImport = [](const MediaFileRec& file) {
        CCrashDialog dialog(file, nullptr);
        dialog.DoModal();
    };
    if (RunShellStartup(&state_, reports) != StartupStop::kNone) return false;
    accelerators_ = BuildAcceleratorTable(459);
    LoadHelperApplications();
    SlideShowInit();
    // Every import a catalog window runs shows the Importing window.
    SetGridImportStep(ImportWindowProgress);
    // Items dropped on a folder of the side panel move there as Move to Folder moves them.
    SetPanelFolderMove([](wxWindow* from, const std::string& folder) {
        if (auto* frame = dynamic_cast<CMainFrame*>(wxGetTopLevelParent(from))) MoveSelectionIntoFolder(frame, folder);
    });
    StartVolumeMonitor();

    CMainFrame* first = NewFrame(false);
    if (!first) return false;
    BuildRecentMenu();
    const CommandLineRequest request = ClassifyArguments(arguments_);
    bool opened = false;
    if (request.kind == CommandLineRequest::kOpenCatalog && FileExists(request.paths.front())) {
        opened = OpenCatalogInFrame(first, request.paths.front());
    } else if (request.kind == CommandLineRequest::kAddMedia) {
        ImportCommandLineFiles(request.paths, first);
    }
    if (!opened && GetPreferences()->startupAction == 3 && FileExists(state_.lastCatalog)) {
        OpenCatalogInFrame(first, state_.lastCatalog);
    }
    first->Show();
    ActivateFrame(first, true);
    state_.started = true;
    RunQueuedHandOvers();
    // Once the window is up, so a slow server never holds the start back.
    if (UpdateCheckAtStartup()) CallAfter([] { CheckForUpdates(true); });
    return true;
}

void CQuantaroApp::ExitInstance() {
    SlideShowTerm();
    instanceTimer_.Stop();
    StopVolumeMonitor();
    RunShellExit(&state_);
    Helpers().Clear();
    server_.reset();
    handOvers_.clear();
    SetUiHooks(nullptr);
    hooks_.reset();
    progress_.reset();
    SetTimerService(nullptr);
    timers_.reset();
}

void CQuantaroApp::OnFrameClosed(CMainFrame* frame) {
    HandOverMainWindow(frame);
    FindScopeFrameClosed(&state_.findScope, UInt32(frame->Serial()));
    if (active_ == frame) active_ = dynamic_cast<CMainFrame*>(Frames().Main() != frame ? Frames().Main() : nullptr);
}

CMainFrame* CQuantaroApp::NewFrame(bool show) {
    CMainFrame* frame = CMainFrame::CreateFrameWindow();
    if (!frame) return nullptr;
    frame->InitNewFrame();
    if (show) ActivateFrame(frame, true);
    return frame;
}

CMainFrame* CQuantaroApp::FindFrameForCatalog(const std::string& path) const {
    for (CMultiFrameWnd* f : Frames().All()) {
        auto* frame = dynamic_cast<CMainFrame*>(f);
        if (frame && !path.empty() && CatalogPath(frame->GetCatalog()) == path) return frame;
    }
    return nullptr;
}

bool CQuantaroApp::ActivateFrameForPath(const std::string& path) {
    FSSpec spec;
    if (FSMakeFSSpecFromPath(path, &spec) != noErr) return false;
    CMainFrame* frame = FindFrameForCatalog(spec.path);
    if (!frame) return false;
    ActivateFrame(frame, false);
    state_.lastCatalog = spec.path;
    return true;
}

bool CQuantaroApp::OpenCatalogInFrame(CMainFrame* frame, const std::string& path) {
    FSSpec spec;
    const bool shown = FSMakeFSSpecFromPath(path, &spec) == noErr && FindFrameForCatalog(spec.path);
    CatalogRec* catalog = frame ? frame->GetCatalog() : nullptr;
    const OpenPlace place = DecideOpenPlace(shown, FileExists(path), catalog && catalog->fileSpec.path.empty(),
                                            catalog ? catalog->itemCount : 1);
    CMainFrame* target = frame;
    switch (place) {
    case OpenPlace::kShowExistingFrame: ActivateFrameForPath(path); return true;
    case OpenPlace::kNothing: return true;
    case OpenPlace::kThisFrame:
        if (!frame->LoadCatalog(path)) return false;
        break;
    case OpenPlace::kNewFrame:
        target = CMainFrame::CreateFrameWindow();
        if (!target) return false;
        if (!target->LoadCatalog(path)) {
            target->Destroy();
            return false;
        }
        break;
    }
    target->UpdateTitle();
    ActivateFrame(target, true);
    if (frame && frame->GetViewRec()) ViewScrollTo(frame->GetViewRec(), 0, -1);
    return true;
}

CMainFrame* CQuantaroApp::ProcessForeignCommandLine(const std::vector<std::string>& arguments) {
    CMainFrame* frame = active_;
    if (!frame) frame = NewFrame(true);
    if (!frame) return nullptr;
    const CommandLineRequest request = ClassifyArguments(arguments);
    if (request.kind == CommandLineRequest::kOpenCatalog) {
        OpenCatalogInFrame(frame, request.paths.front());
        return frame;
    }
    if (request.kind == CommandLineRequest::kAddMedia) ImportCommandLineFiles(request.paths, frame);
    frame->UpdateTitle();
    ActivateFrame(frame, true);
    return frame;
}

void CQuantaroApp::ImportCommandLineFiles(const std::vector<std::string>& paths, CMainFrame* frame) {
    CatalogRec* catalog = frame->GetCatalog();
    FSSpec spec;
    // One file or folder given to a catalog that holds nothing takes that name.
    if (catalog && paths.size() == 1 && catalog->itemCount == 0 && FSMakeFSSpecFromPath(paths.front(), &spec) == noErr)
        CatalogSetDisplayName(catalog, &spec);
    frame->AddFiles(paths);
}

void CQuantaroApp::AddRecentFile(const std::string& path) {
    if (state_.recent.Add(path)) BuildRecentMenu();
}

void CQuantaroApp::BuildRecentMenu() {
    const std::vector<std::string> kept = state_.recent.KeepExisting();
    for (CMultiFrameWnd* f : Frames().All()) {
        wxMenuBar* bar = f->GetMenuBar();
        if (!bar || bar->GetMenuCount() == 0) continue;
        wxMenuItem* holder = bar->GetMenu(0)->FindItemByPosition(kOpenRecentPosition);
        wxMenu* menu = holder ? holder->GetSubMenu() : nullptr;
        if (!menu) continue;
        while (menu->GetMenuItemCount() > 0) menu->Destroy(menu->FindItemByPosition(0));
        menu->Append(WxIdOf(kCatalogFinder), LoadUiString(60016));
        if (kept.empty()) continue;
        menu->AppendSeparator();
        for (std::size_t i = 0; i < kept.size(); ++i) {
            wxString title = wxFileName(wxString::FromUTF8(kept[i].c_str())).GetName().Left(255);
            // A "&" in a file name is a letter, not a mnemonic.
            title.Replace("&", "&&");
            menu->Append(WxIdOf(kFirstRecentCommand + int(i)), title);
        }
        menu->AppendSeparator();
        menu->Append(WxIdOf(kClearRecent), LoadUiString(100));
    }
}

void CQuantaroApp::OnInstanceTimer(wxTimerEvent&) {
    if (!server_) return;
    for (auto& list : server_->Receive()) handOvers_.push_back(std::move(list));
    RunQueuedHandOvers();
}

void CQuantaroApp::RunQueuedHandOvers() {
    if (!state_.started) return;
    // Never from inside a dialog's loop or an import's event pumping: a hand-over may replace the
    // catalog those are working on. It waits in the queue for the main loop.
    wxEventLoopBase* loop = wxEventLoopBase::GetActive();
    if (loop && (loop != GetMainLoop() || loop->IsYielding())) return;
    for (CMultiFrameWnd* f : Frames().All()) {
        if (auto* frame = dynamic_cast<CMainFrame*>(f); frame && frame->IsBusy()) return;
    }
    while (!handOvers_.empty()) {
        const std::vector<std::string> arguments = std::move(handOvers_.front());
        handOvers_.pop_front();
        ProcessForeignCommandLine(arguments);
    }
}

void CQuantaroApp::StartVolumeMonitor() {
    volumeMonitor_ = g_volume_monitor_get();
    volumeSignals_[0] = g_signal_connect(volumeMonitor_, "mount-added", G_CALLBACK(OnMountChanged), nullptr);
    volumeSignals_[1] = g_signal_connect(volumeMonitor_, "mount-removed", G_CALLBACK(OnMountChanged), nullptr);
}

void CQuantaroApp::StopVolumeMonitor() {
    if (!volumeMonitor_) return;
    for (unsigned long& id : volumeSignals_) {
        if (id) g_signal_handler_disconnect(volumeMonitor_, id);
        id = 0;
    }
    g_object_unref(volumeMonitor_);
    volumeMonitor_ = nullptr;
}
