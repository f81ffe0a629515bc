#include "window/ui/CGridView.h"

#include "catalog/fields/FieldIds.h"
#include "catalog/file/CatalogEngine.h"
#include "catalog/items/ItemBlocks.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "catalog/notify/CatalogNotify.h"
#include "catalog/tables/CatalogTables.h"
#include "foundation/messages/RegisteredMessages.h"
#include "foundation/settings/Preferences.h"
#include "foundation/settings/PreferencesRec.h"
#include "foundation/text/Unicode.h"
#include "foundation/ui/CRenameEdit.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/CommandIds.h"
#include "foundation/ui/UiText.h"
#include "foundation/utilities/OpenInBrowser.h"
#include "import/adding/AddFiles.h"
#include "platform/Files.h"
#include "platform/Handles.h"
#include "window/grid/GridImport.h"
#include "window/grid/ShowInFileManager.h"
#include "window/ui/CGridDropTarget.h"
#include "window/ui/CMediaHeaderBar.h"
#include "window/ui/CMediaStatusBar.h"
#include "window/ui/CGridContainer.h"
#include "window/ui/CMyTabCtrl.h"
#include "window/ui/CSidePanel.h"
#include "window/ui/GridViewHost.h"
#include "window/ui/PortBlit.h"
#include "window/view/CellText.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewModes.h"
#include "window/view/ViewNames.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewPlayback.h"
#include "window/view/ViewSelection.h"

#include <cairo.h>
#include <map>
#include <wx/app.h>
#include <wx/frame.h>
#include <wx/log.h>
#include <wx/textentry.h>

namespace {

// The engine's scroll procedure carries a 32-bit reference, never an address: views are found
// by a serial number among the live ones. The same serial names a view in drag data.
std::map<UInt32, CGridView*>& LiveViews() {
    static std::map<UInt32, CGridView*> views;
    return views;
}
UInt32 gNextScrollRef = 1;
// An item-changed notification may redraw, which may change items again: one at a time.
bool gItemChangedRunning = false;
// The mode a double click into the Media view came from, to go back to.
UInt8 gModeBeforeMedia = kViewThumbnail;

constexpr UINT kListenedMessages[] = {
    kCatalogMsgModified,          kCatalogMsgOrganizeChanged,   kCatalogMsgItemChanged,
    kCatalogMsgItemsAdded,        kCatalogMsgItemDeleted,       kCatalogMsgShownItemsChanged,
    kCatalogMsgSelectionChanged,  kCatalogMsgSlotSizeGrew,      kCatalogMsgStatusBar,
    kCatalogMsgFolderTreeChanged, kCatalogMsgPlaybackChanged,
};

constexpr int kRunSlideShow = 32919;
constexpr int kPreviousState = 33272, kNextState = 33273;
constexpr int kMoveToTop = 32899, kMoveToBottom = 32900;

int VirtualKeyOf(int wxKey) {
    switch (wxKey) {
    case WXK_LEFT: return kVKLeft;
    case WXK_RIGHT: return kVKRight;
    case WXK_UP: return kVKUp;
    case WXK_DOWN: return kVKDown;
    case WXK_HOME: return kVKHome;
    case WXK_END: return kVKEnd;
    case WXK_PAGEUP: return kVKPageUp;
    case WXK_PAGEDOWN: return kVKPageDown;
    case WXK_SPACE: return kVKSpace;
    case WXK_ADD: case WXK_NUMPAD_ADD: return kVKAdd;
    case WXK_SUBTRACT: case WXK_NUMPAD_SUBTRACT: return kVKSubtract;
    default: return 0;
    }
}

UInt32 ClickModifiers(const wxMouseState& e) {
    return (e.ControlDown() ? kClickControl : 0) | (e.ShiftDown() ? kClickShift : 0) | (e.AltDown() ? kClickAlt : 0);
}

Point ToPoint(const wxPoint& p) { return Point{SInt16(p.y), SInt16(p.x)}; }

// The columns of the view mode's field list that an in-place edit can open on.
std::vector<bool> EditableColumns(const CatalogRec* catalog, UInt8 mode, int* columnOf, UInt32 field) {
    std::vector<bool> editable;
    const ViewFieldList* fields = CatalogGetSlotRec(const_cast<CatalogRec*>(catalog), mode);
    if (columnOf) *columnOf = -1;
    for (int i = 0; fields && i < 10 && fields->fields[i].fieldId != 0; ++i) {
        const UInt32 id = fields->fields[i].fieldId;
        editable.push_back(id == kFieldFileName || id == kFieldCaption);
        if (columnOf && id == field && *columnOf < 0) *columnOf = i;
    }
    return editable;
}

void ShowEditAlert(OSErr err) { ShowAlertSimple(0, 42, err, 1, 0, 0); }

}  // namespace

CGridView::CGridView(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE, "LyrexGridView"),
      bridge_(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    scrollRef_ = gNextScrollRef++;
    serial_ = scrollRef_;
    LiveViews()[scrollRef_] = this;
    SetDropTarget(new CGridDropTarget(this));
    BindEvents();
}

CGridView::~CGridView() {
    // The windows around may be gone already; they were told when the frame let go first.
    catalogObserver_ = nullptr;
    LiveViews().erase(scrollRef_);
    ReleaseView();
}

CGridView* CGridView::FindLive(UInt64 serial) {
    if (serial == 0 || serial > 0xFFFFFFFFull) return nullptr;
    auto it = LiveViews().find(UInt32(serial));
    return it == LiveViews().end() ? nullptr : it->second;
}

void CGridView::BindEvents() {
    Bind(wxEVT_PAINT, &CGridView::OnPaint, this);
    Bind(wxEVT_SIZE, &CGridView::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &CGridView::OnButtonDown, this);
    Bind(wxEVT_RIGHT_DOWN, &CGridView::OnButtonDown, this);
    Bind(wxEVT_LEFT_UP, &CGridView::OnButtonUp, this);
    Bind(wxEVT_RIGHT_UP, &CGridView::OnButtonUp, this);
    Bind(wxEVT_LEFT_DCLICK, &CGridView::OnDoubleClick, this);
    Bind(wxEVT_MOUSEWHEEL, &CGridView::OnMouseWheel, this);
    Bind(wxEVT_MOTION, &CGridView::OnMotion, this);
    Bind(wxEVT_SET_CURSOR, &CGridView::OnSetCursor, this);
    Bind(wxEVT_KEY_DOWN, &CGridView::OnKeyDown, this);
    Bind(wxEVT_SET_FOCUS, &CGridView::OnSetFocus, this);
    Bind(wxEVT_KILL_FOCUS, [](wxFocusEvent& e) { e.Skip(); });
    Bind(EVT_WINDOW_MESSAGE, &CGridView::OnWindowMessage, this);
}

void CGridView::Listen(bool on) {
    if (!catalog_) return;
    for (UINT message : kListenedMessages) {
        if (on) CatalogAddListener(catalog_, bridge_.Handle(), message);
    }
    if (!on) CatalogRemoveListener(catalog_, bridge_.Handle(), 0);
}

// ---- catalog ----------------------------------------------------------------------------------

void CGridView::ReleaseView() {
    if (catalog_ && catalogObserver_) catalogObserver_(nullptr);
    DiscardEditor();
    if (view_) {
        ViewGiveBackDefaults(view_);
        ViewDispose(view_);
        view_ = nullptr;
    }
    if (catalog_) {
        Listen(false);
        CatalogClose(catalog_, true);
        catalog_ = nullptr;
    }
    if (port_) ViewPortDispose(port_);
    if (headerPort_) ViewPortDispose(headerPort_);
    port_ = headerPort_ = nullptr;
    mode_ = kModeNormal;
    dropIndex_ = -1;
    drop_.Reset();
    markerShown_ = false;
    pendingImport_.clear();
    importPending_ = false;
}

OSErr CGridView::SetCatalog(const std::string& path, const std::string& workPath) {
    ReleaseView();
    FSSpec spec, work;
    // The work file must not exist yet: "not found" is the answer wanted here.
    OSErr err = FSMakeFSSpecFromPath(workPath, &work);
    if (err != noErr && err != fnfErr) return err;
    if (!path.empty()) {
        err = FSMakeFSSpecFromPath(path, &spec);
        if (err != noErr) return err;
    }
    CatalogRec* catalog = nullptr;
    err = CatalogOpen(&catalog, path.empty() ? nullptr : &spec, &work, nullptr, nullptr, nullptr, 0);
    if (err != noErr) return err;
    const wxSize size = GetClientSize();
    port_ = ViewPortNew(SInt16(std::max(size.x, 16)), SInt16(std::max(size.y, 16)));
    headerPort_ = ViewPortNew(SInt16(std::max(size.x, 16)), 23);
    ViewRec* view = nullptr;
    err = port_ ? ViewCreate(&view, port_, headerPort_, catalog) : OSErr(memFullErr);
    if (err != noErr) {
        CatalogClose(catalog, false);
        if (port_) ViewPortDispose(port_);
        if (headerPort_) ViewPortDispose(headerPort_);
        port_ = headerPort_ = nullptr;
        return err;
    }
    catalog_ = catalog;
    view_ = view;
    ViewTakeDefaults(view_);
    ViewSetScrollProc(view_, &CGridView::ScrollProc, scrollRef_);
    view_->active = 1;
    Listen(true);
    RedrawAll();
    // The Media view opens on an item rather than on nothing.
    if (ViewGetMode(view_) == kViewMedia && ViewItemCount(view_) > 0) {
        ViewSelectItem(view_, FirstCurrentItem(0, ViewItemCount(view_)), kSelectAlone, true);
        ShowDamage();
    }
    if (catalogObserver_) catalogObserver_(catalog_);
    return noErr;
}

void CGridView::RedrawAll() {
    if (!view_) {
        Refresh(false);
        return;
    }
    const wxSize size = GetClientSize();
    if (size.x > 0 && size.y > 0) {
        const Rect r{0, 0, SInt16(size.y), SInt16(size.x)};
        ViewSetRect(view_, &r);
    } else {
        ViewLayout(view_, catalog_);
    }
    // The header bar may have been sized before this view existed: its port and rectangle
    // follow the bar's window here, before the engine draws it.
    if (header_ && headerPort_) {
        const int width = std::max(header_->GetClientSize().x, 16);
        const Rect bar{0, 0, SInt16(CMediaHeaderBar::kHeight), SInt16(width)};
        if (view_->headerRect.right != bar.right || view_->headerRect.bottom != bar.bottom) {
            ViewPortResize(headerPort_, SInt16(width), SInt16(CMediaHeaderBar::kHeight));
            view_->headerRect = bar;
        }
    }
    ViewRedraw(view_, nullptr);
    ViewDrawHeaderBar(view_);
    Refresh(false);
    if (header_) header_->Refresh(false);
    ShowDamage();
}

void CGridView::ShowDamage() {
    RefreshPortDamage(this, port_);
    if (header_ && headerPort_) RefreshPortDamage(header_, headerPort_);
}

void CGridView::ScrollProc(UInt32 refCon, SInt32 firstRow, SInt32 lastFirstRow, SInt32 pageRows) {
    auto it = LiveViews().find(refCon);
    if (it != LiveViews().end() && it->second->scrollListener_) it->second->scrollListener_(firstRow, lastFirstRow, pageRows);
}

CMediaStatusBar* CGridView::StatusBar() const {
    auto* frame = dynamic_cast<wxFrame*>(wxGetTopLevelParent(const_cast<CGridView*>(this)));
    return frame ? dynamic_cast<CMediaStatusBar*>(frame->GetStatusBar()) : nullptr;
}

CSidePanel* CGridView::SidePanel() const {
    auto* container = dynamic_cast<CGridContainer*>(GetParent());
    return container ? container->GetSidePanel() : nullptr;
}

void CGridView::SendCommandToFrame(int command) {
    wxWindow* top = wxGetTopLevelParent(this);
    if (!top) return;
    wxCommandEvent event(wxEVT_MENU, WxIdOf(command));
    event.SetEventObject(top);
    top->GetEventHandler()->ProcessEvent(event);
}

void CGridView::SendFrameMessage(UINT message, WPARAM wParam) {
    wxWindow* top = wxGetTopLevelParent(this);
    if (!top) return;
    WindowMessageEvent event(message, wParam, 0);
    event.SetEventObject(this);
    top->GetEventHandler()->ProcessEvent(event);
}

// ---- painting and size ------------------------------------------------------------------------

void CGridView::OnPaint(wxPaintEvent&) {
    if (!view_) {
        PaintFromPort(this, nullptr);
        return;
    }
    // The drop marker is an overlay on the engine's picture: a bar at the insertion edge.
    const bool marker = markerShown_;
    const Rect m = markerRect_;
    const bool singleColumn = view_->columnCount == 1;
    PaintFromPort(this, port_, [marker, m, singleColumn](cairo_t* cr) {
        if (!marker) return;
        cairo_set_source_rgb(cr, 0.1, 0.3, 0.9);
        if (singleColumn) cairo_rectangle(cr, m.left, m.top - 1, m.right - m.left, 3);
        else cairo_rectangle(cr, m.left - 1, m.top, 3, m.bottom - m.top);
        cairo_fill(cr);
    });
}

void CGridView::OnSize(wxSizeEvent& event) {
    // GTK sends sizes that did not change (a child appearing, the frame laid out again): only a
    // real change of size ends an edit.
    if (GetClientSize() != lastSize_) {
        lastSize_ = GetClientSize();
        CommitEdit();
    }
    if (view_) RedrawAll();
    event.Skip();
}

// ---- mouse ------------------------------------------------------------------------------------

bool CGridView::PointOnName(ViewCell cell, Point pt) const {
    const UInt8 mode = ViewGetMode(view_);
    const ViewFieldList* fields = CatalogGetSlotRec(catalog_, mode);
    if (!fields) return false;
    Rect r;
    ViewCellRect(view_, cell, &r);
    ViewCellPartRects parts;
    ViewCellParts(view_, mode, CatalogGetSlotRec16(catalog_, mode), fields, &r, &parts);
    for (int i = 0; i < 10 && fields->fields[i].fieldId != 0; ++i) {
        if (fields->fields[i].fieldId != kFieldFileName) continue;
        const Rect& v = parts.values[i];
        if (pt.h >= v.left && pt.h < v.right && pt.v >= v.top && pt.v < v.bottom) return true;
    }
    return false;
}

void CGridView::OnButtonDown(wxMouseEvent& event) {
    const bool left = event.LeftDown();
    if (left && FindFocus() != this) SetFocus();
    DiscardEditor();
    clickKind_ = kClickNone;
    press_ = ToPoint(event.GetPosition());
    if (!view_ || mode_ == kModeMoveToLocation) return;
    const UInt8 mode = ViewGetMode(view_);
    if (mode == kViewMedia) {
        Rect r;
        if (ViewFindEditField(view_, &press_, nullptr, &r, nullptr, nullptr)) clickKind_ = kClickEditField;
        ShowDamage();
        return;
    }
    ViewCell cell;
    bool selected = false;
    const bool onCell = ViewHitTest(view_, press_, &cell, &selected);
    const SInt32 item = onCell ? ViewCellToIndex(view_, cell) : 0;
    if (onCell) buttonDown_ = true;
    const PressDecision d = DecidePress(mode, ClickModifiers(event), onCell, onCell && PointOnName(cell, press_),
                                        onCell && item == view_->currentItem);
    if (d.selectKind >= 0 && item >= 1) ViewSelectItem(view_, item, d.selectKind, false);
    clickKind_ = d.clickKind;
    ShowDamage();
}

void CGridView::OnButtonUp(wxMouseEvent& event) {
    const bool left = event.LeftUp();
    buttonDown_ = false;
    if (!view_) {
        event.Skip();
        return;
    }
    const Point pt = ToPoint(event.GetPosition());
    if (mode_ == kModeMoveToLocation) {
        mode_ = kModeNormal;
        ViewCell cell;
        bool selected = false;
        SInt32 n = ViewItemCount(view_) + 1;
        if (ViewHitTest(view_, pt, &cell, &selected)) n = std::min(ViewCellToIndex(view_, cell), n);
        pendingMove_ = n;
        ViewMoveSelection(view_, n, true);
        SetCursor(wxNullCursor);
        ShowDamage();
        return;
    }
    ViewCell cell;
    bool selected = false;
    const bool onCell = ViewHitTest(view_, pt, &cell, &selected);
    const SInt32 item = onCell ? ViewCellToIndex(view_, cell) : 0;
    switch (clickKind_) {
    case kClickEditField:
        if (left) BeginFieldEdit(&pt, 0);
        break;
    case kClickSelectIfNew:
    case kClickSelectThenEdit:
        if (item >= 1 && item != view_->currentItem) ViewSelectItem(view_, item, kSelectAlone, false);
        if (clickKind_ == kClickSelectThenEdit && left) BeginFieldEdit(&pt, 0);
        break;
    case kClickToggle:
        if (item >= 1) {
            if (!left) ViewSelectItem(view_, item, kSelectAdd, false);
            else ViewSelectItem(view_, item, selected ? kSelectRemove : kSelectAddCurrent, false);
        }
        break;
    case kClickDeselectAll:
        ViewDeselectAll(view_);
        break;
    default:
        break;
    }
    const bool altAlone = event.AltDown() && !event.ControlDown() && !event.ShiftDown();
    clickKind_ = kClickNone;
    ShowDamage();
    if (header_) header_->Refresh();
    if (altAlone) OpenSelected();
    if (!left && host_) host_->GridContextMenu(event.GetPosition());
}

void CGridView::OnDoubleClick(wxMouseEvent& event) {
    DoubleClickAction();
    event.Skip();
}

void CGridView::DoubleClickAction() {
    if (!view_) return;
    switch (GetPreferences()->doubleClickAction) {
    case 1:
        if (ViewGetMode(view_) != kViewMedia) {
            gModeBeforeMedia = ViewGetMode(view_);
            SetViewMode(kViewMedia);
        } else {
            SetViewMode(gModeBeforeMedia);
        }
        break;
    case 2: OpenSelected(); break;
    case 3: SendCommandToFrame(kRunSlideShow); break;
    default: break;
    }
}

void CGridView::OnMotion(wxMouseEvent& event) {
    if (!view_ || mode_ != kModeNormal) {
        event.Skip();
        return;
    }
    if (buttonDown_ && event.Dragging() && ViewItemCount(view_) > 0 &&
        IsDragDistance(press_, ToPoint(event.GetPosition()))) {
        StartDrag();
        return;
    }
    event.Skip();
}

void CGridView::OnSetCursor(wxSetCursorEvent& event) {
    if (mode_ == kModeMoveToLocation) {
        event.SetCursor(wxCursor(wxCURSOR_CROSS));
        return;
    }
    event.Skip();
}

void CGridView::OnMouseWheel(wxMouseEvent& event) {
    if (!view_) return;
    CommitEdit();
    const int rows = wheel_.Add(event.GetWheelRotation(), event.GetWheelDelta());
    if (rows == 0) return;
    ViewScrollBy(view_, rows);
    ShowDamage();
}

// ---- keys and focus ----------------------------------------------------------------------------

void CGridView::OnKeyDown(wxKeyEvent& event) {
    if (!HandleKey(event)) event.Skip();
}

bool CGridView::HandleKey(wxKeyEvent& event) {
    if (!view_) return false;
    const bool shift = event.ShiftDown(), control = event.ControlDown(), alt = event.AltDown();
    const int code = event.GetKeyCode();
    switch (code) {
    case WXK_BACK:
    case WXK_DELETE:
        ViewDeleteSelection(view_);
        ShowDamage();
        if (host_) host_->GridTitleChanged();
        return true;
    case WXK_TAB:
        if (!shift) {
            if (CSidePanel* panel = SidePanel()) panel->FocusPane(true);
        } else {
            Navigate(wxNavigationKeyEvent::IsBackward);
        }
        return true;
    case WXK_RETURN:
    case WXK_NUMPAD_ENTER:
        DoubleClickAction();
        return true;
    case WXK_SHIFT:
    case WXK_CONTROL:
    case WXK_ALT:
        return true;
    case WXK_ESCAPE:
        if (mode_ == kModeMoveToLocation) {
            mode_ = kModeNormal;
            SetCursor(wxNullCursor);
        } else {
            ViewDeselectAll(view_);
            ShowDamage();
        }
        return true;
    case WXK_F2:
        BeginFieldEdit(nullptr, 0);
        return true;
    default:
        break;
    }
    if (alt && !control && (code == WXK_LEFT || code == WXK_RIGHT)) {
        SendCommandToFrame(code == WXK_LEFT ? kPreviousState : kNextState);
        return true;
    }
    if (alt && control && (code == WXK_UP || code == WXK_DOWN)) {
        SendCommandToFrame(code == WXK_UP ? kMoveToTop : kMoveToBottom);
        return true;
    }
    if (const int key = VirtualKeyOf(code); key && ViewKeyNavigate(view_, key, shift, control)) {
        ShowDamage();
        return true;
    }
    const wxChar character = event.GetUnicodeKey();
    if (!control && !alt && character >= 32 && character != WXK_NONE) {
        const std::string ansi = Utf8ToAnsi(wxString(character).utf8_string());
        if (ansi.size() == 1) {
            ViewTypeAhead(view_, static_cast<unsigned char>(ansi[0]));
            ShowDamage();
            return true;
        }
    }
    return false;
}

void CGridView::OnSetFocus(wxFocusEvent& event) {
    CommitEdit();
    event.Skip();
}

// ---- in-place editing --------------------------------------------------------------------------

void CGridView::DiscardEditor() {
    if (!editor_) return;
    CRenameEdit* editor = editor_;
    editor_ = nullptr;
    if (editor->HasFocus()) SetFocus();
    editor->Hide();
    // Deleted later: the edit usually ends from inside the editor's own key or focus handler,
    // which must not return into a deleted object (a child window's Destroy deletes at once).
    // A window scheduled so is taken off the list when its parent deletes it first.
    wxTheApp->ScheduleForDestruction(editor);
}

bool CGridView::BeginFieldEdit(const Point* where, UInt32 fieldId) {
    DiscardEditor();
    if (!view_ || view_->currentItem < 1) return false;
    SInt32 item = 0;
    Rect r{};
    SInt16 lines = 1;
    UInt32 field = fieldId;
    if (!ViewFindEditField(view_, where, &item, &r, &lines, &field)) return false;
    ShowDamage();
    std::string text;
    if (field == kFieldFileName) {
        FSSpec file;
        const OSErr err = CatalogFindItemPath(catalog_, item, &file);
        if (err != noErr) {
            ShowEditAlert(err);
            return false;
        }
        text = FSSpecName(file);
    } else {
        text = CellFieldText(catalog_, item, FieldId(field), false);
    }
    const wxRect rect(r.left, r.top, std::max(r.right - r.left, 40), std::max(r.bottom - r.top, 18));
    editor_ = new CRenameEdit(this, wxID_ANY, WxFromUtf8(text), rect, lines > 1 ? rect.height : 0);
    editField_ = field;
    editor_->SetFocus();
    if (field == kFieldFileName) editor_->SelectBaseName();
    else editor_->SelectAll();
    return true;
}

void CGridView::CommitEdit() {
    if (editor_) OnEditDone(kComboDoneEnter);
}

void CGridView::OnEditCancel() { DiscardEditor(); }

void CGridView::OnEditDone(long ending) {
    if (!editor_ || !view_) {
        DiscardEditor();
        return;
    }
    const std::string text = TrimEditText(Utf8FromWx(editor_->GetValue()));
    const UInt32 field = editField_;
    DiscardEditor();
    const SInt32 item = view_->currentItem;
    if (item < 1) return;
    OSErr err = noErr;
    if (field == kFieldFileName) {
        FSSpec file;
        err = CatalogFindItemPath(catalog_, item, &file);
        if (err == noErr && text != FSSpecName(file)) {
            // A name with "/" (or "." or "..") would move the file into another folder.
            if (!IsAcceptableFileName(text)) {
                err = bdNamErr;
            } else {
                FSSpec renamed;
                err = FSpRenameTo(&file, text, &renamed);
                if (err == noErr) err = CatalogSetItemFileSpec(catalog_, item, &renamed, false);
            }
        }
    } else {
        const std::string ansi = Utf8ToAnsi(text);
        err = ItemSetAnnotationDataset(catalog_, item, FieldId(field), 1, ansi.data(),
                                       SInt16(std::min<std::size_t>(ansi.size(), 32767)));
    }
    ViewRedrawItem(view_, item);
    ShowDamage();
    if (err != noErr) {
        ShowEditAlert(err);
        // A name in use: the user types another one.
        if (err == dupFNErr) BeginFieldEdit(nullptr, field);
        return;
    }
    int column = -1;
    const std::vector<bool> editable = EditableColumns(catalog_, ViewGetMode(view_), &column, field);
    const EditTarget next = NextEditTarget(int(ending), item, ViewItemCount(view_), view_->columnCount, column, editable);
    if (next.item < 1) return;
    const ViewFieldList* fields = CatalogGetSlotRec(catalog_, ViewGetMode(view_));
    const UInt32 nextField = fields ? fields->fields[next.column].fieldId : 0;
    ViewSelectItem(view_, next.item, kSelectAlone, true);
    ShowDamage();
    BeginFieldEdit(nullptr, nextField);
}

// ---- messages ---------------------------------------------------------------------------------

void CGridView::OnWindowMessage(WindowMessageEvent& event) {
    const UINT message = event.Message();
    const RegisteredMessageIds& ids = RegisteredMessages();
    if (message == ids.comboDone) {
        OnEditDone(long(event.LParam()));
        return;
    }
    if (message == ids.comboCancel) {
        OnEditCancel();
        return;
    }
    OnCatalogMessage(message, event.WParam());
}

void CGridView::OnCatalogMessage(UINT message, WPARAM wParam) {
    switch (message) {
    case kCatalogMsgItemChanged: {
        const SInt32 item = SInt32(wParam);
        if (!view_ || item == 0 || gItemChangedRunning) break;
        gItemChangedRunning = true;
        ViewRedrawItem(view_, item);
        if (item == view_->currentItem) {
            ViewDrawHeaderBar(view_);
            if (header_ && ViewGetMode(view_) != kViewList) header_->Refresh(false);
        }
        if (CMediaStatusBar* bar = StatusBar()) bar->Refresh();
        ShowDamage();
        gItemChangedRunning = false;
        break;
    }
    case kCatalogMsgItemsAdded:
    case kCatalogMsgItemDeleted:
    case kCatalogMsgShownItemsChanged:
    case kCatalogMsgSlotSizeGrew:
    case kCatalogMsgOrganizeChanged:
        RedrawAll();
        if (message == kCatalogMsgShownItemsChanged && view_) ViewStartStatsPass(view_);
        break;
    case kCatalogMsgStatusBar:
        if (CMediaStatusBar* bar = StatusBar()) bar->Refresh();
        break;
    case kCatalogMsgPlaybackChanged:
        if (wParam == 1) CommitEdit();
        ShowDamage();
        break;
    default:
        ShowDamage();
        break;
    }
    if (changeListener_) changeListener_(message);
}

// ---- commands ---------------------------------------------------------------------------------

OSErr CGridView::AddFiles(const std::vector<FSSpec>& specs) {
    if (!catalog_ || !view_ || specs.empty()) return paramErr;
    if (importing_) return paramErr;
    SInt32 at = dropIndex_;
    if (at < 0) at = 0;
    else TrackDropPosition(0, 0, true);
    const SInt32 shownFrom = AddedItemsPosition(at, ViewItemCount(view_));
    importing_ = true;
    if (host_) host_->GridSetBusy(true);
    if (CMediaStatusBar* bar = StatusBar()) bar->SetBusy(true);
    SInt32 added = 0;
    OSErr err;
    {
        GridImportScope running;
        err = CatalogAddFiles(catalog_, at, specs.data(), long(specs.size()), GridImportProgress, 0, &added);
    }
    if (CMediaStatusBar* bar = StatusBar()) bar->SetBusy(false);
    if (host_) host_->GridSetBusy(false);
    importing_ = false;
    dropIndex_ = -1;
    drop_.Reset();
    if (mode_ == kModeDragging) mode_ = kModeNormal;
    if (view_ && added > 0) {
        ViewAfterImport(view_, ViewGetMode(view_) == kViewMedia ? shownFrom : 0);
        RebuildItems();
        RedrawAll();
    }
    if (host_) host_->GridTitleChanged();
    // A quit asked for during the import waited for it to end.
    if (TakeQuitRequest() && host_) {
        GridViewHost* host = host_;
        wxTheApp->CallAfter([host] { host->GridQuitNow(); });
    }
    return err;
}

void CGridView::RebuildItems() {
    if (!catalog_) return;
    Handle ids = ItemListCopyMarkedIds(catalog_);
    if (!ids) return;
    const RefreshOptions options = RefreshOptionsAll();
    if (StartItemRefreshTimer(catalog_, 0, ids, nullptr, &options) == noErr) {
        if (CMediaStatusBar* bar = StatusBar()) bar->SetBusy(true);
    }
    DisposeHandle(ids);
}

void CGridView::ImportPendingDrop() {
    if (!importPending_) return;
    std::vector<FSSpec> specs = std::move(pendingImport_);
    pendingImport_.clear();
    importPending_ = false;
    dropIndex_ = pendingImportAt_;
    if (wxWindow* top = wxGetTopLevelParent(this)) top->Raise();
    Update();
    AddFiles(specs);
}

void CGridView::OpenSelected() {
    if (!view_) return;
    const SInt32 count = ViewCountSelected(view_);
    if (OpeningAsksFirst(count)) {
        Str255 number;
        PStrFromWx(wxString::Format("%d", int(count)), number);
        if (ShowAlert(2, 10, 0, 1, 2, 0, number) == 2) return;
    }
    for (SInt32 item = 1; ViewNextSelected(view_, &item); ++item) {
        FSSpec file;
        // An item whose file cannot be found is skipped; the others still open.
        if (CatalogFindItemPath(catalog_, item, &file) != noErr) continue;
        std::string error;
        if (!OpenInBrowser(file.path, &error)) wxLogDebug("open %s: %s", file.path.c_str(), error.c_str());
    }
}

void CGridView::ShowMediaFile() {
    if (!view_) return;
    const SInt32 item = ViewGetCurrentItem(view_);
    FSSpec file;
    if (item < 1 || CatalogFindItemPath(catalog_, item, &file) != noErr) return;
    ShowInFileManager(file.path);
}

void CGridView::BeginMoveToLocation() {
    if (!view_) return;
    mode_ = kModeMoveToLocation;
    SetCursor(wxCursor(wxCURSOR_CROSS));
}

void CGridView::TogglePlay() {
    if (!view_) return;
    ViewTogglePlayback(view_);
    ShowDamage();
}

void CGridView::SetViewMode(int mode) {
    if (view_ && mode >= 0 && mode <= 2 && ViewGetMode(view_) != mode) {
        CommitEdit();
        ViewSetMode(view_, UInt8(mode));
        RedrawAll();
    }
    auto* container = dynamic_cast<CGridContainer*>(GetParent());
    if (container && container->GetTabCtrl()) container->GetTabCtrl()->SetCurSel(mode >= 0 && mode <= 2 ? mode : 1);
    if (header_) header_->Refresh(false);
}

void CGridView::UndoInFocusedEdit() {
    if (auto* entry = dynamic_cast<wxTextEntry*>(wxWindow::FindFocus())) entry->Undo();
}
