#include "window/ui/CPaneInfoList.h"

#include "catalog/fields/FieldAccess.h"
#include "catalog/fields/FieldDef.h"
#include "catalog/fields/FieldFormat.h"
#include "catalog/fields/FieldIds.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRow.h"
#include "catalog/info/InfoRows.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/organize/OrganizeLists.h"
#include "foundation/messages/RegisteredMessages.h"
#include "foundation/ui/CInplaceEdit.h"
#include "foundation/ui/ListRows.h"
#include "foundation/ui/PopupMenus.h"
#include "foundation/ui/UiText.h"
#include "window/ui/CPanelDropTarget.h"
#include "window/ui/PanelHost.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewSelection.h"

#include <algorithm>
#include <wx/dc.h>
#include <wx/dcclient.h>
#include <wx/dnd.h>
#include <wx/settings.h>

namespace {

constexpr int kDragThreshold = 11;
const wxColour kHeaderFill(0xDE, 0xDE, 0xDE);
const wxColour kPlainFill(0xEE, 0xEE, 0xEE);

enum : short { kIconEditable = 2601, kIconEditableMixed = 2602, kIconTooLong = 2634, kIconSet = 2635 };

wxString FieldName(const CatalogRec* catalog, UInt32 field) {
    Str255 name;
    return FieldGetName(catalog, field, name) ? WxFromPStr(name) : wxString();
}

wxString HintText(UInt32 field) {
    switch (field) {
    case kFieldPeople: return LoadUiString(14703);
    case kFieldKeywords: return LoadUiString(14704);
    case kFieldCategories: return LoadUiString(14705);
    default: return wxString();
    }
}

bool TooLong(const InfoRow* row) {
    const std::int16_t max = FieldMaxLength(row->fieldId);
    return max > 0 && row->text[0] > max;
}

}  // namespace

CPaneInfoList::CPaneInfoList(wxWindow* parent, wxWindowID id) : CPaneListBase(parent, id), bridge_(this) {
    RegisterDropTarget();
    BindEvents();
}

CPaneInfoList::~CPaneInfoList() {
    if (CatalogRec* catalog = GetCatalog()) CatalogRemoveListener(catalog, bridge_.Handle(), 0);
}

void CPaneInfoList::BindEvents() {
    Bind(wxEVT_KEY_DOWN, &CPaneInfoList::OnKeyDown, this);
    Bind(wxEVT_MOTION, &CPaneInfoList::OnMotion, this);
    Bind(wxEVT_LEFT_UP, [this](wxMouseEvent& e) {
        dragArmed_ = false;
        e.Skip();
    });
    Bind(wxEVT_RIGHT_DOWN, [](wxMouseEvent&) {});
    Bind(EVT_WINDOW_MESSAGE, &CPaneInfoList::OnMessage, this);
}

void CPaneInfoList::AttachCatalog(CatalogRec* catalog) {
    if (GetCatalog() == catalog) return;
    if (editor_) CancelEdit();
    if (GetCatalog()) CatalogRemoveListener(GetCatalog(), bridge_.Handle(), 0);
    CPaneListBase::AttachCatalog(catalog);
    if (catalog) CatalogAddListener(catalog, bridge_.Handle(), kCatalogMsgHiddenFieldsChanged);
    Load(true);
}

int CPaneInfoList::SelectedItems() const {
    const ViewRec* view = GetView();
    return view ? int(ViewCountSelected(view)) : 0;
}

UInt32 CPaneInfoList::InfoRowAt(int row) const {
    return row >= 0 && std::size_t(row) < model_.rows.size() ? model_.rows[std::size_t(row)] : 0;
}

void CPaneInfoList::Rebuild() {
    InfoListBuild(GetCatalog(), SelectedItems(), &model_);
    const int top = int(GetVisibleRowsBegin());
    SetRowCount(int(model_.rows.size()));
    const int visible = std::max(1, GetClientSize().y / RowHeight());
    const int count = GetRowCount();
    // The old top row stays when the rows still fill the list from it.
    const int newTop = count >= top + visible ? top : count >= visible ? count - visible : 0;
    ScrollToRow(std::size_t(std::max(newTop, 0)));
    Refresh(false);
}

void CPaneInfoList::Load(bool force) {
    if (!force && !IsShownOnScreen()) return;
    Rebuild();
}

void CPaneInfoList::Reset() {
    CancelEdit();
    model_.rows.clear();
    SetRowCount(0);
}

void CPaneInfoList::SelectAlone(int row) {
    DeselectAll();
    SelectRow(row, true);
    EnsureRowVisible(row);
}

void CPaneInfoList::MeasureLabels(wxDC& dc) {
    if (labelWidth_ != 100) return;
    int widest = 0;
    for (UInt32 n : model_.rows) {
        const InfoRow* row = InfoGetRow(GetCatalog(), n);
        if (row && (row->kind == kInfoRowField || row->kind == kInfoRowMediaProperty))
            widest = std::max(widest, dc.GetTextExtent(FieldName(GetCatalog(), row->fieldId)).x);
    }
    if (widest) labelWidth_ = widest + 20;
}

void CPaneInfoList::DrawRow(wxDC& dc, const wxRect& rect, int index) {
    CatalogRec* catalog = GetCatalog();
    const InfoRow* row = catalog ? InfoListRow(catalog, model_, index) : nullptr;
    if (!row) {
        dc.SetPen(*wxTRANSPARENT_PEN);
        dc.SetBrush(*wxWHITE_BRUSH);
        dc.DrawRectangle(rect);
        return;
    }
    const bool editable = InfoRowIsEditable(row);
    const wxColour fill = RowFill(index), text = RowText(index);
    dc.SetTextForeground(text);
    if (InfoRowIsHeader(row)) {
        DrawListRowBackground(dc, rect, IsRowSelected(index) ? fill : kHeaderFill, *wxWHITE);
        DrawDisclosureIcon(dc, rect, !model_.folded.count(row->fieldId), 0);
        dc.SetFont(MakeListFont(true, false, false, false));
        LayoutListRow(dc, rect, LoadUiString(UInt16(51600 + row->fieldId)), 1, false, false);
        return;
    }
    switch (row->kind) {
    case kInfoRowField:
    case kInfoRowMediaProperty: {
        dc.SetFont(MakeListFont(false, false, false, false));
        MeasureLabels(dc);
        const wxRect label(rect.x, rect.y, labelWidth_, rect.height);
        const wxRect value(rect.x + labelWidth_, rect.y, rect.width - labelWidth_, rect.height);
        DrawListRowBackground(dc, label, IsRowSelected(index) ? fill : kPlainFill, *wxWHITE);
        DrawListRowBackground(dc, value, editable && row->state == kInfoStateChanged ? kHeaderFill : kPlainFill, *wxWHITE);
        if (editable) DrawListIcon(dc, rect, 0, row->state == kInfoStateUnchanged ? kIconEditable : kIconEditableMixed);
        LayoutListRow(dc, label, FieldName(catalog, row->fieldId), 1, false, false);
        wxString shown = WxFromPStr(row->text);
        if (row->kind == kInfoRowMediaProperty && shown.empty()) {
            if (const ViewRec* view = GetView(); view && view->currentItem) {
                FieldValue v;
                const UInt8 type = ItemGetFieldVisible(catalog, view->currentItem, 1, row->fieldId, &v);
                Str255 t;
                FieldValueToText(&v, type, row->fieldId, t, true);
                shown = WxFromPStr(t);
            }
        }
        dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNTEXT));
        if (row->state == kInfoStateRemoved)
            DrawListRowStruckOut(dc, value, shown, 0, TooLong(row), false);
        else
            LayoutListRow(dc, value, shown, 0, TooLong(row), false);
        if (TooLong(row)) DrawListIconRight(dc, rect, kIconTooLong);
        break;
    }
    case kInfoRowTrack:
        DrawListRowBackground(dc, rect, *wxWHITE, *wxWHITE);
        dc.SetFont(MakeListFont(false, false, true, false));
        LayoutListRow(dc, rect, WxFromPStr(row->text), 0, false, false);
        break;
    case kInfoRowValue: {
        DrawListRowBackground(dc, rect, fill, kPlainFill);
        dc.SetFont(MakeListFont(false, false, false, false));
        if (editable) DrawListIcon(dc, rect, 0, row->state == kInfoStateUnchanged ? kIconEditable : kIconEditableMixed);
        const bool right = TooLong(row) || row->fieldId == kOrganizeSetsField;
        if (row->state == kInfoStateRemoved)
            DrawListRowStruckOut(dc, rect, WxFromPStr(row->text), 1, right, false);
        else
            LayoutListRow(dc, rect, WxFromPStr(row->text), 1, right, false);
        if (TooLong(row)) DrawListIconRight(dc, rect, kIconTooLong);
        else if (row->fieldId == kOrganizeSetsField) DrawListIconRight(dc, rect, kIconSet);
        break;
    }
    case kInfoRowNewValue:
        DrawListRowBackground(dc, rect, IsRowSelected(index) ? fill : kPlainFill, *wxWHITE);
        dc.SetFont(MakeListFont(false, true, false, false));
        LayoutListRow(dc, rect, HintText(row->fieldId), 1, false, false);
        break;
    default:
        break;
    }
    // The insertion mark of a value being dragged: a line at the top of the insertion row.
    if (insertionRow_ >= 0 && (index == insertionRow_ || index == insertionRow_ - 1)) {
        const int y = index == insertionRow_ ? rect.y : rect.GetBottom();
        dc.SetPen(*wxBLACK_PEN);
        dc.SetBrush(*wxBLACK_BRUSH);
        dc.DrawLine(rect.x + 16, y, rect.GetRight(), y);
        dc.DrawRectangle(rect.x + 13, y - 2, 4, 4);
    }
}

bool CPaneInfoList::OnRowClick(int index, int x, int y, bool doubleClick) {
    CatalogRec* catalog = GetCatalog();
    const InfoRow* row = catalog ? InfoListRow(catalog, model_, index) : nullptr;
    if (!row) return false;
    if (InfoRowIsHeader(row)) {
        InfoListToggleSection(catalog, SelectedItems(), &model_, index);
        Rebuild();
        SelectAlone(index);
        return false;
    }
    // A set's row offers the set and the sets around it near its right edge.
    if (row->kind == kInfoRowValue && row->fieldId == kOrganizeSetsField && row->value > 0 &&
        x > GetClientSize().x - 20) {
        ShowSetPathMenu(row->value, wxPoint(x, y));
        return false;
    }
    if (!IsRowSelected(index) && !(doubleClick && row->kind == kInfoRowNewValue)) return true;
    if (!InfoRowIsEditable(row)) return true;
    const bool onValue = (row->kind == kInfoRowField && x > labelWidth_) ||
                         ((row->kind == kInfoRowNewValue || row->kind == kInfoRowValue) && x > 16);
    if (!onValue) return true;
    if (row->kind == kInfoRowValue && !doubleClick) {
        // A press on a value's text edits it; elsewhere on the row it may start a drag.
        wxClientDC dc(this);
        dc.SetFont(MakeListFont(false, false, false, false));
        const int textRight = 19 + dc.GetTextExtent(WxFromPStr(row->text)).x;
        if (x > textRight) {
            dragArmed_ = true;
            pressPoint_ = wxPoint(x, y);
            return true;
        }
    }
    SelectAlone(index);
    BeginEdit(index);
    return false;
}

bool CPaneInfoList::BeginEdit(int index) {
    CatalogRec* catalog = GetCatalog();
    const InfoRow* row = catalog ? InfoListRow(catalog, model_, index) : nullptr;
    if (!InfoRowIsEditable(row)) return false;
    EnsureRowVisible(index);
    wxRect rect = RowRect(index);
    const int left = row->kind == kInfoRowField ? labelWidth_ + 3 : 19;
    rect.x += left;
    rect.width -= left + 1;
    // A field with a pick list edits in a combo offering the values typed there before, kept
    // under the field's name; the combo needs a little more room than the row.
    std::string favorites;
    if (FieldGetPickList(FieldId(row->fieldId))) {
        favorites = Utf8FromWx(FieldName(catalog, row->fieldId));
        rect.x -= 2;
        rect.width += 2;
        rect.y -= 1;
        rect.height += 1;
    }
    // Long texts get several lines, grown into once the text needs them, within the list.
    const FieldDef* def = FieldFindDef(FieldId(row->fieldId));
    const int fullHeight = def && def->textKind == kFieldTextLong
                               ? std::max(rect.height + 1, std::min(rect.height * 4, GetClientSize().y - rect.y))
                               : 0;
    if (editor_) editor_->Destroy();
    editor_ = new CInplaceEdit;
    const wxString text = row->kind == kInfoRowNewValue ? wxString() : WxFromPStr(row->text);
    if (!editor_->Create(rect, this, text, favorites, 0, fullHeight)) {
        delete editor_;
        editor_ = nullptr;
        return false;
    }
    editedRow_ = index;
    return true;
}

void CPaneInfoList::RetireEditor() {
    if (!editor_) return;
    CInplaceEdit* old = editor_;
    editor_ = nullptr;
    old->Hide();
    // Never deleted inside the message it sent itself.
    CallAfter([old] { old->Destroy(); });
}

void CPaneInfoList::CancelEdit() {
    RetireEditor();
    editedRow_ = -1;
    Refresh(false);
}

void CPaneInfoList::EndEdit(long reason) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (editedRow_ < 0 || !editor_ || !catalog || !view) return;
    const int edited = editedRow_;
    const UInt32 rowNumber = InfoRowAt(edited);
    const InfoRow* row = InfoGetRow(catalog, rowNumber);
    const UInt32 field = row ? row->fieldId : 0;
    const UInt8 kind = row ? row->kind : 0;
    const std::string text = AnsiFromWx(editor_->GetText()).substr(0, 255);
    const wxString shownBefore = row ? WxFromPStr(row->text) : wxString();
    // A new value row keeps an empty text as "nothing added"; other rows store what is typed.
    const bool typed = kind == kInfoRowNewValue ? !text.empty() : editor_->GetText() != shownBefore;
    if (row && typed && InfoEditSetRowText(catalog, rowNumber, text.data(), long(text.size()))) {
        editor_->EndEdit();
        Rebuild();
    }
    RetireEditor();
    editedRow_ = -1;
    SetFocus();
    switch (reason) {
    case kComboDoneTab:
    case kComboDoneShiftTab: {
        const int at = InfoListIndexOf(model_, rowNumber);
        const int s = at >= 0 ? at : edited;
        int next = -1;
        if (reason == kComboDoneShiftTab)
            next = InfoListSelectPrevious(catalog, SelectedItems(), &model_, s);
        else if (kind == kInfoRowNewValue && typed)
            next = s + 1;  // the value went in before the add row, which comes next again
        else
            next = InfoListSelectNext(catalog, SelectedItems(), &model_, s);
        if (next >= 0 && next < int(model_.rows.size())) {
            SetRowCount(int(model_.rows.size()));
            SelectAlone(next);
            BeginEdit(next);
        }
        break;
    }
    case kComboDoneCtrlLeft:
    case kComboDoneCtrlUp:
    case kComboDoneCtrlRight:
    case kComboDoneCtrlDown:
        MoveCurrentItem(reason, field);
        break;
    default:
        Refresh(false);
        break;
    }
}

void CPaneInfoList::MoveCurrentItem(long reason, UInt32 field) {
    ViewRec* view = GetView();
    CatalogRec* catalog = GetCatalog();
    if (!view || !catalog) return;
    const SInt32 current = view->currentItem, columns = std::max<SInt32>(view->columnCount, 1);
    const SInt32 count = ViewItemCount(view);
    SInt32 target = 0;
    switch (reason) {
    case kComboDoneCtrlLeft: target = current > 1 ? current - 1 : 0; break;
    case kComboDoneCtrlUp: target = current > columns ? current - columns : 0; break;
    case kComboDoneCtrlRight: target = current < count ? current + 1 : 0; break;
    case kComboDoneCtrlDown: target = current + columns <= count ? current + columns : 0; break;
    default: break;
    }
    if (!target || !current) {
        Refresh(false);
        return;
    }
    // The view stores and commits this item's edits (it tells the Info panel first), then
    // builds the rows of the next item; the same field is edited there.
    ViewSelectItem(view, target, kSelectAlone, true);
    Rebuild();
    for (int i = 0; i < int(model_.rows.size()); ++i) {
        const InfoRow* row = InfoListRow(catalog, model_, i);
        if (row && !InfoRowIsHeader(row) && row->fieldId == field && InfoRowIsEditable(row) &&
            (row->kind == kInfoRowField || row->kind == kInfoRowNewValue)) {
            SelectAlone(i);
            BeginEdit(i);
            return;
        }
    }
}

void CPaneInfoList::OnMessage(WindowMessageEvent& event) {
    const UINT message = event.Message();
    const auto& ids = RegisteredMessages();
    if (message == ids.comboDone) {
        EndEdit(long(event.LParam()));
    } else if (message == ids.comboCancel) {
        CancelEdit();
        SetFocus();
    } else if (message == kCatalogMsgHiddenFieldsChanged) {
        if (CatalogRec* catalog = GetCatalog(); catalog && GetView())
            InfoLoadVisibleItem(catalog, GetView()->currentItem);
        Load(true);
    }
    event.SetResult(0);
}

void CPaneInfoList::OnKeyDown(wxKeyEvent& event) {
    CatalogRec* catalog = GetCatalog();
    const int s = FirstSelected();
    const int key = event.GetKeyCode();
    auto select = [this](int row) {
        if (row < 0) return;
        SetRowCount(int(model_.rows.size()));
        SelectAlone(row);
    };
    switch (key) {
    case WXK_TAB:
        if (event.ShiftDown()) PanelFocusGrid(this);
        else Navigate(wxNavigationKeyEvent::IsForward);
        return;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
    case WXK_F2:
        if (s >= 0) BeginEdit(s);
        return;
    case WXK_LEFT:
    case WXK_UP:
        if (key == WXK_LEFT && event.ControlDown()) PanelSendCommand(this, 33272);
        else select(InfoListSelectPrevious(catalog, SelectedItems(), &model_, s));
        return;
    case WXK_RIGHT:
    case WXK_DOWN:
        if (key == WXK_RIGHT && event.ControlDown()) PanelSendCommand(this, 33273);
        else select(InfoListSelectNext(catalog, SelectedItems(), &model_, s));
        return;
    case WXK_DELETE:
        if (catalog && s >= 0) {
            const UInt32 n = InfoRowAt(s);
            const InfoRow* row = InfoGetRow(catalog, n);
            // A value goes (an added one at once, a stored one when the edits are committed);
            // a field row gets its stored value back.
            if (row && row->kind == kInfoRowValue) InfoEditRemoveValue(catalog, n);
            else if (row) InfoEditRevertField(catalog, n);
            Rebuild();
        }
        return;
    default:
        event.Skip();
    }
}

void CPaneInfoList::OnMotion(wxMouseEvent& event) {
    event.Skip();
    if (!dragArmed_ || !event.LeftIsDown()) return;
    const wxPoint d = event.GetPosition() - pressPoint_;
    if (std::abs(d.x) >= kDragThreshold || std::abs(d.y) >= kDragThreshold) StartDrag();
}

void CPaneInfoList::StartDrag() {
    dragArmed_ = false;
    const int s = FirstSelected();
    if (s < 0) return;
    const PanelDragRef ref{PanelDragThisProcess(), ListId(), SInt32(InfoRowAt(s))};
    CPanelDropTarget::SetDragInProgress(&ref);
    wxDropSource source(this);
    source.SetData(*MakePanelDragData(ref));
    source.DoDragDrop(wxDrag_AllowMove);
    CPanelDropTarget::SetDragInProgress(nullptr);
}

bool CPaneInfoList::TrackPanelDrag(int x, int y, bool leaving) {
    const int old = insertionRow_;
    insertionRow_ = -1;
    bool allowed = leaving;
    if (!leaving) {
        (void)x;
        int row = RowAt(y);
        if (row < 0) row = GetRowCount();
        else if (y > RowRect(row).y + RowHeight() / 2) ++row;
        const int from = FirstSelected();
        if (CountSelected() == 1 && InfoListDropAllowed(GetCatalog(), model_, from, row)) {
            insertionRow_ = row;
            allowed = true;
        }
    }
    if (old != insertionRow_) Refresh(false);
    return allowed;
}

bool CPaneInfoList::DropPanelData(int, int, const PanelDragRef& data) {
    CatalogRec* catalog = GetCatalog();
    bool moved = false;
    if (catalog && insertionRow_ >= 0 && data.row > 0) {
        moved = InfoEditMoveRow(catalog, UInt32(data.row), InfoListDropTarget(catalog, model_, insertionRow_));
        DeselectAll();
        Rebuild();
    }
    insertionRow_ = -1;
    Refresh(false);
    return moved;
}

void CPaneInfoList::ShowSetPathMenu(UInt32 set, const wxPoint& at) {
    CatalogRec* catalog = GetCatalog();
    ViewRec* view = GetView();
    if (!catalog || !view) return;
    const std::vector<UInt32> path = InfoSetPath(catalog, set);
    ::PopupMenu menu;
    for (UInt32 n : path) menu.AppendItem(OrganizeGetEntry(catalog, kOrganizeSetsField, n)->text, true, false);
    const int pick = menu.TrackAt(this, at);
    if (pick < 1 || std::size_t(pick) > path.size()) return;
    view->filters.clear();
    ViewAddFilter(view, kFilterOrganizeEntry, SInt32(kOrganizeSetsField), SInt32(path[std::size_t(pick - 1)]), true);
}
