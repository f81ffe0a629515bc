#include "window/ui/CPaneFolderList.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/foldertree/FolderTree.h"
#include "catalog/foldertree/FolderTreeOps.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/ui/IconCache.h"
#include "foundation/ui/ListRows.h"
#include "foundation/ui/UiText.h"
#include "window/ui/PanelHost.h"
#include "window/view/ViewFilters.h"

#include <sys/stat.h>
#include <thread>
#include <wx/app.h>
#include <wx/dc.h>
#include <wx/settings.h>

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
}

CPaneFolderList::~CPaneFolderList() {
    *alive_ = false;
    timer_.Stop();
    if (CatalogRec* catalog = GetCatalog()) CatalogRemoveListener(catalog, bridge_.Handle(), 0);
}

void CPaneFolderList::BindEvents() {
    Bind(EVT_WINDOW_MESSAGE, &CPaneFolderList::OnMessage, this);
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
}

bool CPaneFolderList::OnRowClick(int index, int x, int, bool) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view || index >= int(rows_.size())) return false;
    const Row row = rows_[std::size_t(index)];
    const wxMouseState mouse = wxGetMouseState();
    FolderNode* node = catalog->folderTree ? FolderTreeFindNodeById(catalog->folderTree, row.nodeId) : nullptr;
    if (!node) return false;
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
