#include "window/ui/CPaneViewList.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeIndex.h"
#include "catalog/organize/OrganizeLists.h"
#include "catalog/organize/OrganizeSets.h"
#include "catalog/organize/OrganizeValues.h"
#include "catalog/tables/Labels.h"
#include "foundation/messages/RegisteredMessages.h"
#include "foundation/ui/CInplaceEdit.h"
#include "foundation/ui/CQXDatePicker.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/ListRows.h"
#include "foundation/ui/PopupMenus.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"
#include "platform/MacDates.h"
#include "window/ui/CPanelDropTarget.h"
#include "window/panels/FieldOrganizer.h"
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

enum : short { kIconNoLabel = 176, kIconCount = 2600, kIconSetContainer = 2611, kIconDateContainer = 2621, kIconEmptyEntry = 2714,
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
    RGBColor sample{};
    if (row.field == kFieldSampleColor) {
        // A sample colour shows itself where other entries show their icon; a value that is
        // no colour shows the plain entry icon.
        if (OrganizeEntryColor(entry, row.field, &sample))
            DrawListColourSwatch(dc, rect, row.level + 1, wxColour(sample.red >> 8, sample.green >> 8, sample.blue >> 8));
        else
            DrawListIcon(dc, rect, row.level + 1, OrganizeEntryGetCount(entry) ? kIconEntry : kIconEmptyEntry);
    } else if (container) {
        DrawDisclosureIcon(dc, rect, OrganizeEntryIsExpanded(entry), row.level);
        DrawListIcon(dc, rect, row.level + 1, row.field == kOrganizeDateField ? kIconDateContainer : kIconSetContainer);
    } else if (row.field != kOrganizeLabelsField || entry->text[0] == 0) {
        DrawListIcon(dc, rect, row.level + 1, OrganizeEntryGetCount(entry) ? kIconEntry : kIconEmptyEntry);
    }
    const bool bold = (container && OrganizeEntryIsExpanded(entry)) || row.selectedItems;
    dc.SetFont(MakeListFont(bold, false, false, false));
    if (row.selectedItems) dc.SetTextForeground(*wxBLUE);
    wxString shown = EntryText(entry, row.field);
    if (row.field == kOrganizeLabelsField && entry->text[0] > 0) {
        // A label entry's text ends in its number: the label's name and colour show instead.
        const int label = entry->text[entry->text[0]] - '0';
        Str255 name;
        RGBColor colour{};
        LabelGetInfo(label, name, &colour);
        shown = WxFromPStr(name) + wxString::Format(" [%d]", label);
        const wxRect swatch(rect.x, rect.y, rect.width, rect.height);
        if (label == 0)
            DrawListIcon(dc, swatch, row.level + 1, kIconNoLabel);
        else
            DrawListColourSwatch(dc, swatch, row.level + 1, wxColour(colour.red >> 8, colour.green >> 8, colour.blue >> 8));
    }
    LayoutListRow(dc, text, shown, row.level + 2, false, false);
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
        if (x >= width - kHeaderBox) {
            ShowFieldMenu(index, wxPoint(x, y));
            return false;
        }
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
    if (!entry) return false;
    if (x >= width - kCountBox) {
        ShowEntryMenu(index, wxPoint(x, y));
        return false;
    }
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
    case WXK_DELETE:
        RemoveSelectedGroups();
        return;
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
    if (row < 0) return;
    if (rows_[std::size_t(row)].entry == kOrganizeRowHeader) ShowFieldMenu(row, event.GetPosition());
    else if (rows_[std::size_t(row)].IsEntry()) ShowEntryMenu(row, event.GetPosition());
}

void CPaneViewList::ShowEntryMenu(int index, const wxPoint& at) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view) return;
    const OrganizeRow row = rows_[std::size_t(index)];
    const OrganizeEntry* entry = OrganizeGetEntry(catalog, row.field, UInt32(row.entry));
    ::PopupMenu menu;
    Str255 title, name;
    PStrFromWx((FieldGetName(catalog, row.field, name) ? WxFromPStr(name) : wxString()) + ": " + EntryText(entry, row.field),
               title);
    menu.AppendItem(title, false, false);
    std::vector<short> chosen{0};
    // Four groups, each after a separator when it offers anything; the last one only while
    // the view has a current item.
    const std::vector<std::vector<short>> groups = {
        {kOrganizeCmdShowContent, kOrganizeCmdSelectContent, kOrganizeCmdEmptyContent},
        {kOrganizeCmdAddSubSet, kOrganizeCmdAddSubSetContainer},
        {kOrganizeCmdRename, kOrganizeCmdDuplicate, kOrganizeCmdDelete, kOrganizeCmdDeleteWithContent},
        {kOrganizeCmdAddSelected, kOrganizeCmdRemoveSelected}};
    for (std::size_t g = 0; g < groups.size(); ++g) {
        if (g == 3 && !view->currentItem) break;
        bool separated = false;
        for (short c : groups[g]) {
            if (!OrganizeCommandAllowed(entry, row.field, c)) continue;
            if (!separated) {
                Str255 dash;
                PStrFromWx("-", dash);
                menu.AppendItem(dash, true, false);
                chosen.push_back(0);
                separated = true;
            }
            menu.AppendIndexedItem(146, 30 + c, true, false);
            chosen.push_back(c);
        }
    }
    hotRow_ = index;
    RefreshRow(std::size_t(index));
    const int pick = menu.TrackAt(this, at);
    hotRow_ = -1;
    RefreshRow(std::size_t(index));
    if (pick >= 1 && std::size_t(pick) <= chosen.size() && chosen[std::size_t(pick - 1)])
        RunEntryCommand(index, chosen[std::size_t(pick - 1)]);
}

namespace {

Handle EntryItems(const CatalogRec* catalog, UInt32 field, UInt32 n) {
    Handle ids = NewHandle(0);
    if (ids) OrganizeCollectItems(catalog, field, n, false, ids);
    return ids;
}

// Asks with an alert of list 130; true for its first button.
bool Confirm(short message, short button, const wxString& text) {
    Str255 t0;
    PStrFromWx(text, t0);
    return ShowAlert(kAlertWarning, message, 0, button, 2, 0, t0) == 1;
}

enum : short { kButtonDelete = 7, kButtonRemove = 8, kButtonEmpty = 33 };

}  // namespace

void CPaneViewList::RunEntryCommand(int index, short command) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view || index < 0 || index >= int(rows_.size()) || !rows_[std::size_t(index)].IsEntry()) return;
    const OrganizeRow row = rows_[std::size_t(index)];
    const UInt32 n = UInt32(row.entry);
    OrganizeEntry* entry = OrganizeGetEntry(catalog, row.field, n);
    if (!OrganizeCommandAllowed(entry, row.field, command)) return;
    const wxString text = EntryText(entry, row.field);
    switch (command) {
    case kOrganizeCmdShowContent:
        view->filters.clear();
        ViewAddFilter(view, kFilterOrganizeEntry, SInt32(row.field), row.entry, true);
        AfterFilterChange(index);
        return;
    case kOrganizeCmdSelectContent: {
        Handle ids = EntryItems(catalog, row.field, n);
        if (ids) ViewSelectItems(view, ids), DisposeHandle(ids);
        return;
    }
    case kOrganizeCmdEmptyContent: {
        if (!Confirm(95, kButtonEmpty, text)) return;
        Handle ids = EntryItems(catalog, row.field, n);
        if (ids) OrganizeUnassignItems(catalog, row.field, n, ids, nullptr, 0), DisposeHandle(ids);
        CatalogSetModified(catalog);
        break;
    }
    case kOrganizeCmdAddSubSet:
    case kOrganizeCmdAddSubSetContainer:
        OrganizeEntrySetExpanded(entry, 1);
        AddEntry(row.field, OrganizeSubtreeEnd(OrganizeGetList(catalog, row.field), n), UInt8(entry->level + 1),
                 command == kOrganizeCmdAddSubSetContainer);
        return;
    case kOrganizeCmdRename:
        BeginRename(index);
        return;
    case kOrganizeCmdDuplicate: {
        const UInt32 end = OrganizeSubtreeEnd(OrganizeGetList(catalog, row.field), n);
        Str255 copy;
        PStrFromWx(WxFromPStr(entry->text) + LoadUiString(12838), copy);
        const std::vector<UInt32> items = entry->items;
        if (OrganizeInsertNamedEntry(catalog, row.field, end, copy, entry->level, 0) == noErr && !items.empty())
            OrganizeEntryAddItems(catalog, row.field, end + 1, items.data(), UInt32(items.size()));
        CatalogSetModified(catalog);
        break;
    }
    case kOrganizeCmdDelete:
        if (!Confirm(93, kButtonDelete, text)) return;
        std::erase_if(view->filters, [&](const FilterEntry& e) {
            return e.kind == kFilterOrganizeEntry && e.key == SInt32(row.field) && e.value == row.entry;
        });
        OrganizeRemoveEntry(catalog, row.field, n, nullptr, 0);
        CatalogSetModified(catalog);
        ViewReapplyFilters(view);
        break;
    case kOrganizeCmdDeleteWithContent:
        // Only file properties and dates offer this; removing such an entry takes its items
        // out of the catalog, and the view follows the catalog's notice of each.
        if (!Confirm(94, kButtonDelete, text)) return;
        std::erase_if(view->filters, [&](const FilterEntry& e) {
            return e.kind == kFilterOrganizeEntry && e.key == SInt32(row.field) && e.value == row.entry;
        });
        OrganizeRemoveEntry(catalog, row.field, n, nullptr, 0);
        CatalogSetModified(catalog);
        ViewReapplyFilters(view);
        break;
    case kOrganizeCmdAddSelected: {
        Handle ids = ViewCollectIds(view, true);
        if (ids) OrganizeAssignItems(catalog, row.field, n, ids, nullptr, 0), DisposeHandle(ids);
        break;
    }
    case kOrganizeCmdRemoveSelected: {
        if (!Confirm(98, kButtonRemove, text)) return;
        Handle ids = ViewCollectIds(view, true);
        if (ids) OrganizeUnassignItems(catalog, row.field, n, ids, nullptr, 0), DisposeHandle(ids);
        ViewShowOrganizeSelection(view);
        break;
    }
    default:
        return;
    }
    Rebuild(true);
}

void CPaneViewList::AddEntry(UInt32 field, UInt32 after, UInt8 level, bool container) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return;
    Str255 name;
    OrganizeMakeUniqueName(catalog, field, name);
    if (OrganizeInsertNamedEntry(catalog, field, after, name, level, container ? 1 : 0) != noErr) return;
    CatalogSetModified(catalog);
    Rebuild(true);
    BeginRename(FindRow(field, SInt32(after + 1)));
}

void CPaneViewList::AddDate() {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return;
    CQXDatePicker picker(this);
    if (picker.DoModal() != IDOK) return;
    DateTimeRec date = picker.Date();
    UInt32 seconds = 0;
    DateToSeconds(&date, &seconds);
    // The day and the year and month it needs; items come to it later from its menu or a drop.
    if (!OrganizeAddItemDate(catalog, 0, seconds)) return;
    CatalogSetModified(catalog);
    Rebuild(true);
}

void CPaneViewList::ShowFieldOrganizerMenu(const wxPoint& at) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return;
    ::PopupMenu menu;
    std::vector<UInt32> chosen;
    for (UInt32 code : FieldOrganizerCodes()) {
        Str255 text;
        bool enabled = false, marked = false;
        switch (code) {
        case kOrganizerSeparator: PStrFromWx("-", text); break;
        case kOrganizerListHeading: PStrFromWx(LoadUiString(14035), text); break;
        case kOrganizerSaveDefault: PStrFromWx(LoadUiString(14036), text), enabled = true; break;
        case kOrganizerLoadDefault: PStrFromWx(LoadUiString(14037), text), enabled = FieldOrganizerHasDefault(); break;
        case kOrganizerQuickHeading: PStrFromWx(LoadUiString(14038), text); break;
        case kOrganizerMediaHeading: PStrFromWx(LoadUiString(14039), text); break;
        case kOrganizerAnnotationHeading: PStrFromWx(LoadUiString(14040), text); break;
        default:
            // A custom field the catalog never named is left out.
            if (!FieldGetName(catalog, code, text) || text[0] == 0) continue;
            enabled = true;
            marked = OrganizeIsEnabled(catalog, code);
        }
        menu.AppendItem(text, enabled, marked);
        chosen.push_back(code);
    }
    const int pick = menu.TrackAt(this, at);
    if (pick >= 1 && std::size_t(pick) <= chosen.size()) RunFieldOrganizerCommand(chosen[std::size_t(pick - 1)]);
}

void CPaneViewList::RunFieldOrganizerCommand(UInt32 code) {
    CatalogRec* catalog = GetCatalog();
    if (!catalog) return;
    if (code == kOrganizerSaveDefault) {
        FieldOrganizerSaveDefault(catalog);
        return;
    }
    if (code == kOrganizerLoadDefault) {
        if (FieldOrganizerLoadDefault(catalog)) Rebuild(true);
        return;
    }
    if (OrganizeFieldRowIndex(code) < 0) return;
    FieldOrganizerSetShown(catalog, code, !OrganizeIsEnabled(catalog, code));
    Rebuild(true);
}

void CPaneViewList::ShowFieldMenu(int index, const wxPoint& at) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view || !OrganizeIsExpanded(catalog, rows_[std::size_t(index)].field)) return;
    const UInt32 field = rows_[std::size_t(index)].field;
    ::PopupMenu menu;
    const bool filtered = ViewHasFilter(view, kFilterOrganizeEntry, SInt32(field), 0);
    if (field == kOrganizeSetsField) {
        menu.AppendIndexedItem(146, 13, true, false);
    } else {
        menu.AppendIndexedItem(146, 10, true, false);
        menu.AppendIndexedItem(146, 11, filtered, false);
        menu.AppendIndexedItem(146, 12, filtered && ViewCountFilters(view) == 1, false);
    }
    hotRow_ = index;
    RefreshRow(std::size_t(index));
    const int pick = menu.TrackAt(this, at);
    hotRow_ = -1;
    RefreshRow(std::size_t(index));
    if (pick > 0) RunFieldCommand(index, pick);
}

void CPaneViewList::RunFieldCommand(int index, int which) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view || index < 0 || index >= int(rows_.size())) return;
    const UInt32 field = rows_[std::size_t(index)].field;
    if (which == 1) {
        if (field == kOrganizeDateField) {
            AddDate();
            return;
        }
        AddEntry(field, OrganizeGetEntryCount(catalog, field), 0, false);
    } else if (which == 2 && field != kOrganizeSetsField) {
        RemoveSelectedGroups();
    } else if (which == 3 && field != kOrganizeSetsField && ViewCountFilters(view) == 1) {
        const FilterEntry first = ViewGetFirstFilter(view);
        BeginRename(FindRow(UInt32(first.key), first.value));
    }
}

void CPaneViewList::RemoveSelectedGroups() {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view) return;
    const FilterEntry first = ViewGetFirstFilter(view);
    if (view->filters.empty() || first.kind != kFilterOrganizeEntry) {
        wxBell();
        return;
    }
    // Entries of file properties and dates take their items out of the catalog with them.
    const OrganizeFieldRow* fieldRow = OrganizeFieldRowFor(UInt32(first.key));
    const bool removesItems = fieldRow && !fieldRow->removableValue && UInt32(first.key) != kOrganizeSetsField;
    Str255 head, detail;
    PStrFromWx(LoadUiString(14606), head);
    PStrFromWx(LoadUiString(removesItems ? 14608 : 14607), detail);
    if (ShowAlert(kAlertWarning, 79, 0, kButtonRemove, 2, 0, head, detail) != 1) return;
    ViewRemoveFieldEntries(view, 0);
    if (removesItems) ViewShowAll(view);
    Rebuild(true);
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
