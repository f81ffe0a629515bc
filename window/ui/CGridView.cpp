#include "window/ui/CGridView.h"

#include "catalog/notify/CatalogNotify.h"
#include "platform/Files.h"
#include "window/ui/CMediaHeaderBar.h"
#include "window/ui/PortBlit.h"
#include "window/view/ViewDrawing.h"
#include "window/view/ViewLayout.h"
#include "window/view/ViewSelection.h"

#include <map>
#include <wx/dcclient.h>

namespace {

// The engine's scroll procedure carries a 32-bit reference, never an address: views are found
// by a serial number among the live ones.
std::map<UInt32, CGridView*>& LiveViews() {
    static std::map<UInt32, CGridView*> views;
    return views;
}
UInt32 gNextScrollRef = 1;

constexpr UINT kListenedMessages[] = {
    kCatalogMsgModified,          kCatalogMsgOrganizeChanged,   kCatalogMsgItemChanged,
    kCatalogMsgItemsAdded,        kCatalogMsgItemDeleted,       kCatalogMsgShownItemsChanged,
    kCatalogMsgSelectionChanged,  kCatalogMsgSlotSizeGrew,      kCatalogMsgStatusBar,
    kCatalogMsgFolderTreeChanged, kCatalogMsgPlaybackChanged,
};

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
    default: return 0;
    }
}

}  // namespace

CGridView::CGridView(wxWindow* parent, wxWindowID id)
    : wxWindow(parent, id, wxDefaultPosition, wxDefaultSize, wxWANTS_CHARS | wxFULL_REPAINT_ON_RESIZE, "LyrexGridView"),
      bridge_(this) {
    SetBackgroundStyle(wxBG_STYLE_PAINT);
    scrollRef_ = gNextScrollRef++;
    LiveViews()[scrollRef_] = this;
    BindEvents();
}

CGridView::~CGridView() {
    // The windows around may be gone already; they were told when the frame let go first.
    catalogObserver_ = nullptr;
    ReleaseView();
    LiveViews().erase(scrollRef_);
}

void CGridView::BindEvents() {
    Bind(wxEVT_PAINT, &CGridView::OnPaint, this);
    Bind(wxEVT_SIZE, &CGridView::OnSize, this);
    Bind(wxEVT_LEFT_DOWN, &CGridView::OnLeftDown, this);
    Bind(wxEVT_KEY_DOWN, &CGridView::OnKeyDown, this);
    Bind(wxEVT_MOUSEWHEEL, &CGridView::OnMouseWheel, this);
    Bind(EVT_WINDOW_MESSAGE, &CGridView::OnCatalogMessage, this);
}

void CGridView::Listen(bool on) {
    if (!catalog_) return;
    for (UINT message : kListenedMessages) {
        if (on) CatalogAddListener(catalog_, bridge_.Handle(), message);
    }
    if (!on) CatalogRemoveListener(catalog_, bridge_.Handle(), 0);
}

void CGridView::ReleaseView() {
    if (catalog_ && catalogObserver_) catalogObserver_(nullptr);
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

void CGridView::OnPaint(wxPaintEvent&) { PaintFromPort(this, view_ ? port_ : nullptr); }

void CGridView::OnSize(wxSizeEvent& event) {
    if (view_) RedrawAll();
    event.Skip();
}

void CGridView::OnLeftDown(wxMouseEvent& event) {
    SetFocus();
    if (!view_) return;
    ViewCell cell;
    bool selected = false;
    const Point pt{SInt16(event.GetY()), SInt16(event.GetX())};
    if (ViewHitTest(view_, pt, &cell, &selected)) {
        const SInt32 item = ViewCellToIndex(view_, cell);
        const int kind = event.ShiftDown() ? kSelectExtend : event.ControlDown() ? (selected ? kSelectRemove : kSelectAddCurrent)
                                                                                 : kSelectAlone;
        if (item >= 1 && item <= ViewItemCount(view_)) ViewSelectItem(view_, item, kind, true);
    } else if (!event.ShiftDown() && !event.ControlDown()) {
        ViewDeselectAll(view_);
    }
    ShowDamage();
}

void CGridView::OnKeyDown(wxKeyEvent& event) {
    const int key = view_ ? VirtualKeyOf(event.GetKeyCode()) : 0;
    if (key && ViewKeyNavigate(view_, key, event.ShiftDown(), event.ControlDown())) {
        ShowDamage();
        return;
    }
    event.Skip();
}

void CGridView::OnMouseWheel(wxMouseEvent& event) {
    if (!view_) return;
    const int rows = event.GetWheelRotation() > 0 ? -1 : 1;
    ViewScrollBy(view_, rows * std::max(1, event.GetLinesPerAction() / 3));
    ShowDamage();
}

void CGridView::OnCatalogMessage(WindowMessageEvent& event) {
    const UINT message = event.Message();
    switch (message) {
    case kCatalogMsgItemsAdded:
    case kCatalogMsgItemDeleted:
    case kCatalogMsgShownItemsChanged:
    case kCatalogMsgSlotSizeGrew:
    case kCatalogMsgOrganizeChanged:
        RedrawAll();
        break;
    case kCatalogMsgItemChanged:
        if (view_) {
            ViewRedrawItem(view_, SInt32(event.WParam()));
            ShowDamage();
        }
        break;
    default:
        ShowDamage();
        break;
    }
    if (changeListener_) changeListener_(message);
}
