#include "window/ui/CPaneViewList.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeSets.h"
#include "catalog/organize/OrganizeValues.h"
#include "foundation/messages/RegisteredMessages.h"
#include "foundation/ui/CInplaceEdit.h"
#include "foundation/ui/ListRows.h"
#include "foundation/ui/PopupMenus.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"
#include "window/ui/CPanelDropTarget.h"
#include "window/ui/PanelHost.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewSelection.h"

#include <cstring>
#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/dnd.h>
#include <wx/settings.h>

namespace {

constexpr int kCountBox = 45;
constexpr int kHeaderBox = 46;
constexpr int kDragThreshold = 10;
const wxColour kHeaderFill(0xDE, 0xDE, 0xDE);
const wxColour kCountFill(0xEE, 0xEE, 0xEE);
const wxColour kHotFill(0xCD, 0xCD, 0xCD);
const wxColour kRowLine(0xF4, 0xF4, 0xF4);

enum : short { kIconCount = 2600, kIconSetContainer = 2611, kIconDateContainer = 2621, kIconEmptyEntry = 2714,
               kIconEntry = 2715 };

wxString EntryText(const OrganizeEntry* entry, UInt32 field) {
    Str255 text;
    OrganizeEntryText(entry, field, text);
    return WxFromPStr(text);
}

}  // namespace

CPaneViewList::CPaneViewList(wxWindow* parent, wxWindowID id) : CPaneListBase(parent, id), bridge_(this) {
    RegisterDropTarget();
    BindEvents();
}

CPaneViewList::~CPaneViewList() {
    if (CatalogRec* catalog = GetCatalog()) CatalogRemoveListener(catalog, bridge_.Handle(), 0);
}

void CPaneViewList::BindEvents() {
    Bind(EVT_WINDOW_MESSAGE, &CPaneViewList::OnMessage, this);
    Bind(wxEVT_KEY_DOWN, &CPaneViewList::OnKeyDown, this);
    Bind(wxEVT_MOTION, &CPaneViewList::OnMotion, this);
    Bind(wxEVT_RIGHT_DOWN, &CPaneViewList::OnRightDown, this);
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        dragArmed_ = false;
        e.Skip();
    });
}

void CPaneViewList::AttachCatalog(CatalogRec* catalog) {
    if (catalog == GetCatalog()) return;
    if (editor_) EndRename(false);
    if (GetCatalog()) CatalogRemoveListener(GetCatalog(), bridge_.Handle(), 0);
    CPaneListBase::AttachCatalog(catalog);
    if (catalog)
        for (UINT m : {kCatalogMsgOrganizeChanged, kCatalogMsgShownItemsChanged, kCatalogMsgHiddenFieldsChanged,
                       kCatalogMsgSelectionChanged})
            CatalogAddListener(catalog, bridge_.Handle(), m);
    Rebuild(true);
}

void CPaneViewList::Rebuild(bool force) {
    if (!force && !IsShownOnScreen()) return;
    rows_ = OrganizeBuildRows(GetCatalog());
    OrganizeMarkRows(GetCatalog(), GetView(), &rows_);
    SetRowCount(int(rows_.size()));
    SyncSelection();
}

void CPaneViewList::SyncSelection() {
    const ViewRec* view = GetView();
    for (int i = 0; i < int(rows_.size()); ++i) SelectRow(i, OrganizeRowIsFilter(view, rows_[std::size_t(i)]));
    Refresh(false);
}

void CPaneViewList::OnMessage(WindowMessageEvent& event) {
    const UINT message = event.Message();
    const auto& ids = RegisteredMessages();
    CatalogRec* catalog = GetCatalog();
    if (message == ids.comboDone) {
        EndRename(true);
    } else if (message == ids.comboCancel) {
        EndRename(false);
    } else if (message == kCatalogMsgOrganizeChanged) {
        const UInt32 field = UInt32(event.WParam());
        if (field == 0 || (catalog && OrganizeIsExpanded(catalog, field))) Rebuild(false);
    } else if (message == kCatalogMsgShownItemsChanged) {
        SyncSelection();
    } else if (message == kCatalogMsgHiddenFieldsChanged) {
        Rebuild(false);
    } else if (message == kCatalogMsgSelectionChanged) {
        if (OrganizeMarkRows(catalog, GetView(), &rows_)) Refresh(false);
    }
    event.SetResult(0);
}

void CPaneViewList::DrawRow(wxDC& dc, const wxRect& rect, int index) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog || index >= int(rows_.size())) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(rect);
        return;
    }
    const OrganizeRow& row = rows_[std::size_t(index)];
    const bool hot = index == hotRow_;
    dc.SetTextForeground(RowText(index));
    if (row.entry == kOrganizeRowHeader) {
        DrawListRowBackground(dc, rect, hot ? kHeaderFill : (IsRowSelected(index) ? RowFill(index) : kHeaderFill), *wxWHITE);
        DrawDisclosureIcon(dc, rect, OrganizeIsExpanded(catalog, row.field), 0);
        dc.SetFont(MakeListFont(true, false, false, false));
        Str255 name;
        LayoutListRow(dc, rect, FieldGetName(catalog, row.field, name) ? WxFromPStr(name) : wxString(), 1, false, false);
        return;
    }
    if (row.entry == kOrganizeRowEmpty) {
        DrawListRowBackground(dc, rect, *wxWHITE, kRowLine);
        dc.SetFont(MakeListFont(false, true, false, false));
        LayoutListRow(dc, rect, LoadUiString(14603), 1, false, false);
        return;
    }
    const OrganizeEntry* entry = OrganizeGetEntry(catalog, row.field, UInt32(row.entry));
    const wxRect text(rect.x, rect.y, rect.width - kCountBox, rect.height);
    DrawListRowBackground(dc, text, hot ? kHeaderFill : RowFill(index), kRowLine);
    const bool container = OrganizeEntryIsContainer(entry);
    if (container) {
        DrawDisclosureIcon(dc, rect, OrganizeEntryIsExpanded(entry), row.level);
        DrawListIcon(dc, rect, row.level + 1, row.field == kOrganizeDateField ? kIconDateContainer : kIconSetContainer);
    } else {
        DrawListIcon(dc, rect, row.level + 1, OrganizeEntryGetCount(entry) ? kIconEntry : kIconEmptyEntry);
    }
    const bool bold = (container && OrganizeEntryIsExpanded(entry)) || row.selectedItems;
    dc.SetFont(MakeListFont(bold, false, false, false));
    if (row.selectedItems) dc.SetTextForeground(*wxBLUE);
    LayoutListRow(dc, text, EntryText(entry, row.field), row.level + 2, false, false);
    // The count box at the right.
    const wxRect box(rect.GetRight() + 1 - kCountBox, rect.y, kCountBox, rect.height);
    DrawListRowBackground(dc, box, hot ? kHotFill : kCountFill, kRowLine);
    dc.SetFont(MakeListFont(false, false, false, false));
    dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
    if (!container) DrawListRowCount(dc, rect, long(OrganizeEntryGetCount(entry)));
    if (index == hoverRow_) {
        dc.SetPen(wxPen(*wxBLACK, 1, wxPENSTYLE_DOT));
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(rect);
    }
    // The insertion mark of a set being dragged.
    if (dropRow_ >= 0 && (index == dropRow_ || index == dropRow_ - 1)) {
        const int y = index == dropRow_ ? rect.y : rect.GetBottom() + 1;
        const int x = rect.x + 16 * dropLevel_ + 16;
        dc.SetPen(*wxBLACK_PEN);
        dc.SetBrush(*wxTRANSPARENT_BRUSH);
        dc.DrawRectangle(x - 3, y - 1, 4, 3);
        dc.DrawLine(x, y, rect.GetRight(), y);
    }
}

bool CPaneViewList::CanClickRow(int row, int, int) {
    return row >= 0 && row < int(rows_.size()) && rows_[std::size_t(row)].entry != kOrganizeRowEmpty;
}

bool CPaneViewList::OnRowClick(int index, int x, int y, bool) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view) return false;
    const OrganizeRow row = rows_[std::size_t(index)];
    const wxMouseState mouse = wxGetMouseState();
    const int width = GetClientSize().x;
    if (row.entry == kOrganizeRowHeader) {
        if (x >= width - kHeaderBox) return false;
        const bool expanded = OrganizeIsExpanded(catalog, row.field);
        if (mouse.ControlDown() && !expanded) {
            wxBell();
            OrganizeBuildList(catalog, row.field, nullptr, 0);
        }
        OrganizeSetExpanded(catalog, mouse.AltDown() ? 0 : row.field, !expanded);
        Rebuild(true);
        return false;
    }
    OrganizeEntry* entry = OrganizeGetEntry(catalog, row.field, UInt32(row.entry));
    if (!entry || x >= width - kCountBox) return false;
    if (OrganizeEntryIsContainer(entry) && x < 16 * (row.level + 1)) {
        OrganizeToggleExpanded(catalog, row.field, UInt32(row.entry), mouse.AltDown());
        Rebuild(true);
        return false;
    }
    if (mouse.ShiftDown()) {
        OrganizeClickFilter(view, rows_, index, OrganizeClick::kRange, FirstSelected());
    } else if (mouse.ControlDown()) {
        OrganizeClickFilter(view, rows_, index, OrganizeClick::kToggle, -1);
    } else if (OrganizeRowIsFilter(view, row)) {
        // A press on the text of an entry that already is the filter renames it.
        wxClientDC dc(this);
        dc.SetFont(MakeListFont(false, false, false, false));
        const int left = 16 * row.level + 40;
        const wxSize extent = dc.GetTextExtent(EntryText(entry, row.field));
        if (x >= left && x < left + extent.x && y - RowRect(index).y < 2 + extent.y && CountSelected() == 1) {
            BeginRename(index);
            return false;
        }
        dragArmed_ = true;
        pressPoint_ = wxPoint(x, y);
    } else {
        dragArmed_ = true;
        pressPoint_ = wxPoint(x, y);
        OrganizeClickFilter(view, rows_, index, OrganizeClick::kPlain, -1);
    }
    AfterFilterChange(index);
    return false;
}

void CPaneViewList::AfterFilterChange(int row) {
    SyncSelection();
    EnsureRowVisible(row);
}

bool CPaneViewList::BeginRename(int index) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog || index < 0 || index >= int(rows_.size()) || !rows_[std::size_t(index)].IsEntry()) return false;
    const OrganizeRow& row = rows_[std::size_t(index)];
    const OrganizeEntry* entry = OrganizeGetEntry(catalog, row.field, UInt32(row.entry));
    if (!OrganizeCommandAllowed(entry, row.field, kOrganizeCmdRename)) return false;
    EnsureRowVisible(index);
    wxRect rect = RowRect(index);
    const int left = 16 * row.level + 33;
    rect = wxRect(rect.x + left, rect.y + 1, std::max(20, rect.width - left - 44), rect.height - 2);
    if (editor_) editor_->Destroy();
    editor_ = new CInplaceEdit;
    if (!editor_->Create(rect, this, EntryText(entry, row.field), "")) {
        delete editor_;
        editor_ = nullptr;
        return false;
    }
    editedField_ = row.field;
    editedEntry_ = row.entry;
    return true;
}

void CPaneViewList::EndRename(bool accept) {
    if (!editor_) return;
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    const std::string text = AnsiFromWx(editor_->GetText()).substr(0, 255);
    CInplaceEdit* old = editor_;
    editor_ = nullptr;
    old->Hide();
    CallAfter([old] { old->Destroy(); });
    const UInt32 field = editedField_;
    const SInt32 entry = editedEntry_;
    editedField_ = 0;
    editedEntry_ = 0;
    // An empty text changes nothing.
    if (accept && catalog && entry > 0 && !text.empty()) {
        const UInt32 now = OrganizeRenameEntry(catalog, field, UInt32(entry), text.data(), long(text.size()), nullptr, 0);
        if (now && view && UInt32(entry) != now) ViewFilterEntryMoved(view, field, UInt32(entry), now);
        if (now) CatalogSetModified(catalog);
    }
    SetFocus();
    Rebuild(true);
}

void CPaneViewList::OnKeyDown(wxKeyEvent& event) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    const int s = FirstSelected();
    const int page = std::max(1, GetClientSize().y / std::max(1, RowHeight()));
    switch (event.GetKeyCode()) {
    case WXK_TAB:
        if (event.ShiftDown()) PanelFocusGrid(this);
        else Navigate(wxNavigationKeyEvent::IsForward);
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
    case WXK_F2:
        if (view && ViewCountFilters(view) == 1 && s >= 0) BeginRename(s);
        return;
    case WXK_PAGEUP: ScrollToRow(std::size_t(std::max(0, int(GetVisibleRowsBegin()) - page))); return;
    case WXK_PAGEDOWN: ScrollToRow(std::size_t(int(GetVisibleRowsBegin()) + page)); return;
    case WXK_HOME: ScrollToRow(0); return;
    case WXK_END: ScrollToRow(std::size_t(std::max(0, GetRowCount() - 1))); return;
    case WXK_LEFT:
    case WXK_RIGHT: {
        const bool right = event.GetKeyCode() == WXK_RIGHT;
        if (event.ControlDown()) {
            PanelSendCommand(this, right ? 33273 : 33272);
            return;
        }
        if (!catalog || s < 0) return;
        const OrganizeRow& row = rows_[std::size_t(s)];
        OrganizeEntry* entry = row.IsEntry() ? OrganizeGetEntry(catalog, row.field, UInt32(row.entry)) : nullptr;
        if (entry && OrganizeEntryIsContainer(entry) && OrganizeEntryIsExpanded(entry) != right) {
            OrganizeEntrySetExpanded(entry, right ? 1 : 0);
            Rebuild(true);
        }
        return;
    }
    case WXK_UP:
    case WXK_DOWN: {
        const int next = OrganizeNextEntryRow(rows_, s, event.GetKeyCode() == WXK_UP ? -1 : 1);
        if (next < 0 || !view) {
            wxBell();
            return;
        }
        view->filters.clear();
        ViewAddFilter(view, kFilterOrganizeEntry, SInt32(rows_[std::size_t(next)].field), rows_[std::size_t(next)].entry, true);
        AfterFilterChange(next);
        return;
    }
    default:
        break;
    }
    // Type-ahead: the first entry of the selected row's field whose text begins with the key.
    const int key = event.GetKeyCode();
    if (catalog && view && s >= 0 && ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))) {
        const UInt32 field = rows_[std::size_t(s)].field;
        for (int i = 0; i < int(rows_.size()); ++i) {
            const OrganizeRow& row = rows_[std::size_t(i)];
            if (row.field != field || !row.IsEntry()) continue;
            const wxString text = EntryText(OrganizeGetEntry(catalog, field, UInt32(row.entry)), field);
            if (!text.empty() && wxToupper(text[0]) == wxUniChar(key)) {
                view->filters.clear();
                ViewAddFilter(view, kFilterOrganizeEntry, SInt32(field), row.entry, true);
                AfterFilterChange(i);
                return;
            }
        }
        return;
    }
    event.Skip();
}

void CPaneViewList::OnRightDown(wxMouseEvent& event) {
    const int row = RowAt(event.GetY());
    if (row < 0 || !rows_[std::size_t(row)].IsEntry()) return;
    ShowEntryMenu(row, event.GetPosition());
}

void CPaneViewList::ShowEntryMenu(int index, const wxPoint& at) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view) return;
    const OrganizeRow row = rows_[std::size_t(index)];
    const OrganizeEntry* entry = OrganizeGetEntry(catalog, row.field, UInt32(row.entry));
    // The commands that need no confirmation; each is offered only where the entry allows it.
    const short commands[] = {kOrganizeCmdShowContent, kOrganizeCmdSelectContent, kOrganizeCmdRename,
                              kOrganizeCmdAddSelected};
    ::PopupMenu menu;
    Str255 title;
    Str255 name;
    PStrFromWx((FieldGetName(catalog, row.field, name) ? WxFromPStr(name) : wxString()) + ": " + EntryText(entry, row.field),
               title);
    menu.AppendItem(title, false, false);
    std::vector<short> chosen{0};
    for (short c : commands) {
        if (!OrganizeCommandAllowed(entry, row.field, c)) continue;
        if (c == kOrganizeCmdAddSelected && !view->currentItem) continue;
        menu.AppendIndexedItem(146, 30 + c, true, false);
        chosen.push_back(c);
    }
    hotRow_ = index;
    RefreshRow(std::size_t(index));
    const int pick = menu.TrackAt(this, at);
    hotRow_ = -1;
    RefreshRow(std::size_t(index));
    if (pick < 2 || std::size_t(pick) > chosen.size()) return;
    switch (chosen[std::size_t(pick - 1)]) {
    case kOrganizeCmdShowContent:
        view->filters.clear();
        ViewAddFilter(view, kFilterOrganizeEntry, SInt32(row.field), row.entry, true);
        AfterFilterChange(index);
        break;
    case kOrganizeCmdSelectContent: {
        Handle ids = NewHandle(0);
        OrganizeCollectItems(catalog, row.field, UInt32(row.entry), false, ids);
        ViewSelectItems(view, ids);
        DisposeHandle(ids);
        break;
    }
    case kOrganizeCmdRename:
        BeginRename(index);
        break;
    case kOrganizeCmdAddSelected: {
        Handle ids = ViewCollectIds(view, true);
        if (ids) {
            OrganizeAssignItems(catalog, row.field, UInt32(row.entry), ids, nullptr, 0);
            DisposeHandle(ids);
        }
        Rebuild(true);
        break;
    }
    default:
        break;
    }
}

void CPaneViewList::OnMotion(wxMouseEvent& event) {
    event.Skip();
    if (!dragArmed_ || !event.LeftIsDown()) return;
    const wxPoint d = event.GetPosition() - pressPoint_;
    if (std::abs(d.x) > kDragThreshold || std::abs(d.y) > kDragThreshold) StartSetDrag();
}

void CPaneViewList::StartSetDrag() {
    dragArmed_ = false;
    const int s = FirstSelected();
    if (s < 0 || rows_[std::size_t(s)].field != kOrganizeSetsField || !rows_[std::size_t(s)].IsEntry()) return;
    const PanelDragRef ref{PanelDragThisProcess(), ListId(), rows_[std::size_t(s)].entry};
    CPanelDropTarget::SetDragInProgress(&ref);
    wxDropSource source(this);
    source.SetData(*MakePanelDragData(ref));
    source.DoDragDrop(wxDrag_AllowMove);
    CPanelDropTarget::SetDragInProgress(nullptr);
}

bool CPaneViewList::TrackGridDrag(int, int y, bool leaving) {
    const int old = hoverRow_;
    hoverRow_ = -1;
    if (!leaving) {
        const int row = RowAt(y);
        if (row >= 0 && rows_[std::size_t(row)].IsEntry()) hoverRow_ = row;
    }
    if (old != hoverRow_) Refresh(false);
    return hoverRow_ >= 0 || leaving;
}

bool CPaneViewList::DropGridItems(int, int y, ViewRec* view) {
    CatalogRec* catalog = GetCatalog();
    const int row = RowAt(y);
    hoverRow_ = -1;
    if (!catalog || !view || row < 0 || !rows_[std::size_t(row)].IsEntry()) return false;
    Handle ids = ViewCollectIds(view, true);
    const long n = ids ? GetHandleSize(ids) / 4 : 0;
    std::vector<UInt32> items(static_cast<std::size_t>(n));
    if (n) std::memcpy(items.data(), *ids, std::size_t(n) * 4);
    if (ids) DisposeHandle(ids);
    const bool done = OrganizeDropItems(catalog, rows_[std::size_t(row)], items);
    Rebuild(true);
    return done;
}

bool CPaneViewList::TrackPanelDrag(int x, int y, bool leaving) {
    const int oldRow = dropRow_, oldLevel = dropLevel_;
    dropRow_ = dropLevel_ = -1;
    if (!leaving) {
        int row = RowAt(y);
        if (row < 0) row = GetRowCount();
        else if (y > RowRect(row).y + RowHeight() / 2) ++row;
        const int level = OrganizeSetDropLevel(GetCatalog(), rows_, row, x);
        if (level >= 0) dropRow_ = row, dropLevel_ = level;
    }
    if (oldRow != dropRow_ || oldLevel != dropLevel_) Refresh(false);
    return leaving || dropRow_ >= 0;
}

bool CPaneViewList::DropPanelData(int, int, const PanelDragRef& data) {
    const bool moved = dropRow_ >= 0 && OrganizeDropSet(GetCatalog(), GetView(), rows_, data.row, dropRow_, dropLevel_);
    dropRow_ = dropLevel_ = -1;
    Rebuild(true);
    return moved;
}

bool CPaneViewList::ToggleRowForDrag(int index, bool panelDrag, bool expandOnly) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog || index < 0 || index >= int(rows_.size())) return false;
    const OrganizeRow& row = rows_[std::size_t(index)];
    if (row.entry == kOrganizeRowHeader) {
        if (panelDrag) return false;
        const bool expanded = OrganizeIsExpanded(catalog, row.field);
        if (expandOnly && expanded) return false;
        OrganizeSetExpanded(catalog, row.field, !expanded);
    } else if (row.IsEntry()) {
        if (panelDrag && row.field != kOrganizeSetsField) return false;
        OrganizeEntry* entry = OrganizeGetEntry(catalog, row.field, UInt32(row.entry));
        if (!OrganizeEntryIsContainer(entry)) return false;
        const bool expanded = OrganizeEntryIsExpanded(entry);
        if (expandOnly && expanded) return false;
        OrganizeEntrySetExpanded(entry, expanded ? 0 : 1);
    } else {
        return false;
    }
    Rebuild(true);
    return true;
}
