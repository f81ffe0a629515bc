#include "app/ui/CMainFrame.h"

#include "app/FrameGeometry.h"
#include "app/ShellSettings.h"
#include "app/ui/CLabelMenu.h"
#include "app/ui/CQuantaroApp.h"
#include "app/ui/MenuBuilder.h"
#include "app/ui/commands/CMenuHandler.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/save/CatalogSave.h"
#include "catalog/tables/CatalogTables.h"
#include "catalog/ui/Clxpassword.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/ui/CFilesFoldersDlg.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/CommandIds.h"
#include "foundation/ui/UiText.h"
#include "import/adding/AddFiles.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "window/grid/GridImport.h"
#include "window/ui/CGridContainer.h"
#include "window/ui/CGridView.h"
#include "window/ui/CMediaHeaderBar.h"
#include "window/ui/CMediaStatusBar.h"
#include "window/ui/CMediaToolBar.h"
#include "window/ui/CMyTabCtrl.h"
#include "window/ui/CSidePanel.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewNames.h"
#include "window/view/ViewPlayback.h"

#include <cstdlib>
#include <filesystem>
#include <map>
#include <wx/filedlg.h>
#include <wx/msgdlg.h>
#include <wx/utils.h>

namespace {

constexpr int kFileSave = 57603;
constexpr int kSortHolder = 33199;
constexpr int kOpenWithHolder = 32888;
constexpr int kMoveToTop = 32899;

// Save progress on the status bar: the engine's reference is a serial number of a live frame.
std::map<long, CMainFrame*>& LiveFrames() {
    static std::map<long, CMainFrame*> frames;
    return frames;
}
long gNextFrameSerial = 1;

OSErr SaveProgress(short phase, long current, long total, long refCon) {
    auto it = LiveFrames().find(refCon);
    if (it == LiveFrames().end() || !it->second->GetStatusBarWindow()) return paramErr;
    CMediaStatusBar* bar = it->second->GetStatusBarWindow();
    if (phase == 0) {
        bar->SetBusy(true);
        bar->SetText("0%");
    } else if (phase == 1) {
        bar->SetText(wxString::Format("%d%%", total > 0 ? int(100.0 * current / total) : 0));
        bar->StepBusyIcon();
        wxYieldIfNeeded();
    } else if (phase == 2) {
        bar->SetBusy(false);
    }
    return noErr;
}

std::string SpecPath(const FSSpec& spec) {
    char buffer[4096];
    return FSSpecToNativePathName(&spec, buffer, sizeof buffer, kFullNativePath) == noErr ? std::string(buffer) : std::string();
}

Rect WindowRectOf(const CatalogRec* catalog) {
    const CatalogViewPrefs& p = catalog->viewPrefs;
    return Rect{SInt16(p.windowTop), SInt16(p.windowLeft), SInt16(p.windowBottom), SInt16(p.windowRight)};
}

}  // namespace

CMainFrame* CMainFrame::CreateFrameWindow() {
    CMainFrame* frame = new CMainFrame();
    if (!frame->CreateFrame(LoadUiString(73)) || !frame->OnCreate()) {
        frame->Destroy();
        return nullptr;
    }
    return frame;
}

bool CMainFrame::OnCreate() {
    serial_ = gNextFrameSerial++;
    LiveFrames()[serial_] = this;
    SetId(wxID_ANY);
    SetMinSize(wxSize(500, 300));
    SetName("lyrex-ondrel");
    wxMenuBar* bar = BuildMenuBar(200);
    if (!bar) return false;
    DressMenuBar(bar);
    SetMenuBar(bar);
    statusBar_ = new CMediaStatusBar(this);
    SetStatusBar(statusBar_);
    container_ = new CGridContainer(this);
    toolBar_ = new CMediaToolBar(this);
    SetToolBar(toolBar_);
    SetAcceleratorTable(GetApp().Accelerators());
    // The frame's own folder in the scratch folder holds its catalogs' work files.
    std::string pattern = GetApp().State().scratchFolder + "/LXXXXXX";
    if (!mkdtemp(pattern.data())) return false;
    scratchFolder_ = pattern;
    handler_ = std::make_unique<CMenuHandler>(this);
    container_->GetGridView()->SetChangeListener([this](UINT message) { OnCatalogChanged(message); });
    container_->GetGridView()->SetHost(this);
    BindEvents();
    return true;
}

CMainFrame* CMainFrame::FromSerial(long serial) {
    auto it = LiveFrames().find(serial);
    return it == LiveFrames().end() ? nullptr : it->second;
}

CMainFrame::~CMainFrame() {
    LiveFrames().erase(serial_);
    // The catalog closes before its work file's folder goes.
    if (container_) container_->GetGridView()->ReleaseView();
    if (!scratchFolder_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(scratchFolder_, ec);
    }
    GetApp().OnFrameClosed(this);
}

void CMainFrame::BindEvents() {
    Bind(wxEVT_CLOSE_WINDOW, &CMainFrame::OnClose, this);
    Bind(wxEVT_ACTIVATE, &CMainFrame::OnActivate, this);
    Bind(wxEVT_MENU_OPEN, &CMainFrame::OnMenuOpen, this);
    Bind(wxEVT_TOOL_DROPDOWN, &CMainFrame::OnToolDropDown, this);
    Bind(wxEVT_SET_FOCUS, [this](wxFocusEvent&) { FocusGridView(); });
    container_->GetTabCtrl()->Bind(wxEVT_CHOICE, [this](wxCommandEvent& e) { SetViewMode(e.GetInt()); });
    handler_->Attach();
}

CatalogRec* CMainFrame::GetCatalog() const { return container_ ? container_->GetCatalog() : nullptr; }
CGridView* CMainFrame::GetGridView() const { return container_ ? container_->GetGridView() : nullptr; }
ViewRec* CMainFrame::GetViewRec() const { return GetGridView() ? GetGridView()->GetViewRec() : nullptr; }
CMyTabCtrl* CMainFrame::GetTabCtrl() const { return container_ ? container_->GetTabCtrl() : nullptr; }

void CMainFrame::FocusGridView() {
    if (GetGridView()) GetGridView()->SetFocus();
}

std::string CMainFrame::NextWorkPath() { return scratchFolder_ + "/work-" + std::to_string(++workFiles_); }

void CMainFrame::InitNewFrame() {
    GetGridView()->SetCatalog("", NextWorkPath());
    GetTabCtrl()->SetCurSel(GetCatalog() ? CatalogGetViewMode(GetCatalog()) : 1);
    BuildSortMenu();
    UpdateTitle();
    PlaceFrame(GetApp().GetMainWnd());
    container_->LayoutChildren();
}

bool CMainFrame::LoadCatalog(const std::string& path) {
    const OSErr err = GetGridView()->SetCatalog(path, NextWorkPath());
    if (err != noErr) {
        if (err == -812) {
            Str255 capacity;
            PStrFromWx(wxString::Format("%d", int(CatalogGetCapacity())), capacity);
            ShowAlert(0, 36, 0, 1, 0, 0, capacity);
        } else if (err == memFullErr) {
            ShowAlertSimple(0, 37, 0, 1, 0, 0);
        } else if (err != userCanceledErr) {
            ShowAlertSimple(0, 34, err, 1, 0, 0);
        }
        GetGridView()->SetCatalog("", NextWorkPath());
        UpdateTitle();
        return false;
    }
    CatalogRec* catalog = GetCatalog();
    GetTabCtrl()->SetCurSel(CatalogGetViewMode(catalog));
    UpdateTitle();
    PlaceFrame(nullptr);
    statusBar_->Refresh();
    if (!path.empty()) GetApp().AddRecentFile(path);
    container_->GetSidePanel()->TakeCatalogSettings(catalog);
    container_->UpdateSidePanel();
    BuildSortMenu();
    return true;
}

void CMainFrame::UpdateTitle() {
    CatalogRec* catalog = GetCatalog();
    wxString title;
    if (catalog) {
        Str255 name;
        CatalogGetDisplayName(catalog, name, false);
        title = WxFromPStr(name);
        if (ViewRec* view = GetViewRec(); view && ViewCountFilters(view) > 0) {
            Str255 filter;
            ViewGetFilterText(view, filter);
            if (filter[0]) title += " [" + WxFromPStr(filter) + "]";
        }
    }
    const wxString product = LoadUiString(73);
    if (!product.empty()) title = title.empty() ? product : title + " - " + product;
    SetTitle(title);
    if (ViewRec* view = GetViewRec()) {
        Str255 status;
        BuildStatusText(view, status);
        statusBar_->SetText(WxFromPStr(status));
    }
}

void CMainFrame::PlaceFrame(CMainFrame* reference) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return;
    Rect stored = WindowRectOf(catalog);
    if (stored.right <= stored.left || stored.bottom <= stored.top) stored = GetPreferences()->windowRect;
    const ScreenRect rect{stored.left, stored.top, stored.right - stored.left, stored.bottom - stored.top};
    const bool neverSaved = catalog->fileSpec.path.empty();
    ScreenRect refRect;
    const ScreenRect* ref = nullptr;
    if (reference && reference != this && reference->IsShown()) {
        const wxRect r = reference->GetRect();
        refRect = {r.x, r.y, r.width, r.height};
        ref = &refRect;
    }
    const ScreenRect placed = PlaceFrameRect(rect, neverSaved, ref, CMultiFrameApp::WorkAreas());
    if (placed.width > 0 && placed.height > 0) SetSize(placed.x, placed.y, placed.width, placed.height);
    GetPreferences()->windowRect = Rect{SInt16(placed.y), SInt16(placed.x), SInt16(placed.y + placed.height),
                                        SInt16(placed.x + placed.width)};
    barsShown_ = CatalogGetPrefByte(catalog) == 0;
    statusBar_->Show(barsShown_);
    toolBar_->Show(barsShown_);
    SendSizeEvent();
}

int CMainFrame::CloseFrame(int mode, bool* stays) {
    CatalogRec* catalog = GetCatalog();
    if (catalog) {
        const wxRect r = GetRect();
        catalog->viewPrefs.windowTop = UInt16(r.y);
        catalog->viewPrefs.windowLeft = UInt16(r.x);
        catalog->viewPrefs.windowBottom = UInt16(r.y + r.height);
        catalog->viewPrefs.windowRight = UInt16(r.x + r.width);
        if (!catalog->fileSpec.path.empty()) GetApp().SetLastCatalog(SpecPath(catalog->fileSpec));
    }
    CloseFacts facts;
    facts.mode = mode;
    facts.modified = catalog && CatalogIsModified(catalog);
    facts.items = catalog ? catalog->itemCount : 0;
    facts.hasFile = catalog && !catalog->fileSpec.path.empty();
    facts.frames = GetApp().Frames().Count();
    facts.closeKeepsLast = GetApp().closeKeepsLast;
    GetApp().closeKeepsLast = false;
    const CloseOutcome out = DecideClose(
        facts,
        [&] {
            Str255 name;
            CatalogGetDisplayName(catalog, name, false);
            return int(ShowAlert(3, 70, 0, 3, 2, 4, name));
        },
        [&] { return Save(); });
    if (out.action == CloseOutcome::kStayWithNewCatalog) LoadCatalog("");
    if (stays) *stays = out.action != CloseOutcome::kClose;
    return out.result;
}

bool CMainFrame::Save() {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return false;
    if (catalog->fileSpec.path.empty()) return SaveAs();
    wxBusyCursor wait;
    const OSErr err = CatalogSave(catalog, nullptr, SaveProgress, serial_);
    UpdateTitle();
    if (err == noErr) return true;
    ReportSaveError(err, true);
    if (err == -27) return false;
    return SaveAs();
}

bool CMainFrame::SaveAs() {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return false;
    Str255 name;
    CatalogGetDisplayName(catalog, name, true);
    const std::string current = SpecPath(catalog->fileSpec);
    wxFileDialog dialog(this, LoadUiString(13810), current.empty() ? wxString() : wxString::FromUTF8(FSSpecFolderPath(catalog->fileSpec).c_str()),
                        WxFromPStr(name), "Lyrex Catalog Files (*.lxc)|*.lxc|All Files (*.*)|*",
                        wxFD_SAVE | wxFD_OVERWRITE_PROMPT);
    if (dialog.ShowModal() != wxID_OK) return false;
    std::string path = Utf8FromWx(dialog.GetPath());
    if (!HasCatalogSuffix(path) && dialog.GetFilterIndex() == 0) path += ".lxc";
    return SaveTo(path) == noErr;
}

OSErr CMainFrame::SaveTo(const std::string& path, bool reportErrors) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return paramErr;
    FSSpec spec;
    // A new file is "not found" until the save makes it.
    OSErr err = FSMakeFSSpecFromPath(path, &spec);
    if (err == fnfErr) err = noErr;
    if (err == noErr) {
        wxBusyCursor wait;
        err = CatalogSave(catalog, &spec, SaveProgress, serial_);
    }
    if (err == noErr) GetApp().AddRecentFile(path);
    UpdateTitle();
    if (err != noErr && reportErrors) ReportSaveError(err, !catalog->fileSpec.path.empty());
    return err;
}

void CMainFrame::ReportSaveError(OSErr err, bool hadFile) {
    if (err == noErr || err == userCanceledErr) return;
    if (err == -27) ShowAlertSimple(0, 50, 0, 1, 0, 0);
    else ShowAlertSimple(0, hadFile ? 51 : 52, err, 1, 0, 0);
}

void CMainFrame::ImportFromFilesFolders() {
    const std::string start = LoadImportDirectory();
    CFilesFoldersDlg dialog(wxString(), wxString::FromUTF8(start.c_str()), LoadUiString(13802), this);
    if (dialog.DoModal() != 1 || dialog.Paths().empty()) return;
    std::vector<std::string> paths;
    for (const wxString& p : dialog.Paths()) paths.push_back(Utf8FromWx(p));
    AddFiles(paths);
    // The whole path: a cut one would name another folder, or none.
    SaveImportDirectory(paths.front());
}

OSErr CMainFrame::AddFiles(const std::vector<std::string>& paths) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog || paths.empty()) return paramErr;
    std::vector<FSSpec> specs;
    for (const std::string& p : paths) {
        FSSpec spec;
        if (FSMakeFSSpecFromPath(p, &spec) == noErr) specs.push_back(spec);
    }
    if (specs.empty()) return fnfErr;
    // Every import road (chooser, command line, drop, paste) runs through the grid view.
    return GetGridView()->AddFiles(specs);
}

void CMainFrame::GridSetBusy(bool busy) { busy_ += busy ? 1 : -1; }

void CMainFrame::GridContextMenu(const wxPoint& where) {
    // The view's context menu is the first sub-menu of menu 248.
    std::unique_ptr<wxMenu> menu(BuildPopupMenu(248, 0));
    if (!menu) return;
    PopupMenu(menu.get(), ScreenToClient(GetGridView()->ClientToScreen(where)));
}

void CMainFrame::GridQuitNow() { GetApp().CloseAllFrames(); }

void CMainFrame::StartReadingNewItems() {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return;
    if (Handle ids = ItemListCopyMarkedIds(catalog)) {
        const RefreshOptions options = RefreshOptionsAll();
        if (StartItemRefreshTimer(catalog, 0, ids, nullptr, &options) == noErr) BusyPhase(0);
        DisposeHandle(ids);
    }
    // The new items are the last ones: the view is brought to them.
    if (ViewRec* view = GetViewRec(); view && CatalogGetItemCount(catalog) > 0)
        ViewScrollToItem(view, CatalogGetItemCount(catalog));
    GetGridView()->RedrawAll();
    UpdateTitle();
}

void CMainFrame::CancelRunningTasks(bool ask) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog || !GetViewRec() || statusBar_->BusyCount() == 0) return;
    if (ask && ShowAlertSimple(2, 11, 0, 1, 2, 0) != 1) return;
    if (CatalogRemoveMarkedItems(catalog)) GetGridView()->RedrawAll();
    statusBar_->ClearBusy();
}

bool CMainFrame::ToggleBars() {
    barsShown_ = !barsShown_;
    statusBar_->Show(barsShown_);
    toolBar_->Show(barsShown_);
    if (CatalogRec* catalog = GetCatalog()) catalog->viewPrefs.prefByte = barsShown_ ? 0 : 1;
    SendSizeEvent();
    return barsShown_;
}

void CMainFrame::SetViewMode(int mode) {
    ViewRec* view = GetViewRec();
    if (!view || mode < 0 || mode > 2) return;
    GetTabCtrl()->SetCurSel(mode);
    ViewSetMode(view, UInt8(mode));
    GetGridView()->RedrawAll();
    container_->GetHeaderBar()->Refresh(false);
    UpdateTitle();
}

void CMainFrame::BusyPhase(int phase) {
    if (phase == 0) statusBar_->SetBusy(true);
    else if (phase == 1) statusBar_->StepBusyIcon();
    else if (phase == 2) statusBar_->SetBusy(false);
}

void CMainFrame::BuildWindowMenu() {
    wxMenu* menu = FindMenuContaining(GetMenuBar(), 32796);
    if (!menu) return;
    for (int id = kFirstWindowCommand; id < kFirstWindowCommand + int(kWindowMenuLimit); ++id) {
        if (menu->FindItem(WxIdOf(id))) menu->Destroy(WxIdOf(id));
    }
    bool separator = menu->GetMenuItemCount() > 3;
    const auto frames = GetApp().Frames().WindowMenuFrames();
    for (std::size_t i = 0; i < frames.size(); ++i) {
        const wxString title = frames[i]->GetTitle().Left(260);
        if (title.empty()) continue;
        if (!separator) {
            menu->AppendSeparator();
            separator = true;
        }
        wxMenuItem* item = menu->AppendCheckItem(WxIdOf(kFirstWindowCommand + int(i)), title);
        item->Check(frames[i] == this);
    }
}

void CMainFrame::BuildSortMenu() {
    wxMenu* menu = FindMenuContaining(GetMenuBar(), kSortHolder);
    if (!menu) return;
    while (menu->GetMenuItemCount() > 0) menu->Destroy(menu->FindItemByPosition(0));
    // Headings carry 0 (strings 14020 and 14019); the rest are sort keys: random, default and
    // the fields by which a user sorts most.
    struct Entry { UInt32 key; UInt16 heading; UInt16 text; };
    const Entry entries[] = {{0, 14020, 0},  {kSortShuffle, 0, 14021}, {kSortByDate, 0, 14022}, {522, 0, 0},
                             {0, 14019, 0},  {2, 0, 0}, {1, 0, 0}, {0x564E4D6D, 0, 0}, {11, 0, 0}, {12, 0, 0},
                             {4, 0, 0},      {5, 0, 0}, {6, 0, 0}, {7, 0, 0}};
    sortKeys_.clear();
    for (const Entry& e : entries) {
        wxString text;
        if (e.heading) text = LoadUiString(e.heading);
        else if (e.text) text = LoadUiString(e.text);
        else {
            Str255 name = {0};
            FieldGetName(GetCatalog(), e.key, name);
            text = "  " + WxFromPStr(name);
        }
        text.Replace("&", "&&");
        const int id = kSortHolder + int(sortKeys_.size());
        menu->Append(WxIdOf(id), text)->Enable(e.key != 0);
        sortKeys_.push_back(e.key);
    }
    // Custom fields (769 to 784) at the end are left out.
    while (!sortKeys_.empty() && sortKeys_.back() >= 769 && sortKeys_.back() <= 784) {
        menu->Destroy(WxIdOf(kSortHolder + int(sortKeys_.size()) - 1));
        sortKeys_.pop_back();
    }
}

UInt32 CMainFrame::SortKeyOf(int command) const {
    const int index = command - kSortHolder;
    return index >= 0 && index < int(sortKeys_.size()) ? sortKeys_[std::size_t(index)] : 0;
}

void CMainFrame::OnClose(wxCloseEvent& event) {
    if (IsBusy()) {
        // The import's loop still works on this catalog: a close it cannot refuse becomes a
        // quit once the import has stopped.
        if (event.CanVeto()) {
            wxBell();
            event.Veto();
        } else {
            RequestQuitDuringImport();
        }
        return;
    }
    bool stays = false;
    CloseFrame(kCloseAsking, &stays);
    if (stays && event.CanVeto()) {
        event.Veto();
        return;
    }
    GetApp().HandOverMainWindow(this);
    Destroy();
}

void CMainFrame::OnActivate(wxActivateEvent& event) {
    if (event.GetActive()) GetApp().SetActiveFrame(this);
    event.Skip();
}

void CMainFrame::OnMenuOpen(wxMenuEvent& event) {
    // Opening the File menu shows the recent catalogs as they are now; the Window menu the frames.
    GetApp().BuildRecentMenu();
    BuildWindowMenu();
    event.Skip();
}

void CMainFrame::OnToolDropDown(wxCommandEvent& event) {
    wxMenu* menu = nullptr;
    bool owned = true;
    switch (CommandOf(event.GetId())) {
    case 32802: menu = BuildPopupMenu(247, 0); break;
    case 32887: menu = BuildPopupMenu(157, 0); break;
    case 32807:
        menu = FindMenuContaining(GetMenuBar(), kSortHolder);
        owned = false;
        break;
    case 33266: menu = BuildPopupMenu(196, 0); break;
    default: break;
    }
    if (!menu) return;
    DecorateLabelItems(menu);
    FillOpenWithMenu(menu);
    // The Open With and Move to pop-ups are the sub-menus holding those commands.
    if (CommandOf(event.GetId()) == 32887 || CommandOf(event.GetId()) == 33266) {
        const int holder = CommandOf(event.GetId()) == 32887 ? kOpenWithHolder : kMoveToTop;
        wxMenuItem* found = nullptr;
        for (wxMenuItem* item : menu->GetMenuItems()) {
            if (item->IsSubMenu() && item->GetSubMenu()->FindItem(WxIdOf(holder))) found = item;
        }
        if (found) {
            wxMenu* sub = menu->Remove(found)->GetSubMenu();
            found->SetSubMenu(nullptr);
            delete found;
            delete menu;
            menu = sub;
        }
    }
    PopupMenu(menu);
    if (owned) delete menu;
}

void CMainFrame::OnCatalogChanged(UINT message) {
    if (message == kCatalogMsgPlaybackChanged) {
        if (ViewRec* view = GetViewRec()) toolBar_->SetPlaying(ViewIsPlaying(view));
    }
    if (CatalogRec* catalog = GetCatalog(); catalog && statusBar_->BusyCount() > 0 && ItemRefreshJobCount(catalog) == 0)
        BusyPhase(2);
    else if (statusBar_->BusyCount() > 0)
        BusyPhase(1);
    UpdateTitle();
}

CMainFrame* GetFrameOfWindow(wxWindow* window) {
    return window ? dynamic_cast<CMainFrame*>(wxGetTopLevelParent(window)) : nullptr;
}

void ActivateFrame(CMainFrame* frame, bool focusGrid) {
    if (!frame) return;
    frame->Show();
    frame->Raise();
    frame->Update();
    GetApp().SetActiveFrame(frame);
    if (focusGrid) frame->FocusGridView();
}
