#include "window/ui/CPaneFolderList.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/files/FileMoves.h"
#include "foundation/messages/RegisteredMessages.h"
#include "foundation/ui/CInplaceEdit.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/PopupMenus.h"
#include "foundation/ui/ListRows.h"
#include "foundation/ui/UiText.h"
#include "window/panels/FolderNames.h"
#include "window/ui/PanelHost.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewSelection.h"

#include <sys/stat.h>
#include <thread>
#include <wx/app.h>
#include <wx/dc.h>
#include <wx/settings.h>
#include <wx/utils.h>

namespace {

constexpr int kCountBox = 45;
constexpr int kDiskCheckMs = 10000;
enum : short { kIconVolume = 2628, kIconClosedFolder = 2630, kIconOpenFolder = 2631, kIconMissing = 2632, kIconCount = 2600 };
const wxColour kCountFill(0xEE, 0xEE, 0xEE);
const wxColour kRowLine(0xF4, 0xF4, 0xF4);

std::u32string FromUtf16(const std::u16string& in) {
    std::u32string out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        char32_t c = in[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < in.size() && in[i + 1] >= 0xDC00 && in[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (in[++i] - 0xDC00);
        out += c;
    }
    return out;
}

}  // namespace

CPaneFolderList::CPaneFolderList(wxWindow* parent, wxWindowID id)
    : CPaneListBase(parent, id), bridge_(this), alive_(std::make_shared<bool>(true)) {
    BindEvents();
    RegisterDropTarget();
}

CPaneFolderList::~CPaneFolderList() {
    *alive_ = false;
    timer_.Stop();
    if (CatalogRec* catalog = GetCatalog()) CatalogRemoveListener(catalog, bridge_.Handle(), 0);
}

void CPaneFolderList::BindEvents() {
    Bind(EVT_WINDOW_MESSAGE, &CPaneFolderList::OnMessage, this);
    Bind(wxEVT_KEY_DOWN, &CPaneFolderList::OnKeyDown, this);
    Bind(wxEVT_RIGHT_DOWN, [this](wxMouseEvent& e) {
        const int row = RowAt(e.GetY());
        if (row >= 0) ShowFolderMenu(row, e.GetPosition());
    });
    timer_.Bind(wxEVT_TIMER, [this](wxTimerEvent&) {
        if (IsShownOnScreen()) CheckDisks();
    });
}

void CPaneFolderList::AttachCatalog(CatalogRec* catalog) {
    if (catalog == GetCatalog()) return;
    if (GetCatalog()) CatalogRemoveListener(GetCatalog(), bridge_.Handle(), 0);
    CPaneListBase::AttachCatalog(catalog);
    missing_.clear();
    if (catalog) {
        for (UINT m : {kCatalogMsgFolderTreeChanged, kCatalogMsgFolderTreeChanged2, kCatalogMsgShownItemsChanged,
                       kCatalogMsgScanResults, kCatalogMsgViewDetached})
            CatalogAddListener(catalog, bridge_.Handle(), m);
        timer_.Start(kDiskCheckMs);
    } else {
        timer_.Stop();
    }
    Rebuild(true);
}

void CPaneFolderList::Rebuild(bool force) {
    if (!force && !IsShownOnScreen()) return;
    rows_.clear();
    CatalogRec* catalog = GetCatalog();
    if (catalog && catalog->folderTree) {
        const SInt32 count = FolderTreeVisibleCount(catalog);
        rows_.reserve(std::size_t(count));
        for (SInt32 i = 0; i < count; ++i) {
            const FolderNode* node = FolderTreeVisibleNodeAt(catalog, i);
            if (!node) continue;
            Row row;
            row.nodeId = node->nodeId;
            row.depth = std::max(0, int(node->depth));
            row.volume = node->depth == 0;
            row.name = row.volume                      ? WxFromAnsi(VolumeKeyDisplay(node->name, &catalog->folderTree->volumes))
                       : node->unicodeName.empty() ? WxFromAnsi(node->name)
                                                   : WxFromU32(FromUtf16(node->unicodeName));
            row.hasChildren = !node->children.empty();
            row.expanded = (node->flags & kFolderExpanded) != 0;
            row.count = long(node->items.size());
            rows_.push_back(row);
        }
    }
    SetRowCount(int(rows_.size()));
    SyncSelection();
    CheckDisks();
}

UInt32 CPaneFolderList::NodeAt(int row) const {
    return row >= 0 && row < int(rows_.size()) ? rows_[std::size_t(row)].nodeId : 0;
}

int CPaneFolderList::RowOfNode(UInt32 nodeId) const {
    for (std::size_t i = 0; i < rows_.size(); ++i)
        if (rows_[i].nodeId == nodeId) return int(i);
    return -1;
}

bool CPaneFolderList::IsMissing(int row) const {
    const UInt32 id = NodeAt(row);
    if (!id) return false;
    const auto it = missing_.find(id);
    return it != missing_.end() && it->second;
}

void CPaneFolderList::CheckDisks() {
    CatalogRec* catalog = GetCatalog();
    if (!catalog || !catalog->folderTree || checking_) return;
    // The paths are worked out here, on the window's thread; only the look-ups run outside.
    std::vector<std::pair<UInt32, std::string>> paths;
    for (const Row& row : rows_) {
        FolderNode* node = FolderTreeFindNodeById(catalog->folderTree, row.nodeId);
        std::string native;
        if (node && FolderStoredToNative(catalog->folderTree->volumes, FolderNodeStoredPath(node), &native) == noErr)
            paths.emplace_back(row.nodeId, native);
        else
            paths.emplace_back(row.nodeId, std::string());
    }
    checking_ = true;
    std::shared_ptr<bool> alive = alive_;
    CPaneFolderList* self = this;
    std::thread([paths = std::move(paths), alive, self] {
        std::unordered_map<UInt32, bool> missing;
        for (const auto& [id, path] : paths) {
            struct stat st {};
            missing[id] = path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISDIR(st.st_mode);
        }
        // Back on the window's thread, and only to a window that still exists.
        wxTheApp->CallAfter([alive, self, missing = std::move(missing)] {
            if (*alive) self->TakeDiskState(missing);
        });
    }).detach();
}

void CPaneFolderList::TakeDiskState(const std::unordered_map<UInt32, bool>& missing) {
    checking_ = false;
    ++checksDone_;
    bool changed = false;
    for (const auto& [id, gone] : missing) {
        auto& slot = missing_[id];
        changed |= slot != gone;
        slot = gone;
    }
    if (changed) Refresh(false);
}

void CPaneFolderList::SyncSelection() {
    const ViewRec* view = GetView();
    for (int i = 0; i < int(rows_.size()); ++i)
        SelectRow(i, view && ViewHasFilter(view, kFilterFolder, 0, SInt32(rows_[std::size_t(i)].nodeId)));
    Refresh(false);
}

void CPaneFolderList::OnMessage(WindowMessageEvent& event) {
    const auto& ids = RegisteredMessages();
    if (event.Message() == ids.comboDone || event.Message() == ids.comboCancel) {
        EndRename(event.Message() == ids.comboDone);
        event.SetResult(0);
        return;
    }
    switch (event.Message()) {
    case kCatalogMsgFolderTreeChanged:
    case kCatalogMsgFolderTreeChanged2:
    case kCatalogMsgScanResults:
        Rebuild(false);
        break;
    case kCatalogMsgShownItemsChanged:
        SyncSelection();
        break;
    case kCatalogMsgViewDetached:
        rows_.clear();
        SetRowCount(0);
        break;
    default:
        break;
    }
    event.SetResult(0);
}

void CPaneFolderList::DrawRow(wxDC& dc, const wxRect& rect, int index) {
    if (index >= int(rows_.size())) return;
    const Row& row = rows_[std::size_t(index)];
    const bool missing = IsMissing(index);
    const wxRect text(rect.x, rect.y, rect.width - kCountBox, rect.height);
    DrawListRowBackground(dc, text, RowFill(index), kRowLine);
    if (row.hasChildren) DrawDisclosureIcon(dc, rect, row.expanded, row.depth);
    DrawListIcon(dc, rect, row.depth + 1,
                 missing ? kIconMissing : row.volume ? kIconVolume : row.expanded ? kIconOpenFolder : kIconClosedFolder);
    dc.SetFont(MakeListFont(false, false, false, false));
    dc.SetTextForeground(RowText(index));
    if (missing)
        DrawListRowStruckOut(dc, text, row.name, row.depth + 2, false, false);
    else
        LayoutListRow(dc, text, row.name, row.depth + 2, false, false);
    const wxRect box(rect.GetRight() + 1 - kCountBox, rect.y, kCountBox, rect.height);
    DrawListRowBackground(dc, box, kCountFill, kRowLine);
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    DrawListRowCount(dc, rect, row.count);
    if (index == dropRow_) {
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_HIGHLIGHT), 1, wxPENSTYLE_DOT));
        dc.DrawRectangle(rect);
    }
}

bool CPaneFolderList::RowTakesDrops(int index) const {
    if (index < 0 || index >= int(rows_.size())) return false;
    const Row& row = rows_[std::size_t(index)];
    CatalogRec* catalog = GetCatalog();
    const FolderNode* node =
        catalog && catalog->folderTree ? FolderTreeFindNodeById(catalog->folderTree, row.nodeId) : nullptr;
    return node && !row.volume && !(node->flags & kFolderMissing) && !IsMissing(index);
}

bool CPaneFolderList::TrackGridDrag(int, int y, bool leaving) {
    const int old = dropRow_;
    dropRow_ = -1;
    if (!leaving) {
        const int row = RowAt(y);
        if (RowTakesDrops(row)) dropRow_ = row;
    }
    if (old != dropRow_) Refresh(false);
    return dropRow_ >= 0 || leaving;
}

bool CPaneFolderList::ToggleRowForDrag(int index, bool panelDrag, bool expandOnly) {
    CatalogRec* catalog = GetCatalog();
    if (panelDrag || !catalog || !catalog->folderTree || index < 0 || index >= int(rows_.size())) return false;
    const Row row = rows_[std::size_t(index)];
    const wxMouseState mouse = wxGetMouseState();
    if (mouse.ControlDown()) {
        // Once for each rest on a row: the tree loses its empty folders, watched ones kept.
        if (!expandOnly) return false;
        wxBell();
        CatalogPruneFolders(catalog, false);
        Rebuild(true);
        return true;
    }
    if (!row.hasChildren || row.expanded != !expandOnly) return false;
    FolderNode* node = FolderTreeFindNodeById(catalog->folderTree, row.nodeId);
    if (!node) return false;
    FolderTreeToggleExpanded(catalog, node, mouse.AltDown());
    Rebuild(true);
    return true;
}

bool CPaneFolderList::DropGridItems(int, int y, ViewRec* view) {
    const int row = RowAt(y);
    dropRow_ = -1;
    Refresh(false);
    if (!view || !RowTakesDrops(row) || ViewCountSelected(view) == 0) return false;
    const std::string path = NativePath(rows_[std::size_t(row)].nodeId);
    if (path.empty()) return false;
    if (!PanelMoveSelectionToFolder(this, path)) return false;
    Rebuild(true);
    return true;
}

bool CPaneFolderList::OnRowClick(int index, int x, int, bool) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view || index >= int(rows_.size())) return false;
    const Row row = rows_[std::size_t(index)];
    const wxMouseState mouse = wxGetMouseState();
    FolderNode* node = catalog->folderTree ? FolderTreeFindNodeById(catalog->folderTree, row.nodeId) : nullptr;
    if (!node) return false;
    if (x >= GetClientSize().x - kCountBox) {
        ShowFolderMenu(index, wxPoint(x, 0));
        return false;
    }
    if (row.hasChildren && x < 16 * (row.depth + 1)) {
        FolderTreeToggleExpanded(catalog, node, mouse.AltDown());
        Rebuild(true);
        return false;
    }
    const SInt32 id = SInt32(row.nodeId);
    if (mouse.ControlDown()) {
        if (ViewHasFilter(view, kFilterFolder, 0, id)) ViewRemoveFilter(view, kFilterFolder, 0, id);
        else ViewAddFilter(view, kFilterFolder, 0, id, true);
    } else if (mouse.ShiftDown() && FirstSelected() >= 0) {
        view->filters.clear();
        const int lo = std::min(FirstSelected(), index), hi = std::max(FirstSelected(), index);
        for (int i = lo; i <= hi; ++i) ViewAddFilter(view, kFilterFolder, 0, SInt32(rows_[std::size_t(i)].nodeId), false);
        ViewShowOrganizeSelection(view);
    } else if (!ViewHasFilter(view, kFilterFolder, 0, id) || ViewCountFilters(view) != 1) {
        view->filters.clear();
        ViewAddFilter(view, kFilterFolder, 0, id, true);
    }
    SyncSelection();
    EnsureRowVisible(index);
    return false;
}

std::string CPaneFolderList::NativePath(UInt32 nodeId) const {
    CatalogRec* catalog = GetCatalog();
    FolderNode* node = catalog && catalog->folderTree ? FolderTreeFindNodeById(catalog->folderTree, nodeId) : nullptr;
    std::string native;
    if (!node || FolderStoredToNative(catalog->folderTree->volumes, FolderNodeStoredPath(node), &native) != noErr)
        return std::string();
    return native;
}

void CPaneFolderList::ShowFolderMenu(int index, const wxPoint& at) {
    if (index < 0 || index >= int(rows_.size())) return;
    const Row& row = rows_[std::size_t(index)];
    const bool missing = IsMissing(index);
    ::PopupMenu menu;
    menu.AppendIndexedItem(204, 1, true, false);
    menu.AppendIndexedItem(204, 2, true, false);
    menu.AppendIndexedItem(204, 3, !missing, false);
    menu.AppendIndexedItem(204, 4, !missing, false);
    menu.AppendIndexedItem(204, 5, !row.volume && !missing, false);
    menu.AppendIndexedItem(151, 32, !row.volume && !missing, false);
    menuRow_ = index;
    RefreshRow(std::size_t(index));
    const int pick = menu.TrackAt(this, at);
    menuRow_ = -1;
    RefreshRow(std::size_t(index));
    static const int kCommands[] = {0, 1, 0, 2, 3, 4, 5};
    if (pick >= 1 && pick <= 6 && kCommands[pick]) DoCommand(index, kCommands[pick]);
}

void CPaneFolderList::RemoveFolder(UInt32 nodeId) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    FolderNode* node = catalog && catalog->folderTree ? FolderTreeFindNodeById(catalog->folderTree, nodeId) : nullptr;
    if (!node) return;
    // The filters let go of the folder and everything under it before the nodes go.
    if (view) {
        std::vector<const FolderNode*> stack{node};
        while (!stack.empty()) {
            const FolderNode* n = stack.back();
            stack.pop_back();
            ViewForgetFolder(view, n->nodeId);
            for (const FolderNode* c : n->children) stack.push_back(c);
        }
    }
    if (FolderTreeRemoveFolder(catalog, node) == noErr && view) ViewReapplyFilters(view);
    Rebuild(true);
}

void CPaneFolderList::DoCommand(int index, int command) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog || !catalog->folderTree || index < 0 || index >= int(rows_.size())) return;
    const Row row = rows_[std::size_t(index)];
    const std::string path = NativePath(row.nodeId);
    switch (command) {
    case 1:
        if (ShowAlertSimple(kAlertWarning, 85, 0, 1, 2, 0) == 1) RemoveFolder(row.nodeId);
        break;
    case 2:
        if (!path.empty()) wxLaunchDefaultApplication(WxFromUtf8(path));
        break;
    case 3: {
        if (path.empty()) return;
        const std::string name = FolderFreeName(path, Utf8FromWx(LoadUiString(12892)));
        FSSpec spec;
        FolderNode* created = nullptr;
        if (CreateDirectoryPath(path + "/" + name) != noErr || FSMakeFSSpecFromPath(path + "/" + name, &spec) != noErr ||
            FolderTreeAddFolder(catalog, &spec, &created) != noErr || !created) {
            ShowAlertSimple(kAlertStop, 83, 0, 1, 0, 0);
            return;
        }
        if (FolderNode* parent = FolderTreeFindNodeById(catalog->folderTree, row.nodeId);
            parent && !(parent->flags & kFolderExpanded))
            FolderTreeToggleExpanded(catalog, parent, false);
        const UInt32 id = created->nodeId;
        Rebuild(true);
        const int at = RowOfNode(id);
        DeselectAll();
        SelectRow(at, true);
        BeginRename(at);
        break;
    }
    case 4:
        BeginRename(index);
        break;
    case 5: {
        if (row.volume || path.empty() || ShowAlertSimple(kAlertWarning, 30, 0, 1, 2, 0) != 1) return;
        FSSpec spec;
        if (FSMakeFSSpecFromPath(path, &spec) == noErr && ShellFileOpA(&spec) == noErr)
            RemoveFolder(row.nodeId);
        else
            ShowAlertSimple(kAlertStop, 20, 0, 1, 0, 0);
        break;
    }
    default:
        break;
    }
}

bool CPaneFolderList::BeginRename(int index) {
    if (index < 0 || index >= int(rows_.size()) || rows_[std::size_t(index)].volume || IsMissing(index)) return false;
    const Row& row = rows_[std::size_t(index)];
    EnsureRowVisible(index);
    wxRect rect = RowRect(index);
    const int left = 16 * (row.depth + 2);
    rect = wxRect(rect.x + left, rect.y + 1, std::max(20, rect.width - left - kCountBox), rect.height - 2);
    if (editor_) editor_->Destroy();
    editor_ = new CInplaceEdit;
    if (!editor_->Create(rect, this, row.name, "")) {
        delete editor_;
        editor_ = nullptr;
        return false;
    }
    renamedNode_ = row.nodeId;
    return true;
}

void CPaneFolderList::EndRename(bool accept) {
    if (!editor_) return;
    CInplaceEdit* old = editor_;
    editor_ = nullptr;
    const wxString text = old->GetText();
    old->Hide();
    CallAfter([old] { old->Destroy(); });
    const UInt32 nodeId = renamedNode_;
    renamedNode_ = 0;
    SetFocus();
    CatalogRec* catalog = GetCatalog();
    const int index = RowOfNode(nodeId);
    if (!accept || !catalog || index < 0 || text == rows_[std::size_t(index)].name) return;
    const std::string path = NativePath(nodeId);
    std::string renamed;
    FSSpec spec;
    FolderNode* node = FolderTreeFindNodeById(catalog->folderTree, nodeId);
    // A name that would leave the folder, or one taken already, changes nothing.
    if (path.empty() || !node || FolderRenameOnDisk(path, Utf8FromWx(text), &renamed) != noErr ||
        FSMakeFSSpecFromPath(renamed, &spec) != noErr) {
        ShowAlertSimple(kAlertStop, 42, 0, 1, 0, 0);
        return;
    }
    FolderTreeRenameFolder(catalog, node, &spec);
    Rebuild(true);
}

void CPaneFolderList::OnKeyDown(wxKeyEvent& event) {
    ViewRec* view = GetView();
    const int key = event.GetKeyCode();
    if ((key == WXK_DELETE || key == WXK_BACK) && view) {
        if (!ViewHasFilter(view, kFilterFolder, 0, 0)) return;
        Str255 head, detail;
        PStrFromWx(LoadUiString(20507), head);
        PStrFromWx(LoadUiString(20508), detail);
        if (ShowAlert(kAlertWarning, 79, 0, 1, 2, 0, head, detail) != 1) return;
        ViewRemoveOrganizeSelection(view);
        Rebuild(true);
        return;
    }
    if (key == WXK_TAB) {
        if (event.ShiftDown()) PanelFocusGrid(this);
        else Navigate(wxNavigationKeyEvent::IsForward);
        return;
    }
    event.Skip();
}
