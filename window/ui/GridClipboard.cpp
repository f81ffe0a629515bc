// The grid view's clipboard and drag and drop (declared in CGridView.h): Cut, Copy and Paste of
// items, dragging the selection out, and taking dropped items and files. Items travel as
// transfer packages between catalogs; a drag names its source view by process id and serial
// and the drop finds the view among the live ones; files go to and come from other programs
// as a URI list and as paths.
#include "window/ui/CGridView.h"

#include "catalog/file/CatalogEngine.h"
#include "catalog/items/ItemFiles.h"
#include "catalog/items/ItemRecords.h"
#include "foundation/messages/RegisteredMessages.h"
#include "foundation/ui/Clxsavechanges.h"
#include "foundation/ui/UiText.h"
#include "platform/Handles.h"
#include "window/grid/GridTransfer.h"
#include "window/panels/PanelDrag.h"
#include "window/ui/CGridDropTarget.h"
#include "window/ui/CPanelDropTarget.h"
#include "window/ui/CMediaStatusBar.h"
#include "window/ui/GridDataObjects.h"
#include "window/ui/GridViewHost.h"
#include "window/view/ViewOperations.h"
#include "window/view/ViewSelection.h"

#include <cstring>
#include <memory>
#include <wx/clipbrd.h>
#include <wx/dnd.h>
#include <wx/listbox.h>
#include <wx/textentry.h>

namespace {

// The focused edit field that takes Cut, Copy and Paste itself, or null.
wxTextEntry* FocusedEntry(const wxWindow* self) {
    wxWindow* focus = wxWindow::FindFocus();
    if (!focus || focus == self) return nullptr;
    return dynamic_cast<wxTextEntry*>(focus);
}

// The files of the selected items; an item whose file cannot be found is left out rather than
// standing in for another.
std::vector<std::string> SelectedPaths(ViewRec* view, CatalogRec* catalog) {
    std::vector<std::string> paths;
    for (SInt32 item = 1; ViewNextSelected(view, &item); ++item) {
        FSSpec file;
        if (CatalogFindItemPath(catalog, item, &file) == noErr && !file.path.empty()) paths.push_back(file.path);
    }
    return paths;
}

CopiedItems CopySelected(ViewRec* view, CatalogRec* catalog) {
    return CollectSelectedItems(catalog, [view](SInt32* item) { return ViewNextSelected(view, item); });
}

// Reports a paste's outcome once: "catalog full" or the first other error.
void ReportPaste(const PasteOutcome& out) {
    if (out.catalogFull) {
        Str255 capacity;
        PStrFromWx(wxString::Format("%d", int(CatalogGetCapacity())), capacity);
        ShowAlert(0, 36, 0, 1, 0, 0, capacity);
    } else if (out.otherError != noErr) {
        ShowAlertSimple(0, 33, out.otherError, 1, 0, 0);
    }
}

// Pastes the packages one after another before position (0 appends), keeping their order.
PasteOutcome PasteAt(CatalogRec* catalog, SInt32 position, const std::vector<Bytes>& packages) {
    SInt32 at = position;
    return PasteItems(packages, [catalog, &at](const Bytes& package, bool) {
        const OSErr err = PastePackage(catalog, at, package);
        if (err == noErr && at > 0) ++at;
        return err;
    });
}

}  // namespace

SInt32 CGridView::CopySelection(int mode, const std::function<void(wxDataObjectComposite&)>& addFormats) {
    if (wxTextEntry* entry = FocusedEntry(this)) {
        if (mode == kCut) entry->Cut();
        else entry->Copy();
        return 0;
    }
    if (dynamic_cast<wxListBox*>(wxWindow::FindFocus())) return 0;
    if (!view_ || ViewCountSelected(view_) == 0) return 0;
    const CopiedItems copied = CopySelected(view_, catalog_);
    if (copied.packages.empty()) return 0;
    std::vector<std::string> paths;
    for (UInt32 id : copied.ids) {
        FSSpec file;
        const SInt32 item = CatalogFindItemById(catalog_, id);
        if (item && CatalogFindItemPath(catalog_, item, &file) == noErr && !file.path.empty()) paths.push_back(file.path);
    }
    auto* data = new wxDataObjectComposite;
    data->Add(NewItemsObject(copied.packages), true);
    if (!paths.empty()) data->Add(NewUriListObject(paths));
    if (addFormats) addFormats(*data);
    bool placed = false;
    if (wxTheClipboard->Open()) {
        placed = wxTheClipboard->SetData(data);
        wxTheClipboard->Close();
    } else {
        delete data;
    }
    if (!placed) return 0;
    // Cut takes out exactly the items that are on the clipboard now, never one that is not.
    if (mode == kCut) {
        Handle ids = NewHandle(Size(copied.ids.size() * sizeof(UInt32)));
        if (ids) {
            std::memcpy(*ids, copied.ids.data(), copied.ids.size() * sizeof(UInt32));
            ViewDeselectAll(view_);
            ViewSelectItems(view_, ids);
            DisposeHandle(ids);
            ViewRemoveSelection(view_);
            RedrawAll();
            if (host_) host_->GridTitleChanged();
        }
    }
    return SInt32(copied.ids.size());
}

bool CGridView::CanPaste() {
    if (wxTextEntry* entry = FocusedEntry(nullptr)) return entry->CanPaste();
    if (!wxTheClipboard->Open()) return false;
    const bool some = wxTheClipboard->IsSupported(GridItemsFormat()) || wxTheClipboard->IsSupported(UriListFormat());
    wxTheClipboard->Close();
    return some;
}

void CGridView::Paste() {
    if (wxTextEntry* entry = FocusedEntry(this)) {
        entry->Paste();
        return;
    }
    if (!view_) return;
    ReceivedData data;
    bool got = false;
    if (wxTheClipboard->Open()) {
        got = wxTheClipboard->GetData(data);
        wxTheClipboard->Close();
    }
    if (!got) return;
    std::vector<Bytes> packages;
    if (data.Items(&packages)) {
        const PasteOutcome out = PasteAt(catalog_, 0, packages);
        RedrawAll();
        if (host_) host_->GridTitleChanged();
        ReportPaste(out);
        return;
    }
    // Files copied in another program are imported.
    std::vector<FSSpec> specs;
    for (const std::string& path : data.Files()) {
        FSSpec spec;
        if (FSMakeFSSpecFromPath(path, &spec) == noErr) specs.push_back(spec);
    }
    if (!specs.empty()) {
        dropIndex_ = -1;
        AddFiles(specs);
    }
}

wxDataObject* CGridView::MakeDragData() const {
    if (!view_ || ViewCountSelected(view_) == 0) return nullptr;
    auto* data = new wxDataObjectComposite;
    data->Add(NewViewRefObject(serial_), true);
    // The side panel's lists take the selection of their own window's view by its drag id.
    data->Add(MakeGridDragData(PanelDragRef{PanelDragThisProcess(), view_->dragId, 0}));
    const std::vector<std::string> paths = SelectedPaths(view_, catalog_);
    if (!paths.empty()) {
        data->Add(NewUriListObject(paths));
        data->Add(NewPathsTextObject(paths));
    }
    return data;
}

void CGridView::StartDrag() {
    buttonDown_ = false;
    clickKind_ = kClickNone;
    std::unique_ptr<wxDataObject> data(MakeDragData());
    if (!data) return;
    wxDropSource source(this);
    source.SetData(*data);
    CGridDropTarget::SetDragSource(serial_);
    const PanelDragRef ref{PanelDragThisProcess(), view_->dragId, 0};
    CPanelDropTarget::SetDragInProgress(&ref);
    source.DoDragDrop(wxDrag_AllowMove);
    CPanelDropTarget::SetDragInProgress(nullptr);
    CGridDropTarget::SetDragSource(0);
}

void CGridView::TrackDropPosition(int x, int y, bool noTrack) {
    if (!view_ || ViewGetMode(view_) == kViewMedia) return;
    const DropGeometry g = DropGeometryOf(view_);
    const SInt32 index = noTrack ? -1 : DropIndexAt(g, Point{SInt16(y), SInt16(x)});
    if (!drop_.Move(index)) return;
    auto refreshMarker = [this] {
        const Rect& m = markerRect_;
        RefreshRect(wxRect(m.left - 3, m.top - 3, m.right - m.left + 6, m.bottom - m.top + 6), false);
    };
    if (markerShown_) refreshMarker();
    dropIndex_ = index;
    if (index < 0) {
        markerShown_ = false;
        markerRect_ = Rect{0, 0, 0, 0};
        return;
    }
    markerRect_ = DropMarkerRect(g, index);
    markerShown_ = g.itemCount > 0;
    if (markerShown_) refreshMarker();
    SendFrameMessage(RegisteredMessages().dragIdChanged, WPARAM(index & 0xFFFF));
    if (CMediaStatusBar* bar = StatusBar()) bar->ShowDropPosition(index);
}

void CGridView::SetDragState(bool on) {
    CMediaStatusBar* bar = StatusBar();
    if (on) {
        mode_ = kModeDragging;
        if (bar) {
            bar->SetSuppressText(true);
            bar->SetDragMode(true);
        }
        SendFrameMessage(RegisteredMessages().dragStarted, 0);
        return;
    }
    if (mode_ == kModeDragging) mode_ = kModeNormal;
    TrackDropPosition(0, 0, true);
    SendFrameMessage(RegisteredMessages().dragEnded, 0);
    if (bar) {
        bar->SetDragMode(false);
        bar->SetSuppressText(false);
    }
}

bool CGridView::DropData(const ReceivedData& data, const wxPoint& where) {
    if (!view_) return false;
    const SInt32 index = DropIndexAt(DropGeometryOf(view_), Point{SInt16(where.y), SInt16(where.x)});
    if (index < 0) return false;
    if (data.HasViewRef()) {
        dropIndex_ = -1;
        drop_.Reset();
        // Only a view of this process that still lives: anything else is refused.
        CGridView* source = FindLive(data.SourceViewSerial());
        if (!source || !source->view_) return false;
        if (source == this) {
            pendingMove_ = index;
            ViewMoveSelection(view_, index, true);
            ShowDamage();
            return true;
        }
        const CopiedItems copied = CopySelected(source->view_, source->catalog_);
        if (copied.packages.empty()) return false;
        const PasteOutcome out = PasteAt(catalog_, index, copied.packages);
        RedrawAll();
        if (host_) host_->GridTitleChanged();
        ReportPaste(out);
        return out.pasted > 0;
    }
    const std::vector<std::string> files = data.Files();
    if (files.empty() || importPending_ || importing_) return false;
    if (!DroppedFilesAcceptable(files)) return false;
    std::vector<FSSpec> specs;
    for (const std::string& path : files) {
        FSSpec spec;
        // A path that does not make a file specification is left out, never kept half-made.
        if (FSMakeFSSpecFromPath(path, &spec) == noErr) specs.push_back(spec);
    }
    if (specs.empty()) return false;
    pendingImport_ = std::move(specs);
    importPending_ = true;
    pendingImportAt_ = index;
    // The drop returns to its source first; the import runs from the event loop.
    CallAfter(&CGridView::ImportPendingDrop);
    return true;
}
