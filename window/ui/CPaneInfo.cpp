#include "window/ui/CPaneInfo.h"

#include "catalog/file/CatalogRec.h"
#include "catalog/info/InfoEdit.h"
#include "catalog/info/InfoRow.h"
#include "catalog/notify/CatalogNotify.h"
#include "foundation/ui/CPaneInfoCommentEditBox.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"
#include "window/ui/CCommentRoundBar.h"
#include "window/ui/CInfoRoundBar.h"
#include "window/ui/CPaneInfoList.h"
#include "window/ui/PanelHost.h"
#include "window/view/ViewFilters.h"
#include "window/view/ViewSelection.h"

#include <cstring>
#include <wx/utils.h>

namespace {

constexpr int kInfoDefaultSplit = 800;

// The catalog keeps line ends as CR; the box shows them as line breaks.
wxString CaptionToBox(Handle caption) {
    if (!caption) return wxString();
    std::string bytes(*caption, std::size_t(GetHandleSize(caption)));
    for (char& c : bytes)
        if (c == '\r') c = '\n';
    return WxFromAnsi(bytes);
}

std::string BoxToCaption(const wxString& text) {
    std::string bytes = AnsiFromWx(text);
    std::string out;
    out.reserve(bytes.size());
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
        out += bytes[i] == '\n' ? '\r' : bytes[i];
    }
    return out;
}

}  // namespace

CPaneInfo::CPaneInfo(wxWindow* parent, wxWindowID id)
    : CPaneWithSplit(parent, id, kInfoDefaultSplit), bridge_(this) {
    infoBar_ = new CInfoRoundBar(this, wxID_ANY);
    commentBar_ = new CCommentRoundBar(this, wxID_ANY);
    commentBar_->Enable(false);
    SetSections(infoBar_, commentBar_);
    BindEvents();
}

CPaneInfo::~CPaneInfo() {
    if (catalog_) CatalogRemoveListener(catalog_, bridge_.Handle(), 0);
}

void CPaneInfo::BindEvents() {
    Bind(EVT_WINDOW_MESSAGE, &CPaneInfo::OnMessage, this);
    // Tab in the caption box: Shift goes back to the field list, otherwise on to the grid.
    Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
        if (e.GetKeyCode() != WXK_TAB) {
            e.Skip();
            return;
        }
        if (e.ShiftDown()) FocusSection(true);
        else PanelFocusGrid(this);
    });
    commentBar_->GetEditBox()->Bind(wxEVT_KEY_DOWN, [this](wxKeyEvent& e) {
        if (e.GetKeyCode() != WXK_TAB) {
            e.Skip();
            return;
        }
        if (e.ShiftDown()) FocusSection(true);
        else PanelFocusGrid(this);
    });
}

CPaneInfoList* CPaneInfo::GetList() const { return infoBar_->GetList(); }

UInt16* CPaneInfo::SplitWord() { return catalog_ ? &catalog_->viewPrefs.word28 : nullptr; }

void CPaneInfo::AttachCatalog(CatalogRec* catalog) {
    if (catalog == catalog_) return;
    if (catalog_) {
        // The catalog is about to go: what was typed goes into its items first.
        StorePendingEdits();
        CatalogRemoveListener(catalog_, bridge_.Handle(), 0);
    }
    catalog_ = catalog;
    commentBar_->SetCatalog(catalog);
    GetList()->AttachCatalog(catalog);
    if (catalog_) {
        for (UINT m : {kCatalogMsgItemChanged, kCatalogMsgSelectionChanged, kCatalogMsgSelectionChanging,
                       kCatalogMsgViewDetached})
            CatalogAddListener(catalog_, bridge_.Handle(), m);
        RestoreSplit();
    }
    current_ = -1;
    RefreshPane(true);
}

void CPaneInfo::RefreshPane(bool force) {
    const bool old = force_;
    force_ = force;
    OnSelectionChanged();
    force_ = old;
}

void CPaneInfo::FocusSection(bool upper) {
    if (upper) GetList()->SetFocus();
    else commentBar_->GetEditBox()->SetFocus();
}

void CPaneInfo::OnSelectionChanged() {
    ViewRec* view = PanelView(this);
    if (view) current_ = ViewGetCurrentItem(view);
    wxString text;
    if (catalog_ && view) {
        infoBar_->Load(view, catalog_, current_, force_);
        text = CaptionToBox(catalog_->infoCaption);
    } else {
        infoBar_->Load(nullptr, nullptr, 0, force_);
        current_ = 0;
    }
    commentBar_->SetCurrentItem(current_ > 0);
    commentBar_->SetText(text);
    commentBar_->Enable(current_ > 0);
}

void CPaneInfo::StorePendingEdits() {
    ViewRec* view = PanelView(this);
    if (!catalog_ || !view) return;
    // An editor still open in the list hands its text over first.
    if (GetList()->Editor()) GetList()->EndEdit(0);
    wxString text;
    if (commentBar_->GetChangedText(&text) && catalog_->infoCaption) {
        catalog_->infoCaptionState = kInfoStateChanged;
        const std::string bytes = BoxToCaption(text);
        SetHandleSize(catalog_->infoCaption, Size(bytes.size()));
        if (!bytes.empty()) std::memcpy(*catalog_->infoCaption, bytes.data(), bytes.size());
        commentBar_->SetText(text);
    }
    if (catalog_->infoCaptionState == kInfoStateChanged || InfoEditHasPending(catalog_)) {
        wxBusyCursor wait;
        // With several items selected the edits go to each of them, as the list showed them.
        Handle ids = ViewCountSelected(view) > 1 ? ViewCollectIds(view, true) : nullptr;
        InfoEditCommit(catalog_, ids, nullptr, 0);
        if (ids) DisposeHandle(ids);
    }
}

void CPaneInfo::OnMessage(WindowMessageEvent& event) {
    switch (event.Message()) {
    case kCatalogMsgSelectionChanging:
        StorePendingEdits();
        break;
    case kCatalogMsgSelectionChanged:
        OnSelectionChanged();
        break;
    case kCatalogMsgItemChanged:
        if (ViewRec* view = PanelView(this); view && SInt32(event.WParam()) == ViewGetCurrentItem(view)) RefreshPane(false);
        break;
    case kCatalogMsgViewDetached:
        GetList()->Reset();
        break;
    default:
        break;
    }
    event.SetResult(0);
}
